// The printed day: what the report lays out for the current day and for a saved day, and the
// consumption window's print button.
#include <QFontMetricsF>
#include <QImage>
#include <QMainWindow>
#include <gtest/gtest.h>

#include "data/Query.h"
#include "reference/Uqraffirecette.h"
#include "support/ConsoWindowTest.h"
#include "tracking/DaySave.h"
#include "tracking/Uqrafficonsommation.h"

namespace {

const QLocale kFrench(QLocale::French, QLocale::France);

class ConsumptionReportTest : public ConsoWindowTest {
protected:
    void SetUp() override {
        ConsoWindowTest::SetUp();
        report = std::make_unique<TFQRAffiConsommation>();
        // Apple: 0.52 kcal, 0.003 g lipids, 0.0025 g proteins, 0.1134 g carbohydrates a gram.
        addRow("Pomme", 0.52, 0.003, 0.0025, 0.1134, 150, 0);
        addRow("Pain d'épice", 2.5, 0.012, 0.085, 0.5, 80, 1);
    }
    void TearDown() override {
        report.reset();
        ConsoWindowTest::TearDown();
    }
    static void addRow(const char* name, double cal, double lip, double prot, double carbs, double grams, int numero) {
        Query::execute(QStringLiteral("INSERT INTO t_consommation VALUES (?, ?, ?, ?, ?, ?, ?)"),
                       {QString::fromUtf8(name), cal, lip, prot, carbs, grams, numero});
    }
    QStringList texts(const report::ReportPlan& plan, const QString& name) {
        QStringList out;
        for (const report::PlanItem& item : plan.named(name)) out << item.text;
        return out;
    }
    QStringList perKilo(const report::ReportPlan& plan) {
        QStringList out;
        for (const char* n : {"Calories", "Lipides", "Protides", "Glucides"})
            out += texts(plan, QStringLiteral("QRParKilo") + QLatin1String(n));
        return out;
    }
    std::unique_ptr<TFQRAffiConsommation> report;
};

}  // namespace

TEST_F(ConsumptionReportTest, CurrentDayItemsTotalsAndPerKilo) {
    report->TableSource = QStringLiteral("t_consommation");
    report->Poids = 0;
    report::ReportPlan plan = report->LayOut(kFrench);
    EXPECT_EQ(plan.pageCount, 1);
    EXPECT_EQ(texts(plan, "QRLblConsommationJournee")[0] + ' ' + texts(plan, "QRLblUtilisateur")[0],
              QString::fromUtf8("Consommation de la journée en calories et différents nutriments"));
    // Per gram as stored, for the quantity through ####0.###.
    const std::pair<const char*, QStringList> items[] = {
        {"QRDBTxtAliment", {"Pomme", QString::fromUtf8("Pain d'épice")}}, {"QRDBTxtCalories", {"0,52", "2,5"}},
        {"QRExprCalories", {"78", "200"}}, {"QRExprGlucides", {"17,01", "40"}}, {"QRExprProtides", {"0,375", "6,8"}},
        {"QRDBTxtQuantite", {"150", "80"}}, {"QRTotCalories", {"278"}}, {"QRTotLipides", {"1,41"}},
        {"QRTotQuantite", {"230"}}};
    for (const auto& [name, expected] : items) EXPECT_EQ(texts(plan, name), expected) << name;
    // No weight: "-" for the four values per kilo.
    EXPECT_EQ(perKilo(plan), (QStringList{"-", "-", "-", "-"}));
    // Each food takes two lines.
    EXPECT_LT(plan.named("QRShBande1")[0].rect.top(), plan.named("QRShBande2")[0].rect.top());
    EXPECT_LT(plan.named("QRShBande2")[0].rect.top(), plan.named("QRShBande1")[1].rect.top());

    report->NomUtilisateur = QStringLiteral("Jean");
    report->Poids = 72;
    plan = report->LayOut(kFrench);
    EXPECT_EQ(texts(plan, "QRLblUtilisateur"), QStringList{"nutriments de Jean"});
    // 278 kcal / 72 kg; 1.41 g / 72 kg; 7.175 g / 72 kg; 57.01 g / 72 kg.
    EXPECT_EQ(perKilo(plan), (QStringList{"3,861", "0,02", "0,1", "0,792"}));

}

