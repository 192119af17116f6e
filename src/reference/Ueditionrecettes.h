#pragma once
// "Gestion des recettes": the editor of the recipes, their themes and their ingredients. The
// recipe list with its prefix search on the left, the name, preparation time, description and
// photo of the current recipe, its themes, and its ingredients with the food picker they are
// added from. The values per gram of a recipe are never typed: the save computes them from the
// ingredients (RecipeSave.h, which also holds the undo and the duplication).
// A module window of the frame, created on demand and freed when closed; its unit state (static
// members) outlives it.
#include <QString>
#include <QWidget>
#include <cstdint>

#include "data/DataWatch.h"
#include "data/Query.h"
#include "data/Table.h"
#include "reference/EditorWindow.h"

class DbGrid;
class DbLineEdit;
class DbMemo;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TFEditionRecettes : public EditorWindow {
    Q_OBJECT
public:
    explicit TFEditionRecettes(QWidget* parent = nullptr);
    ~TFEditionRecettes() override;

    // Components
    QLabel* LblRecherche = nullptr;
    QLineEdit* EdtRecherche = nullptr;
    QListWidget* LboxRecettes = nullptr;
    QLabel* LblNom = nullptr;
    DbLineEdit* DBEdtNom = nullptr;
    QLabel* LblDescription = nullptr;
    DbMemo* DBMDescription = nullptr;
    QLabel* LblTempsPreparation = nullptr;
    DbLineEdit* DBEdtTempsPrepartion = nullptr;
    QLabel* LblPhoto = nullptr;
    QFrame* PanelImage = nullptr;
    QLabel* Image = nullptr;
    QPushButton* BtnRechImage = nullptr;
    QPushButton* BtnSuppImage = nullptr;
    QGroupBox* GpbCategories = nullptr;
    DbGrid* DBGCategories = nullptr;
    QPushButton* BtnAjouterCategorie = nullptr;
    QPushButton* BtnSuppCategorie = nullptr;
    QGroupBox* GpbAliments = nullptr;
    QComboBox* CboxCatAliments = nullptr;
    QLabel* LblRechAliment = nullptr;
    QLineEdit* EdtRechAliment = nullptr;
    QListWidget* LboxAliments = nullptr;
    QPushButton* BtnAjouter = nullptr;
    QPushButton* BtnRetirer = nullptr;
    DbGrid* DBGIngredients = nullptr;
    QPushButton* BtnNouveau = nullptr;
    QPushButton* BtnEnregistrer = nullptr;
    QPushButton* BtnDupliquer = nullptr;
    QPushButton* BtnSupprimer = nullptr;
    QPushButton* BtnQuitter = nullptr;

    // Datasets: the recipes (master of their themes and ingredients), the lookup sources of the
    // theme and ingredient names, the food categories, and the scratch statement.
    Table TRecettes{QStringLiteral("t_recettes")};
    Table TCategoriesRecettes{QStringLiteral("t_categories_recettes")};
    Table TIngredients{QStringLiteral("t_ingredients_recettes")};
    Table TCategories{QStringLiteral("t_categories")};
    Table TAliments{QStringLiteral("t_aliments")};
    Table TCatAliments{QStringLiteral("t_cataliments")};
    ::Query Query;

    // Handlers
    void FormCreate();
    void FormActivate();
    bool FormCanResize() const { return InCreate; }
    void FormHelp();
    void BtnNouveauClick();
    void BtnEnregistrerClick();
    void BtnSupprimerClick();
    void BtnDupliquerClick();
    void LboxRecettesClick();
    void EdtRechercheChange();
    void EdtRechAlimentChange();
    void CboxCatAlimentsClick();
    void HeaderEdited(bool byUser);   // the name, description and time edits' change handlers
    void BtnAjouterClick();
    void BtnRetirerClick();
    void BtnAjouterCategorieClick();
    void BtnSuppCategorieClick();
    void DBGIngredientsEditButtonClick();
    void DBGIngredientsExit();
    void DBGCategoriesExit();
    void BtnRechImageClick();
    void BtnSuppImageClick();

