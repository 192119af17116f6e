#include "reference/Ueditionrecettes.h"

#include <algorithm>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QMultiHash>
#include <QSignalBlocker>
#include <QTimer>
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

const QString kImageFilter = QStringLiteral(
    "Tout (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf);;Fichier image JPEG (*.jpg);;Fichier image JPEG (*.jpeg);;"
    "Bitmaps (*.bmp)");

// The other row of `t` holding the current row's `field` value, or -1.
int OtherRowWithSame(const Table& t, const QString& field) {
    const QVariant value = t.value(field);
    if (dbvalue::isNull(value)) return -1;
    for (int r = 0; r < t.recordCount(); ++r)
        if (r != t.recNo() && t.rowValue(r, field) == value) return r;
    return -1;
}

// Fills `list` with the names a statement reads (its rows: id, name, in any order: the names
// index serves them), sorted, and gives each item its id; rows of the same name take their ids in
// the order of the ids. Only the names are read, not the rows of the table.
void FillWithIds(QListWidget* list, const QString& sql, const QVariant& bound = QVariant()) {
    Query rows(sql);
    if (bound.isValid()) rows.addBindValue(bound);
    rows.open();
    std::vector<std::pair<int, QString>> read;
    read.reserve(size_t(rows.recordCount()));
    for (int r = 0; r < rows.recordCount(); ++r)
        read.emplace_back(dbvalue::toInt(rows.cell(r, 0)), rows.cell(r, 1).toString());
    rows.close();
    std::sort(read.begin(), read.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList names;
    names.reserve(qsizetype(read.size()));
    QMultiHash<QString, int> ids;
    for (auto r = read.rbegin(); r != read.rend(); ++r) {
        names << r->second;
        ids.insert(r->second, r->first);
    }
    names = FillSorted(list, names);
    for (int row = 0; row < names.size(); ++row) {
        auto it = ids.find(names[row]);
        list->item(row)->setData(Qt::UserRole, *it);
        ids.erase(it);
    }
}

int ItemId(const QListWidget* list, int row) {
    const QListWidgetItem* item = list->item(row);
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

int RowOfId(const QListWidget* list, int id) {
    for (int row = 0; row < list->count(); ++row)
        if (ItemId(list, row) == id) return row;
    return -1;
}

// A detail row posted with the `field` value of another row of the recipe is refused with
// `refusal`; an accepted one runs `backup` first.
Table::Event OneRowPer(const QString& field, const QString& refusal, std::function<void()> backup) {
    return [field, refusal, backup = std::move(backup)](Table& t) {
        if (OtherRowWithSame(t, field) >= 0) throw DatabaseError(refusal);
        backup();
    };
}

}  // namespace

void TFEditionRecettes::ResetUnitState() {
    NewRecipe = HeaderModified = IngredientsModified = CategoriesModified = SaveConfirmed = false;
    SelectingFromList = RecipeEditorActivated = InCreate = false;
    FoodNameColumn = QStringLiteral("NomAlimentFrancais");
    IngredientNameField = QStringLiteral("NomIngredientFrancais");
    RecipeNameColumn = QStringLiteral("NomRecetteFrancais");
    CategoryNameColumn = QStringLiteral("NomCategorieFrancais");
    RecipeDescColumn = QStringLiteral("DescRecetteFrancais");
    RecipeEditorFoodCategory = 0;
    CurrentRecipeIndex = -1;
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
    // The shadow copies are taken before the first change of a recipe's details, whatever makes
    // it; every change written is a change the save question offers to keep or undo.
    TCategoriesRecettes.onBeforeEdit = [this](Table&) { BackupRecipeCategories(); };
    // One row per theme and one per food: a theme or a food chosen again in a grid is refused.
    TCategoriesRecettes.onBeforePost = OneRowPer(QStringLiteral("IdCategorie"),
                                                 QStringLiteral("        Ce thème est déjà un thème de la recette."),
                                                 [this] { BackupRecipeCategories(); });
    TCategoriesRecettes.onBeforeDelete = [this](Table&) { BackupRecipeCategories(); };
    TCategoriesRecettes.onAfterPost = [](Table&) { CategoriesModified = true; };
    TIngredients.onBeforeEdit = [this](Table&) { BackupRecipeIngredients(); };
    TIngredients.onBeforeDelete = [this](Table&) { BackupRecipeIngredients(); };
    TIngredients.onAfterPost = [](Table&) { IngredientsModified = true; };
    TIngredients.onBeforePost = OneRowPer(QStringLiteral("IdAliment"),
                                          QStringLiteral("        Cet aliment est déjà un ingrédient de la recette :\n"
                                                         "        modifiez la quantité de sa ligne."),
                                          [this] { BackupRecipeIngredients(); });
    // A time typed "1:30" is stored as "01:30:00", the form the search compares; a name another
    // recipe has, and an empty name for a recipe already saved, are refused on every path that
    // posts the recipe.
    TRecettes.onBeforePost = [](Table& t) {
        if (const auto time = ParsePreparationTime(t.asString(QStringLiteral("TempsPreparation"))))
            t.setValue(QStringLiteral("TempsPreparation"), time->toString(QStringLiteral("HH:mm:ss")));
        const QString name = t.asString(RecipeNameColumn);
        if (name.trimmed().isEmpty() && t.state() == Table::State::Edit && !NewRecipe)
            throw DatabaseError(RecipeRefusalText(RecipeSaveCode::InvalidField, name));
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
    EdtRecherche->installEventFilter(this);
    LboxRecettes = PlaceWidget<QListWidget>(this, "LboxRecettes", {8, 50, 200, 224});
    LboxRecettes->setToolTip(QStringLiteral("Sélection d'une recette"));

    LblNom = PlaceLabel(this, "LblNom", QStringLiteral("Nom"), {216, 8, 0, 0}, true);
    DBEdtNom = PlaceWidget<DbLineEdit>(this, "DBEdtNom", {216, 24, 300, 21});
    LblTempsPreparation =
        PlaceLabel(this, "LblTempsPreparation", QStringLiteral("Temps de préparation"), {216, 50, 0, 0}, true);
    DBEdtTempsPrepartion = PlaceWidget<DbLineEdit>(this, "DBEdtTempsPrepartion", {216, 66, 90, 21});
    DBEdtTempsPrepartion->setToolTip(QStringLiteral("Heures et minutes (1:30), ou minutes seules (45)"));
    DBEdtTempsPrepartion->installEventFilter(this);
    LblDescription = PlaceLabel(this, "LblDescription", QStringLiteral("Description"), {216, 92, 0, 0}, true);
    DBMDescription = PlaceWidget<DbMemo>(this, "DBMDescription", {216, 108, 300, 58});
    DBMDescription->setToolTip(QStringLiteral("Description de la recette"));
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
    DBGCategories->setToolTip(QStringLiteral("Sélection du thème de la recette dans la liste déroulante"));
    BtnAjouterCategorie = PlaceButton(GpbCategories, "BtnAjouterCategorie", QStringLiteral("Ajouter"), {214, 20, 78, 25});
    BtnAjouterCategorie->setToolTip(QStringLiteral("Ajouter un thème à la recette"));
    BtnSuppCategorie = PlaceButton(GpbCategories, "BtnSuppCategorie", QStringLiteral("Supprimer"), {214, 52, 78, 25});
    BtnSuppCategorie->setToolTip(QStringLiteral("Supprimer le thème sélectionné"));

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
    DBMDescription->setField(&TRecettes, RecipeDescColumn);
    DBGCategories->setTable(&TCategoriesRecettes);
    DBGCategories->setColumns({{CategoryNameColumn, QStringLiteral("Thème"), 176}});
    DBGIngredients->setTable(&TIngredients);
    GridColumn quantity{QStringLiteral("QuantiteGramme"), QStringLiteral("Quantité (g)"), 84};
    quantity.format = QStringLiteral("####0.##");
    quantity.color = kEditableColour;
    quantity.ellipsis = true;
    quantity.number = NumberRules::Grams;
    DBGIngredients->setColumns({{IngredientNameField, QStringLiteral("Ingrédient"), 226}, quantity});
    DBGIngredients->onEditButtonClick = [this] { RunGuarded([this] { DBGIngredientsEditButtonClick(); }); };
    connect(DBGIngredients, &DbGrid::exited, this, [this] { RunGuarded([this] { DBGIngredientsExit(); }); });
    connect(DBGCategories, &DbGrid::exited, this, [this] { RunGuarded([this] { DBGCategoriesExit(); }); });
    // A theme the recipe already has: once told, the row that repeated it is given up for the
    // recipe's own row of that theme.
    DBGCategories->errorHandler = [this](const QString& message) {
        ShowSaveError(message);
        if (!TCategoriesRecettes.isEditing()) return;
        const int row = OtherRowWithSame(TCategoriesRecettes, QStringLiteral("IdCategorie"));
        if (row < 0) return;
        try {
            TCategoriesRecettes.cancel();
            TCategoriesRecettes.moveToRow(row);
        } catch (const DatabaseError&) {
        }
    };

    connect(DBEdtNom, &QLineEdit::textChanged, this, [this] { HeaderEdited(DBEdtNom->modified()); });
    connect(DBEdtTempsPrepartion, &QLineEdit::textChanged, this,
            [this] { HeaderEdited(DBEdtTempsPrepartion->modified()); });
    connect(DBMDescription, &DbMemo::changed, this, [this] { HeaderEdited(DBMDescription->modified()); });

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
    // A recipe whose edit was interrupted (the program stopped before it was saved or undone)
    // is brought back to its last saved state; a new recipe never saved is removed.
    try {
        RecoverInterruptedRecipeEdits();
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
    RecipeDescColumn = NameColumnNames(QStringLiteral("DescRecette"))
        [NameColumnNames(QStringLiteral("NomRecette")).indexOf(RecipeNameColumn)];
    CategoryNameColumn = choose(QStringLiteral("NomCategorie"), QStringLiteral("SELECT %1 FROM t_categories;"),
                                CategoryNameColumn);
    DBGIngredients->setColumnField(0, IngredientNameField);
    DBGCategories->setColumnField(0, CategoryNameColumn);
    DBEdtNom->setField(RecipeNameColumn);
    DBMDescription->setField(&TRecettes, RecipeDescColumn);
}

void TFEditionRecettes::FormActivate() {
    // Changes still pending keep their flags: leaving them asks the save question and runs its
    // checks. A window shown anew starts clean.
    if (!RecipeEditorActivated || !ChangesPending()) clearChangeFlags();
    TAliments.open();
    TCatAliments.open();
    if (RecipeEditorActivated) {
        // Another window may have changed the foods meanwhile.
        refreshFoodPicker();
        return;
    }

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
    FillWithIds(LboxRecettes,
                QStringLiteral("SELECT IdRecette, %1 FROM t_recettes").arg(RecipeNameColumn));
    if (LboxRecettes->count() > 0) showRow(0);
    ShowRecipePhoto();
}

int TFEditionRecettes::itemRecipeId(int row) const { return ItemId(LboxRecettes, row); }

int TFEditionRecettes::rowOfRecipe(int recipeId) const { return RowOfId(LboxRecettes, recipeId); }

int TFEditionRecettes::addRecipeItem(const QString& name, int recipeId) {
    const int row = InsertSortedItem(LboxRecettes, name);
    LboxRecettes->item(row)->setData(Qt::UserRole, recipeId);
    return row;
}

void TFEditionRecettes::showRow(int row) {
    SelectListRow(LboxRecettes, row);
    if (row < 0) return;
    TRecettes.findKey(itemRecipeId(row));
    CurrentRecipeIndex = row;
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
    // A recipe names its photo without a folder and finds it in Images: a picture chosen
    // elsewhere is copied there first, or refused when it cannot be.
    const QString name = PhotoIntoImages(file, appState().ImagesDirectory);
    if (name.isEmpty()) {
        ShowRecipePhoto();
        showMessage(QStringLiteral("        La photo « %1 » n'a pu être copiée dans le dossier\n"
                                   "        des images (%2) : elle n'a pas été retenue.")
                        .arg(FileNamePart(file), QDir::toNativeSeparators(appState().ImagesDirectory)),
                    QStringLiteral("Photo de la recette"), 48);
        return;
    }
    Image->setPixmap(QPixmap::fromImage(picture));
    TRecettes.edit();
    TRecettes.setValue(QStringLiteral("Image"), name);
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
    const int clickedId = itemRecipeId(clicked);
    if (!SaveRecipeChanges()) {
        SelectListRow(LboxRecettes, CurrentRecipeIndex);
    } else if (const int row = rowOfRecipe(clickedId); row >= 0) {
        showRow(row);
        ShowRecipePhoto();
        const QSignalBlocker quiet(EdtRecherche);
        EdtRecherche->clear();
    }
    CurrentRecipeIndex = LboxRecettes->currentRow();
    SelectingFromList = false;
}

bool TFEditionRecettes::settleBeforeLeaving() {
    if (SaveRecipeChanges()) return true;
    SelectListRow(LboxRecettes, CurrentRecipeIndex);
    return false;
}

void TFEditionRecettes::EdtRechercheChange() {
    if (EdtRecherche->text().isEmpty()) return;
    // The search leaves the recipe shown: its changes are settled first, as by a list click.
    if (!settleBeforeLeaving()) return;
    const int found = FindItemByPrefix(ListItems(LboxRecettes), EdtRecherche->text());
    if (found < 0) {
        SelectListRow(LboxRecettes, -1);
        return;
    }
    showRow(found);
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
    FillWithIds(LboxAliments,
                QStringLiteral("SELECT IdAliment, %1 FROM t_aliments WHERE IdCatAliment = ?").arg(FoodNameColumn),
                RecipeEditorFoodCategory);
    foodPickerWatch_.seen();
    if (LboxAliments->count() == 0) return;
    LboxAliments->setCurrentRow(0);
    TAliments.findKey(ItemId(LboxAliments, 0));
}

void TFEditionRecettes::refreshFoodPicker() {
    if (!TAliments.isActive() || !TCatAliments.isActive() || !foodPickerWatch_.stale()) return;
    const int food = ItemId(LboxAliments, LboxAliments->currentRow());
    TAliments.refresh();
    TCatAliments.refresh();
    // The categories, the chosen one kept by its id (under its name of now).
    QStringList categories;
    QString chosen;
    for (TCatAliments.first(); !TCatAliments.eof(); TCatAliments.next()) {
        categories << TCatAliments.asString(1);
        if (TCatAliments.asInt(0) == RecipeEditorFoodCategory) chosen = categories.last();
    }
    FillSorted(CboxCatAliments, categories);
    CboxCatAliments->setCurrentIndex(qMax(0, CboxCatAliments->findText(chosen)));
    if (chosen.isEmpty()) {
        CboxCatAlimentsClick();
        return;
    }
    // The foods of the category, the one selected staying selected under its name of now, and
    // the search typed kept.
    fillFoodList();
    if (const int row = RowOfId(LboxAliments, food); row >= 0) {
        LboxAliments->setCurrentRow(row);
        TAliments.findKey(food);
    } else if (!EdtRechAliment->text().isEmpty()) {
        EdtRechAlimentChange();
    }
    DBGIngredients->viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// Header edits

void TFEditionRecettes::HeaderEdited(bool byUser) {
    if (byUser) HeaderModified = true;
}

// ---------------------------------------------------------------------------------------------
// New, delete, quit, close

void TFEditionRecettes::BtnNouveauClick() {
    if (!settleBeforeLeaving()) return;
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
    // The name is typed first, also after the question.
    FocusAfterModal(DBEdtNom);
}

void TFEditionRecettes::BtnSupprimerClick() {
    const int id = CurrentRecipeId();
    if (!id) return;
    if (!TRecettes.asBool(QStringLiteral("DroitsModifUtilisateur"))) {
        showMessage(QStringLiteral("        Vous ne pouvez pas supprimer cette recette.\n        Vous pouvez uniquement "
                                   "supprimer les recettes que vous avez\n        créées !"),
                    QStringLiteral("Suppression impossible"), 48);
        return;
    }
    // The question names the recipe shown, as the list names it (a new one by its name typed).
    const int row = rowOfRecipe(id);
    const QString name = row >= 0 ? LboxRecettes->item(row)->text() : DBEdtNom->text();
    if (!confirmDeletion(QStringLiteral("la recette\n        '%1'").arg(name))) return;
    TRecettes.cancel();
    DeleteRecipeWithDetails(id);
    TRecettes.refresh();
    // The pending changes were those of the recipe now gone: nothing is left to save or undo.
    clearChangeFlags();
    RemoveListItem(LboxRecettes, rowOfRecipe(id));
    SelectListRow(LboxRecettes, rowOfRecipe(CurrentRecipeId()));
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

bool TFEditionRecettes::confirmDeletion(const QString& what) {
    return showMessage(QStringLiteral("        Voulez-vous vraiment supprimer ") + what + QStringLiteral(" ?"),
                       QStringLiteral("Suppression d'un enregistrement"), 36) == 6;
}

bool TFEditionRecettes::eventFilter(QObject* watched, QEvent* event) {
    // The preparation time is retyped whole: entering the field selects its text, so that "35"
    // replaces "00:00:00" instead of landing in the middle of it.
    if (watched == DBEdtTempsPrepartion && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, DBEdtTempsPrepartion, [edit = DBEdtTempsPrepartion] { edit->selectAll(); });
    // The search leaves the recipe shown: a change pending is asked about when the field is
    // entered, so that no letter typed goes to the question. The focus a closed box or window
    // gives back asks nothing.
    if (watched == EdtRecherche && event->type() == QEvent::FocusIn && ChangesPending()) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            RunGuarded([this] { settleBeforeLeaving(); });
    }
    return EditorWindow::eventFilter(watched, event);
}

QWidget* CreateEditionRecettes() { return ShowActiveModuleWindow(new TFEditionRecettes()); }
