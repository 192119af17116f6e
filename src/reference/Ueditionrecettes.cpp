#include "reference/Ueditionrecettes.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <exception>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/NameColumn.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/TextHelpers.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"
#include "platform/Modal.h"
#include "reference/EditorFoodTables.h"
#include "reference/RecipeSave.h"
#include "reference/Uqraffirecette.h"
#include "tracking/ConsoDay.h"

TFEditionRecettes* FEditionRecettes = nullptr;

namespace {

constexpr int kHelpContext = 50;
// Position of IdCatAliment among the columns of t_aliments.
constexpr int kFoodCategoryPosition = 13;

const QString kImageFilter = QStringLiteral(
    "Tout (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf);;Fichier image JPEG (*.jpg);;Fichier image JPEG (*.jpeg);;"
    "Bitmaps (*.bmp)");

}  // namespace

void TFEditionRecettes::ResetUnitState() {
    NewRecipe = HeaderModified = IngredientsModified = CategoriesModified = SaveConfirmed = false;
    SelectingFromList = RecipeEditorActivated = InCreate = false;
    FoodNameColumn = QStringLiteral("NomAlimentFrancais");
    IngredientNameField = QStringLiteral("NomIngredientFrancais");
    RecipeNameColumn = QStringLiteral("NomRecetteFrancais");
    CategoryNameColumn = QStringLiteral("NomCategorieFrancais");
    RecipeEditorFoodCategory = 0;
    CurrentRecipeIndex = -1;
    OldRecipeName.clear();
    IngredientsCopyRecipe = CategoriesCopyRecipe = 0;
}

TFEditionRecettes::TFEditionRecettes(QWidget* parent) : EditorWindow(parent) {
    setObjectName(QStringLiteral("FEditionRecettes"));
    setWindowTitle(QStringLiteral("Gestion des recettes"));
    setProperty("HelpContext", kHelpContext);
    UseProgramFont(this);

    // The themes and ingredients of the current recipe, with their names in every language.
    TCategoriesRecettes.setMaster(&TRecettes, QStringLiteral("IdRecette"));
    TIngredients.setMaster(&TRecettes, QStringLiteral("IdRecette"));
    const QStringList themeNames = NameColumnNames(QStringLiteral("NomCategorie"));
    const QStringList ingredientNames = NameColumnNames(QStringLiteral("NomIngredient"));
    const QStringList foodNames = NameColumnNames(QStringLiteral("NomAliment"));
    for (int i = 0; i < 5; ++i) {
        TCategoriesRecettes.addLookupField(themeNames[i], QStringLiteral("IdCategorie"), &TCategories,
                                           QStringLiteral("IdCategorie"), themeNames[i]);
        TIngredients.addLookupField(ingredientNames[i], QStringLiteral("IdAliment"), &TAliments,
                                    QStringLiteral("IdAliment"), foodNames[i]);
    }
    TCategoriesRecettes.onBeforeEdit = [this](Table&) { BackupRecipeCategories(); };
    TIngredients.onBeforeEdit = [this](Table&) { BackupRecipeIngredients(); };
    // A time typed "1:30" is stored as "01:30:00", the form the search compares; a name another
    // recipe has is refused on every path that posts the recipe (the prefix search moves too).
    TRecettes.onBeforePost = [](Table& t) {
        if (const auto time = ParsePreparationTime(t.asString(QStringLiteral("TempsPreparation"))))
            t.setValue(QStringLiteral("TempsPreparation"), time->toString(QStringLiteral("HH:mm:ss")));
        const QString name = t.asString(RecipeNameColumn);
        if (!name.trimmed().isEmpty() &&
            RecipeNameTaken(name, RecipeNameColumn, t.asInt(QStringLiteral("IdRecette"))))
            throw DatabaseError(RecipeSaveCodeText(RecipeSaveCode::NameTaken));
    };

    buildControls();
    FEditionRecettes = this;
    FormCreate();
    OnModuleActivation(this, [this] { RunGuarded([this] { FormActivate(); }); });
}

TFEditionRecettes::~TFEditionRecettes() {
    if (RecipeEditorFoodTable == &TAliments) {
        RecipeEditorFoodTable = nullptr;
        RecipeEditorSettlePending = nullptr;
    }
    if (FEditionRecettes == this) FEditionRecettes = nullptr;
}

