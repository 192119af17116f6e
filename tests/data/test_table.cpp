#include <gtest/gtest.h>

#include <cmath>
#include <sqlite3.h>

#include "data/DataWatch.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/Table.h"
#include "support/DataFixture.h"

namespace {
int count(const QString& sql, std::initializer_list<QVariant> values = {}) {
    return Query::scalar(sql, values).toInt();
}
// Puts the current row in edit state and writes one field.
void change(Table& t, const QString& name, const QVariant& value) {
    t.edit();
    t.setValue(name, value);
}
QStringList column(Table& t, const QString& name) {
    QStringList out;
    for (t.first(); !t.eof(); t.next()) out << t.asString(name);
    return out;
}
}  // namespace

// Rows in key order, or in the given order; edit on an empty table appends; no writing in browse.
TEST_F(DataTest, TableOrdersRowsAndStartsInsertOnEmptyEdit) {
    Query::execute("INSERT INTO t_utilisateurs VALUES ('Alice', 30, 170, 60, 'F')");
    Table users("t_utilisateurs");
    users.open();
    EXPECT_EQ(column(users, "Nom"), QStringList({"Alice", "Jean", "Marie"}));

    for (int n : {2, 0, 1}) Query::execute("INSERT INTO t_consommation (NomAliment, Numero) VALUES (?, ?)", {QString("r%1").arg(n), n});
    Table conso("t_consommation");
    conso.setOrderBy("Numero");
    conso.open();
    EXPECT_EQ(column(conso, "NomAliment"), QStringList({"r0", "r1", "r2"}));

    Query::execute("DELETE FROM t_consommation");
    conso.refresh();
    EXPECT_TRUE(conso.eof() && conso.bof());
    conso.edit();
    EXPECT_EQ(conso.state(), Table::State::Insert);
    conso.setValue("NomAliment", "Pomme");
    conso.post();
    EXPECT_EQ(count("SELECT COUNT(*) FROM t_consommation WHERE NomAliment = 'Pomme'"), 1);
    EXPECT_THROW(conso.setValue("Numero", 3), DatabaseError);

    // A row whose key changes takes its new place in key order, and stays the current row.
    users.first();
    change(users, "Nom", "Zoé");
    users.post();
    EXPECT_EQ(users.asString("Nom"), "Zoé");
    EXPECT_EQ(users.recNo(), 2);
    EXPECT_EQ(column(users, "Nom"), QStringList({"Jean", "Marie", "Zoé"}));
}

// Moving off a modified row posts it, off an unmodified one cancels it; after-post runs once
// per post; a failed post stops the move and keeps the pending values.
TEST_F(DataTest, TablePostsOnMoveAndCancelsUnmodified) {
    Table foods("t_aliments");
    int posts = 0, scrolls = 0;
    foods.onAfterPost = [&](Table&) { ++posts; };
    foods.onAfterScroll = [&](Table&) { ++scrolls; };
    foods.open();
    EXPECT_EQ(scrolls, 1);
    change(foods, "PoidsMoyen", 175.5);
    foods.next();
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(foods.asInt("IdAliment"), 2);
    EXPECT_DOUBLE_EQ(Query::scalar("SELECT PoidsMoyen FROM t_aliments WHERE IdAliment = 1").toDouble(), 175.5);

    foods.edit();
    foods.next();  // nothing changed: cancelled, not posted
    foods.edit();
    foods.post();  // an explicit post writes even an unchanged row
    foods.post();  // browse: nothing
    EXPECT_EQ(posts, 2);

    foods.first();
    change(foods, "IdAliment", 2);  // key of another food
    EXPECT_THROW(foods.next(), DatabaseError);
    EXPECT_EQ(foods.state(), Table::State::Edit);
    EXPECT_EQ(foods.asInt("IdAliment"), 2);
    EXPECT_EQ(posts, 2);
    foods.cancel();
    EXPECT_EQ(foods.asInt("IdAliment"), 1);
    // A free key is taken, and the cursor stays on the food under its new key.
    ASSERT_TRUE(foods.findKey(12));   // used by no recipe
    const QString name = foods.asString("NomAlimentFrancais");
    change(foods, "IdAliment", 99);
    foods.post();
    EXPECT_EQ(foods.asString("NomAlimentFrancais") + QString::number(foods.asInt("IdAliment")), name + "99");
}

