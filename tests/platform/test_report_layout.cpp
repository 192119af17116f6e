#include <gtest/gtest.h>

#include "platform/report/Report.h"

using namespace report;

namespace {

const QLocale kFrench(QLocale::French, QLocale::France);
const QColor kCream(251, 249, 235);
const QColor kGrey(227, 225, 225);
constexpr double kHeader = 20, kChild = 10, kDetail = 10, kFooter = 12;

// A recipe sheet in miniature: one group per recipe, a child band of column titles, two lines
// per ingredient, totals, per-person and per-kilo lines in the footer.
Report recipeSheet() {
    Report r;
    Group g;
    g.expression = "NomRecette";
    g.header.name = "QRGroup";
    g.header.height = kHeader;
    g.header.items << field("QRDBTxtNomRecette", "NomRecette", {0, 0, 120, 8}).withPointSize(16);
    Band titles;
    titles.name = "ChildBand1";
    titles.height = kChild;
    titles.items << label("LblAliment", "Aliment", pxRect(8, 2, 100, 17)).bold();
    g.header.children << titles;
    g.footer.name = "QRFinGroup";
    g.footer.height = kFooter;
    g.footer.items << line("QRTrait", {0, 0}, {190, 0})
                   << label("LblTotal", "Total", {0, 1, 30, 5})
                   << expression("QRTotCalories", "SUM(CaloriesGramme*QuantiteGramme)", pxRect(174, 4, 100, 17), "####0.##")
                   << expression("QRTotQuantite", "SUM(QuantiteGramme)", pxRect(631, 4, 80, 17), "####0.##")
                   << expression("QRParPersonne", "SUM(CaloriesGramme*QuantiteGramme)/nb_parts", pxRect(174, 24, 100, 17),
                                 "####0.##")
                   << expression("QRParKilo",
                                 "IF(poids_utilisateur >0,(SUM(CaloriesGramme*QuantiteGramme)/poids_utilisateur),'-')",
                                 pxRect(291, 24, 100, 17), "####0.###");
    r.groups << g;
    r.detail.name = "DetailBand";
    r.detail.height = kDetail;
    r.detail.items << rectangle("QRShBande1", {0, 0, 190, 5}, kCream)
                   << rectangle("QRShBande2", {0, 5, 190, 5}, kGrey)
                   << field("QRDBTxtAliment", "NomAliment", pxRect(8, 1, 160, 15))
                   << field("QRDBTxtCalories", "CaloriesGramme", pxRect(174, 1, 60, 15))
                   << expression("QRExprCalories", "CaloriesGramme*QuantiteGramme", pxRect(174, 20, 60, 15), "####0.###")
                   << field("QRDBTxtQuantite", "QuantiteGramme", pxRect(631, 20, 60, 15), "####0.###");
    return r;
}

ReportData twoRecipes() {
    ReportData d;
    d.columns = {"NomRecette", "NomAliment", "CaloriesGramme", "QuantiteGramme", "nb_parts", "poids_utilisateur"};
    d.rows << QVariantList{"Tarte", "Farine", 0.52, 150.0, 4, 80}
           << QVariantList{"Tarte", "Sucre", 1.0, 1156.567, 4, 80}
           << QVariantList{"Soupe", "Poireau", 0.3, 12.0, 2, 0}
           << QVariantList{"Soupe", "Eau", 0.0, 1234.5, 2, 0};
    return d;
}

// Nothing prints below the bottom margin of a page `height` millimetres tall.
void expectWithinTheBody(const ReportPlan& plan, double height) {
    for (const PlanItem& item : plan.items) EXPECT_LE(item.rect.bottom(), height - 10 + 1e-9) << item.name.toStdString();
}

QStringList textsOf(const ReportPlan& plan, const QString& name) {
    QStringList out;
    for (const PlanItem& item : plan.named(name)) out << item.text;
    return out;
}

}  // namespace