void TFEditionRecettes::buildControls() {
    auto on = [this](QPushButton* b, void (TFEditionRecettes::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { RunGuarded([&] { (this->*handler)(); }); });
    };

    LblRecherche = PlaceLabel(this, "LblRecherche", QStringLiteral("Rechercher"), {8, 8, 0, 0}, true);
    EdtRecherche = PlaceEdit(this, "EdtRecherche", {8, 24, 200, 21});
    EdtRecherche->setToolTip(QStringLiteral("Saisie des premières lettres du nom de la recette recherchée"));
    LboxRecettes = PlaceWidget<QListWidget>(this, "LboxRecettes", {8, 50, 200, 224});
    LboxRecettes->setToolTip(QStringLiteral("Sélection d'une recette"));

    LblNom = PlaceLabel(this, "LblNom", QStringLiteral("Nom"), {216, 8, 0, 0}, true);
    DBEdtNom = PlaceWidget<DbLineEdit>(this, "DBEdtNom", {216, 24, 300, 21});
    LblTempsPreparation =
        PlaceLabel(this, "LblTempsPreparation", QStringLiteral("Temps de préparation"), {216, 50, 0, 0}, true);
    DBEdtTempsPrepartion = PlaceWidget<DbLineEdit>(this, "DBEdtTempsPrepartion", {216, 66, 90, 21});
    LblDescription = PlaceLabel(this, "LblDescription", QStringLiteral("Description"), {216, 92, 0, 0}, true);
    DBMDescription = PlaceWidget<DbMemo>(this, "DBMDescription", {216, 108, 300, 58});
    DBMDescription->setToolTip(QStringLiteral("Déscription de la recette"));
    DBMDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    LblPhoto = PlaceLabel(this, "LblPhoto", QStringLiteral("Photo"), {530, 8, 0, 0}, true);
    PanelImage = PlaceWidget<QFrame>(this, "PanelImage", {530, 24, 79, 80});
    PanelImage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image = PlaceWidget<QLabel>(PanelImage, "Image", {6, 6, 67, 68});
    Image->setScaledContents(true);
    BtnRechImage = PlaceButton(this, "BtnRechImage", QStringLiteral("Rechercher"), {524, 110, 92, 25});
    BtnRechImage->setToolTip(QStringLiteral("Rechercher la photo de la recette"));
    BtnSuppImage = PlaceButton(this, "BtnSuppImage", QStringLiteral("Supprimer"), {524, 140, 92, 25});

    GpbCategories = PlaceGroup(this, "GpbCategories", QStringLiteral("Thèmes de recettes"), {216, 172, 300, 102});
    DBGCategories = PlaceWidget<DbGrid>(GpbCategories, "DBGCategories", {8, 20, 200, 76});
    DBGCategories->setToolTip(QStringLiteral("Sélection du theme de la recette dans la liste déroulante"));
    BtnAjouterCategorie = PlaceButton(GpbCategories, "BtnAjouterCategorie", QStringLiteral("Ajouter"), {214, 20, 78, 25});
    BtnAjouterCategorie->setToolTip(QStringLiteral("Ajouter un theme à la recette"));
    BtnSuppCategorie = PlaceButton(GpbCategories, "BtnSuppCategorie", QStringLiteral("Supprimer"), {214, 52, 78, 25});
    BtnSuppCategorie->setToolTip(QStringLiteral("Supprimer le theme sélectionné"));

    GpbAliments = PlaceGroup(this, "GpbAliments", QStringLiteral("Ingrédients de la recette"), {8, 282, 608, 192});
    CboxCatAliments = PlaceWidget<QComboBox>(GpbAliments, "CboxCatAliments", {8, 20, 220, 21});
    LblRechAliment = PlaceLabel(GpbAliments, "LblRechAliment", QStringLiteral("Rechercher"), {8, 50, 0, 0}, true);
    EdtRechAliment = PlaceEdit(GpbAliments, "EdtRechAliment", {88, 47, 140, 21});
    EdtRechAliment->setToolTip(QStringLiteral("Saisie des premières lettres du nom de l'aliment recherché"));
    LboxAliments = PlaceWidget<QListWidget>(GpbAliments, "LboxAliments", {8, 74, 220, 110});
    LboxAliments->setToolTip(QStringLiteral("Sélection des aliments"));
    BtnAjouter = PlaceButton(GpbAliments, "BtnAjouter", QStringLiteral(">"), {234, 80, 26, 25}, true);
    BtnAjouter->setToolTip(QStringLiteral("Ajouter un ingrédient à la recette"));
    BtnRetirer = PlaceButton(GpbAliments, "BtnRetirer", QStringLiteral("<"), {234, 112, 26, 25}, true);
    BtnRetirer->setToolTip(QStringLiteral("Supprimer l'ingrédient sélectionné"));
    DBGIngredients = PlaceWidget<DbGrid>(GpbAliments, "DBGIngredients", {266, 20, 334, 164});
    DBGIngredients->setToolTip(QStringLiteral("Saisie de la quantité en grammes"));
    SetInputColour(DBGIngredients, BgrColor(16380093));

    const struct {
        const char* name;
        const char* caption;
        int x;
        QPushButton** button;
    } bottom[] = {
        {"BtnNouveau", "Nouveau", 8, &BtnNouveau},          {"BtnEnregistrer", "Enregistrer", 132, &BtnEnregistrer},
        {"BtnDupliquer", "Dupliquer", 256, &BtnDupliquer},  {"BtnSupprimer", "Supprimer", 380, &BtnSupprimer},
        {"BtnQuitter", "Quitter", 504, &BtnQuitter},
    };
    for (const auto& b : bottom)
        *b.button = PlaceButton(this, b.name, QString::fromUtf8(b.caption), {b.x, 482, 112, 25}, true);
    BtnNouveau->setToolTip(QStringLiteral("Création d'une nouvelle recette"));
    BtnSupprimer->setToolTip(QStringLiteral("Suppression de la recette sélectionnée"));

    // Data-aware controls: the name is bound at the first activation, to the column in use.
    DBEdtNom->setField(&TRecettes, RecipeNameColumn);
    DBEdtTempsPrepartion->setField(&TRecettes, QStringLiteral("TempsPreparation"));
    DBMDescription->setField(&TRecettes, QStringLiteral("DescRecetteFrancais"));
    DBGCategories->setTable(&TCategoriesRecettes);
    DBGCategories->setColumns({{CategoryNameColumn, QStringLiteral("Theme"), 176}});
    DBGIngredients->setTable(&TIngredients);
    GridColumn quantity{QStringLiteral("QuantiteGramme"), QStringLiteral("Quantité (gr)"), 84};
    quantity.format = QStringLiteral("####0.##");
    quantity.color = kEditableColour;
    quantity.ellipsis = true;
    DBGIngredients->setColumns({{IngredientNameField, QStringLiteral("Ingrédient"), 226}, quantity});
    DBGIngredients->onEditButtonClick = [this] { RunGuarded([this] { DBGIngredientsEditButtonClick(); }); };
    connect(DBGIngredients, &DbGrid::exited, this, [this] { RunGuarded([this] { DBGIngredientsExit(); }); });
    connect(DBGCategories, &DbGrid::exited, this, [this] { RunGuarded([this] { DBGCategoriesExit(); }); });

    connect(DBEdtNom, &QLineEdit::textChanged, this, [this] { HeaderEdited(DBEdtNom->modified()); });
    connect(DBEdtTempsPrepartion, &QLineEdit::textChanged, this,
            [this] { HeaderEdited(DBEdtTempsPrepartion->modified()); });
    connect(DBMDescription, &DbMemo::changed, this, [this] { HeaderEdited(DBMDescription->modified()); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == DBEdtNom) DBEdtNomEnter();
    });

    connect(EdtRecherche, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { EdtRechercheChange(); }); });
    connect(EdtRechAliment, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { EdtRechAlimentChange(); }); });
    connect(CboxCatAliments, &QComboBox::activated, this, [this] { RunGuarded([this] { CboxCatAlimentsClick(); }); });
    // A recipe chosen in the list by the mouse or the arrow keys; choices made by the code run
    // under a signal blocker.
    connect(LboxRecettes, &QListWidget::itemSelectionChanged, this, [this] {
        if (!LboxRecettes->selectedItems().isEmpty()) RunGuarded([this] { LboxRecettesClick(); });
    });

    on(BtnNouveau, &TFEditionRecettes::BtnNouveauClick);
    on(BtnEnregistrer, &TFEditionRecettes::BtnEnregistrerClick);
    on(BtnDupliquer, &TFEditionRecettes::BtnDupliquerClick);
    on(BtnSupprimer, &TFEditionRecettes::BtnSupprimerClick);
    on(BtnQuitter, &TFEditionRecettes::BtnQuitterClick);
    on(BtnAjouter, &TFEditionRecettes::BtnAjouterClick);
    on(BtnRetirer, &TFEditionRecettes::BtnRetirerClick);
    on(BtnAjouterCategorie, &TFEditionRecettes::BtnAjouterCategorieClick);
    on(BtnSuppCategorie, &TFEditionRecettes::BtnSuppCategorieClick);
    on(BtnRechImage, &TFEditionRecettes::BtnRechImageClick);
    on(BtnSuppImage, &TFEditionRecettes::BtnSuppImageClick);
}