// Cancel of an append: the row disappears, also from the rows kept at close, and the cursor
// returns; defaults apply at post.
TEST_F(DataTest, TableCancelOfAppendAndDefaultsAtPost) {
    Table foods("t_aliments");
    foods.open();
    foods.locate("IdAliment", 5);
    foods.append();
    EXPECT_EQ(foods.recordCount(), 15);
    foods.setValue("NomAlimentFrancais", "Kiwi");
    foods.cancel();
    EXPECT_EQ(foods.recordCount(), 14);
    EXPECT_EQ(foods.asInt("IdAliment"), 5);
    foods.close();   // its rows are kept, then taken again
    foods.open();
    EXPECT_EQ(foods.recordCount(), 14);

    foods.append();
    foods.first();  // nothing typed: the blank row is dropped
    EXPECT_EQ(foods.recordCount(), 14);
    EXPECT_EQ(count("SELECT COUNT(*) FROM t_aliments"), 14);

    foods.append();
    foods.setValue("IdAliment", NextId("t_aliments", "IdAliment"));
    foods.setValue("NomAlimentFrancais", "Kiwi");
    foods.setValue("CaloriesGramme", "0,61");  // typed text, French decimal comma
    foods.post();
    EXPECT_EQ(foods.asInt("IdAliment"), 15);
    EXPECT_DOUBLE_EQ(foods.asDouble("CaloriesGramme"), 0.61);
    EXPECT_TRUE(foods.asBool("DroitsModifUtilisateur"));  // the column's default
}

// Locate posts the pending row; find by key is exact; refresh keeps the row; close drops edits.
TEST_F(DataTest, TableLocateFindKeyRefreshAndClose) {
    Table foods("t_aliments");
    foods.open();
    change(foods, "Usuel", "Faux");
    EXPECT_TRUE(foods.locate("IdAliment", 9));
    EXPECT_EQ(count("SELECT Usuel FROM t_aliments WHERE IdAliment = 1"), 0);
    EXPECT_TRUE(foods.findKey(3));
    EXPECT_EQ(foods.asString("NomAlimentFrancais"), "Orange");

    Table users("t_utilisateurs");
    users.open();
    EXPECT_TRUE(users.findKey("Marie"));
    EXPECT_FALSE(users.findKey("marie"));
    EXPECT_EQ(users.asString("Nom"), "Marie");
    Query::execute("INSERT INTO t_utilisateurs VALUES ('Aaron', 50, 180, 90, 'M')");
    users.refresh();
    EXPECT_EQ(users.asString("Nom"), "Marie");
    EXPECT_EQ(users.recordCount(), 3);

    change(users, "Poids", 59);
    users.close();
    EXPECT_EQ(count("SELECT Poids FROM t_utilisateurs WHERE Nom = 'Marie'"), 58);
    users.open();
    EXPECT_EQ(users.asString("Nom"), "Aaron");
}

// A table opened again (its rows are kept once closed) reads what was written meanwhile, by this
// program or by another one.
TEST_F(DataTest, TableOpenedAgainReadsEveryWriteMadeMeanwhile) {
    Table foods("t_aliments");
    auto reopenedName = [&] {
        foods.close();
        foods.open();
        foods.findKey(3);
        return foods.asString("NomAlimentFrancais");
    };
    foods.open();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder().dbPath().toUtf8().constData(), &other), SQLITE_OK);
    sqlite3_exec(other, "UPDATE t_aliments SET NomAlimentFrancais = 'Clementine' WHERE IdAliment = 3", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(reopenedName(), "Clementine");
    Query::execute("UPDATE t_aliments SET NomAlimentFrancais = 'Pomelo' WHERE IdAliment = 3");
    EXPECT_EQ(reopenedName(), "Pomelo");
}

// The detail follows every move of its master, appends carry the link, and master moves post it.
TEST_F(DataTest, TableMasterDetailFollowsItsMaster) {
    Table recipes("t_recettes");
    Table ingredients("t_ingredients_recettes");
    ingredients.setMaster(&recipes, "IdRecette");
    recipes.open();
    ingredients.open();
    EXPECT_EQ(column(ingredients, "IdAliment"), QStringList({"1", "2", "3"}));
    recipes.next();
    EXPECT_EQ(ingredients.recNo(), 0);
    EXPECT_EQ(column(ingredients, "IdAliment"), QStringList({"6", "7"}));

    ingredients.append();
    EXPECT_EQ(ingredients.asInt("IdRecette"), 2);
    ingredients.setValue("IdAliment", 5);
    recipes.first();  // the master's move posts the detail's row, then the detail follows
    EXPECT_EQ(count("SELECT COUNT(*) FROM t_ingredients_recettes WHERE IdRecette = 2 AND IdAliment = 5"), 1);
    EXPECT_EQ(ingredients.asInt("IdRecette"), 1);

    // A new master row without id shows no detail; giving it an id follows at once.
    recipes.append();
    EXPECT_EQ(ingredients.recordCount(), 0);
    recipes.setValue("IdRecette", 2);
    EXPECT_EQ(ingredients.recordCount(), 3);
    recipes.cancel();
    EXPECT_EQ(ingredients.asInt("IdRecette"), 1);
    recipes.close();
    EXPECT_EQ(ingredients.recordCount(), 0);
}