    // Save and undo of the current recipe: asks whether to keep the pending changes; true when
    // the caller may go on (nothing pending, saved, or declined and undone).
    bool SaveRecipeChanges();
    // A new recipe or a change of the current one not yet saved nor undone.
    static bool ChangesPending();
    void BackupRecipeIngredients();
    void BackupRecipeCategories();
    void PurgeUnnamedRecipe(int recipeId);

    // The recipe shown (0 without one).
    int CurrentRecipeId() const;
    // Shows the photo of the current recipe (or "aucune_photo").
    void ShowRecipePhoto();

    // Unit state
    static inline bool NewRecipe = false;
    static inline bool HeaderModified = false;
    static inline bool IngredientsModified = false;
    static inline bool CategoriesModified = false;
    static inline bool SaveConfirmed = false;
    static inline bool SelectingFromList = false;
    static inline bool RecipeEditorActivated = false;
    static inline bool InCreate = false;
    static inline QString FoodNameColumn = QStringLiteral("NomAlimentFrancais");
    static inline QString IngredientNameField = QStringLiteral("NomIngredientFrancais");
    static inline QString RecipeNameColumn = QStringLiteral("NomRecetteFrancais");
    static inline QString CategoryNameColumn = QStringLiteral("NomCategorieFrancais");
    // The description column of the same language as RecipeNameColumn.
    static inline QString RecipeDescColumn = QStringLiteral("DescRecetteFrancais");
    static inline int RecipeEditorFoodCategory = 0;
    static inline int CurrentRecipeIndex = -1;
    // The recipe whose rows the shadow copies hold, 0 when no copy was taken since the last
    // save or undo: an undo only ever puts back a copy of the recipe being undone.
    static inline int IngredientsCopyRecipe = 0;
    static inline int CategoriesCopyRecipe = 0;

    static void ResetUnitState();

protected:
    // A save that failed keeps its edits on screen for correction, and the window open.
    bool SaveBeforeClosing() override;
    void FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void chooseNameColumns();
    void fillFoodList();
    // Reads the foods and their categories again when the database changed since the food list
    // was filled, keeping the category, the food selected and the search typed.
    void refreshFoodPicker();
    void fillRecipeList();
    // The recipe list's items carry their recipe's id: the recipe shown is always the one of the
    // selected item, whatever names the recipes share.
    int itemRecipeId(int row) const;
    int rowOfRecipe(int recipeId) const;
    int addRecipeItem(const QString& name, int recipeId);
    // Selects `row` and shows its recipe (-1: nothing selected, the recipe shown stays).
    void showRow(int row);
    // Settles the recipe shown before the user leaves it another way than by the list; false
    // when it stays (its changes refused or kept for correction), the list then showing it again.
    bool settleBeforeLeaving();
    void clearChangeFlags();
    void showNoPhoto();
    int showMessage(const QString& text, const QString& caption, int style);
    // "Voulez-vous vraiment supprimer <what> ?"; true on "Oui".
    bool confirmDeletion(const QString& what = QStringLiteral("cet enregistrement"));
    // ">" on a food the recipe already has: its row is selected, the quantity to be typed.
    bool selectIngredientOf(const QVariant& foodId);
    // Undoes the pending changes; false when the database refused (said, the changes kept pending).
    bool undoDetails(bool wasNew);
    bool refuseProtectedChanges();
    bool validateAndWrite(const QString& mode);
    void reselectAfterSave();

    uint8_t MessageSwitch = 1;
    // The database as it was when the food list was filled.
    DataWatch foodPickerWatch_;
    bool closing_ = false;
};

extern TFEditionRecettes* FEditionRecettes;

// Opens or raises the recipe editor (menu item Recettes, start-up module 2).
QWidget* CreateEditionRecettes();
