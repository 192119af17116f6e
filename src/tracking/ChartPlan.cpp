#include "tracking/ChartPlan.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace {

struct Series {
    const QVector<double> BalanceData::*values;
    QColor colour;
    const char* legend;
};

struct KindInfo {
    int unit;         // value of one scale step
    double factor;    // 1 / unit
    QVector<Series> series;
};

const KindInfo& kindInfo(int kind) {
    static const KindInfo kinds[] = {
        {500, 0.002,
         {{&BalanceData::DaySumCalories, kChartRed, "Calories consommées (kcal)"},
          {&BalanceData::InfoObjectives, kChartGreen, "Besoins caloriques/Objectif calorique (kcal)"}}},
        {100, 0.01,
         {{&BalanceData::DaySumProteins, kChartBlue, "Protides (g)"},
          {&BalanceData::DaySumLipids, kChartGreen, "Lipides (g)"},
          {&BalanceData::DaySumCarbs, kChartRed, "Glucides (g)"}}},
        {25, 0.04, {{&BalanceData::InfoWeights, kChartGrey, "Poids (kg)"}}},
    };
    return kinds[std::clamp(kind, 0, 2)];
}

// Builds one plan: the drawing steps in order, and the previous-day marks of the series.
class Planner {
public:
    Planner(const BalanceData& data, int kind, const ChartGeometry& g)
        : data_(data), kind_(std::clamp(kind, 0, 2)), info_(kindInfo(kind)), g_(g) {}

    ChartPlan run(int firstDay) {
        frame();
        const int last = std::min(firstDay + DaysPerPage, data_.dayCount()) - 1;
        // InfoDates ascend: the page's saved days start at the first one not before its first day.
        int i = 0;
        if (firstDay <= last)
            i = int(std::lower_bound(data_.InfoDates.begin(), data_.InfoDates.end(), data_.ChartDays[firstDay]) -
                    data_.InfoDates.begin());
        for (int j = firstDay; j <= last; ++j) {
            const QDate day = data_.ChartDays[j];
            const int x = g_.left + (j - firstDay) * g_.columnWidth;
            text({x, g_.axisY + g_.dateTextDrop}, day.toString(QStringLiteral("dd/MM/yyyy")), kChartBlack,
                 g_.columnWidth - g_.columnWidth / 10);
            line({x, g_.axisY - g_.dateTickAbove}, {x, g_.axisY + g_.dateTickBelow}, kChartBlack);
            while (i < data_.InfoDates.size() && data_.InfoDates[i] < day) ++i;
            for (; i < data_.InfoDates.size() && data_.InfoDates[i] == day; ++i) points(j, i, x);
        }
        return std::move(plan_);
    }

private:
    void line(QPoint a, QPoint b, const QColor& c) { plan_.ops.append({ChartOp::Line, a, b, 0, c, {}, 0, {}}); }
    void diamond(QPoint a, const QColor& c) { plan_.ops.append({ChartOp::Diamond, a, {}, g_.diamond, c, {}, 0, {}}); }
    void text(QPoint a, const QString& t, const QColor& c, int maxWidth = 0, const QString& fitTo = {}) {
        plan_.ops.append({ChartOp::Text, a, {}, 0, c, t, maxWidth, fitTo});
    }

    void frame() {
        line({g_.left, g_.axisY}, {g_.right, g_.axisY}, kChartBlack);
        line({g_.left, g_.top}, {g_.left, g_.axisY}, kChartBlack);
        for (int i = 0; i <= 10; ++i) {
            const int y = g_.axisY - i * g_.step;
            // Every value of the scale in the face that fits its widest.
            text({g_.scaleTextX, y - g_.scaleTextDrop}, QString::number(i * info_.unit), kChartBlack,
                 g_.left - g_.scaleTick - g_.scaleTextX - 1, QString::number(10 * info_.unit));
            line({g_.left - g_.scaleTick, y}, {g_.left + g_.scaleTick, y}, kChartBlack);
        }
        for (int m = 0; m < info_.series.size(); ++m) {
            const Series& s = info_.series[m];
            const int x = g_.legendX + m * g_.legendSpacing;
            diamond({x, g_.legendY}, s.colour);
            // A legend text ends before the next marker; the last one has the rest of the line.
            const bool last = m + 1 == info_.series.size();
            text({x + g_.legendTextDx, g_.legendTextY}, QString::fromUtf8(s.legend), s.colour,
                 last ? 0 : g_.legendSpacing - g_.legendTextDx - 2 * g_.diamond);
        }
    }

    int y(double v) const {
        // Truncated toward zero, not rounded; far-off values stay within an int.
        const double pos = g_.axisY - v * info_.factor * g_.step;
        return int(std::trunc(std::clamp(pos, -1e9, 1e9)));
    }

    // The series `slot` gets its point of day j: a marker when `drawn`, a line from the stored point
    // when the previous calendar day has one, then the day's point is stored.
    void point(int slot, int j, int x, double value, bool drawn, const QColor& c) {
        const QPoint p(x, y(value));
        if (drawn) {
            diamond(p, c);
            if (j > 0 && marks_[slot] == data_.ChartDays[j - 1]) line(stored_[slot], p, c);
        }
        marks_[slot] = data_.ChartDays[j];
        stored_[slot] = p;
    }

