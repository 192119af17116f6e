// The recipe editor's save question, its undo, the shadow copies taken before a recipe's
// details change, the ingredient and theme buttons that change them, and the duplication.
// The database side of each is in RecipeSave.h.
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <exception>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"
#include "platform/Modal.h"
#include "reference/NameRules.h"
#include "reference/RecipeSave.h"
#include "reference/Uconversion.h"
#include "reference/Ueditionrecettes.h"

namespace {

const QString kBlank = QStringLiteral("        ");
const QString kDuplicateCaption = QStringLiteral("Duplication d'un enregistrement");

// Runs a step whose failure is of no consequence to the user (cancelling, re-reading).
template <typename Fn>
void quietly(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception&) {
    }
}

// A write that failed: the program's own refusals (French already) with the mode's line after
// them, the database's failures told in French.
void reportWriteFailure(const std::exception& e, const QString& tail) {
    if (DatabaseFailureKind(e) == DatabaseFailure::Own)
        ShowSaveError(DatabaseFailureText(e) + tail);
    else
        ReportSaveRefusal(e, RecipeSaveCodeText(RecipeSaveCode::InvalidField) + tail);
}

}  // namespace

bool TFEditionRecettes::SaveRecipeChanges() {
    bool result = true;
    if (NewRecipe || HeaderModified || IngredientsModified || CategoriesModified) {
        const QString mode = SaveMode(NewRecipe);
        const bool wasNew = NewRecipe;
        if (AskSaveQuestion(mode, QStringLiteral(" de cet enregistrement ?"))) {
            SaveConfirmed = true;
            if (refuseProtectedChanges()) {
                // The refused changes are undone; the caller stays on the recipe.
                undoDetails(wasNew);
                result = false;
            } else if (!validateAndWrite(mode)) {
                // The edits and the flags stay for another attempt.
                DBGIngredients->setEnabled(true);
                return false;
            } else {
                reselectAfterSave();
            }
        } else {
            // An undo the database refused leaves the changes pending: the caller stays.
            result = undoDetails(wasNew);
        }
    }
    DBGIngredients->setEnabled(true);
    return result;
}

// A recipe the user may not change keeps its header and its details as they are.
bool TFEditionRecettes::refuseProtectedChanges() {
    if (NewRecipe || !CurrentRecipeId() || TRecettes.asBool(QStringLiteral("DroitsModifUtilisateur"))) return false;
    showMessage(QStringLiteral("        Vous ne pouvez pas modifier cette recette.\n        Vous pouvez uniquement "
                               "modifier les recettes que vous avez\n        créées !"),
                QStringLiteral("Modification impossible"), 48);
    return true;
}

bool TFEditionRecettes::validateAndWrite(const QString& mode) {
    const int id = CurrentRecipeId();
    RecipeSaveInput in;
    in.recipeId = id;
    in.nameColumn = RecipeNameColumn;
    // A name with a control character is refused; its surrounding blanks are not stored.
    const EditorName typed = CheckEditorName(DBEdtNom->text());
    in.name = typed.name;
    in.description = DBMDescription->toPlainText();
    in.preparationTime = DBEdtTempsPrepartion->text();
    if (TCategoriesRecettes.recNo() >= 0) in.themeGridName = TCategoriesRecettes.asString(CategoryNameColumn);
    if (TIngredients.recNo() >= 0) {
        in.ingredientGridName = TIngredients.asString(IngredientNameField);
        in.ingredientGridFood = TIngredients.value(QStringLiteral("IdAliment"));
        in.ingredientGridQuantity = TIngredients.value(QStringLiteral("QuantiteGramme"));
    }
    const QString tail = RefusalTail(mode);
    if (!typed.refusal.isEmpty()) {
        ShowSaveError(typed.refusal + tail);
        return false;
    }
    if (!id) {
        ShowSaveError(RecipeSaveCodeText(RecipeSaveCode::InvalidField) + tail);
        return false;
    }
    if (const RecipeSaveCode code = CheckRecipeForSave(in); code != RecipeSaveCode::Ok) {
        ShowSaveError(RecipeRefusalText(code, in.name) + tail);
        return false;
    }
    try {
        if (typed.name != DBEdtNom->text()) {
            DBEdtNom->setText(typed.name);
            TRecettes.edit();
            TRecettes.setValue(RecipeNameColumn, typed.name);
        }
        WriteRecipeChanges({TRecettes, TIngredients, TCategoriesRecettes});
    } catch (const std::exception& e) {
        reportWriteFailure(e, tail);
        return false;
    }
    // The list follows: a new recipe takes its sorted place, a renamed one is renamed in place.
    const QString name = TRecettes.asString(RecipeNameColumn);
    if (const int row = rowOfRecipe(id); row >= 0)
        LboxRecettes->item(row)->setText(name);
    else
        addRecipeItem(name, id);
    return true;
}

