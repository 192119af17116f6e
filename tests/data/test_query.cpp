#include <QDate>
#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/Query.h"
#include "support/DataFixture.h"

// Texts holding ' and " go through bindings untouched; dates are stored as YYYY-MM-DD so BETWEEN
// works; a second statement is refused.
TEST_F(DataTest, QueryBindsQuotesNamesAndDates) {
    const QString name = QStringLiteral("O'Brien \"Bob\"");
    Query ins("INSERT INTO t_utilisateurs (Nom, Age, Taille, Poids, Sexe) VALUES (?, ?, ?, ?, ?);");
    ins.addBindValue(name).addBindValue(40).addBindValue(180).addBindValue(82).addBindValue("M");
    EXPECT_EQ(ins.exec(), 1);
    Query q("SELECT Nom, Age, Poids, Sexe FROM t_utilisateurs WHERE Nom = ?", {name});
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asString("Nom"), name);
    EXPECT_EQ(q.asInt("age"), 40);  // names ignore case
    EXPECT_EQ(q.asInt(2), 82);
    EXPECT_EQ(q.asString("Sexe"), "M");

    Query::execute("INSERT INTO t_histo_infos_utilisateur VALUES (?, ?, ?, ?)",
                   {name, QDate(2024, 3, 9), 81.5, 2200.0});
    EXPECT_EQ(Query::scalar("SELECT DateConso FROM t_histo_infos_utilisateur WHERE NomUtilisateur = ? "
                            "AND DateConso BETWEEN ? AND ?",
                            {name, QDate(2024, 3, 1), QDate(2024, 3, 31)}).toString(), "2024-03-09");
    EXPECT_THROW(Query::execute("DELETE FROM t_consommation; DELETE FROM t_utilisateurs"), DatabaseError);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_utilisateurs").toInt(), 3);
}

// The cursor: first row after open, eof after the last next (still on the last row), both
// flags on an empty result; nulls read as "" and 0; unknown fields raise.
TEST_F(DataTest, QueryCursorAndNulls) {
    Query q("SELECT IdAliment, NomAlimentFrancais, NomAlimentAllemand, PoidsMoyen FROM t_aliments "
            "WHERE IdCatAliment = ? ORDER BY IdAliment", {3});
    q.open();
    EXPECT_TRUE(q.bof() && !q.eof());
    QStringList names;
    for (q.first(); !q.eof(); q.next()) names << q.asString(1);
    EXPECT_EQ(names, QStringList({"Lait demi-écrémé", "Crème fraîche", "Yaourt nature"}));
    EXPECT_EQ(q.asString(1), "Yaourt nature");
    q.prior();  // Crème fraîche: no German name, no average weight
    EXPECT_TRUE(q.isNull("NomAlimentAllemand"));
    EXPECT_EQ(q.asString("NomAlimentAllemand"), "");
    EXPECT_EQ(q.asDouble("PoidsMoyen"), 0.0);

    q.setSql("SELECT * FROM t_consommation");
    q.open();
    EXPECT_TRUE(q.eof() && q.bof());
    EXPECT_TRUE(q.isNull("Numero"));
    EXPECT_THROW(q.value("Absent"), DatabaseError);
}

// Closed, or after a statement that fails, a query is inactive and holds no row: a reader that
// checks it does not take the rows of an earlier statement for the new one's.
TEST_F(DataTest, AClosedOrFailedQueryIsInactiveWithoutRows) {
    Query q("SELECT NomAlimentFrancais FROM t_aliments");
    q.open();
    ASSERT_TRUE(q.isActive() && !q.isEmpty());
    q.close();
    EXPECT_FALSE(q.isActive());
    EXPECT_TRUE(q.isEmpty() && q.eof());
    q.open();
    q.setSql("SELECT Nom FROM t_absente");
    EXPECT_THROW(q.open(), DatabaseError);
    EXPECT_FALSE(q.isActive());
    EXPECT_TRUE(q.isEmpty());
}

// Locate searches from the first row; options ignore case (not accents) and match a beginning;
// when nothing matches the cursor stays where it was.
TEST_F(DataTest, LocateOptions) {
    Query q("SELECT IdAliment, NomAlimentFrancais FROM t_aliments ORDER BY IdAliment");
    q.open();
    const struct { const char* column; QVariant value; LocateOptions options; int id; } cases[] = {
        {"NomAlimentFrancais", "POMME D", {true, true}, 6},
        {"NomAlimentFrancais", "pomme", {true, false}, 1},
        {"NomAlimentFrancais", "crème FRAÎCHE", {true, false}, 8},
        {"NomAlimentFrancais", "yaourt", {true, true}, 9},
        {"NomAlimentFrancais", "POMME", {false, true}, 0},   // case counts
        {"NomAlimentFrancais", "Pomm", {}, 0},               // whole value
        {"NomAlimentFrancais", "creme", {true, true}, 0},    // accents count
        {"IdAliment", 7, {}, 7},
    };
    for (const auto& c : cases) {
        q.last();
        EXPECT_EQ(q.locate(c.column, c.value, c.options), c.id != 0) << c.value.toString().toStdString();
        EXPECT_EQ(q.asInt(0), c.id ? c.id : 14) << c.value.toString().toStdString();
    }
}

// New ids: the largest + 1, or 1 on an empty table.
TEST_F(DataTest, NextIdIsLargestPlusOne) {
    EXPECT_EQ(NextId("t_aliments", "IdAliment"), 15);
    for (const char* table : {"t_categories_recettes", "t_ingredients_recettes", "t_recettes"})
        Query::execute(QString("DELETE FROM ") + table);
    EXPECT_EQ(NextId("t_recettes", "IdRecette"), 1);
}