void TFEditionRecettes::FormCreate() {
    InCreate = true;
    resize(624, 515);   // a 632 x 549 window with its frame
    InCreate = false;
    setFixedSize(size());
    // A recipe left without a name by a save that failed as the editor closed is removed.
    try {
        PurgeNamelessRecipes();
    } catch (const DatabaseError&) {
    }
    RecipeEditorFoodTable = &TAliments;
    RecipeEditorSettlePending = [this] { return SaveRecipeChanges(); };
    RecipeEditorActivated = false;
}

void TFEditionRecettes::chooseNameColumns() {
    const int language = appState().LanguageCode;
    // The language's column judged on the sample row of `sql`; the column in use stays when
    // none qualifies.
    auto choose = [this, language](const QString& prefix, const QString& sql, const QString& current) {
        const QStringList columns = NameColumnNames(prefix);
        Query.setSql(sql.arg(columns.join(QStringLiteral(", "))));
        Query.open();
        QStringList names;
        if (!Query.isEmpty())
            for (int i = 0; i < 5; ++i) names << Query.asString(i);
        Query.close();
        const int position = ChooseNameColumn(names, language);
        return position < 0 ? current : columns[position];
    };
    FoodNameColumn = choose(QStringLiteral("NomAliment"), QStringLiteral("SELECT %1 FROM t_aliments WHERE IdAliment = 1;"),
                            FoodNameColumn);
    IngredientNameField = NameColumnNames(QStringLiteral("NomIngredient"))
        [NameColumnNames(QStringLiteral("NomAliment")).indexOf(FoodNameColumn)];
    RecipeNameColumn = choose(QStringLiteral("NomRecette"),
                              QStringLiteral("SELECT %1 FROM t_recettes WHERE IdRecette = 1;"), RecipeNameColumn);
    CategoryNameColumn = choose(QStringLiteral("NomCategorie"), QStringLiteral("SELECT %1 FROM t_categories;"),
                                CategoryNameColumn);
    DBGIngredients->setColumnField(0, IngredientNameField);
    DBGCategories->setColumnField(0, CategoryNameColumn);
    DBEdtNom->setField(RecipeNameColumn);
}

