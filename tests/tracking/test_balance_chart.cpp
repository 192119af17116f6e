// The balance data, its paging and the chart plans, without a window.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "data/Query.h"
#include "support/DataFixture.h"
#include "support/HistoryRows.h"
#include "tracking/BalanceData.h"
#include "tracking/ChartPlan.h"

namespace {

const QDate kJan1(2026, 1, 1);

// A day list running from kJan1 over `days` calendar days, with a saved day at each offset given:
// calories c, objective o, weight w, and nutrients derived from the calories.
struct Day { int offset; double calories, objective, weight; bool sums = true; };
BalanceData Data(int days, std::initializer_list<Day> saved) {
    BalanceData d;
    for (const Day& s : saved) {
        d.InfoDates << kJan1.addDays(s.offset);
        d.InfoObjectives << s.objective;
        d.InfoWeights << s.weight;
        d.DaySumCalories << s.calories;
        d.DaySumProteins << s.calories / 20;
        d.DaySumLipids << s.calories / 40;
        d.DaySumCarbs << s.calories / 10;
        d.DayHasSums << s.sums;
    }
    for (int i = 0; i < days; ++i) d.ChartDays << kJan1.addDays(i);
    return d;
}

QVector<QPair<QPoint, QPoint>> Segments(const ChartPlan& plan, const QColor& colour) {
    QVector<QPair<QPoint, QPoint>> segments;
    for (const ChartOp& op : plan.of(ChartOp::Line, colour)) segments.append({op.a, op.b});
    return segments;
}

QVector<QPoint> Markers(const ChartPlan& plan, const QColor& colour) {
    QVector<QPoint> at;
    for (const ChartOp& op : plan.of(ChartOp::Diamond, colour)) at.append(op.a);
    return at;
}

const ChartGeometry kScreen = ScreenChartGeometry(1000, 650);

}  // namespace

TEST(ChartPlan, ScaleLegendAndPositionsOnA650PixelWindow) {
    const BalanceData d = Data(2, {{0, 2000, 2001, 0}});
    const ChartPlan plan = PlanChart(d, ChartCalories, 0, kScreen);
    EXPECT_EQ(kScreen.step, 50);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(plan.textAt({20, 595 - 50 * i}), QString::number(500 * i)) << i;
        EXPECT_TRUE(plan.of(ChartOp::Line, kChartBlack).contains(ChartOp{ChartOp::Line, {45, 600 - 50 * i}, {55, 600 - 50 * i}, 0, kChartBlack, {}}))
            << i;
    }
    // Axes, date text and tick; one red text, the legend's.
    const auto black = Segments(plan, kChartBlack);
    EXPECT_TRUE(black.contains(qMakePair(QPoint(50, 600), QPoint(950, 600))));
    EXPECT_TRUE(black.contains(qMakePair(QPoint(50, 100), QPoint(50, 600))));
    EXPECT_TRUE(black.contains(qMakePair(QPoint(50, 595), QPoint(50, 605))));
    EXPECT_EQ(plan.textAt({50, 610}), QStringLiteral("01/01/2026"));
    EXPECT_EQ(plan.of(ChartOp::Text, kChartRed).size(), 1);
    // 2000 kcal at y 400; 2001 at 399.9, truncated to 399.
    EXPECT_EQ(Markers(plan, kChartRed), (QVector<QPoint>{{50, 50}, {50, 400}}));
    EXPECT_EQ(Markers(plan, kChartGreen), (QVector<QPoint>{{250, 50}, {50, 399}}));
    for (const ChartOp& op : plan.of(ChartOp::Diamond)) EXPECT_EQ(op.size, 4);
    // The second column has a date but no point.
    EXPECT_EQ(plan.textAt({120, 610}), QStringLiteral("02/01/2026"));
}

