#include "reference/RecipeSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <vector>

#include "data/ColumnWidths.h"
#include "data/Database.h"
#include "data/NameColumn.h"
#include "data/Query.h"
#include "data/Table.h"
#include "data/TypedNumber.h"

namespace {

const QString kBlank = QStringLiteral("        ");

QString detailTable(RecipeDetail detail) {
    return detail == RecipeDetail::Ingredients ? QStringLiteral("t_ingredients_recettes")
                                               : QStringLiteral("t_categories_recettes");
}

// A table's pending edit as it stood before the save: what to put back after a rollback.
struct PendingRow {
    Table* table = nullptr;
    Table::State state = Table::State::Browse;
    std::vector<QVariant> values;
};

PendingRow capture(Table& t) {
    PendingRow p{&t, t.state(), {}};
    if (!t.isEditing()) return p;
    for (int c = 0; c < t.columnCount(); ++c) p.values.push_back(t.value(c));
    return p;
}

// After a rollback: a table whose post failed still holds its edit; the others read their rows
// again (what they read during the save was undone: the values per gram computed, a row posted)
// and a table whose pending row was posted gets its pending edit back.
void putBack(const PendingRow& p) {
    Table& t = *p.table;
    if (t.isEditing() || !t.isActive()) return;
    t.refresh();
    if (p.values.empty()) return;
    if (p.state == Table::State::Insert)
        t.append();
    else
        t.edit();
    for (int c = 0; c < int(p.values.size()); ++c)
        if (!(t.state() == Table::State::Insert && t.master() && t.columnNames()[c] == QStringLiteral("IdRecette")))
            t.setValue(c, p.values[c]);
}

}  // namespace

QString RecipeSaveCodeText(RecipeSaveCode code) {
    switch (code) {
    case RecipeSaveCode::Ok: return QString();
    case RecipeSaveCode::InvalidField:
        return kBlank + QStringLiteral("Erreur sur un ou plusieurs champs, valeur absente ou non\n") + kBlank +
               QStringLiteral("valide.");
    case RecipeSaveCode::NoTheme:
        return kBlank + QStringLiteral("Vous devez saisir au moins une catégorie pour la recette !");
    case RecipeSaveCode::NoIngredient:
        return kBlank + QStringLiteral("Vous devez saisir au moins un ingrédient pour la recette.");
    case RecipeSaveCode::InvalidQuantity:
        return kBlank + QStringLiteral("L'une au moins des quantités pour les ingrédients n'a pas été\n") + kBlank +
               QStringLiteral("saisie ou l'une des valeurs saisie n'est pas valide.");
    case RecipeSaveCode::NameTaken:
        return kBlank + QStringLiteral("Une autre recette porte déjà ce nom.\n") + kBlank +
               QStringLiteral("Choisissez un nom différent.");
    case RecipeSaveCode::InvalidTime:
        return kBlank + QStringLiteral("Le « Temps de préparation » n'est pas une durée valide.\n") + kBlank +
               QStringLiteral("Saisissez les heures et les minutes (1:30),\n") + kBlank +
               QStringLiteral("ou les minutes seules (45), de 1 minute à 23:59.");
    }
    return QString();
}

std::optional<QTime> ParsePreparationTime(const QString& text) {
    QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    // Minutes alone, below a day.
    static const QRegularExpression minutesOnly(QStringLiteral("^\\d{1,4}$"));
    if (minutesOnly.match(t).hasMatch()) {
        const int minutes = t.toInt();
        if (minutes >= 24 * 60) return std::nullopt;
        return QTime(minutes / 60, minutes % 60);
    }
    // "1h30", "1 h 30", "2h": the hours' letter stands for the colon.
    static const QRegularExpression hours(QStringLiteral("^(\\d{1,2})\\s*[hH]\\s*(\\d{0,2})$"));
    if (const QRegularExpressionMatch m = hours.match(t); m.hasMatch())
        t = m.captured(1) + QLatin1Char(':') + (m.captured(2).isEmpty() ? QStringLiteral("00") : m.captured(2));
    for (const char* format : {"H:mm:ss", "H:mm", "H:m:s", "H:m"}) {
        const QTime time = QTime::fromString(t, QString::fromLatin1(format));
        if (time.isValid()) return time;
    }
    for (QLocale::FormatType f : {QLocale::LongFormat, QLocale::ShortFormat}) {
        const QTime time = QLocale().toTime(t, f);
        if (time.isValid()) return time;
    }
    return std::nullopt;
}

