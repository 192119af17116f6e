// Lays a report out over its rows: bands placed down the pages, items turned into plan items.
#include "platform/report/Expression.h"
#include "platform/report/NumberMask.h"
#include "platform/report/Report.h"
#include "platform/report/RichText.h"

#include <algorithm>
#include <map>

namespace report {
namespace {

class Layouter {
public:
    Layouter(const Report& report, const ReportData& data, const QLocale& locale)
        : report_(report), data_(data), locale_(locale), area_(report.page.printableRect()) {
        plan_.paperSize = report.page.paperSize();
        plan_.paper = report.page.paper;
        plan_.orientation = report.page.orientation;
        prepare();
    }

    ReportPlan run() {
        const int rowCount = static_cast<int>(data_.rows.size());
        const int levels = static_cast<int>(report_.groups.size());
        groupStart_.assign(levels, 0);
        open_.assign(levels, false);
        startPage();

        if (rowCount == 0) {
            for (int g = 0; g < levels; ++g) openGroup(g, -1);
            for (int g = levels - 1; g >= 0; --g) closeGroup(g, -1);
        } else {
            std::vector<QVariant> keys(levels);
            for (int r = 0; r < rowCount; ++r) {
                int changed = levels;
                for (int g = 0; g < levels; ++g) {
                    const QVariant key = groupKey(g, r);
                    if (r == 0 || key != keys[g]) {
                        changed = std::min(changed, g);
                    }
                    keys[g] = key;
                }
                if (r > 0)
                    for (int g = levels - 1; g >= changed; --g) closeGroup(g, r - 1);
                for (int g = changed; g < levels; ++g) openGroup(g, r);
                const int first = levels > 0 ? groupStart_[levels - 1] : 0;
                const bool alternate = ((r - first) % 2) == 1;
                place(report_.detail, EvalContext{&data_, r, first, r}, alternate);
            }
            for (int g = levels - 1; g >= 0; --g) closeGroup(g, rowCount - 1);
        }
        place(report_.summary, EvalContext{&data_, rowCount - 1, 0, rowCount - 1});
        finishPage();
        plan_.pageCount = page_ + 1;
        return std::move(plan_);
    }

private:
    // Parses every expression once and checks every column name against the data.
    void prepare() {
        QList<const Band*> bands{&report_.title, &report_.pageHeader, &report_.detail, &report_.summary,
                                 &report_.pageFooter};
        for (const Group& g : report_.groups) {
            bands << &g.header << &g.footer;
            groupExpressions_.push_back(parse(g.expression, QStringLiteral("groupe")));
        }
        while (!bands.isEmpty()) {
            const Band* band = bands.takeFirst();
            for (const Band& child : band->children) bands << &child;
            for (const Item& item : band->items) {
                if (item.kind == ItemKind::Expression)
                    expressions_[&item] = parse(item.text, item.name);
                else if ((item.kind == ItemKind::Field || item.kind == ItemKind::RichText) && !item.column.isEmpty())
                    checkColumn(item.column, item.name);
            }
        }
    }

    Expression parse(const QString& text, const QString& owner) {
        if (text.trimmed().isEmpty()) return Expression();
        QString error;
        Expression e = Expression::parse(text, &error);
        if (!e.isValid()) plan_.errors << QStringLiteral("Expression « %1 » de %2 : %3").arg(text, owner, error);
        for (const QString& name : e.fieldNames()) checkColumn(name, owner);
        return e;
    }

    void checkColumn(const QString& column, const QString& owner) {
        if (data_.columnIndex(column) < 0)
            plan_.errors << QStringLiteral("Champ inconnu « %1 » dans %2").arg(column, owner);
    }

    QVariant groupKey(int level, int row) const {
        const Expression& e = groupExpressions_[level];
        return e.isValid() ? e.evaluate(EvalContext{&data_, row, 0, -1}) : QVariant();
    }

    void openGroup(int level, int row) {
        groupStart_[level] = std::max(row, 0);
        place(report_.groups[level].header, EvalContext{&data_, row, groupStart_[level], row - 1});
        open_[level] = true;   // after the header: a page break before it must not print it twice
    }

    void closeGroup(int level, int lastRow) {
        place(report_.groups[level].footer, EvalContext{&data_, lastRow, groupStart_[level], lastRow});
        open_[level] = false;
    }

    // ---- pages ----

    double bottomLimit() const { return area_.bottom() - bandHeight(report_.pageFooter, EvalContext{}); }

    void startPage() {
        y_ = area_.top();
        bodyOnPage_ = false;
        const int row = currentRow_;
        if (page_ == 0) emitBand(report_.title, EvalContext{&data_, data_.rows.isEmpty() ? -1 : 0, 0, -1});
        emitBand(report_.pageHeader, EvalContext{&data_, row, 0, -1});
        if (page_ > 0)
            for (int g = 0; g < static_cast<int>(report_.groups.size()); ++g)
                if (open_[g] && report_.groups[g].repeatHeaderOnNewPage)
                    emitBand(report_.groups[g].header, EvalContext{&data_, groupStart_[g], groupStart_[g], groupStart_[g] - 1});
    }

    void finishPage() {
        if (report_.pageFooter.isEmpty()) return;
        const EvalContext ctx{&data_, currentRow_, 0, -1};
        y_ = area_.bottom() - bandHeight(report_.pageFooter, ctx);
        emitBand(report_.pageFooter, ctx);
    }

