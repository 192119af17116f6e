#pragma once
// The part of the recipe editor that needs no widget: the checks a recipe passes before it is
// saved, the save itself (pending rows posted and the values per gram recomputed, in one
// transaction), the shadow copies of a recipe's ingredients and themes that an undo puts back,
// the removal of a recipe with its details, and the duplication of a recipe.
//
// Every statement binds its values; every write of more than one statement runs in one
// transaction, so a failure leaves the recipe as it was before.
#include <QString>
#include <QTime>
#include <QVariant>
#include <optional>

class Table;

// Why a recipe cannot be saved; each has its message (RecipeSaveCodeText).
enum class RecipeSaveCode {
    Ok = 0,
    InvalidField = 10,     // name or description empty, time 00:00:00 or unreadable, database error
    NoTheme = 11,
    NoIngredient = 12,
    InvalidQuantity = 13,  // a quantity empty, 0 or negative
    NameTaken = 14,        // another recipe has this name (accents and letter case ignored)
    InvalidTime = 15,      // the preparation time does not read as hours and minutes
};

// The text shown for a code (with its eight opening blanks).
QString RecipeSaveCodeText(RecipeSaveCode code);

// A preparation time as typed: "1:30", "01:30:00" (hours, minutes, optional seconds), "1h30",
// "2 h", a number of minutes alone ("35", "90") or the locale's time formats. Nothing when it
// does not read as a time of day.
std::optional<QTime> ParsePreparationTime(const QString& text);

// What the save checks look at: the texts of the three header edits and the rows of the grids
// as they stand, possibly not yet posted.
struct RecipeSaveInput {
    int recipeId = 0;
    QString nameColumn = QStringLiteral("NomRecetteFrancais");
    QString name;
    QString description;
    QString preparationTime;
    QString themeGridName;          // theme chosen on the theme grid's current row
    QString ingredientGridName;     // ingredient name on the ingredient grid's current row
    QVariant ingredientGridFood;    // IdAliment of that row (null without a row)
    QVariant ingredientGridQuantity;// QuantiteGramme of that row
};

// The first check the recipe fails, in the order name, description, time, name unique, themes,
// ingredients, quantities; Ok when it may be saved. An empty time or 00:00 is InvalidField, a
// time that does not read is InvalidTime.
RecipeSaveCode CheckRecipeForSave(const RecipeSaveInput& in);

// The message of a recipe named `name` refused with `code`; an empty name is named on a line of
// its own ("Nom : le nom est vide."), as the user editor does.
QString RecipeRefusalText(RecipeSaveCode code, const QString& name);

// The weighted mean of a recipe's ingredients' values per gram, weighted by their grams.
struct RecipePerGram {
    double calories = 0, lipids = 0, proteins = 0, carbs = 0;
    double totalQuantity = 0;
};
RecipePerGram RecipeWeightedMean(int recipeId);
// Writes the weighted mean into the recipe's row (all four 0 when the quantities sum to 0).
void StoreRecipePerGram(int recipeId);

// The three tables of the editor: the recipe (master) and its two detail tables.
struct RecipeTables {
    Table& recipes;
    Table& ingredients;
    Table& themes;
};

// Posts the pending rows (recipe, current ingredient, current theme; a theme row without a
// theme chosen is dropped), recomputes the recipe's values per gram and drops its shadow copies,
// all in one transaction. A name or description typed in one language also goes into the other
// languages' columns that were empty or still held the text it replaces, so that no list shows
// a blank. When any step fails (a stored quantity left empty or at 0 included: the code's text
// is the error's message) the database is left as it was, each table is read again with its
// pending edit put back as it was typed, and DatabaseError is raised.
void WriteRecipeChanges(RecipeTables tables);

// Shadow copies: the rows of one recipe's ingredients (or themes) as they were before its first
// change since it was last saved, in their saved order. A recipe that still has a copy keeps it
// (it was taken before the first change not yet settled); the copies of other recipes stay. A
// copy left in the database means that the recipe's edit was never settled (saved or undone).
enum class RecipeDetail { Ingredients, Themes };
void CopyRecipeDetails(RecipeDetail detail, int recipeId);
// Undo: puts back the rows copied for `recipeId` and drops its copies, in one transaction.
// `themesCopiedFor` and `ingredientsCopiedFor` are the recipes the copies were taken for in this
// run (0 when none): a copy of another recipe is never used, since it would replace this
// recipe's rows by nothing.
void RestoreRecipeDetails(int recipeId, int themesCopiedFor, int ingredientsCopiedFor);
// At start-up, before any window reads recipes, and at the opening of the editor: every recipe
// whose edit was interrupted (its shadow copies are still there) gets back its ingredients and
// themes as last saved, and its values per gram are computed again; the recipes without any name
// (a new recipe never saved) are removed. All in one transaction; with nothing to repair, three
// small reads and no write. Returns how many recipes were brought back.
int RecoverInterruptedRecipeEdits();

// Removes a recipe with its ingredients, themes and shadow copies, in one transaction.
void DeleteRecipeWithDetails(int recipeId);
// Removes the recipes that have no name in any language (a new recipe never saved), with their
// details. Returns how many were removed.
int PurgeNamelessRecipes();

// Whether another recipe than `exceptId` has `name` in `nameColumn`, accents and letter case
// ignored.
bool RecipeNameTaken(const QString& name, const QString& nameColumn, int exceptId);

// The name of a copy: "Tarte" gives "Tarte(1)", "Tarte(1)" gives "Tarte(2)", "Tarte(9)" gives
// "Tarte(10)"; a name that does not end with one digit between parentheses gets "(1)".
QString DuplicateRecipeName(const QString& source);

struct DuplicatedRecipe {
    int id = 0;
    QString name;
};
// Copies a recipe (header, descriptions, per-gram values, photo name, themes, ingredients) under
// a new id and the next free copy name, in one transaction. The copy may be changed by the user
// whatever the rights of the source; its name goes into every name column. Raises DatabaseError
// when no free name is found within a bounded number of tries.
DuplicatedRecipe DuplicateRecipe(int sourceId, const QString& nameColumn);

// The name under which a photo the user chose is stored (recipes name their photo without its
// folder): a file of `imagesDir` keeps its name; a file from elsewhere is copied into `imagesDir`
// under its name, or under "name(1).ext", "name(2).ext"... when another picture has that name
// (the same picture already there is taken as it is). Empty when it could not be copied.
QString PhotoIntoImages(const QString& file, const QString& imagesDir);
