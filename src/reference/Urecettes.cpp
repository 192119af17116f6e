#include "reference/Urecettes.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "data/Database.h"
#include "data/NameColumn.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/LongLivedForm.h"
#include "frame/StaleItem.h"
#include "frame/StringTable.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"
#include "reference/Uqraffirecette.h"

TFRecettes* FRecettes = nullptr;

namespace {

constexpr int kHelpContext = 130;

// Texts of the module's introduction (string table).
constexpr int kIntroductionText = 71;
constexpr int kIntroductionCaption = 72;


// A comparator combo: "Inférieur" (an upper bound) and "Supérieur" (a lower bound), none chosen.
QComboBox* placeComparator(QWidget* parent, const char* name, int x, int y) {
    auto* combo = PlaceWidget<QComboBox>(parent, name, QRect(x, y, 90, 21));
    combo->addItem(QStringLiteral("Inférieur"));
    combo->addItem(QStringLiteral("Supérieur"));
    combo->setCurrentIndex(-1);
    return combo;
}

}  // namespace

TFRecettes::TFRecettes(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FRecettes"));
    FRecettes = this;
    buildControls();
    FormCreate();
}

TFRecettes::~TFRecettes() {
    if (FRecettes == this) FRecettes = nullptr;
}

void TFRecettes::buildControls() {
    setWindowTitle(QStringLiteral("Recettes de cuisine"));
    setToolTip(QStringLiteral("Les critères de sélection des recettes sont facultatifs"));
    setProperty("HelpContext", kHelpContext);
    UseProgramFont(this);

    GbxCriteres = PlaceGroup(this, "GbxCriteres", QStringLiteral("Critères de sélection"), QRect(8, 6, 400, 262));
    QWidget* g = GbxCriteres;
    RBtnRecettes = PlaceRadio(g, "RBtnRecettes", QStringLiteral("Recettes"), QRect(12, 20, 90, 18));
    RBtnIngredient = PlaceRadio(g, "RBtnIngredient", QStringLiteral("Ingrédients"), QRect(110, 20, 100, 18));
    LblDebutNom = PlaceLabel(g, "LblDebutNom", QStringLiteral("Nom commençant par "), QRect(12, 48, 0, 0));
    EdtDebutNom = PlaceEdit(g, "EdtDebutNom", QRect(200, 45, 188, 21));
    LblDureePreparation =
        PlaceLabel(g, "LblDureePreparation", QStringLiteral("Temps de préparation (en min)"), QRect(12, 78, 0, 0));
    CBoxSuppInfDuree = placeComparator(g, "CBoxSuppInfDuree", 200, 75);
    EdtDureePreparation = PlaceEdit(g, "EdtDureePreparation", QRect(298, 75, 90, 21));
    LblCategories = PlaceLabel(g, "LblCategories", QStringLiteral("Thème"), QRect(12, 108, 0, 0));
    CboxCategories = PlaceWidget<QComboBox>(g, "CboxCategories", QRect(200, 105, 188, 21));
    ChBoxIngredientsCourant = PlaceWidget<QCheckBox>(g, "ChBoxIngredientsCourant", QRect(12, 134, 376, 18));
    ChBoxIngredientsCourant->setText(QStringLiteral("Uniquement des ingrédients d'usage courant"));

    const struct {
        const char* label;
        const char* labelName;
        const char* comboName;
        const char* editName;
        QLabel** l;
        QComboBox** c;
        QLineEdit** e;
    } bounds[] = {
        {"Calories (kcal pour 100 g)", "LblCalories", "CBoxSuppInfCalories", "EdtCalories", &LblCalories,
         &CBoxSuppInfCalories, &EdtCalories},
        {"Lipides (g pour 100 g)", "LblLipides", "CBoxSuppInfLipides", "EdtLipides", &LblLipides,
         &CBoxSuppInfLipides, &EdtLipides},
        {"Protides (g pour 100 g)", "LblProtides", "CBoxSuppInfProtides", "EdtProtides", &LblProtides,
         &CBoxSuppInfProtides, &EdtProtides},
        {"Glucides (g pour 100 g)", "LblGlucides", "CBoxSuppInfGlucides", "EdtGlucides", &LblGlucides,
         &CBoxSuppInfGlucides, &EdtGlucides},
    };
    int y = 162;
    for (const auto& b : bounds) {
        *b.l = PlaceLabel(g, b.labelName, QString::fromUtf8(b.label), QRect(12, y + 3, 0, 0));
        *b.c = placeComparator(g, b.comboName, 200, y);
        *b.e = PlaceEdit(g, b.editName, QRect(298, y, 90, 21));
        y += 24;
    }

    BtnRechercher = PlaceButton(this, "BtnRechercher", QStringLiteral("Rechercher"), QRect(424, 16, 140, 25));
    BtnReinitialiser =
        PlaceButton(this, "BtnReinitialiser", QStringLiteral("Réinitialiser"), QRect(424, 48, 140, 25));
    LblNbParts = PlaceLabel(this, "LblNbParts", QStringLiteral("Nombre de parts"), QRect(424, 92, 0, 0));
    CBoxNbParts = PlaceWidget<QComboBox>(this, "CBoxNbParts", QRect(424, 110, 60, 21));
    BtnQuitter = PlaceButton(this, "BtnQuitter", QStringLiteral("Quitter"), QRect(424, 420, 140, 25));

    GbxResultat = PlaceGroup(this, "GbxResultat", QStringLiteral("Résultat de la recherche"), QRect(8, 274, 400, 174));
    LboxRecettes = PlaceWidget<QListWidget>(GbxResultat, "LboxRecettes", QRect(12, 20, 376, 116));
    BtnAfficher = PlaceButton(GbxResultat, "BtnAfficher", QStringLiteral("Afficher la recette sélectionnée"),
                              QRect(12, 142, 376, 25));

    connect(BtnRechercher, &QPushButton::clicked, this, [this] { BtnRechercherClick(); });
    connect(BtnReinitialiser, &QPushButton::clicked, this, [this] { BtnReinitialiserClick(); });
    connect(BtnQuitter, &QPushButton::clicked, this, [this] { BtnQuitterClick(); });
    connect(BtnAfficher, &QPushButton::clicked, this, [this] { BtnAfficherClick(); });
    // A recipe clicked in the list; the arrow keys choose one too but leave the focus in the list
    // so that the next arrow goes on to the next recipe. Emptying or deselecting the list chooses
    // nothing.
    connect(LboxRecettes, &QListWidget::itemClicked, this, [this] { LboxRecettesClick(); });
    connect(LboxRecettes, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = LboxRecettes->selectedItems();
        if (selected.isEmpty()) return;
        BtnAfficher->setEnabled(true);
        // Its row, by which it stays chosen when renamed meanwhile.
        try {
            chosenRecipeId_ = ::Query::scalar(QStringLiteral("SELECT IdRecette FROM t_recettes WHERE %1 = ?;")
                                                  .arg(RecipeNameColumn),
                                              {selected.first()->text()});
        } catch (const DatabaseError&) {
            chosenRecipeId_.clear();
        }
    });
    connect(LboxRecettes, &QListWidget::itemDoubleClicked, this, [this] { BtnAfficherClick(); });
    OnEnterKey(LboxRecettes, [this] { BtnAfficherClick(); });
    // Enter in a criterion runs the search.
    for (QLineEdit* e : {EdtDebutNom, EdtDureePreparation, EdtCalories, EdtLipides, EdtProtides, EdtGlucides})
        OnEnterKey(e, [this] { BtnRechercherClick(); });
}

