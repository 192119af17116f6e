#include <QDate>
#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/Query.h"
#include "support/DataFixture.h"

// Texts holding ' and " go through bindings untouched; positional and named bindings mix.
TEST_F(DataTest, QueryBindsQuotesAndNamedValues) {
    const QString name = QStringLiteral("O'Brien \"Bob\"");
    Query ins("INSERT INTO t_utilisateurs (Nom, Age, Taille, Poids, Sexe) VALUES (?, ?, ?, :poids, :sexe);");
    ins.addBindValue(name).addBindValue(40).addBindValue(180);
    ins.bindValue(":poids", 82).bindValue("sexe", "M");
    EXPECT_EQ(ins.exec(), 1);

    Query q("SELECT Nom, Age, Poids, Sexe FROM t_utilisateurs WHERE Nom = ?", {name});
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asString("Nom"), name);
    EXPECT_EQ(q.asInt("age"), 40);  // names ignore case
    EXPECT_EQ(q.asInt(2), 82);
    EXPECT_EQ(q.asString("Sexe"), "M");

    // Dates are stored as YYYY-MM-DD so BETWEEN works on them.
    Query::execute("INSERT INTO t_histo_infos_utilisateur VALUES (?, ?, ?, ?)",
                   {name, QDate(2024, 3, 9), 81.5, 2200.0});
    EXPECT_EQ(Query::scalar("SELECT DateConso FROM t_histo_infos_utilisateur WHERE NomUtilisateur = ? "
                            "AND DateConso BETWEEN ? AND ?",
                            {name, QDate(2024, 3, 1), QDate(2024, 3, 31)}).toString(), "2024-03-09");
    // A missing parameter name and a second statement in one text are refused.
    Query bad("SELECT 1 WHERE 1 = :x");
    bad.bindValue(":y", 1);
    EXPECT_THROW(bad.open(), DatabaseError);
    EXPECT_THROW(Query::execute("DELETE FROM t_consommation; DELETE FROM t_utilisateurs"), DatabaseError);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_utilisateurs").toInt(), 3);
}

// The cursor: first row after open, eof after the last next, both flags on an empty result,
// nulls read as 0 / "" and locate with its options.
TEST_F(DataTest, QueryCursorNullsAndLocate) {
    Query q("SELECT IdAliment, NomAlimentFrancais, NomAlimentAllemand, PoidsMoyen FROM t_aliments "
            "WHERE IdCatAliment = ? ORDER BY IdAliment", {3});
    q.open();
    EXPECT_TRUE(q.bof());
    EXPECT_FALSE(q.eof());
    QStringList names;
    for (q.first(); !q.eof(); q.next()) names << q.asString(1);
    EXPECT_EQ(names, QStringList({"Lait demi-écrémé", "Crème fraîche", "Yaourt nature"}));
    EXPECT_EQ(q.asString(1), "Yaourt nature");  // eof leaves the cursor on the last row

    ASSERT_TRUE(q.locate("NomAlimentFrancais", "crème FRAÎCHE", {true, false}));
    EXPECT_EQ(q.asInt("IdAliment"), 8);
    EXPECT_TRUE(q.isNull("NomAlimentAllemand"));
    EXPECT_EQ(q.asString("NomAlimentAllemand"), "");
    EXPECT_EQ(q.asDouble("PoidsMoyen"), 0.0);
    EXPECT_FALSE(q.locate("NomAlimentFrancais", "creme", {true, true}));  // accents count
    EXPECT_EQ(q.asInt("IdAliment"), 8);                                    // not found: no move
    EXPECT_FALSE(q.locate("NomAlimentFrancais", "yaourt", {false, true})); // case counts
    EXPECT_TRUE(q.locate("NomAlimentFrancais", "yaourt", {true, true}));
    EXPECT_EQ(q.asInt(0), 9);
    EXPECT_TRUE(q.locate("IdAliment", 7));
    EXPECT_EQ(q.asString(1), "Lait demi-écrémé");

    q.setSql("SELECT * FROM t_consommation");
    q.open();
    EXPECT_TRUE(q.eof());
    EXPECT_TRUE(q.bof());
    EXPECT_TRUE(q.isNull("Numero"));
    EXPECT_THROW(q.value("Absent"), DatabaseError);
}

// New ids: the largest + 1, or 1 on an empty table.
TEST_F(DataTest, NextIdIsLargestPlusOne) {
    EXPECT_EQ(NextId("t_aliments", "IdAliment"), 15);
    EXPECT_EQ(NextId("t_recettes", "IdRecette"), 3);
    Query::execute("DELETE FROM t_categories_recettes");
    Query::execute("DELETE FROM t_ingredients_recettes");
    Query::execute("DELETE FROM t_recettes");
    EXPECT_EQ(NextId("t_recettes", "IdRecette"), 1);
}