RecipeSaveCode CheckRecipeForSave(const RecipeSaveInput& in) {
    if (in.name.trimmed().isEmpty() || in.description.trimmed().isEmpty()) return RecipeSaveCode::InvalidField;
    if (in.preparationTime.trimmed().isEmpty()) return RecipeSaveCode::InvalidField;
    const std::optional<QTime> time = ParsePreparationTime(in.preparationTime);
    if (!time) return RecipeSaveCode::InvalidTime;
    if (*time == QTime(0, 0)) return RecipeSaveCode::InvalidField;
    if (RecipeNameTaken(in.name, in.nameColumn, in.recipeId)) return RecipeSaveCode::NameTaken;

    const QVariant themes =
        Query::scalar(QStringLiteral("SELECT COUNT(IdCategorie) FROM t_categories_recettes WHERE IdRecette = ?;"),
                      {in.recipeId});
    if (dbvalue::toInt(themes) == 0 && in.themeGridName.isEmpty()) return RecipeSaveCode::NoTheme;
    const QVariant ingredients =
        Query::scalar(QStringLiteral("SELECT COUNT(IdAliment) FROM t_ingredients_recettes WHERE IdRecette = ?;"),
                      {in.recipeId});
    if (dbvalue::toInt(ingredients) == 0 && in.ingredientGridName.isEmpty()) return RecipeSaveCode::NoIngredient;

    // The stored quantities, but for the grid's current row whose typed value may not be posted
    // yet; without a current row every stored row counts. An empty quantity reads 0.
    Query q;
    if (dbvalue::isNull(in.ingredientGridFood)) {
        q.setSql(QStringLiteral("SELECT QuantiteGramme FROM t_ingredients_recettes WHERE IdRecette = ?;"));
        q.addBindValue(in.recipeId);
    } else {
        q.setSql(QStringLiteral(
            "SELECT QuantiteGramme FROM t_ingredients_recettes WHERE IdRecette = ? AND IdAliment <> ?;"));
        q.addBindValue(in.recipeId).addBindValue(in.ingredientGridFood);
    }
    q.open();
    // A quantity is more than 0 and within what a quantity may be typed as.
    const auto plausible = [](double grams) { return grams > 0 && WithinRule(grams, NumberRules::Grams); };
    for (q.first(); !q.eof(); q.next())
        if (!plausible(q.asDouble(0))) return RecipeSaveCode::InvalidQuantity;
    if (!dbvalue::isNull(in.ingredientGridFood) && !plausible(dbvalue::toDouble(in.ingredientGridQuantity)))
        return RecipeSaveCode::InvalidQuantity;
    return RecipeSaveCode::Ok;
}

QString RecipeRefusalText(RecipeSaveCode code, const QString& name) {
    const QString text = RecipeSaveCodeText(code);
    if (code != RecipeSaveCode::InvalidField || !name.trimmed().isEmpty()) return text;
    return text + QStringLiteral("\n") + kBlank + QStringLiteral("Nom : le nom est vide.");
}