void TFEditionRecettes::FormActivate() {
    // Changes still pending keep their flags: leaving them asks the save question and runs its
    // checks. A window shown anew starts clean.
    if (!RecipeEditorActivated || !ChangesPending()) clearChangeFlags();
    TAliments.open();
    TCatAliments.open();
    if (RecipeEditorActivated) return;

    chooseNameColumns();
    TCategories.open();
    QStringList categories;
    for (TCatAliments.first(); !TCatAliments.eof(); TCatAliments.next()) categories << TCatAliments.asString(1);
    FillSorted(CboxCatAliments, categories);
    if (CboxCatAliments->count() > 0) {
        CboxCatAliments->setCurrentIndex(0);
        CboxCatAlimentsClick();
    }
    fillRecipeList();
    RecipeEditorActivated = true;
}

void TFEditionRecettes::fillRecipeList() {
    TRecettes.open();
    TCategoriesRecettes.open();
    TIngredients.open();
    QStringList names;
    for (int r = 0; r < TRecettes.recordCount(); ++r) names << TRecettes.rowValue(r, RecipeNameColumn).toString();
    FillSorted(LboxRecettes, names);
    if (LboxRecettes->count() > 0) {
        SelectListRow(LboxRecettes, 0);
        locateRecipe(LboxRecettes->item(0)->text(), false);
        CurrentRecipeIndex = 0;
    }
    ShowRecipePhoto();
}

