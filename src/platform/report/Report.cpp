#include "platform/report/Report.h"

#include <QFontDatabase>

namespace report {

int ReportData::columnIndex(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).compare(name, Qt::CaseInsensitive) == 0) return i;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? columnIndex(name.mid(dot + 1)) : -1;
}

QVariant ReportData::value(int row, int column) const {
    if (row < 0 || row >= rows.size() || column < 0) return QVariant();
    const QVariantList& values = rows.at(row);
    return column < values.size() ? values.at(column) : QVariant();
}

QFont defaultReportFont(double pointSize) {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* candidate : {"Liberation Sans", "Arimo", "DejaVu Sans"})
            if (families.contains(QLatin1String(candidate), Qt::CaseInsensitive)) return QString::fromLatin1(candidate);
        return QStringLiteral("Sans Serif");
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    return font;
}

QSizeF PageSetup::paperSize() const {
    const QSizeF portrait = QPageSize(paper).size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? portrait.transposed() : portrait;
}

QRectF PageSetup::printableRect() const {
    const QSizeF size = paperSize();
    return QRectF(margins.left(), margins.top(), size.width() - margins.left() - margins.right(),
                  size.height() - margins.top() - margins.bottom());
}

namespace {
// The item's font (or the page's) changed by `change`.
template <typename Change>
Item& changeFont(Item& item, Change change) {
    QFont f = item.font.value_or(defaultReportFont());
    change(f);
    item.font = f;
    return item;
}
}  // namespace

Item& Item::withPointSize(double pt) {
    return changeFont(*this, [pt](QFont& f) { f.setPointSizeF(pt); });
}

Item& Item::bold(bool on) {
    return changeFont(*this, [on](QFont& f) { f.setBold(on); });
}

Item& Item::italic(bool on) {
    return changeFont(*this, [on](QFont& f) { f.setItalic(on); });
}

namespace {
Item makeItem(ItemKind kind, const QString& name, const QRectF& rect, const QString& text = QString(),
              const QString& column = QString(), const QString& mask = QString()) {
    Item item;
    item.kind = kind;
    item.name = name;
    item.rect = rect;
    item.text = text;
    item.column = column;
    item.mask = mask;
    return item;
}
}  // namespace

Item label(const QString& name, const QString& text, const QRectF& rect) {
    return makeItem(ItemKind::Label, name, rect, text);
}

Item field(const QString& name, const QString& column, const QRectF& rect, const QString& mask) {
    return makeItem(ItemKind::Field, name, rect, QString(), column, mask);
}

Item expression(const QString& name, const QString& expr, const QRectF& rect, const QString& mask) {
    return makeItem(ItemKind::Expression, name, rect, expr, QString(), mask);
}

Item rectangle(const QString& name, const QRectF& rect, const QColor& fill, double penWidth) {
    Item item = makeItem(ItemKind::Rectangle, name, rect);
    item.fill = fill;
    item.penWidth = penWidth;
    return item;
}

Item line(const QString& name, const QPointF& from, const QPointF& to, double penWidth) {
    Item item = makeItem(ItemKind::Line, name, QRectF(from, to));
    item.penWidth = penWidth;
    return item;
}

Item image(const QString& name, const QImage& picture, const QRectF& rect) {
    Item item = makeItem(ItemKind::Image, name, rect);
    item.image = picture;
    return item;
}

Item richText(const QString& name, const QString& html, const QRectF& rect, bool stretch) {
    Item item = makeItem(ItemKind::RichText, name, rect, html);
    item.stretch = stretch;
    item.alignment = Qt::AlignLeft | Qt::AlignTop;
    return item;
}

Item richTextField(const QString& name, const QString& column, const QRectF& rect, bool stretch) {
    Item item = richText(name, QString(), rect, stretch);
    item.column = column;
    return item;
}

namespace {
Item* findIn(Band& band, const QString& name) {
    for (Item& item : band.items)
        if (item.name == name) return &item;
    for (Band& child : band.children)
        if (Item* found = findIn(child, name)) return found;
    return nullptr;
}
}  // namespace

Item* Report::item(const QString& name) {
    QList<Band*> bands{&title, &pageHeader};
    for (Group& g : groups) bands << &g.header;
    bands << &detail;
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) bands << &it->footer;
    bands << &summary << &pageFooter;
    for (Band* band : bands)
        if (Item* found = findIn(*band, name)) return found;
    return nullptr;
}

QList<PlanItem> ReportPlan::onPage(int page) const {
    QList<PlanItem> result;
    for (const PlanItem& item : items)
        if (item.page == page) result << item;
    return result;
}

QList<PlanItem> ReportPlan::named(const QString& name) const {
    QList<PlanItem> result;
    for (const PlanItem& item : items)
        if (item.name == name) result << item;
    return result;
}

QStringList ReportPlan::texts(int page) const {
    QStringList result;
    for (const PlanItem& item : items)
        if (item.kind == PlanKind::Text && (page < 0 || item.page == page)) result << item.text;
    return result;
}

}  // namespace report
