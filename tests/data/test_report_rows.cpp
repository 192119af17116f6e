#include <gtest/gtest.h>

#include "data/Query.h"
#include "data/ReportRows.h"
#include "support/DataFixture.h"

// A query's rows reach the report as they are: names, order, types and nulls, cursor untouched.
TEST_F(DataTest, ReportDataOfAQuery) {
    Query::execute("INSERT INTO t_consommation (NomAliment, CaloriesGramme, QuantiteGramme, Numero) "
                   "VALUES (?, ?, ?, ?), (?, ?, ?, ?)",
                   {QStringLiteral("Crème d'Isigny"), 3.3, 20.0, 2, QStringLiteral("Pain"), 2.5, QVariant(), 1});
    Query q("SELECT NomAliment, CaloriesGramme, QuantiteGramme, 72 as poids_utilisateur FROM t_consommation "
            "ORDER BY Numero");
    q.open();
    q.next();
    const report::ReportData data = ReportDataOf(q);
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_EQ(data.columns, (QStringList{"NomAliment", "CaloriesGramme", "QuantiteGramme", "poids_utilisateur"}));
    ASSERT_EQ(data.rows.size(), 2);
    EXPECT_EQ(data.value(0, 0).toString(), QStringLiteral("Pain"));
    EXPECT_TRUE(data.value(0, data.columnIndex("quantitegramme")).isNull());
    EXPECT_EQ(data.value(1, 0).toString(), QStringLiteral("Crème d'Isigny"));
    EXPECT_DOUBLE_EQ(data.value(1, 1).toDouble(), 3.3);
    EXPECT_EQ(data.value(1, 3).toInt(), 72);
}