void TFEditionRecettes::reselectAfterSave() {
    showRow(rowOfRecipe(CurrentRecipeId()));
    clearChangeFlags();
}

bool TFEditionRecettes::undoDetails(bool wasNew) {
    const int id = CurrentRecipeId();
    for (Table* t : {&TCategoriesRecettes, &TIngredients, &TRecettes}) quietly([t] { t->cancel(); });
    DBGCategories->viewport()->update();
    try {
        // A declined new recipe goes with its details; an existing one gets back both detail
        // tables from the copies taken for it before its first change, together.
        if (wasNew)
            DeleteRecipeWithDetails(id);
        else
            RestoreRecipeDetails(id, CategoriesCopyRecipe, IngredientsCopyRecipe);
    } catch (const std::exception& e) {
        // Nothing was undone: the change stays pending, its copies with it, and the question
        // comes again at the next "Enregistrer", move or close.
        for (Table* t : {&TCategoriesRecettes, &TIngredients}) quietly([t] { t->refresh(); });
        showMessage(DatabaseFailureText(e) + QStringLiteral("\n") + kBlank +
                        QStringLiteral("Les modifications de la recette n'ont pas été annulées :\n") + kBlank +
                        QStringLiteral("elles vous seront proposées de nouveau."),
                    QStringLiteral("Annulation impossible"), 12);
        return false;
    }
    if (wasNew) {
        quietly([this] { TRecettes.refresh(); });
    } else {
        quietly([this] { TCategoriesRecettes.refresh(); });
        quietly([this] { TIngredients.refresh(); });
    }
    if (wasNew && !SelectingFromList && LboxRecettes->count() > 0) showRow(0);
    clearChangeFlags();
    for (Table* t : {&TRecettes, &TCategoriesRecettes, &TIngredients}) quietly([t] { t->cancel(); });
    if (wasNew) PurgeUnnamedRecipe(id);
    return true;
}