    // Places a band (and its children) at the current position, on a new page when it does not
    // fit on this one.
    void place(const Band& band, const EvalContext& ctx, bool alternate = false) {
        if (band.isEmpty()) return;
        currentRow_ = ctx.row;
        const double height = bandHeight(band, ctx);
        if (bodyOnPage_ && y_ + height > bottomLimit() + 1e-9) {
            finishPage();
            ++page_;
            startPage();
        }
        emitBand(band, ctx, alternate, false);
        bodyOnPage_ = true;
        for (const Band& child : band.children) place(child, ctx, alternate);
    }

    // ---- one band ----

    struct Measured {
        double height = 0;
        std::map<const Item*, double> itemHeight;   // stretched rich-text items
        std::map<const Item*, QString> html;
    };

    Measured measure(const Band& band, const EvalContext& ctx) const {
        Measured m;
        m.height = band.height;
        double growth = 0;
        for (const Item& item : band.items) {
            if (item.kind != ItemKind::RichText) continue;
            const QFont font = item.font.value_or(report_.page.font);
            const QString html =
                item.column.isEmpty()
                    ? item.text
                    : richTextHtml(data_.value(ctx.row, data_.columnIndex(item.column)).toString(), font);
            m.html[&item] = html;
            if (!item.stretch) continue;
            const double needed = richTextHeight(html, font, item.rect.width());
            const double h = std::max(item.rect.height(), needed);
            m.itemHeight[&item] = h;
            growth = std::max(growth, h - item.rect.height());
        }
        m.height += growth;
        return m;
    }

    double bandHeight(const Band& band, const EvalContext& ctx) const {
        if (band.isEmpty()) return 0;
        return measure(band, ctx).height;
    }

    // How far an item moves down because rich text above it grew.
    static double shiftOf(const Item& item, const Band& band, const Measured& m) {
        double shift = 0;
        for (const Item& other : band.items) {
            auto it = m.itemHeight.find(&other);
            if (it == m.itemHeight.end() || &other == &item) continue;
            if (item.rect.top() >= other.rect.bottom() - 1e-9) shift = std::max(shift, it->second - other.rect.height());
        }
        return shift;
    }

    void emitBand(const Band& band, const EvalContext& ctx, bool alternate = false, bool withChildren = true) {
        if (band.isEmpty()) return;
        Measured m = measure(band, ctx);
        // A band taller than the room left on a fresh page (a very long description) is cut at
        // the bottom of the page body rather than painted past the paper's edge.
        const double limit = &band == &report_.pageFooter ? area_.bottom() : bottomLimit();
        m.height = std::min(m.height, std::max(0.0, limit - y_));
        const QPointF origin(area_.left(), y_);
        const QColor background = alternate && band.alternateBackground.isValid() ? band.alternateBackground : band.background;
        if (background.isValid()) {
            PlanItem bg = base(band, band.name, PlanKind::Rectangle);
            bg.rect = QRectF(origin, QSizeF(area_.width(), m.height));
            bg.fill = background;
            plan_.items << bg;
        }
        for (const Item& item : band.items) {
            PlanItem out = base(band, item.name, PlanKind::Text);
            out.rect = item.rect.translated(origin + QPointF(0, shiftOf(item, band, m)));
            out.font = item.font.value_or(report_.page.font);
            out.color = item.color;
            out.alignment = item.alignment;
            out.penWidth = item.penWidth;
            switch (item.kind) {
            case ItemKind::Label:
                out.text = item.text;
                break;
            case ItemKind::Field:
                out.text = formatValue(data_.value(ctx.row, data_.columnIndex(item.column)), item.mask, locale_);
                break;
            case ItemKind::Expression: {
                auto it = expressions_.find(&item);
                const QVariant v = it != expressions_.end() ? it->second.evaluate(ctx) : QVariant();
                out.text = formatValue(v, item.mask, locale_);
                break;
            }
            case ItemKind::Rectangle:
                out.kind = PlanKind::Rectangle;
                out.fill = item.fill;
                break;
            case ItemKind::Line:
                out.kind = PlanKind::Line;
                break;
            case ItemKind::Image:
                out.kind = PlanKind::Image;
                out.image = item.image;
                break;
            case ItemKind::RichText: {
                out.kind = PlanKind::RichText;
                out.text = m.html.at(&item);
                auto it = m.itemHeight.find(&item);
                if (it != m.itemHeight.end()) out.rect.setHeight(it->second);
                if (out.rect.bottom() > limit) out.rect.setBottom(std::max(out.rect.top(), limit));
                break;
            }
            }
            plan_.items << out;
        }
        y_ += m.height;
        if (withChildren)
            for (const Band& child : band.children) emitBand(child, ctx, alternate, true);
    }

    PlanItem base(const Band& band, const QString& name, PlanKind kind) const {
        PlanItem out;
        out.page = page_;
        out.kind = kind;
        out.name = name;
        out.band = band.name;
        return out;
    }

    const Report& report_;
    const ReportData& data_;
    QLocale locale_;
    QRectF area_;
    ReportPlan plan_;
    std::vector<Expression> groupExpressions_;
    std::map<const Item*, Expression> expressions_;
    std::vector<int> groupStart_;
    std::vector<bool> open_;
    int page_ = 0;
    double y_ = 0;
    bool bodyOnPage_ = false;
    int currentRow_ = -1;
};

}  // namespace

ReportPlan layoutReport(const Report& report, const ReportData& data, const QLocale& locale) {
    return Layouter(report, data, locale).run();
}

}  // namespace report