void TFRecettes::FormCreate() {
    InCreate = true;
    resize(573, 456);   // a 581 x 490 window with its frame
    for (int i = 1; i <= 8; ++i) CBoxNbParts->addItem(QString::number(i));
    CBoxNbParts->setCurrentIndex(1);
    RBtnRecettes->setChecked(true);
    InCreate = false;
    setFixedSize(size());

    // The frame reports the activation of its child windows.
    OnModuleActivation(this, [this] { FormActivate(); });
}

void TFRecettes::chooseNameColumns() {
    const int language = appState().LanguageCode;
    // Position (0..4) of the language's column judged on the first row of `sql`; -1 keeps the
    // previous choice.
    auto choose = [this, language](const QString& prefix, const QString& table, const QString& condition) {
        const QStringList columns = NameColumnNames(prefix);
        Query.setSql(QStringLiteral("SELECT %1 FROM %2%3;").arg(columns.join(QStringLiteral(", ")), table, condition));
        Query.open();
        QStringList names;
        if (!Query.isEmpty())
            for (int i = 0; i < 5; ++i) names << Query.asString(i);
        return ChooseNameColumn(names, language);
    };
    if (int i = choose(QStringLiteral("NomAliment"), QStringLiteral("t_aliments"),
                       QStringLiteral(" WHERE IdAliment = 1"));
        i >= 0)
        FoodNameColumn = NameColumnNames(QStringLiteral("NomAliment"))[i];
    if (int i = choose(QStringLiteral("NomRecette"), QStringLiteral("t_recettes"),
                       QStringLiteral(" WHERE IdRecette = 1"));
        i >= 0) {
        RecipeNameColumn = NameColumnNames(QStringLiteral("NomRecette"))[i];
        RecipeDescColumn = NameColumnNames(QStringLiteral("DescRecette"))[i];
    }
    if (int i = choose(QStringLiteral("NomCategorie"), QStringLiteral("t_categories"), QString()); i >= 0)
        CategoryNameColumn = NameColumnNames(QStringLiteral("NomCategorie"))[i];
}