RecipePerGram RecipeWeightedMean(int recipeId) {
    Query q(QStringLiteral(
                "SELECT SUM(CaloriesGramme*QuantiteGramme) AS totcal, SUM(LipidesGramme*QuantiteGramme) AS totlip, "
                "SUM(ProtidesGramme*QuantiteGramme) AS totprot, SUM(GlucidesGramme*QuantiteGramme) AS totgluc, "
                "SUM(QuantiteGramme) AS totquant FROM t_aliments, t_ingredients_recettes "
                "WHERE t_aliments.IdAliment = t_ingredients_recettes.IdAliment "
                "AND t_ingredients_recettes.IdRecette = ?;"),
            {recipeId});
    q.open();
    RecipePerGram r;
    if (q.isEmpty()) return r;
    r.totalQuantity = q.asDouble(QStringLiteral("totquant"));
    if (r.totalQuantity == 0.0) return r;
    r.calories = q.asDouble(QStringLiteral("totcal")) / r.totalQuantity;
    r.lipids = q.asDouble(QStringLiteral("totlip")) / r.totalQuantity;
    r.proteins = q.asDouble(QStringLiteral("totprot")) / r.totalQuantity;
    r.carbs = q.asDouble(QStringLiteral("totgluc")) / r.totalQuantity;
    // Never an infinity or a NaN stored: rows no typing could give count as nothing.
    for (const double v : {r.totalQuantity, r.calories, r.lipids, r.proteins, r.carbs})
        if (!std::isfinite(v)) return RecipePerGram{};
    return r;
}

void StoreRecipePerGram(int recipeId) {
    const RecipePerGram m = RecipeWeightedMean(recipeId);
    Query::execute(QStringLiteral("UPDATE t_recettes SET CaloriesGramme = ?, LipidesGramme = ?, ProtidesGramme = ?, "
                                  "GlucidesGramme = ? WHERE IdRecette = ?;"),
                   {m.calories, m.lipids, m.proteins, m.carbs, recipeId});
}

namespace {

// A recipe's five names then five descriptions, as stored.
QStringList textColumns() {
    return NameColumnNames(QStringLiteral("NomRecette")) + NameColumnNames(QStringLiteral("DescRecette"));
}

QStringList storedTexts(int recipeId) {
    const QStringList columns = textColumns();
    Query q(QStringLiteral("SELECT %1 FROM t_recettes WHERE IdRecette = ?;").arg(columns.join(QStringLiteral(", "))),
            {recipeId});
    q.open();
    QStringList texts;
    for (int i = 0; i < columns.size(); ++i) texts << (q.isEmpty() ? QString() : q.asString(i));
    return texts;
}

// After a save changed a name or a description in one language, the other languages' columns
// that were empty or still held the replaced text take the new one. Returns whether any did.
bool carryTextsOver(int recipeId, const QStringList& before) {
    const QStringList columns = textColumns();
    const QStringList after = storedTexts(recipeId);
    bool carried = false;
    for (int family = 0; family < columns.size(); family += 5) {
        for (int edited = family; edited < family + 5; ++edited) {
            if (after[edited] == before[edited] || after[edited].trimmed().isEmpty()) continue;
            for (int other = family; other < family + 5; ++other) {
                if (other == edited || after[other] != before[other]) continue;
                if (!before[other].trimmed().isEmpty() && before[other] != before[edited]) continue;
                Query::execute(QStringLiteral("UPDATE t_recettes SET %1 = ? WHERE IdRecette = ?;").arg(columns[other]),
                               {after[edited], recipeId});
                carried = true;
            }
        }
    }
    return carried;
}

void restoreFromCopy(RecipeDetail detail, int recipeId) {
    const QString table = detailTable(detail);
    Query::execute(QStringLiteral("DELETE FROM %1 WHERE IdRecette = ?;").arg(table), {recipeId});
    // The rows come back in the order they were saved (the copy keeps it in its rowids).
    Query::execute(
        QStringLiteral("INSERT INTO %1 SELECT * FROM %1_temp WHERE %1_temp.IdRecette = ? ORDER BY %1_temp.rowid;")
            .arg(table),
        {recipeId});
}

// The recipe's edit is settled: its shadow copies no longer stand for anything.
void dropCopies(int recipeId) {
    for (RecipeDetail detail : {RecipeDetail::Ingredients, RecipeDetail::Themes})
        Query::execute(QStringLiteral("DELETE FROM %1_temp WHERE IdRecette = ?;").arg(detailTable(detail)), {recipeId});
}

}  // namespace

