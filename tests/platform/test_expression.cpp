#include <gtest/gtest.h>

#include "platform/report/Expression.h"
#include "platform/report/Report.h"

using report::EvalContext;
using report::Expression;
using report::ReportData;

namespace {

ReportData rows() {
    ReportData d;
    d.columns = {"NomAliment", "CaloriesGramme", "QuantiteGramme", "poids_utilisateur"};
    d.rows << QVariantList{"Pain", 2.5, 100.0, 80}
           << QVariantList{"Lait", 0.5, 200.0, 80}
           << QVariantList{"Beurre", 7.5, QVariant(), 80};
    return d;
}

QVariant eval(const QString& text, const ReportData& d, int row, int first = 0, int last = -1) {
    QString error;
    Expression e = Expression::parse(text, &error);
    EXPECT_TRUE(e.isValid()) << text.toStdString() << ": " << error.toStdString();
    return e.evaluate(EvalContext{&d, row, first, last});
}

}  // namespace

TEST(Expression, ArithmeticFieldsAndPrecedence) {
    const ReportData d = rows();
    EXPECT_DOUBLE_EQ(eval("CaloriesGramme*QuantiteGramme", d, 0).toDouble(), 250);
    EXPECT_DOUBLE_EQ(eval("1 + 2 * 3 - -4 / 2", d, 0).toDouble(), 9);
    EXPECT_DOUBLE_EQ(eval("(1 + 2) * 3", d, 0).toDouble(), 9);
    EXPECT_DOUBLE_EQ(eval("caloriesgramme + c.QuantiteGramme", d, 1).toDouble(), 200.5);   // case, prefix
    EXPECT_DOUBLE_EQ(eval("QuantiteGramme + 1", d, 2).toDouble(), 1);                     // null counts 0
    EXPECT_FALSE(eval("CaloriesGramme / 0", d, 0).isValid());
}

// SUM and IF over a report's groups are checked through the report layout.
TEST(Expression, SumScopes) {
    const ReportData d = rows();
    EXPECT_DOUBLE_EQ(eval("SUM(QuantiteGramme)", d, 1, 1, 2).toDouble(), 200);
    EXPECT_DOUBLE_EQ(eval("SUM(QuantiteGramme)", d, -1, 0, -1).toDouble(), 0);
}

TEST(Expression, SyntaxErrorsAreReportedAndFieldNamesListed) {
    for (const char* bad : {"SUM(QuantiteGramme", "1 +", "IF(1, 2)", "MAX(1)", "'open", "2 $ 3"}) {
        QString error;
        EXPECT_FALSE(Expression::parse(bad, &error).isValid()) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
    const Expression e = Expression::parse("IF(poids_utilisateur > 0, SUM(CaloriesGramme*QuantiteGramme), '-')");
    EXPECT_EQ(e.fieldNames(), (QStringList{"poids_utilisateur", "CaloriesGramme", "QuantiteGramme"}));
}

// Each comparison at its bound, on numbers and texts, as an IF reads it.
TEST(Expression, ComparisonsAtTheirBounds) {
    const ReportData d = rows();
    const std::pair<const char*, int> cases[] = {
        {"poids_utilisateur > 80", 0},  {"poids_utilisateur >= 80", 1}, {"poids_utilisateur < 80", 0},
        {"poids_utilisateur <= 80", 1}, {"poids_utilisateur = 80", 1},  {"poids_utilisateur <> 80", 0},
        {"poids_utilisateur<>79", 1},   {"CaloriesGramme*2 >= 5", 1},   {"NomAliment = 'Pain'", 1},
        {"NomAliment <> 'Pain'", 0}};
    for (const auto& [condition, expected] : cases)
        EXPECT_EQ(eval(QStringLiteral("IF(%1, 1, 0)").arg(QLatin1String(condition)), d, 0).toInt(), expected) << condition;
}