// Lookup and calculated fields are fresh after every field change and every move.
TEST_F(DataTest, TableLookupAndCalculatedFieldsRefresh) {
    Table foods("t_aliments"), recipes("t_recettes"), ingredients("t_ingredients_recettes");
    ingredients.setMaster(&recipes, "IdRecette");
    ingredients.addLookupField("NomIngredientFrancais", "IdAliment", &foods, "IdAliment", "NomAlimentFrancais");
    ingredients.addCalculatedField("Calories");
    int calcRuns = 0;
    ingredients.onCalcFields = [&](Table& t) {
        ++calcRuns;
        const int row = foods.isActive() ? foods.findRow("IdAliment", t.value("IdAliment")) : -1;
        const double kcal = row >= 0 ? foods.rowValue(row, "CaloriesGramme").toDouble() : 0.0;
        t.setValue("Calories", kcal * t.asDouble("QuantiteGramme"));
    };
    foods.open();
    recipes.open();
    ingredients.open();
    EXPECT_EQ(ingredients.asString("NomIngredientFrancais"), "Pomme");
    EXPECT_DOUBLE_EQ(ingredients.asDouble("Calories"), 0.52 * 150);
    ingredients.next();
    EXPECT_EQ(ingredients.asString("NomIngredientFrancais"), "Banane");
    EXPECT_DOUBLE_EQ(ingredients.asDouble("Calories"), 0.89 * 120);

    const int before = calcRuns;
    change(ingredients, "IdAliment", 3);
    EXPECT_EQ(ingredients.asString("NomIngredientFrancais"), "Orange");
    ingredients.setValue("QuantiteGramme", 200);
    EXPECT_DOUBLE_EQ(ingredients.asDouble("Calories"), 0.47 * 200);
    EXPECT_EQ(calcRuns, before + 2);
    EXPECT_THROW(ingredients.setValue("NomIngredientFrancais", "Kiwi"), DatabaseError);
    ingredients.cancel();
    EXPECT_DOUBLE_EQ(ingredients.asDouble("Calories"), 0.89 * 120);
    EXPECT_EQ(ingredients.lookupValue(2, "NomIngredientFrancais").toString(), "Orange");
    foods.close();  // the lookup source closed: no name
    EXPECT_TRUE(ingredients.isNull("NomIngredientFrancais"));
}

// A table without key is written by rowid; bad typed values are refused without losing data;
// remove moves to the next row (the previous at the end); a refused delete leaves the row.
TEST_F(DataTest, TableWithoutKeyConversionsAndRefusals) {
    Table conso("t_consommation");
    conso.setOrderBy("Numero");
    conso.open();
    for (int i = 0; i < 3; ++i) {
        conso.append();
        conso.setValue("NomAliment", QString("Pomme"));
        conso.setValue("Numero", i == 2 ? 1 : i);  // two rows share Numero 1
        conso.post();
    }
    conso.first();
    conso.next();  // the first row numbered 1
    change(conso, "QuantiteGramme", 120);
    conso.post();
    EXPECT_EQ(count("SELECT COUNT(*) FROM t_consommation WHERE QuantiteGramme = 120"), 1);

    conso.edit();
    EXPECT_THROW(conso.setValue("QuantiteGramme", "douze"), DatabaseError);
    // A whole-number column refuses a fraction however it comes, rather than cutting it.
    for (const QVariant& fraction : {QVariant("1,5"), QVariant("1.5"), QVariant(1.5), QVariant(-0.25), QVariant(1e300),
                                     QVariant(std::nan(""))})
        EXPECT_THROW(conso.setValue("Numero", fraction), DatabaseError) << fraction.toString().toStdString();
    EXPECT_EQ(conso.asInt("Numero"), 1);
    conso.setValue("Numero", 2.0);
    EXPECT_EQ(conso.value("Numero").typeId(), QMetaType::LongLong);
    EXPECT_EQ(conso.asInt("Numero"), 2);
    EXPECT_DOUBLE_EQ(conso.asDouble("QuantiteGramme"), 120);
    conso.setValue("QuantiteGramme", "");
    EXPECT_TRUE(conso.isNull("QuantiteGramme"));
    conso.cancel();

    conso.first();
    conso.remove();
    EXPECT_EQ(conso.recordCount(), 2);
    EXPECT_DOUBLE_EQ(conso.asDouble("QuantiteGramme"), 120);
    conso.last();
    conso.remove();
    EXPECT_DOUBLE_EQ(conso.asDouble("QuantiteGramme"), 120);
    // A row deleted in the middle leaves the cursor on the row that followed it.
    for (int numero : {2, 3}) {
        conso.append();
        conso.setValue("Numero", numero);
        conso.post();
    }
    conso.moveToRow(1);
    conso.remove();
    EXPECT_EQ(conso.asInt("Numero"), 3);

    Table foods("t_aliments");
    int deletes = 0;
    foods.onBeforeDelete = [&](Table&) { ++deletes; };
    foods.open();
    foods.locate("IdAliment", 6);
    EXPECT_THROW(foods.remove(), DatabaseError);  // used by a recipe
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(foods.asInt("IdAliment"), 6);
    EXPECT_EQ(foods.recordCount(), 14);
}