TEST_F(ConsumptionReportTest, SavedDayTakesItsTitleDateAndSavedWeight) {
    SaveProgress progress;
    const QDate day(2026, 3, 14);
    WriteSavedDay({QStringLiteral("O'Neil"), day, 0, 2000}, progress);
    WriteSavedDay({QStringLiteral("Jean"), day, 80, 2000}, progress);
    WriteSavedDay({QStringLiteral("O'Neil"), day.addDays(1), 0, 2000}, progress);   // another day: not listed
    Query::execute(QStringLiteral("DELETE FROM t_consommation"));

    report->TableSource = QStringLiteral("t_histo_consommation");
    report->NomUtilisateur = QStringLiteral("O'Neil");
    report->DateConso = day;
    report->Poids = 72;   // the current day's weight: not read for a saved day
    report::ReportPlan plan = report->LayOut(kFrench);
    EXPECT_EQ(texts(plan, "QRLblConsommationJournee"),
              QStringList{QString::fromUtf8("Consommation de la journée du 14/03/2026 en calories et différents")});
    EXPECT_EQ(texts(plan, "QRLblUtilisateur"), QStringList{"nutriments d'O'Neil"});
    EXPECT_EQ(texts(plan, "QRTotCalories"), QStringList{"278"});
    EXPECT_EQ(perKilo(plan), (QStringList{"-", "-", "-", "-"}));

    report->NomUtilisateur = QStringLiteral("Jean");
    plan = report->LayOut(kFrench);
    EXPECT_EQ(texts(plan, "QRParKiloCalories"), QStringList{"3,475"});   // 278 kcal / 80 kg
}

TEST_F(ConsumptionReportTest, AFullDayTakesTwoPagesWithTheTitlesOnceAndTheTotalsAtTheEnd) {
    for (int i = 2; i < 50; ++i) addRow("Aliment", 1, 0, 0, 0, 10, i);
    report->TableSource = QStringLiteral("t_consommation");
    const report::ReportPlan plan = report->LayOut(kFrench);
    ASSERT_EQ(plan.pageCount, 2);
    EXPECT_EQ(plan.named("QRDBTxtAliment").size(), 50);
    const auto titles = plan.named("QRLblConsommationJournee");
    ASSERT_EQ(titles.size(), 1);
    EXPECT_EQ(titles[0].page, 0);
    const auto totals = plan.named("QRTotCalories");
    ASSERT_EQ(totals.size(), 1);
    EXPECT_EQ(totals[0].page, 1);
    EXPECT_EQ(totals[0].text, "758");   // 278 + 48 x 10
}

TEST_F(ConsumptionReportTest, PrintButtonShowsThePreviewOfTheCurrentUsersDay) {
    TFConsoJournaliere& f = open();   // its first activation empties the day
    appState().SwitchCarbsBelowMinimum = 0;
    appState().CurrentUserName = QStringLiteral("Marie");
    appState().CurrentUserWeight = 58;
    addRow("Pomme", 0.52, 0.003, 0.0025, 0.1134, 150, 0);
    f.TConsommation.refresh();
    // While the preview is up its activations are skipped; once it is closed they are not.
    QStringList previews;
    modal::pushHandler([&previews](modal::Call& c) {
        previews << c.caption;
        EXPECT_EQ(TFConsoJournaliere::SkipActivationAfterPrint, 1);
    });
    f.BtnImprimerClick();
    EXPECT_EQ(TFConsoJournaliere::SkipActivationAfterPrint, 0);
    EXPECT_EQ(previews, QStringList{QString::fromUtf8("Consommation journalière")});
    EXPECT_EQ(report->NomUtilisateur, QStringLiteral("Marie"));
    EXPECT_EQ(report->Poids, 58);
    EXPECT_EQ(report->TableSource, QStringLiteral("t_consommation"));
}

TEST(ReportForms, StayHiddenWhenTheFrameShows) {
    // Both report forms belong to the frame but only ever show their preview.
    QMainWindow frame;
    auto* day = new TFQRAffiConsommation(&frame);
    auto* recipe = new TFQRAffiRecette(&frame);
    frame.show();
    EXPECT_FALSE(day->isVisible());
    EXPECT_FALSE(recipe->isVisible());
}