void WriteRecipeChanges(RecipeTables tables) {
    // A theme row appended without a theme chosen is not a theme of the recipe.
    if (tables.themes.state() == Table::State::Insert && tables.themes.isNull(QStringLiteral("IdCategorie")))
        tables.themes.cancel();
    // What the edits hold and have not written yet belongs to what is put back after a failure.
    for (Table* t : {&tables.recipes, &tables.ingredients, &tables.themes}) t->writePendingWidgets();
    const PendingRow pending[] = {capture(tables.recipes), capture(tables.ingredients), capture(tables.themes)};
    try {
        Transaction transaction;
        const int id = tables.recipes.asInt(QStringLiteral("IdRecette"));
        const QStringList before = storedTexts(id);
        tables.ingredients.post();
        // Every row of the recipe as it will be stored, the one just posted included.
        if (dbvalue::toInt(Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_ingredients_recettes "
                                                        "WHERE IdRecette = ? AND COALESCE(QuantiteGramme, 0) <= 0;"),
                                         {id})) > 0)
            throw DatabaseError(RecipeSaveCodeText(RecipeSaveCode::InvalidQuantity));
        StoreRecipePerGram(id);
        // The recipe's post writes only the columns typed, so it keeps the values just computed
        // and reads them back; without a pending edit the rows are read again instead.
        if (tables.recipes.isEditing())
            tables.recipes.post();
        else
            tables.recipes.refresh();
        if (carryTextsOver(id, before)) tables.recipes.refresh();
        tables.themes.post();
        dropCopies(id);
        transaction.commit();
    } catch (const DatabaseError&) {
        // The transaction is rolled back: give the tables their pending edits back.
        for (const PendingRow& p : pending) {
            try {
                putBack(p);
            } catch (const DatabaseError&) {
            }
        }
        throw;
    }
}

void CopyRecipeDetails(RecipeDetail detail, int recipeId) {
    const QString table = detailTable(detail);
    // Each recipe has its own copy, never removed by another recipe's edit: a copy left by an edit
    // that was never settled (an undo or a repair that failed) is still the one thing that can put
    // that recipe back, and it stays the copy of the rows as last saved. The rows are copied in
    // the order they were saved, not in the order of the recipe's index.
    Query::execute(QStringLiteral("INSERT INTO %1_temp SELECT * FROM %1 WHERE %1.IdRecette = ? AND NOT EXISTS "
                                  "(SELECT 1 FROM %1_temp WHERE %1_temp.IdRecette = ?) ORDER BY %1.rowid;")
                       .arg(table),
                   {recipeId, recipeId});
}

void RestoreRecipeDetails(int recipeId, int themesCopiedFor, int ingredientsCopiedFor) {
    if (recipeId == 0) return;
    Transaction transaction;
    if (themesCopiedFor == recipeId) restoreFromCopy(RecipeDetail::Themes, recipeId);
    if (ingredientsCopiedFor == recipeId) restoreFromCopy(RecipeDetail::Ingredients, recipeId);
    dropCopies(recipeId);
    transaction.commit();
}

int RecoverInterruptedRecipeEdits() {
    // Most starts find nothing to repair: two probes of the shadow tables and one of the index of
    // empty names, no write.
    const bool copiesLeft =
        dbvalue::toInt(Query::scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM t_ingredients_recettes_temp) OR "
                                                     "EXISTS (SELECT 1 FROM t_categories_recettes_temp);"))) != 0;
    if (!copiesLeft) {
        PurgeNamelessRecipes();
        return 0;
    }
    Transaction transaction;
    Query q(QStringLiteral("SELECT IdRecette FROM t_recettes WHERE IdRecette IN "
                           "(SELECT IdRecette FROM t_ingredients_recettes_temp "
                           "UNION SELECT IdRecette FROM t_categories_recettes_temp);"));
    q.open();
    std::vector<int> ids;
    for (q.first(); !q.eof(); q.next()) ids.push_back(q.asInt(0));
    for (int id : ids) {
        for (RecipeDetail detail : {RecipeDetail::Ingredients, RecipeDetail::Themes}) {
            const QString sql = QStringLiteral("SELECT COUNT(*) FROM %1_temp WHERE IdRecette = ?;").arg(detailTable(detail));
            if (dbvalue::toInt(Query::scalar(sql, {id})) > 0) restoreFromCopy(detail, id);
        }
        StoreRecipePerGram(id);
    }
    Query::execute(QStringLiteral("DELETE FROM t_ingredients_recettes_temp;"));
    Query::execute(QStringLiteral("DELETE FROM t_categories_recettes_temp;"));
    PurgeNamelessRecipes();
    transaction.commit();
    return int(ids.size());
}