// Two datasets on one table: a post writes only the columns it changed.
TEST_F(DataTest, TablePostKeepsOtherDatasetsColumns) {
    Table editor("t_aliments"), picker("t_aliments");
    editor.open();
    picker.open();
    change(editor, "PoidsMoyen", 155);
    editor.post();
    change(picker, "NomAlimentAnglais", "Green apple");  // its PoidsMoyen is still the old 150
    picker.post();
    Query q("SELECT PoidsMoyen, NomAlimentAnglais FROM t_aliments WHERE IdAliment = 1");
    q.open();
    EXPECT_DOUBLE_EQ(q.asDouble(0), 155);
    EXPECT_EQ(q.asString(1), "Green apple");
}

// A text longer than its column's width is cut to that width by any Table, from the one width
// map; columns without a width (memo texts) keep every character; quotes go through unchanged.
TEST_F(DataTest, LongTextsAreCutToTheirColumnWidthOnEveryTable) {
    const QString longText = QString::fromUtf8("Œufs brouillés à l'estragon, \"maison\" ; ").repeated(7);
    const struct {
        const char* table;
        const char* key;
        const char* column;
        int width;   // -1: kept whole
    } cases[] = {
        {"t_utilisateurs", "Taille", "Nom", 32},
        {"t_recettes", "IdRecette", "NomRecetteFrancais", 64},
        {"t_recettes", "IdRecette", "NomRecetteEspagnol", 64},
        {"t_recettes", "IdRecette", "DescRecetteFrancais", -1},
        {"t_recettes", "IdRecette", "Image", 255},   // the photo's file name
        {"t_aliments", "IdAliment", "NomAlimentAnglais", 32},
        {"t_activites", "IdActivite", "NomActiviteItalien", 32},
        {"t_unites_mesures", "IdUnite", "NomUnite", 32},
    };
    for (const auto& c : cases) {
        Table t(c.table);
        EXPECT_EQ(t.textWidth(c.column), c.width) << c.column;
        t.open();
        const QVariant key = t.value(c.key);
        change(t, c.column, longText);
        EXPECT_EQ(t.asString(c.column).size(), c.width > 0 ? c.width : longText.size()) << c.column;
        t.post();
        const QString stored = Query::scalar(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                                 .arg(c.column, c.table, c.key), {key}).toString();
        EXPECT_EQ(stored, c.width > 0 ? longText.left(c.width) : longText) << c.table << "." << c.column;
    }
}

// Rows read inside a transaction that is then rolled back are never handed to the next opening:
// it reads what is stored; a list filled then is stale once the transaction is over.
TEST_F(DataTest, RowsReadInsideARolledBackTransactionAreNotKept) {
    Table foods("t_aliments");
    DataWatch list;
    {
        Transaction transaction;
        Query::execute("UPDATE t_aliments SET NomAlimentFrancais = 'Clementine' WHERE IdAliment = 3");
        foods.open();
        foods.findKey(3);
        EXPECT_EQ(foods.asString("NomAlimentFrancais"), "Clementine");
        foods.close();
        list.seen();
    }
    EXPECT_TRUE(list.stale());
    foods.open();
    foods.findKey(3);
    EXPECT_EQ(foods.asString("NomAlimentFrancais"), "Orange");
}