bool TFEditionRecettes::ChangesPending() {
    return NewRecipe || HeaderModified || IngredientsModified || CategoriesModified;
}

void TFEditionRecettes::clearChangeFlags() {
    NewRecipe = HeaderModified = SaveConfirmed = IngredientsModified = CategoriesModified = false;
    IngredientsCopyRecipe = CategoriesCopyRecipe = 0;
}

int TFEditionRecettes::CurrentRecipeId() const {
    return TRecettes.isActive() && TRecettes.recNo() >= 0 ? TRecettes.asInt(QStringLiteral("IdRecette")) : 0;
}

void TFEditionRecettes::locateRecipe(const QString& name, bool partial) {
    TRecettes.locate(RecipeNameColumn, name, {.caseInsensitive = true, .partialKey = partial});
}

// ---------------------------------------------------------------------------------------------
// Photo

void TFEditionRecettes::showNoPhoto() { Image->setPixmap(QPixmap::fromImage(NoPhotoPicture())); }

void TFEditionRecettes::ShowRecipePhoto() {
    const QString file = CurrentRecipeId() ? TRecettes.asString(QStringLiteral("Image")) : QString();
    Image->setPixmap(QPixmap::fromImage(RecipePhoto(appState().ImagesDirectory, file)));
}

void TFEditionRecettes::BtnRechImageClick() {
    const QString file = modal::openFileName(this, QStringLiteral("Sélection du fichier image"),
                                             appState().ImagesDirectory, kImageFilter);
    const QImage picture = file.isEmpty() ? QImage() : QImage(file);
    if (picture.isNull() || !CurrentRecipeId()) {
        showNoPhoto();
        return;
    }
    Image->setPixmap(QPixmap::fromImage(picture));
    TRecettes.edit();
    TRecettes.setValue(QStringLiteral("Image"), FileNamePart(file));
    HeaderModified = true;
}

void TFEditionRecettes::BtnSuppImageClick() {
    if (!CurrentRecipeId()) return;
    TRecettes.edit();
    TRecettes.clearField(QStringLiteral("Image"));
    showNoPhoto();
    HeaderModified = true;
}

// ---------------------------------------------------------------------------------------------
// Recipe list and food picker

void TFEditionRecettes::LboxRecettesClick() {
    SelectingFromList = true;
    const int clicked = LboxRecettes->currentRow();
    if (!SaveRecipeChanges()) {
        SelectListRow(LboxRecettes, CurrentRecipeIndex);
    } else if (clicked >= 0 && clicked < LboxRecettes->count()) {
        SelectListRow(LboxRecettes, clicked);
        locateRecipe(LboxRecettes->item(clicked)->text(), false);
        BackupRecipeIngredients();
        ShowRecipePhoto();
        const QSignalBlocker quiet(EdtRecherche);
        EdtRecherche->clear();
    }
    CurrentRecipeIndex = LboxRecettes->currentRow();
    SelectingFromList = false;
}

void TFEditionRecettes::EdtRechercheChange() {
    if (EdtRecherche->text().isEmpty()) return;
    const int found = FindItemByPrefix(ListItems(LboxRecettes), EdtRecherche->text());
    const int before = CurrentRecipeIndex;
    SelectListRow(LboxRecettes, found);
    if (found < 0) return;
    try {
        // Moving posts the recipe left; when that is refused, the list shows it again.
        locateRecipe(LboxRecettes->item(found)->text(), true);
    } catch (const DatabaseError&) {
        SelectListRow(LboxRecettes, before);
        throw;
    }
    CurrentRecipeIndex = found;
    ShowRecipePhoto();
}

void TFEditionRecettes::EdtRechAlimentChange() {
    const int found = FindItemByPrefix(ListItems(LboxAliments), EdtRechAliment->text());
    LboxAliments->clearSelection();
    if (found < 0) return;
    LboxAliments->setCurrentRow(found);
    TAliments.locate(FoodNameColumn, LboxAliments->item(found)->text(), {.caseInsensitive = true, .partialKey = true});
}

void TFEditionRecettes::CboxCatAlimentsClick() {
    TCatAliments.locate(QStringLiteral("NomCategorieFrancais"), CboxCatAliments->currentText(),
                        {.caseInsensitive = true});
    if (TCatAliments.recNo() >= 0) RecipeEditorFoodCategory = TCatAliments.asInt(0);
    fillFoodList();
}