TEST(ChartPlan, LinesOnlyBetweenConsecutiveDaysOfOnePage) {
    // Saved days on the 1st, 2nd and 4th; then the 15th and 16th across a page break.
    const BalanceData d = Data(16, {{0, 1000, 2000, 70}, {1, 1500, 2000, 71}, {3, 500, 2000, 72},
                                    {14, 1000, 2000, 70}, {15, 1000, 2000, 70}});
    const ChartPlan page1 = PlanChart(d, ChartCalories, 0, kScreen);
    EXPECT_EQ(Markers(page1, kChartRed).mid(1), (QVector<QPoint>{{50, 500}, {120, 450}, {260, 550}, {1030, 500}}));
    EXPECT_EQ(Segments(page1, kChartRed), (QVector<QPair<QPoint, QPoint>>{{{50, 500}, {120, 450}}}));
    EXPECT_EQ(Segments(page1, kChartGreen).size(), 1);
    // Page 2 holds the 16th alone: its marker and no line into its first column.
    const ChartPlan page2 = PlanChart(d, ChartCalories, 15, kScreen);
    EXPECT_EQ(Markers(page2, kChartRed).mid(1), (QVector<QPoint>{{50, 500}}));
    EXPECT_TRUE(Segments(page2, kChartRed).isEmpty());
    EXPECT_TRUE(Segments(page2, kChartGreen).isEmpty());
    EXPECT_EQ(page2.textAt({50, 610}), QStringLiteral("16/01/2026"));
    EXPECT_TRUE(page2.textAt({120, 610}).isEmpty());
}

TEST(ChartPlan, NutrientsWeightAndDaysWithoutValues) {
    const BalanceData d = Data(4, {{0, 2000, 0, 80}, {1, 1000, 2200, 0}, {2, 3000, 2400, 79, false}, {3, 1000, 2000, 78}});
    // Kind 1: three markers a saved day, three lines between consecutive days with sums; the day
    // without food rows has none and breaks the lines.
    const ChartPlan nutrients = PlanChart(d, ChartNutrients, 0, kScreen);
    EXPECT_EQ(Markers(nutrients, kChartBlue).mid(1), (QVector<QPoint>{{50, 550}, {120, 575}, {260, 575}}));
    EXPECT_EQ(Markers(nutrients, kChartGreen).size() - 1, 3);
    EXPECT_EQ(Markers(nutrients, kChartRed).mid(1), (QVector<QPoint>{{50, 500}, {120, 550}, {260, 550}}));
    for (const QColor& c : {kChartBlue, kChartGreen, kChartRed}) EXPECT_EQ(Segments(nutrients, c).size(), 1);
    // Kind 0: an objective of 0 has no marker, but the next day joins the axis under it; the day
    // without sums keeps its objective point.
    const ChartPlan calories = PlanChart(d, ChartCalories, 0, kScreen);
    EXPECT_EQ(Markers(calories, kChartGreen).mid(1), (QVector<QPoint>{{120, 380}, {190, 360}, {260, 400}}));
    EXPECT_EQ(Segments(calories, kChartGreen).first(), qMakePair(QPoint(50, 600), QPoint(120, 380)));
    EXPECT_EQ(Segments(calories, kChartGreen).size(), 3);
    EXPECT_EQ(Segments(calories, kChartRed).size(), 1);
    // Kind 2: a weight of 0 draws nothing that day, and the next day's marker joins the axis.
    const ChartPlan weight = PlanChart(d, ChartWeight, 0, kScreen);
    EXPECT_EQ(Markers(weight, kChartGrey).mid(1), (QVector<QPoint>{{50, 440}, {190, 442}, {260, 444}}));
    EXPECT_EQ(Segments(weight, kChartGrey),
              (QVector<QPair<QPoint, QPoint>>{{{120, 600}, {190, 442}}, {{190, 442}, {260, 444}}}));
    EXPECT_EQ(weight.textAt({20, 95}), QStringLiteral("250"));
}