TEST_F(ConsumptionReportTest, RecipeRowsPrintEveryValueThroughItsMask) {
    // A recipe's values per gram are computed from its ingredients and carry every digit.
    addRow("Salade de fruits", 1.84409311348206, 0.0123456789, 0.00987654321, 0.4321987654, 123.456789, 2);
    report->TableSource = QStringLiteral("t_consommation");
    report->Poids = 70;
    const report::ReportPlan plan = report->LayOut(kFrench);
    const std::pair<const char*, const char*> recipe[] = {
        {"QRDBTxtCalories", "1,84"},      {"QRDBTxtLipides", "0,01"},       {"QRDBTxtProtides", "0,01"},
        {"QRDBTxtGlucides", "0,43"},      {"QRExprCalories", "227,666"},    {"QRExprLipides", "1,524"},
        {"QRExprProtides", "1,219"},      {"QRExprGlucides", "53,358"},     {"QRDBTxtQuantite", "123,457"}};
    for (const auto& [name, text] : recipe) EXPECT_EQ(texts(plan, name).value(2), text) << name;
    // Every value of every band: at most two decimals per gram, three elsewhere.
    for (const report::PlanItem& item : plan.items) {
        const bool value = (item.name.startsWith("QRDBTxt") || item.name.startsWith("QRExpr") ||
                            item.name.startsWith("QRTot") || item.name.startsWith("QRParKilo")) &&
                           !item.name.endsWith("Unite") && item.name != "QRDBTxtAliment";
        if (!value) continue;
        const int decimals = item.text.contains(',') ? int(item.text.size() - item.text.indexOf(',') - 1) : 0;
        EXPECT_LE(decimals, item.name.startsWith("QRDBTxt") && item.name != "QRDBTxtQuantite" ? 2 : 3)
            << item.name.toStdString() << " " << item.text.toStdString();
    }
}

// The printed columns stay apart: the ink of no text overlaps another's (measured in the text's
// font, placed by its alignment), all of it lies between the 10 mm margins, and each food's texts
// sit inside the shading of their line.
TEST_F(ConsumptionReportTest, TextsNeitherOverlapNorLeaveTheirLine) {
    addRow("Fromage de chèvre frais au lait entier", 2.06, 0.163, 0.108, 0.028, 12345.678, 2);
    report->TableSource = QStringLiteral("t_consommation");
    report->Poids = 70;
    const report::ReportPlan plan = report->LayOut(kFrench);
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(100000);   // 100 dots a millimetre
    device.setDotsPerMeterY(100000);
    QList<report::PlanItem> shading;
    QList<std::pair<QRectF, const report::PlanItem*>> inks;
    for (const report::PlanItem& item : plan.items) {
        if (item.name.startsWith("QRShBande")) shading << item;
        if (item.kind != report::PlanKind::Text || item.text.isEmpty()) continue;
        const double width = QFontMetricsF(item.font, &device).horizontalAdvance(item.text) / 100;
        const QRectF& r = item.rect;
        const double left = item.alignment & Qt::AlignRight     ? r.right() - width
                            : item.alignment & Qt::AlignHCenter ? r.center().x() - width / 2
                                                                : r.left();
        inks.append({QRectF(left, r.top(), std::min(width, r.width()), r.height()), &item});
    }
    ASSERT_EQ(shading.size(), 6);
    for (qsizetype i = 0; i < inks.size(); ++i) {
        const auto& [ink, item] = inks[i];
        const std::string what = item->name.toStdString() + " '" + item->text.toStdString() + "'";
        EXPECT_GE(ink.left(), 10 - 1e-9) << what;
        EXPECT_LE(ink.right(), 200 + 1e-9) << what;
        for (qsizetype j = i + 1; j < inks.size(); ++j) {
            const QRectF both = ink.intersected(inks[j].first);
            EXPECT_FALSE(item->page == inks[j].second->page && both.width() > 1e-6 && both.height() > 1e-6)
                << what << " overlaps " << inks[j].second->name.toStdString();
        }
        if (item->band == QLatin1String("DetailBand1"))
            EXPECT_TRUE(std::any_of(shading.begin(), shading.end(), [&](const report::PlanItem& s) {
                return s.rect.top() - 1e-9 <= item->rect.top() && item->rect.bottom() <= s.rect.bottom() + 1e-9;
            })) << what << " leaves its line";
    }
}