void TFRecettes::readLists() {
    chooseNameColumns();

    // The themes in the interface language, "- Tous -" first.
    QStringList themes;
    for (Query.first(); !Query.eof(); Query.next()) themes << Query.asString(CategoryNameColumn);
    Query.close();
    SortForDisplay(themes);
    const QString theme = CboxCategories->currentText();
    CboxCategories->clear();
    CboxCategories->addItem(kAllThemes);
    CboxCategories->addItems(themes);
    CboxCategories->setCurrentIndex(std::max(0, CboxCategories->findText(theme, Qt::MatchExactly)));

    if (lastSearch_) listResults(*lastSearch_, false);
    listedLanguage_ = appState().LanguageCode;
    watch_.seen();
}

void TFRecettes::FormActivate() {
    // Read again only when a row was written or the language changed since; the theme and the
    // recipe chosen stay chosen, so coming back to the window loses nothing.
    if (watch_.stale() || listedLanguage_ != appState().LanguageCode) readLists();
    BtnAfficher->setEnabled(!LboxRecettes->selectedItems().isEmpty());

    AppState& st = appState();
    if (st.SwitchRecipeInfo && !st.RecipeInfoShown)
        ShowMessageBox(LoadString(kIntroductionText).left(399), LoadString(kIntroductionCaption).left(99), 64,
                       &st.SwitchRecipeInfo, true);
    st.RecipeInfoShown = 1;
}

RecipeSearchCriteria TFRecettes::Criteria() const {
    RecipeSearchCriteria c;
    c.namePrefix = EdtDebutNom->text();
    c.ingredientName = !RBtnRecettes->isChecked();
    c.preparationTime = EdtDureePreparation->text();
    c.timeComparator = CBoxSuppInfDuree->currentIndex();
    c.theme = CboxCategories->currentText();
    c.everydayOnly = ChBoxIngredientsCourant->isChecked();
    c.calories = EdtCalories->text();
    c.caloriesComparator = CBoxSuppInfCalories->currentIndex();
    c.lipids = EdtLipides->text();
    c.lipidsComparator = CBoxSuppInfLipides->currentIndex();
    c.proteins = EdtProtides->text();
    c.proteinsComparator = CBoxSuppInfProtides->currentIndex();
    c.carbs = EdtGlucides->text();
    c.carbsComparator = CBoxSuppInfGlucides->currentIndex();
    return c;
}