void DeleteRecipeWithDetails(int recipeId) {
    Transaction transaction;
    Query::execute(QStringLiteral("DELETE FROM t_ingredients_recettes WHERE IdRecette = ?;"), {recipeId});
    Query::execute(QStringLiteral("DELETE FROM t_categories_recettes WHERE IdRecette = ?;"), {recipeId});
    Query::execute(QStringLiteral("DELETE FROM t_recettes WHERE IdRecette = ?;"), {recipeId});
    dropCopies(recipeId);
    transaction.commit();
}

int PurgeNamelessRecipes() {
    const QString prefix = QStringLiteral("NomRecette");
    // Nameless in every language; the first term lets the index of empty names answer.
    Query q(QStringLiteral("SELECT IdRecette FROM t_recettes WHERE (%1) AND %2;")
                .arg(AnyEmptyNameCondition(prefix), EveryNameEmptyCondition(prefix)));
    q.open();
    std::vector<int> ids;
    for (q.first(); !q.eof(); q.next()) ids.push_back(q.asInt(0));
    if (ids.empty()) return 0;
    Transaction transaction;
    for (int id : ids) DeleteRecipeWithDetails(id);
    transaction.commit();
    return int(ids.size());
}

bool RecipeNameTaken(const QString& name, const QString& nameColumn, int exceptId) {
    if (!NameColumnNames(QStringLiteral("NomRecette")).contains(nameColumn)) return false;
    const QVariant n = Query::scalar(
        QStringLiteral("SELECT COUNT(*) FROM t_recettes WHERE FoldAccents(%1) = FoldAccents(?) AND IdRecette <> ?;")
            .arg(nameColumn),
        {name.trimmed(), exceptId});
    return dbvalue::toInt(n) > 0;
}

QString DuplicateRecipeName(const QString& source) {
    const int n = int(source.size());
    if (n >= 3 && source[n - 3] == QLatin1Char('(') && source[n - 1] == QLatin1Char(')') &&
        source[n - 2] >= QLatin1Char('0') && source[n - 2] <= QLatin1Char('9'))
        return source.left(n - 3) + QStringLiteral("(%1)").arg(source[n - 2].digitValue() + 1);
    return source + QStringLiteral("(1)");
}