    void points(int j, int i, int x) {
        const bool sums = data_.DayHasSums.value(i, true);
        const auto& series = info_.series;
        switch (kind_) {
        case ChartCalories: {
            // A saved day without food rows has no calorie point: the calorie line breaks there.
            if (sums) point(0, j, x, data_.DaySumCalories[i], true, series[0].colour);
            const double objective = data_.InfoObjectives[i];
            point(1, j, x, objective, objective > 0, series[1].colour);
            break;
        }
        case ChartNutrients:
            if (sums)
                for (int s = 0; s < 3; ++s) point(s, j, x, (data_.*series[s].values)[i], true, series[s].colour);
            break;
        default: {
            const double weight = data_.InfoWeights[i];
            point(0, j, x, weight, weight > 0, series[0].colour);
        }
        }
    }

    const BalanceData& data_;
    int kind_;
    const KindInfo& info_;
    const ChartGeometry& g_;
    ChartPlan plan_;
    // Previous-day marks: a date that is never a calendar day of the list until a point is stored.
    QDate marks_[3];
    QPoint stored_[3];
};

}  // namespace

ChartGeometry ScreenChartGeometry(int cw, int ch) {
    ChartGeometry g;
    g.right = cw - 50;
    g.axisY = ch - 50;
    g.step = (ch - 150) / 10;
    return g;
}

ChartGeometry PaperChartGeometry(int w, int h) {
    ChartGeometry g;
    g.left = 250;
    g.right = w - 50;
    g.top = 50;
    g.axisY = h - 250;
    g.step = (h - 300) / 10;
    g.scaleTextDrop = 40;
    g.scaleTick = 10;
    g.columnWidth = (w - 500) / 15;
    g.dateTickAbove = 10;
    g.dateTickBelow = 10;
    g.diamond = 20;
    g.legendX = 400;
    g.legendSpacing = 1000;
    g.legendY = 70;
    g.legendTextDx = 30;
    g.legendTextY = 40;
    return g;
}

QVector<ChartOp> ChartPlan::of(ChartOp::Kind kind) const {
    QVector<ChartOp> found;
    for (const ChartOp& op : ops)
        if (op.kind == kind) found.append(op);
    return found;
}

QVector<ChartOp> ChartPlan::of(ChartOp::Kind kind, const QColor& colour) const {
    QVector<ChartOp> found;
    for (const ChartOp& op : ops)
        if (op.kind == kind && op.colour == colour) found.append(op);
    return found;
}

QString ChartPlan::textAt(const QPoint& corner) const {
    for (const ChartOp& op : ops)
        if (op.kind == ChartOp::Text && op.a == corner) return op.text;
    return QString();
}

ChartPlan PlanChart(const BalanceData& data, int kind, int firstDay, const ChartGeometry& g) {
    return Planner(data, kind, g).run(firstDay);
}

QVector<ChartPlan> PlanChartSheets(const BalanceData& data, int kind, int pageWidth, int pageHeight) {
    const ChartGeometry g = PaperChartGeometry(pageWidth, pageHeight);
    QVector<ChartPlan> sheets;
    int printFirstDay = 0;
    while (true) {
        sheets.append(PlanChart(data, kind, printFirstDay, g));
        if (printFirstDay + DaysPerPage >= data.dayCount()) break;
        printFirstDay += DaysPerPage;
    }
    return sheets;
}

void DrawDiamond(QPainter& painter, int x, int y, const QColor& colour, int s) {
    painter.setBrush(colour);
    painter.setPen(colour);
    const QPoint corners[] = {{x - s, y}, {x, y - s}, {x + s, y}, {x, y + s}};
    painter.drawPolygon(corners, 4);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::black);
}

void PaintChart(QPainter& painter, const ChartPlan& plan) {
    const int ascent = painter.fontMetrics().ascent();
    for (const ChartOp& op : plan.ops) {
        switch (op.kind) {
        case ChartOp::Line:
            painter.setPen(op.colour);
            painter.drawLine(op.a, op.b);
            break;
        case ChartOp::Diamond:
            DrawDiamond(painter, op.a.x(), op.a.y(), op.colour, op.size);
            break;
        case ChartOp::Text: {
            painter.setPen(op.colour);
            const QFont font = painter.font();
            int textAscent = ascent;
            const int width = painter.fontMetrics().horizontalAdvance(op.fitTo.isEmpty() ? op.text : op.fitTo);
            if (op.maxWidth > 0 && width > op.maxWidth) {
                QFont smaller = font;
                const double ratio = double(op.maxWidth) / width;
                if (font.pointSizeF() > 0) smaller.setPointSizeF(font.pointSizeF() * ratio);
                else smaller.setPixelSize(std::max(1, int(font.pixelSize() * ratio)));
                painter.setFont(smaller);
                textAscent = painter.fontMetrics().ascent();
            }
            painter.drawText(QPoint(op.a.x(), op.a.y() + textAscent), op.text);
            painter.setFont(font);
            break;
        }
        }
    }
    painter.setPen(Qt::black);
}

bool PrintChartSheets(const BalanceData& data, int kind, QPagedPaintDevice* device) {
    QPainter painter;
    if (!device || !painter.begin(device)) return false;
    const QVector<ChartPlan> sheets = PlanChartSheets(data, kind, device->width(), device->height());
    for (int p = 0; p < sheets.size(); ++p) {
        if (p > 0 && !device->newPage()) return false;
        PaintChart(painter, sheets[p]);
    }
    return painter.end();
}