TEST(ChartPlan, PagesSheetsAndPaperGeometry) {
    struct { int days, pages; } cases[] = {{0, 1}, {1, 1}, {15, 1}, {16, 2}, {31, 3}};
    for (const auto& c : cases) {
        BalanceData d = Data(c.days, {});
        EXPECT_EQ(d.pageCount(), c.pages) << c.days;
        EXPECT_EQ(PlanChartSheets(d, ChartCalories, 6600, 5100).size(), c.pages) << c.days;
    }
    // 31 days: the third sheet holds the 31st alone in its first column, with the paper sizes.
    const BalanceData d = Data(31, {{14, 1000, 2000, 70}, {15, 1000, 2000, 70}, {30, 2000, 0, 0}});
    const QVector<ChartPlan> sheets = PlanChartSheets(d, ChartCalories, 6600, 5100);
    const ChartGeometry g = PaperChartGeometry(6600, 5100);
    EXPECT_EQ(g.columnWidth, 406);
    EXPECT_EQ(g.step, 480);
    EXPECT_EQ(sheets[0].textAt({5934, 4860}), QStringLiteral("15/01/2026"));
    EXPECT_EQ(sheets[1].textAt({250, 4860}), QStringLiteral("16/01/2026"));
    EXPECT_EQ(sheets[2].textAt({250, 4860}), QStringLiteral("31/01/2026"));
    EXPECT_TRUE(sheets[2].textAt({656, 4860}).isEmpty());
    // The last day of sheet 1 and the first of sheet 2 are not joined.
    for (const ChartPlan& s : sheets) EXPECT_TRUE(Segments(s, kChartRed).isEmpty());
    EXPECT_EQ(Markers(sheets[2], kChartRed), (QVector<QPoint>{{400, 70}, {250, 2930}}));
    EXPECT_EQ(sheets[2].textAt({430, 40}), QStringLiteral("Calories consommées (kcal)"));
    EXPECT_EQ(sheets[2].textAt({20, 4810 - 4800}), QStringLiteral("5000"));
    EXPECT_TRUE(Segments(sheets[2], kChartBlack).contains(qMakePair(QPoint(240, 4850), QPoint(260, 4850))));
    EXPECT_TRUE(Segments(sheets[2], kChartBlack).contains(qMakePair(QPoint(250, 4840), QPoint(250, 4860))));
    EXPECT_TRUE(Segments(sheets[2], kChartBlack).contains(qMakePair(QPoint(250, 50), QPoint(250, 4850))));
    for (const ChartOp& op : sheets[2].of(ChartOp::Diamond)) EXPECT_EQ(op.size, 20);
}

// Texts are shrunk to their room: a scale value ends before its tick, in the face that fits the
// widest value; a legend text ends before the next series' marker, the last has the rest of the line.
TEST(ChartPlan, ScaleAndLegendTextsKeepClearOfTheTicksAndTheNextMarker) {
    const BalanceData d = Data(1, {{0, 2000, 2000, 70}});
    for (const ChartGeometry& g : {kScreen, PaperChartGeometry(6600, 5100)}) {
        for (const auto& [kind, widest, legends] : {std::tuple{ChartCalories, "5000", 2}, {ChartNutrients, "1000", 3},
                                                    {ChartWeight, "250", 1}}) {
            const ChartPlan plan = PlanChart(d, kind, 0, g);
            int scaleTexts = 0;
            QVector<ChartOp> legend;
            for (const ChartOp& op : plan.of(ChartOp::Text)) {
                if (op.a.x() == g.scaleTextX) {
                    ++scaleTexts;
                    EXPECT_GT(op.maxWidth, 0);
                    EXPECT_LT(op.a.x() + op.maxWidth, g.left - g.scaleTick) << op.text.toStdString();
                    EXPECT_EQ(op.fitTo, QString::fromLatin1(widest));
                } else if (op.a.y() == g.legendTextY) {
                    legend.append(op);
                }
            }
            EXPECT_EQ(scaleTexts, 11);
            ASSERT_EQ(legend.size(), legends) << kind;
            for (int m = 0; m + 1 < legend.size(); ++m) {
                const int nextMarker = g.legendX + (m + 1) * g.legendSpacing;
                EXPECT_GT(legend[m].maxWidth, 0) << kind << " " << m;
                EXPECT_LE(legend[m].a.x() + legend[m].maxWidth, nextMarker - g.diamond) << kind << " " << m;
            }
            EXPECT_EQ(legend.last().maxWidth, 0) << kind;
        }
    }
}

TEST(BalancePaging, ButtonsAndIndicatorFromPageOneOfFour) {
    BalancePager p;
    auto state = [&p] {
        return QStringLiteral("%1 %2 %3%4%5%6").arg(p.indicator()).arg(p.PageFirstDay)
            .arg(int(p.premierEnabled)).arg(int(p.precedantEnabled)).arg(int(p.suivantEnabled)).arg(int(p.dernierEnabled));
    };
    for (const int days : {0, 15}) {
        p.reset(days);
        EXPECT_EQ(state(), QStringLiteral("1\\1 0 0000")) << days;
        EXPECT_FALSE(p.next());
        EXPECT_EQ(p.pageLastDay(), days - 1);
    }
    p.reset(50);
    EXPECT_EQ(state(), QStringLiteral("1\\4 0 0011"));
    // Each move, whether it moves, and where it lands.
    const struct { bool (BalancePager::*move)(); bool moved; const char* state; } moves[] = {
        {&BalancePager::previous, false, "1\\4 0 0011"}, {&BalancePager::last, true, "4\\4 45 1100"},
        {&BalancePager::next, false, "4\\4 45 1100"},    {&BalancePager::previous, true, "3\\4 30 1111"},
        {&BalancePager::first, true, "1\\4 0 0011"},     {&BalancePager::next, true, "2\\4 15 1111"},
        {&BalancePager::next, true, "3\\4 30 1111"},     {&BalancePager::next, true, "4\\4 45 1100"}};
    for (const auto& m : moves) {
        EXPECT_EQ((p.*m.move)(), m.moved) << m.state;
        EXPECT_EQ(state(), QString::fromLatin1(m.state));
    }
    EXPECT_EQ(p.pageLastDay(), 49);
}