DuplicatedRecipe DuplicateRecipe(int sourceId, const QString& nameColumn) {
    const QString french = QStringLiteral("NomRecetteFrancais");
    const QString column = NameColumnNames(QStringLiteral("NomRecette")).contains(nameColumn) ? nameColumn : french;
    const QStringList descriptions = NameColumnNames(QStringLiteral("DescRecette"));
    Query source(QStringLiteral("SELECT %1, TempsPreparation, CaloriesGramme, LipidesGramme, ProtidesGramme, "
                                "GlucidesGramme, Image, %2 FROM t_recettes WHERE IdRecette = ?;")
                     .arg(column, descriptions.join(QStringLiteral(", "))),
                 {sourceId});
    source.open();
    if (source.isEmpty()) throw DatabaseError(kBlank + QStringLiteral("La recette à dupliquer n'existe plus."));

    // The next copy name that no recipe has yet, cut to the name width when needed. The tries are
    // bounded: a name every candidate of which is taken gets a message rather than a search
    // without end.
    constexpr int kMaxTries = 100;
    const int width = ColumnTextWidth(QStringLiteral("t_recettes"), column);
    const QString sourceName = source.asString(0);
    auto taken = [&](const QString& name) {
        return RecipeNameTaken(name, column, 0) || RecipeNameTaken(name, french, 0);
    };
    QString name = DuplicateRecipeName(sourceName);
    for (int i = 0; i < kMaxTries && name.size() <= width && taken(name); ++i) name = DuplicateRecipeName(name);
    if (name.size() > width || taken(name)) {
        name.clear();
        for (int k = 1; k <= kMaxTries && name.isEmpty(); ++k) {
            const QString suffix = QStringLiteral("(%1)").arg(k);
            const QString candidate = CutToWidth(sourceName, width - int(suffix.size())) + suffix;
            if (!taken(candidate)) name = candidate;
        }
        if (name.isEmpty())
            throw DatabaseError(kBlank + QStringLiteral("Aucun nom libre n'a été trouvé pour la copie.\n") + kBlank +
                                QStringLiteral("Renommez d'abord les copies de cette recette."));
    }

    DuplicatedRecipe copy;
    Transaction transaction;
    copy.id = NextId(QStringLiteral("t_recettes"), QStringLiteral("IdRecette"));
    copy.name = name;
    // The copy's name in every language, so that no list shows it blank; the descriptions as
    // the source has them.
    const QStringList names = NameColumnNames(QStringLiteral("NomRecette"));
    const QString columns = QStringLiteral("IdRecette, %1, %2, TempsPreparation, CaloriesGramme, LipidesGramme, "
                                           "ProtidesGramme, GlucidesGramme, Image, DroitsModifUtilisateur")
                                .arg(names.join(QStringLiteral(", ")), descriptions.join(QStringLiteral(", ")));
    Query insert(QStringLiteral("INSERT INTO t_recettes (%1) VALUES (?%2, 1);")
                     .arg(columns, QStringLiteral(", ?").repeated(names.size() + descriptions.size() + 6)));
    insert.addBindValue(copy.id);
    for (int i = 0; i < names.size(); ++i) insert.addBindValue(name);
    for (int i = 0; i < descriptions.size(); ++i) insert.addBindValue(source.value(7 + i));
    for (int i = 1; i <= 5; ++i) insert.addBindValue(source.value(i));
    insert.addBindValue(source.asString(6).isEmpty() ? QVariant() : source.value(6));
    insert.exec();
    Query::execute(QStringLiteral("INSERT INTO t_categories_recettes (IdCategorie, IdRecette) "
                                  "SELECT IdCategorie, ? FROM t_categories_recettes WHERE IdRecette = ? ORDER BY rowid;"),
                   {copy.id, sourceId});
    Query::execute(QStringLiteral("INSERT INTO t_ingredients_recettes (IdAliment, IdRecette, QuantiteGramme) "
                                  "SELECT IdAliment, ?, QuantiteGramme FROM t_ingredients_recettes WHERE IdRecette = ? "
                                  "ORDER BY rowid;"),
                   {copy.id, sourceId});
    transaction.commit();
    return copy;
}

namespace {

bool SameFileContent(const QString& a, const QString& b) {
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly)) return false;
    return fa.readAll() == fb.readAll();
}

}  // namespace

QString PhotoIntoImages(const QString& file, const QString& imagesDir) {
    const QFileInfo source(file);
    if (!source.isFile() || !QDir().mkpath(imagesDir)) return QString();
    const QDir images(imagesDir);
    if (source.absoluteDir().canonicalPath() == images.canonicalPath()) return source.fileName();
    const QString base = source.completeBaseName();
    const QString suffix = source.suffix().isEmpty() ? QString() : QStringLiteral(".") + source.suffix();
    constexpr int kMaxTries = 1000;
    for (int k = 0; k <= kMaxTries; ++k) {
        const QString name = k == 0 ? source.fileName() : QStringLiteral("%1(%2)%3").arg(base).arg(k).arg(suffix);
        const QString target = images.filePath(name);
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
            if (SameFileContent(file, target)) return name;
            continue;
        }
        return QFile::copy(file, target) ? name : QString();
    }
    return QString();
}
