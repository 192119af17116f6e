#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "data/Database.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "support/DataFixture.h"

namespace {
QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot); }
}  // namespace

// Each start-up problem gets a French message naming the path, and nothing is created.
TEST(DatabaseOpen, ProblemsAreReportedWithThePathAndCreateNothing) {
    TestDataFolder folder(false);
    // Missing Data folder.
    appState().DataDirectory = folder.root() + "/Absent";
    QString msg = openDatabase();
    EXPECT_TRUE(msg.contains("dossier des données")) << msg.toStdString();
    EXPECT_TRUE(msg.contains(folder.root() + "/Absent"));
    EXPECT_FALSE(QDir(folder.root() + "/Absent").exists());
    EXPECT_FALSE(databaseIsOpen());

    // Missing database file in an existing folder.
    QDir(folder.root()).mkpath("Empty");
    appState().DataDirectory = folder.root() + "/Empty";
    msg = openDatabase();
    EXPECT_TRUE(msg.contains("introuvable")) << msg.toStdString();
    EXPECT_TRUE(msg.contains(folder.root() + "/Empty/vivanda.db"));
    EXPECT_TRUE(filesIn(folder.root() + "/Empty").isEmpty());

    // A file that is not a database.
    QDir(folder.root()).mkpath("Garbage");
    QFile garbage(folder.root() + "/Garbage/vivanda.db");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    appState().DataDirectory = folder.root() + "/Garbage";
    msg = openDatabase();
    EXPECT_TRUE(msg.contains("ne peut pas être lue")) << msg.toStdString();
    EXPECT_EQ(filesIn(folder.root() + "/Garbage"), QStringList{"vivanda.db"});

    // A database that lacks a table.
    appState().DataDirectory = folder.dataDir();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(folder.dbPath().toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "DROP TABLE t_densites", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    msg = openDatabase();
    EXPECT_TRUE(msg.contains("t_densites")) << msg.toStdString();
    EXPECT_TRUE(msg.contains(folder.dbPath()));
    EXPECT_FALSE(databaseIsOpen());
    EXPECT_THROW(dbConnection(), DatabaseError);
}

// Column names and order of every table, as the statements that copy rows rely on them.
TEST_F(DataTest, SchemaColumnsAreInTheirStoredOrder) {
    const QList<QPair<QString, QString>> expected = {
        {"t_aliments", "IdAliment NomAlimentFrancais NomAlimentAnglais NomAlimentAllemand NomAlimentItalien "
                       "NomAlimentEspagnol CaloriesGramme LipidesGramme ProtidesGramme GlucidesGramme "
                       "PoidsMoyen Usuel DroitsModifUtilisateur IdCatAliment"},
        {"t_recettes", "IdRecette NomRecetteFrancais NomRecetteAnglais NomRecetteAllemand NomRecetteItalien "
                       "NomRecetteEspagnol DescRecetteFrancais DescRecetteAnglais DescRecetteAllemand "
                       "DescRecetteItalien DescRecetteEspagnol TempsPreparation CaloriesGramme LipidesGramme "
                       "ProtidesGramme GlucidesGramme DroitsModifUtilisateur Image"},
        {"t_ingredients_recettes", "IdRecette IdAliment QuantiteGramme"},
        {"t_categories_recettes", "IdCategorie IdRecette"},
        {"t_categories", "IdCategorie NomCategorieFrancais NomCategorieAnglais NomCategorieAllemand "
                         "NomCategorieItalien NomCategorieEspagnol"},
        {"t_utilisateurs", "Nom Age Taille Poids Sexe"},
        {"t_activites", "IdActivite NomActiviteFrancais NomActiviteAnglais NomActiviteAllemand NomActiviteItalien "
                        "NomActiviteEspagnol ScaleFactor Duree UtilisePoids"},
        {"t_alim_recette_catconso", "IdCategorie IdMetaCategorie"},
        {"t_unites_mesures", "IdUnite NomUnite ValeurUnite"},
        {"t_densites", "IdAlimentDensite NomAlimentFrancais NomAlimentAnglais NomAlimentAllemand "
                       "NomAlimentItalien NomAlimentEspagnol Densite"},
        {"t_densites_unites_mesures", "IdAlimentDensite IdUnite"},
        {"t_consommation", "NomAliment CaloriesGramme LipidesGramme ProtidesGramme GlucidesGramme "
                           "QuantiteGramme Numero"},
        {"t_histo_consommation", "NomUtilisateur DateConso NomAliment CaloriesGramme LipidesGramme "
                                 "ProtidesGramme GlucidesGramme QuantiteGramme Numero"},
        {"t_histo_infos_utilisateur", "NomUtilisateur DateConso Poids ObjectifCalorique"},
        {"t_categories_recettes_temp", "IdCategorie IdRecette"},
        {"t_ingredients_recettes_temp", "IdRecette IdAliment QuantiteGramme"},
    };
    for (const auto& [table, columns] : expected) {
        Query q("SELECT * FROM " + table + " LIMIT 0");
        q.open();
        EXPECT_EQ(q.columnNames().join(' '), columns) << table.toStdString();
    }
    // The two tables whose id column no statement names: the name is their second column.
    for (const QString table : {"t_cataliments", "t_catconsommation"}) {
        Query q("SELECT * FROM " + table);
        q.open();
        ASSERT_EQ(q.columnCount(), 2);
        EXPECT_EQ(q.columnNames()[1], "NomCategorieFrancais");
    }
    EXPECT_EQ(requiredTables().size(), 18);
}

// The referential refusal the food editor relies on: a food used by a recipe cannot go.
TEST_F(DataTest, DeletingAFoodUsedByARecipeIsRefused) {
    EXPECT_EQ(Query::scalar("PRAGMA foreign_keys").toInt(), 1);
    EXPECT_EQ(Query::scalar("PRAGMA journal_mode").toString(), "wal");
    EXPECT_THROW(Query::execute("DELETE FROM t_aliments WHERE IdAliment = ?", {6}), DatabaseError);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_aliments WHERE IdAliment = 6").toInt(), 1);
    EXPECT_EQ(Query::execute("DELETE FROM t_aliments WHERE IdAliment = ?", {12}), 1);  // unused
}

// A multi-statement write refused half-way leaves nothing behind.
TEST_F(DataTest, RefusedTransactionLeavesNothingHalfWritten) {
    const int recipes = Query::scalar("SELECT COUNT(*) FROM t_recettes").toInt();
    try {
        Transaction t;
        Query::execute("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais) VALUES (?, ?)", {3, "Tarte"});
        Query::execute("INSERT INTO t_ingredients_recettes VALUES (?, ?, ?)", {3, 1, 200.0});
        Query::execute("INSERT INTO t_ingredients_recettes VALUES (?, ?, ?)", {3, 999, 50.0});  // no food 999
        t.commit();
        FAIL() << "the insert of an unknown food should be refused";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(QString(e.what()).contains("FOREIGN KEY")) << e.what();
    }
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_recettes").toInt(), recipes);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_ingredients_recettes WHERE IdRecette = 3").toInt(), 0);

    // Nested guards: the inner one rolls back alone, the outer one commits.
    {
        Transaction outer;
        Query::execute("UPDATE t_activites SET Duree = 30 WHERE IdActivite = 1");
        {
            Transaction inner;
            Query::execute("UPDATE t_activites SET Duree = 45 WHERE IdActivite = 2");
        }
        outer.commit();
    }
    EXPECT_EQ(Query::scalar("SELECT Duree FROM t_activites WHERE IdActivite = 1").toInt(), 30);
    EXPECT_EQ(Query::scalar("SELECT Duree FROM t_activites WHERE IdActivite = 2").toInt(), 0);
}