void TFEditionRecettes::fillFoodList() {
    QStringList names;
    for (int r = 0; r < TAliments.recordCount(); ++r)
        if (dbvalue::toInt(TAliments.rowValue(r, kFoodCategoryPosition)) == RecipeEditorFoodCategory)
            names << TAliments.rowValue(r, FoodNameColumn).toString();
    names = FillSorted(LboxAliments, names);
    if (names.isEmpty()) return;
    LboxAliments->setCurrentRow(0);
    TAliments.locate(FoodNameColumn, names.first(), {.caseInsensitive = true});
}

// ---------------------------------------------------------------------------------------------
// Header edits

void TFEditionRecettes::DBEdtNomEnter() {
    const QListWidgetItem* item = LboxRecettes->currentItem();
    if (item && item->isSelected() && item->text() == DBEdtNom->text()) OldRecipeName = item->text();
}

void TFEditionRecettes::HeaderEdited(bool byUser) {
    if (byUser) HeaderModified = true;
}

// ---------------------------------------------------------------------------------------------
// New, delete, quit, close

void TFEditionRecettes::BtnNouveauClick() {
    if (!SaveRecipeChanges()) return;
    NewRecipe = true;
    TRecettes.append();
    TRecettes.setValue(QStringLiteral("IdRecette"), NextId(QStringLiteral("t_recettes"), QStringLiteral("IdRecette")));
    for (const char* column : {"CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme"})
        TRecettes.setValue(QString::fromLatin1(column), 0.0);
    TRecettes.setValue(QStringLiteral("TempsPreparation"), QStringLiteral("00:00:00"));
    // The recipes created here are the user's: he may change and delete them.
    TRecettes.setValue(QStringLiteral("DroitsModifUtilisateur"), 1);
    TRecettes.post();
    TRecettes.edit();
    showNoPhoto();
    SelectListRow(LboxRecettes, -1);
    DBGIngredients->setEnabled(false);
    DBEdtNom->setFocus();
}

void TFEditionRecettes::BtnSupprimerClick() {
    const int id = CurrentRecipeId();
    if (!id) return;
    if (!TRecettes.asBool(QStringLiteral("DroitsModifUtilisateur"))) {
        showMessage(QStringLiteral("        Vous ne pouvez pas supprimer cette recette.\n        Vous pouvez uniquement "
                                   "supprimer les recettes que vous avez\n        crée !"),
                    QStringLiteral("Suppression impossible"), 48);
        return;
    }
    if (!confirmDeletion()) return;
    TRecettes.cancel();
    DeleteRecipeWithDetails(id);
    TRecettes.refresh();
    // The pending changes were those of the recipe now gone: nothing is left to save or undo.
    clearChangeFlags();
    if (QListWidgetItem* item = LboxRecettes->currentItem(); item && item->isSelected()) {
        const QSignalBlocker quiet(LboxRecettes);
        delete LboxRecettes->takeItem(LboxRecettes->row(item));
    }
    const QString now = CurrentRecipeId() ? TRecettes.asString(RecipeNameColumn) : QString();
    SelectListRow(LboxRecettes, FindListItem(LboxRecettes, now));
    CurrentRecipeIndex = LboxRecettes->currentRow();
}

bool TFEditionRecettes::SaveBeforeClosing() {
    SaveRecipeChanges();
    return !ChangesPending();
}

void TFEditionRecettes::FormClose() {
    for (Table* t : {&TRecettes, &TCategoriesRecettes, &TIngredients, &TAliments, &TCategories}) t->close();
    RecipeEditorFoodTable = nullptr;
    RecipeEditorSettlePending = nullptr;
}

void TFEditionRecettes::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, kHelpContext); }

int TFEditionRecettes::showMessage(const QString& text, const QString& caption, int style) {
    return ShowMessageBox(text, caption, style, &MessageSwitch, false);
}

bool TFEditionRecettes::confirmDeletion() {
    return showMessage(QStringLiteral("        Voulez-vous vraiment supprimer cet enregistrement ?"),
                       QStringLiteral("Suppression d'un enregistrement"), 36) == 6;
}

QWidget* CreateEditionRecettes() { return ShowActiveModuleWindow(new TFEditionRecettes()); }