TEST(ReportLayout, TwoGroupsPlaceBandsInOrderWithMasksSumsAndIf) {
    const ReportPlan plan = layoutReport(recipeSheet(), twoRecipes(), kFrench);
    ASSERT_TRUE(plan.errors.isEmpty()) << plan.errors.join('\n').toStdString();
    EXPECT_EQ(plan.pageCount, 1);
    EXPECT_EQ(textsOf(plan, "QRDBTxtNomRecette"), (QStringList{"Tarte", "Soupe"}));
    EXPECT_EQ(textsOf(plan, "LblAliment").size(), 2);   // the child band follows each header
    EXPECT_EQ(textsOf(plan, "QRDBTxtAliment"), (QStringList{"Farine", "Sucre", "Poireau", "Eau"}));
    // Per-gram values print in their own format, products and quantities through "####0.###".
    EXPECT_EQ(textsOf(plan, "QRDBTxtCalories"), (QStringList{"0,52", "1", "0,3", "0"}));
    EXPECT_EQ(textsOf(plan, "QRExprCalories"), (QStringList{"78", "1156,567", "3,6", "0"}));
    EXPECT_EQ(textsOf(plan, "QRDBTxtQuantite"), (QStringList{"150", "1156,567", "12", "1234,5"}));
    // Sums run over each recipe's own rows; "####0.##" rounds them.
    EXPECT_EQ(textsOf(plan, "QRTotCalories"), (QStringList{"1234,57", "3,6"}));
    EXPECT_EQ(textsOf(plan, "QRTotQuantite"), (QStringList{"1306,57", "1246,5"}));
    EXPECT_EQ(textsOf(plan, "QRParPersonne"), (QStringList{"308,64", "1,8"}));
    EXPECT_EQ(textsOf(plan, "QRParKilo"), (QStringList{"15,432", "-"}));

    // Positions: bands stack from the top margin; items sit at their offsets from the band's
    // top-left corner on the left margin.
    const QList<PlanItem> headers = plan.named("QRDBTxtNomRecette");
    EXPECT_EQ(headers[0].rect.topLeft(), QPointF(10, 10));
    const QList<PlanItem> foods = plan.named("QRDBTxtAliment");
    EXPECT_NEAR(foods[0].rect.left(), 10 + 8 * 25.4 / 96, 1e-9);
    EXPECT_NEAR(foods[0].rect.top(), 10 + kHeader + kChild + px(1), 1e-9);
    EXPECT_NEAR(foods[1].rect.top() - foods[0].rect.top(), kDetail, 1e-9);
    EXPECT_NEAR(headers[1].rect.top(), 10 + kHeader + kChild + 2 * kDetail + kFooter, 1e-9);
    const QList<PlanItem> rules = plan.named("QRTrait");
    ASSERT_EQ(rules.size(), 2);
    EXPECT_NEAR(rules[0].rect.top(), 10 + kHeader + kChild + 2 * kDetail, 1e-9);
    EXPECT_EQ(plan.named("QRShBande2").value(3).fill, kGrey);
}

TEST(ReportLayout, EmptySourceStillPrintsHeaderAndFooter) {
    ReportData empty = twoRecipes();
    empty.rows.clear();
    const ReportPlan plan = layoutReport(recipeSheet(), empty, kFrench);
    EXPECT_TRUE(plan.errors.isEmpty());
    EXPECT_EQ(plan.pageCount, 1);
    EXPECT_EQ(textsOf(plan, "QRDBTxtNomRecette"), QStringList{""});
    EXPECT_EQ(textsOf(plan, "LblAliment"), QStringList{"Aliment"});
    EXPECT_TRUE(plan.named("QRDBTxtAliment").isEmpty());
    EXPECT_EQ(textsOf(plan, "QRTotCalories"), QStringList{"0"});
    EXPECT_EQ(textsOf(plan, "QRParKilo"), QStringList{"-"});
    EXPECT_NEAR(plan.named("LblTotal")[0].rect.top(), 10 + kHeader + kChild + 1, 1e-9);
}

TEST(ReportLayout, DetailOverflowBreaksThePage) {
    Report r = recipeSheet();
    r.groups[0].expression.clear();   // one group over every row
    ReportData d = twoRecipes();
    d.rows.clear();
    const int rowCount = 40;
    for (int i = 0; i < rowCount; ++i) d.rows << QVariantList{"Tarte", QString("Aliment %1").arg(i), 1.0, 10.0, 1, 70};
    const ReportPlan plan = layoutReport(r, d, kFrench);
    ASSERT_TRUE(plan.errors.isEmpty());

    const int firstPageRows = static_cast<int>((297 - 10 - (10 + kHeader + kChild)) / kDetail);
    EXPECT_EQ(plan.pageCount, 2);
    const QList<PlanItem> foods = plan.named("QRDBTxtAliment");
    ASSERT_EQ(foods.size(), rowCount);
    expectWithinTheBody(plan, 297);
    EXPECT_EQ(foods[firstPageRows - 1].page, 0);
    EXPECT_EQ(foods[firstPageRows].page, 1);
    EXPECT_EQ(foods[firstPageRows].text, QString("Aliment %1").arg(firstPageRows));
    // The header is not repeated: the next page starts with the rows.
    EXPECT_NEAR(foods[firstPageRows].rect.top(), 10 + px(1), 1e-9);
    EXPECT_EQ(plan.named("QRDBTxtNomRecette").size(), 1);
    // The footer follows the last row on the last page and sums every row.
    const PlanItem total = plan.named("QRTotCalories").value(0);
    EXPECT_EQ(total.page, 1);
    EXPECT_EQ(total.text, QString::number(rowCount * 10));
}