TEST(ChartPaint, DiamondsOnAPicture) {
    const BalanceData d = Data(20, {{0, 2000, 2500, 70}, {1, 1500, 2500, 69}, {19, 1800, 2500, 68}});
    QImage image(1000, 650, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintChart(painter, PlanChart(d, ChartCalories, 0, kScreen));
    }
    EXPECT_EQ(image.pixelColor(50, 400), kChartRed);      // inside the 2000 kcal diamond
    EXPECT_EQ(image.pixelColor(53, 400), kChartRed);
    EXPECT_EQ(image.pixelColor(54, 404), Qt::white);      // outside its corner
    EXPECT_EQ(image.pixelColor(50, 350), kChartGreen);    // 2500 kcal objective
    EXPECT_EQ(image.pixelColor(500, 600), kChartBlack);   // time axis
    const QString dir = qEnvironmentVariable("VIVANDA_LOOK_DIR");
    if (!dir.isEmpty()) image.save(QDir(dir).filePath(QStringLiteral("chart_page.png")));
}

TEST_F(DataTest, BalanceLoadsByIsoDateAndPairsSumsByDate) {
    const QString user = QStringLiteral("O'Brien \"Jo\"");
    SaveHistoryDay(user, QDate(2025, 12, 30), 80, 2000, 2);        // 400 kcal
    SaveHistoryDay(user, QDate(2026, 1, 2), 79, 2100, 0);          // no food rows
    SaveHistoryDay(user, QDate(2026, 1, 3), 78, 2200, 3, 5);       // 1500 kcal
    SaveHistoryDay(QStringLiteral("Autre"), QDate(2026, 1, 1), 60, 1800, 1);
    SaveHistoryDay(user, QDate(2026, 2, 15), 77, 2000, 1);         // outside the period
    // A period across the new year, beginning before the first saved day and ending on the last.
    const BalanceData d = LoadBalance(user, QDate(2025, 12, 20), QDate(2026, 1, 3));
    EXPECT_EQ(d.InfoDates, (QVector<QDate>{{2025, 12, 30}, {2026, 1, 2}, {2026, 1, 3}}));
    EXPECT_EQ(d.InfoWeights, (QVector<double>{80, 79, 78}));
    EXPECT_EQ(d.InfoObjectives, (QVector<double>{2000, 2100, 2200}));
    EXPECT_EQ(d.DaySumCalories, (QVector<double>{400, 0, 1500}));
    EXPECT_EQ(d.DayHasSums, (QVector<bool>{true, false, true}));
    const std::pair<double, double> grams[] = {{d.DaySumLipids[2], 3}, {d.DaySumProteins[2], 6}, {d.DaySumCarbs[2], 90}};
    for (const auto& [sum, expected] : grams) EXPECT_DOUBLE_EQ(sum, expected);
    EXPECT_EQ(d.dayCount(), 5);
    EXPECT_EQ(d.ChartDays.first(), QDate(2025, 12, 30));
    EXPECT_EQ(LoadBalance(user, QDate(2026, 3, 1), QDate(2026, 3, 31)).dayCount(), 0);
    // Sums read a range of calendar days at a time: days 3 to 4 are the 1st to the 3rd of January.
    BalanceData lazy = LoadBalanceDays(user, QDate(2025, 12, 20), QDate(2026, 1, 31));
    EXPECT_EQ(lazy.SumsRead, (QVector<bool>{false, false, false}));
    ReadDaySums(lazy, 3, 4);
    EXPECT_EQ(lazy.SumsRead, (QVector<bool>{false, true, true}));
    EXPECT_EQ(lazy.DaySumCalories, (QVector<double>{0, 0, 1500}));
    ReadDaySums(lazy, -5, 99);
    EXPECT_EQ(lazy.DaySumCalories, d.DaySumCalories);
}