bool TFRecettes::listResults(const RecipeSearchCriteria& criteria, bool sayRefusal) {
    RecipeSearchColumns columns;
    columns.recipeName = RecipeNameColumn;
    columns.foodName = FoodNameColumn;
    columns.categoryName = CategoryNameColumn;
    const RecipeSearchStatement search = BuildRecipeSearch(criteria, columns);
    if (search.error != SearchError::None) {
        uint8_t noSwitch = 1;
        if (sayRefusal) ShowMessageBox(RecipeSearchErrorText(search), RecipeSearchMessages()[0], 12, &noSwitch, false);
        return false;
    }
    QStringList names;
    try {
        Query.setSql(search.sql);
        for (const QVariant& v : search.values) Query.addBindValue(v);
        Query.open();
        for (Query.first(); !Query.eof(); Query.next()) names << Query.asString(0);
        Query.close();
    } catch (const DatabaseError&) {
        // A statement the database refuses leaves the previous results.
        return false;
    }
    // The recipe chosen stays chosen, under its name as stored now.
    QString chosen;
    if (!LboxRecettes->selectedItems().isEmpty() && chosenRecipeId_.isValid()) {
        try {
            chosen = ::Query::scalar(QStringLiteral("SELECT %1 FROM t_recettes WHERE IdRecette = ?;").arg(RecipeNameColumn),
                                     {chosenRecipeId_})
                         .toString();
        } catch (const DatabaseError&) {
        }
    }
    FillSorted(LboxRecettes, names);
    const QList<QListWidgetItem*> again = LboxRecettes->findItems(chosen, Qt::MatchExactly);
    if (!chosen.isEmpty() && !again.isEmpty()) LboxRecettes->setCurrentItem(again.first());
    else BtnAfficher->setEnabled(false);
    lastSearch_ = criteria;
    return true;
}

void TFRecettes::BtnRechercherClick() {
    if (!listResults(Criteria(), true)) return;
    LboxRecettes->clearSelection();   // a new search chooses nothing yet
    BtnAfficher->setEnabled(false);
}

void TFRecettes::BtnAfficherClick() {
    const QList<QListWidgetItem*> selected = LboxRecettes->selectedItems();
    if (selected.isEmpty()) return;
    if (watch_.stale()) {
        // The recipe as stored now (renamed or not); deleted, or renamed out of the search: nothing
        // to show.
        readLists();
        if (LboxRecettes->selectedItems().isEmpty()) {
            SayItemGone(QStringLiteral("Cette recette a été supprimée ou renommée depuis la recherche."), windowTitle());
            return;
        }
    }
    TFQRAffiRecette* sheet = LongLivedForm(FQRAffiRecette);
    sheet->Query.close();
    sheet->Query.setSql(QStringLiteral("SELECT t_recettes.%1, t_recettes.%2, t_aliments.%3, t_aliments.CaloriesGramme, "
                                       "t_aliments.LipidesGramme, t_aliments.ProtidesGramme, t_aliments.GlucidesGramme, "
                                       "t_ingredients_recettes.QuantiteGramme, Image, ? as nb_parts "
                                       "FROM t_recettes, t_aliments, t_ingredients_recettes "
                                       "WHERE t_recettes.IdRecette = t_ingredients_recettes.IdRecette "
                                       "AND t_ingredients_recettes.IdAliment = t_aliments.IdAliment "
                                       "AND t_recettes.%1 = ?;")
                            .arg(RecipeNameColumn, RecipeDescColumn, FoodNameColumn));
    sheet->Query.addBindValue(CBoxNbParts->currentText().toInt());
    sheet->Query.addBindValue(LboxRecettes->selectedItems().first()->text());
    sheet->Query.open();
    sheet->BindFieldsToQuery();
    sheet->SetPhoto(RecipePhoto(appState().ImagesDirectory, sheet->Query.isEmpty() ? QString() : sheet->Query.asString(8)));
    sheet->Preview();
}

void TFRecettes::LboxRecettesClick() {
    BtnAfficher->setEnabled(true);
    BtnAfficher->setFocus();
}

void TFRecettes::BtnReinitialiserClick() {
    RBtnRecettes->setChecked(true);
    for (QLineEdit* e : {EdtDebutNom, EdtDureePreparation, EdtCalories, EdtLipides, EdtProtides, EdtGlucides})
        e->clear();
    for (QComboBox* c : {CBoxSuppInfDuree, CBoxSuppInfCalories, CBoxSuppInfLipides, CBoxSuppInfProtides,
                         CBoxSuppInfGlucides})
        c->setCurrentIndex(-1);
    CboxCategories->setCurrentIndex(0);
    ChBoxIngredientsCourant->setChecked(false);
    CBoxNbParts->setCurrentIndex(1);
    LboxRecettes->clear();
    lastSearch_.reset();
}

void TFRecettes::FormClose() { Query.close(); }

void TFRecettes::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TFRecettes::BtnQuitterClick() { CloseModuleWindow(this); }

void TFRecettes::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, kHelpContext); }

QWidget* CreateRecettes() { return ShowActiveModuleWindow(new TFRecettes()); }