TEST(ReportLayout, RichTextStretchesItsBandAndPushesWhatIsBelow) {
    Report r = recipeSheet();
    r.groups[0].header.items << richTextField("QRDBRichTxtDescRecette", "Desc", {0, 9, 120, 5})
                             << label("Apres", "sous la description", {0, 15, 60, 5});
    ReportData d = twoRecipes();
    d.columns << "Desc";
    d.rows[0] << QStringLiteral("ligne 1\nligne 2\nligne 3\nligne 4\nligne 5\nligne 6");
    d.rows[1] << QVariant();
    d.rows[2] << QStringLiteral("{\\rtf1\\ansi {\\b Cr\\'e8me} br\\u251?l\\'e9e\\par fin}");
    d.rows[3] << QVariant();
    const ReportPlan plan = layoutReport(r, d, kFrench);
    ASSERT_TRUE(plan.errors.isEmpty());

    const QList<PlanItem> desc = plan.named("QRDBRichTxtDescRecette");
    ASSERT_EQ(desc.size(), 2);
    EXPECT_EQ(desc[0].kind, PlanKind::RichText);
    EXPECT_TRUE(desc[0].text.contains("ligne 6"));
    const double growth = desc[0].rect.height() - 5;
    EXPECT_GT(growth, 10);   // six lines of 10 pt need more than 5 mm
    EXPECT_NEAR(plan.named("Apres")[0].rect.top(), 10 + 15 + growth, 1e-9);
    EXPECT_NEAR(plan.named("LblAliment")[0].rect.top(), 10 + kHeader + growth + px(2), 1e-9);
    // An RTF description arrives as HTML with its formatting.
    EXPECT_TRUE(desc[1].text.contains(QStringLiteral("Crème"))) << desc[1].text.toStdString();
    EXPECT_TRUE(desc[1].text.contains(QStringLiteral("brûlée")));
    EXPECT_TRUE(desc[1].text.contains("font-weight"));
}

TEST(ReportLayout, BadExpressionsAndUnknownColumnsAreReported) {
    Report r = recipeSheet();
    r.item("QRTotCalories")->text = "SUM(CaloriesGramme*";
    r.item("QRDBTxtAliment")->column = "NomInconnu";
    const ReportPlan plan = layoutReport(r, twoRecipes(), kFrench);
    ASSERT_EQ(plan.errors.size(), 2);
    EXPECT_TRUE(plan.errors.join(' ').contains("NomInconnu"));
    EXPECT_TRUE(plan.errors.join(' ').contains("QRTotCalories"));
    EXPECT_EQ(textsOf(plan, "QRTotCalories"), (QStringList{"", ""}));
}

TEST(ReportLayout, TextTallerThanAPageIsCutAtThePageBody) {
    Report r = recipeSheet();
    r.groups[0].header.items << richTextField("QRDBRichTxtDescRecette", "Desc", {0, 9, 120, 5});
    ReportData d = twoRecipes();
    d.columns << "Desc";
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QString("ligne %1").arg(i);
    for (QVariantList& row : d.rows) row << lines.join('\n');
    const ReportPlan plan = layoutReport(r, d, kFrench);
    const QList<PlanItem> desc = plan.named("QRDBRichTxtDescRecette");
    ASSERT_EQ(desc.size(), 2);
    expectWithinTheBody(plan, 297);
    EXPECT_NEAR(desc[0].rect.bottom(), 297 - 10, 1e-9);
    // What follows the cut band starts the next page; the second recipe's header, too tall for
    // what is left there, starts a page of its own.
    EXPECT_EQ(desc[1].page, 2);
    EXPECT_NEAR(desc[1].rect.top(), 10 + 9, 1e-9);
    const PlanItem titles = plan.named("LblAliment").value(0);
    EXPECT_EQ(titles.page, 1);
    EXPECT_NEAR(titles.rect.top(), 10 + px(2), 1e-9);
}