void TFEditionRecettes::PurgeUnnamedRecipe(int recipeId) {
    if (recipeId <= 0) return;
    quietly([&] {
        if (Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_recettes WHERE IdRecette = ?;"), {recipeId}).toInt() == 0)
            return;
        DeleteRecipeWithDetails(recipeId);
        TRecettes.refresh();
    });
}

void TFEditionRecettes::BackupRecipeIngredients() {
    const int id = CurrentRecipeId();
    if (NewRecipe || !id || IngredientsCopyRecipe == id) return;
    CopyRecipeDetails(RecipeDetail::Ingredients, id);
    IngredientsCopyRecipe = id;
}

void TFEditionRecettes::BackupRecipeCategories() {
    const int id = CurrentRecipeId();
    if (NewRecipe || !id || CategoriesCopyRecipe == id) return;
    CopyRecipeDetails(RecipeDetail::Themes, id);
    CategoriesCopyRecipe = id;
}

void TFEditionRecettes::BtnEnregistrerClick() {
    SaveConfirmed = true;
    SaveRecipeChanges();
}

// ---------------------------------------------------------------------------------------------
// Ingredients and themes

bool TFEditionRecettes::selectIngredientOf(const QVariant& foodId) {
    for (int r = 0; r < TIngredients.recordCount(); ++r) {
        if (TIngredients.rowValue(r, QStringLiteral("IdAliment")) != foodId) continue;
        TIngredients.moveToRow(r);
        DBGIngredients->setEnabled(true);
        DBGIngredients->setFocus();
        DBGIngredients->setCurrentIndex(DBGIngredients->model()->index(r, 1));
        return true;
    }
    return false;
}

void TFEditionRecettes::BtnAjouterClick() {
    const QListWidgetItem* item = LboxAliments->currentItem();
    if (!item || !CurrentRecipeId()) return;
    const QString name = item->text();
    const int food = item->data(Qt::UserRole).toInt();
    try {
        // The food picked is the one stored under that id now: gone since the list was filled, it
        // is said and nothing changes; renamed, the list is read again first.
        const QVariant stored = Query::scalar(
            QStringLiteral("SELECT COALESCE(%1, '') FROM t_aliments WHERE IdAliment = ?;").arg(FoodNameColumn), {food});
        if (stored.isNull() || stored.toString() != name) refreshFoodPicker();
        if (stored.isNull() || !TAliments.findKey(food)) {
            showMessage(kBlank + QStringLiteral("L'aliment « %1 » n'existe plus :\n").arg(name) + kBlank +
                            QStringLiteral("la liste des aliments a été mise à jour."),
                        QStringLiteral("Aliment introuvable"), 48);
            return;
        }
        if (selectIngredientOf(food)) return;
        BackupRecipeIngredients();
        TIngredients.append();
        TIngredients.setValue(QStringLiteral("IdAliment"), TAliments.value(QStringLiteral("IdAliment")));
        TIngredients.post();
        IngredientsModified = true;
        DBGIngredients->setEnabled(true);
    } catch (const std::exception& e) {
        quietly([this] { TIngredients.cancel(); });
        ShowSaveError(DatabaseFailureText(e));
    }
}

void TFEditionRecettes::BtnRetirerClick() {
    if (!confirmDeletion()) return;
    if (TIngredients.recNo() < 0) return;
    BackupRecipeIngredients();
    TIngredients.remove();
    // A removed ingredient is a change of the recipe: the save question will offer to undo it.
    IngredientsModified = true;
    if (TIngredients.isEmpty()) DBGIngredients->setEnabled(false);
}

void TFEditionRecettes::BtnAjouterCategorieClick() {
    if (!CurrentRecipeId()) return;
    BackupRecipeCategories();
    TCategoriesRecettes.append();
    CategoriesModified = true;
    DBGCategories->setFocus();
}

void TFEditionRecettes::BtnSuppCategorieClick() {
    if (!confirmDeletion()) return;
    if (TCategoriesRecettes.recNo() < 0) return;
    BackupRecipeCategories();
    TCategoriesRecettes.remove();
    CategoriesModified = true;
}

void TFEditionRecettes::DBGIngredientsExit() { IngredientsModified = true; }

void TFEditionRecettes::DBGCategoriesExit() {
    CategoriesModified = true;
    // A theme row left without a theme is dropped rather than stored empty.
    if (TCategoriesRecettes.state() == Table::State::Insert && TCategoriesRecettes.isNull(QStringLiteral("IdCategorie"))) {
        TCategoriesRecettes.cancel();
        return;
    }
    try {
        TCategoriesRecettes.post();
    } catch (const DatabaseError&) {
        quietly([this] { TCategoriesRecettes.cancel(); });
    }
}

void TFEditionRecettes::DBGIngredientsEditButtonClick() {
    if (TIngredients.recNo() < 0) return;
    quietly([this] {
        const std::optional<double> grams = ConvertForGrid(TIngredients.asString(IngredientNameField));
        if (!grams) return;
        TIngredients.edit();
        TIngredients.setValue(QStringLiteral("QuantiteGramme"), *grams);
        IngredientsModified = true;
    });
}

// ---------------------------------------------------------------------------------------------
// Duplication

void TFEditionRecettes::BtnDupliquerClick() {
    if (!SaveRecipeChanges()) return;
    const int source = CurrentRecipeId();
    if (!source) return;
    const QString name = TRecettes.asString(RecipeNameColumn);
    if (showMessage(kBlank + QStringLiteral("Voulez-vous vraiment dupliquer la recette\n") + kBlank +
                        QStringLiteral("'") + name + QStringLiteral("' ?"),
                    kDuplicateCaption, 36) != 6)
        return;
    DuplicatedRecipe copy;
    try {
        copy = DuplicateRecipe(source, RecipeNameColumn);
    } catch (const std::exception& e) {
        reportWriteFailure(e, QString());
        return;
    }
    TRecettes.refresh();
    showRow(addRecipeItem(copy.name, copy.id));
}