namespace {
// Adds foods up to id `last` (named "Aliment <id>") so that the table holds many pages of rows.
void addFoods(int last) {
    Transaction t;
    Query insert("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, PoidsMoyen, IdCatAliment) VALUES (?, ?, 0, 1)");
    for (int id = NextId("t_aliments", "IdAliment"); id <= last; ++id) {
        insert.clearBindings();
        insert.addBindValue(id).addBindValue(QString("Aliment %1").arg(id));
        insert.exec();
    }
    t.commit();
}
QString storedName(int id) {
    return Query::scalar("SELECT NomAlimentFrancais FROM t_aliments WHERE IdAliment = ?", {id}).toString();
}
}  // namespace

// A table of many pages of rows: rows on different pages moved to, edited and posted; an edit
// pending while every other row is read keeps its values; a row written by another statement
// between two page reads shows as stored; locate and lookups by key reach every page.
TEST_F(DataTest, TableOfManyPagesReadsEachRowWhenUsed) {
    addFoods(3000);
    Table foods("t_aliments");
    foods.open();
    ASSERT_EQ(foods.recordCount(), 3000);
    EXPECT_EQ(foods.rowValue(2999, "NomAlimentFrancais").toString(), "Aliment 3000");

    // Written by another statement before its page is read: the stored name shows.
    Query::execute("UPDATE t_aliments SET NomAlimentFrancais = 'Pomme tardive' WHERE IdAliment = 1700");
    foods.moveToRow(1699);
    EXPECT_EQ(foods.asString("NomAlimentFrancais"), "Pomme tardive");

    // An edit kept through a read of every row, then posted by a move to another page.
    foods.moveToRow(1500);
    change(foods, "NomAlimentFrancais", "Poire d'hiver");
    for (int r = 0; r < foods.recordCount(); ++r) ASSERT_EQ(foods.cell(r, 0).toInt(), r + 1);
    EXPECT_EQ(foods.asString("NomAlimentFrancais"), "Poire d'hiver");
    foods.moveToRow(20);
    EXPECT_EQ(storedName(1501), "Poire d'hiver");
    EXPECT_EQ(foods.rowValue(1500, "NomAlimentFrancais").toString(), "Poire d'hiver");
    int read = 0;
    for (foods.first(); !foods.eof(); foods.next()) read += foods.asInt("IdAliment") > 0;
    EXPECT_EQ(read, 3000);

    // locate from the first row over every page; not found leaves the cursor.
    EXPECT_TRUE(foods.locate("NomAlimentFrancais", "aliment 28", {.caseInsensitive = true, .partialKey = true}));
    EXPECT_EQ(foods.asInt("IdAliment"), 28);
    EXPECT_TRUE(foods.locate("NomAlimentFrancais", "Aliment 2950"));
    EXPECT_EQ(foods.recNo(), 2949);
    EXPECT_FALSE(foods.locate("NomAlimentFrancais", "Aliment 3001"));
    EXPECT_EQ(foods.recNo(), 2949);

    // Lookups by key after writes: a food added and refreshed, a food renamed through the table,
    // and the source's pending edit answered by its pending key.
    Table recipes("t_recettes"), ingredients("t_ingredients_recettes");
    ingredients.setMaster(&recipes, "IdRecette");
    ingredients.addLookupField("NomIngredientFrancais", "IdAliment", &foods, "IdAliment", "NomAlimentFrancais");
    recipes.open();
    ingredients.open();
    Query::execute("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, IdCatAliment) VALUES (3001, 'Kaki', 1)");
    foods.refresh();
    change(ingredients, "IdAliment", 3001);
    EXPECT_EQ(ingredients.asString("NomIngredientFrancais"), "Kaki");
    ASSERT_TRUE(foods.findKey(3001));
    change(foods, "NomAlimentFrancais", "Plaquemine");
    foods.post();
    EXPECT_EQ(ingredients.asString("NomIngredientFrancais"), "Plaquemine");
    EXPECT_EQ(foods.findRow("NomAlimentFrancais", "Plaquemine"), 3000);
    change(foods, "IdAliment", 3002);
    EXPECT_EQ(foods.findRow("IdAliment", 3002), 3000);
    EXPECT_EQ(foods.findRow("IdAliment", 3001), -1);
    foods.cancel();
    EXPECT_EQ(foods.findRow("IdAliment", 3001), 3000);
}