// FoldAccents in SQL: "creme" finds "Crème fraîche"; the upper variant matches the text helper.
TEST_F(DataTest, FoldSearchFindsAccentedNames) {
    Query q("SELECT NomAlimentFrancais FROM t_aliments WHERE FoldAccents(NomAlimentFrancais) "
            "LIKE FoldAccents(?) || '%'");
    q.addBindValue("creme");
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asString(0), QString("Crème fraîche"));
    EXPECT_EQ(Query::scalar("SELECT FoldAccentsUpper(?)", {QString("Crème Brûlée")}).toString(), "CREME BRULEE");
    EXPECT_EQ(Query::scalar("SELECT FoldAccents(?)", {QString("PÂTES à l'Île")}).toString(), "pates a l'ile");
    EXPECT_TRUE(Query::scalar("SELECT FoldAccents(NULL)").isNull());
}

// The database the build stages (schema + shipped seed) passes the start-up check.
TEST(DatabaseOpen, StagedDatabaseOpens) {
    const QString staged = QStringLiteral(VIVANDA_BINARY_DIR "/stage/Data/vivanda.db");
    if (!QFile::exists(staged)) GTEST_SKIP() << "no staged database in this build";
    TestDataFolder folder(false);
    QFile::remove(folder.dbPath());
    ASSERT_TRUE(QFile::copy(staged, folder.dbPath()));
    QFile::setPermissions(folder.dbPath(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(openDatabase(), QString());
    EXPECT_GT(Query::scalar("SELECT COUNT(*) FROM t_aliments").toInt(), 0);
}
