#include "tracking/Uconsojournaliere.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <exception>

#include "data/DbWidgets.h"
#include "data/NameColumn.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/StringTable.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"
#include "tracking/DaySave.h"

namespace {

const char* const kMessages[22] = {
    "Erreur",
    "        Cet aliment a déjà été sélectionné !",
    "Suppression d'un enregistrement",
    "        Voulez-vous vraiment supprimer cet enregistrement ?",
    "        Vous ne pouvez pas ajouter plus de 50 aliments",
    "Erreur optimisation",
    "        Vous devez saisir votre objectif calorique !",
    "        Vous devez choisir un nutriment !",
    "        Vous devez saisir une quantité minimum par aliment !",
    "        Optimisation impossible, le total des calories est déjà\n        supérieur ou égal à l'objectif calorique !",
    "        Calcul des quantités impossible !\n",
    "Alerte",
    "        Il est déconseillé d'avoir un apport journalier en glucides\n        inférieur à 100 g.",
    "        Toutes les quantités doivent être saisies !",
    "        Total des calories supérieur à l'objectif calorique !",
    "Erreur de saisie",
    "        Valeur non valide !",
    "        Les quantités des aliments non caloriques n'ont pas été\n        calculées. Vous devez saisir ces quantités manuellement !",
    nullptr,   // string table 173
    nullptr,   // string table 174
    "Enregistrement consommation journalière",
    "        Votre consommation a été enregistrée avec succès !",
};

const char* const kQuitCaption = "Quitter la consommation journalière";
const char* const kQuitQuestion =
    "        La consommation de la journée n'a pas été enregistrée depuis\n"
    "        sa dernière modification et sera perdue.\n"
    "        Voulez-vous vraiment quitter ?";

const char* const kOptimisationTexts[9] = {
    "Protides",
    "Lipides",
    "Glucides",
    "Égale pour chaque aliment",
    "Conseillée, par nutriment",
    "Maximiser l'apport d'un nutriment",
    "Minimiser l'apport d'un nutriment",
    "Quantité minimum",
    "Calcul des quantités des aliments sélectionnés de façon à atteindre l'objectif calorique\n"
    "tout en maximisant ou en minimisant éventuellement la quantité d'un nutriment",
};

const char* const kFirstStepsText =
    "        Ce module vous permet d'estimer vos besoins caloriques (ou\n        ceux d'un autre utilisateur) "
    "pour une journée donnée et vous\n        permet soit :\n\n- De saisir vos apports alimentaires de la "
    "journée, calculer l'apport en calories que cela représente et les comparer à vos besoins caloriques."
    "\n\n- De calculer à l'avance les portions d'aliments que vous devez consommer dans la journée de façon "
    "à satisfaire vos besoins caloriques ou encore un \"objectif calorique\" que vous vous êtes fixé. Ce calcul "
    "des quantités des aliments consommés peut se faire en fonction des différentes recommandations sur les "
    "proportions en nutriments (régime équilibré, régime sportif, etc.).\n\n"
    "Les valeurs caloriques et nutritionnelles des aliments ont une certaine variabilité : les valeurs "
    "données par le logiciel, pour chaque aliment, sont des moyennes et le cumul"
    " des calories et des nutriments des aliments sélectionnés, reste une estimation et doit être considéré "
    "comme tel par rapport à l'objectif calorique.\n\n"
    "Pour respecter les portions alimentaires calculées par Vivanda, vous devez disposer d'un moyen de "
    "connaître les quantités des aliments à consommer, avec une certaine précision (balance"
    " ou quantités données sur les emballages).\n\n"
    "Il n'est ni conseillé ni possible de déterminer sa consommation à la calorie près !\n\n"
    "Pour en savoir plus ou pour bénéficier d'une aide contextuelle, cliquez sur \"F1\" ou sélectionnez "
    "dans le menu \"Aide sur Vivanda\".";

// Runs a handler from a widget signal; an error it does not handle itself goes to the standard box.
template <typename Fn>
void guarded(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        ReportError(e);
    }
}

QComboBox* placeCombo(QWidget* parent, const char* name, QRect geometry) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setGeometry(geometry);
    return combo;
}

QLineEdit* placeTotal(QWidget* parent, const char* name, QRect geometry) {
    QLineEdit* edit = PlaceEdit(parent, name, geometry, true);
    LockAsDisplay(edit);
    return edit;
}

}  // namespace

TFConsoJournaliere::TFConsoJournaliere(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FConsoJournaliere"));
    setWindowTitle(QStringLiteral("Consommation journalière"));
    setProperty("HelpContext", 150);
    UseProgramFont(this);
    buildControls();
    TConsommation.setOrderBy(QStringLiteral("Numero"));
    // The day's own writes are no change of what the list shows: the list's stamp follows them
    // when nothing else was written since the list was filled.
    TConsommation.onBeforePost = [this](Table&) { listCurrentBeforeDayWrite_ = !listWatch_.stale(); };
    TConsommation.onBeforeDelete = [this](Table&) { listCurrentBeforeDayWrite_ = !listWatch_.stale(); };
    TConsommation.onAfterPost = [this](Table&) {
        followDayWrite();
        TConsommationAfterPost();
    };
    FormCreate();
    if (FVivanda) {
        // Activation: whenever this window becomes the active child window.
        connect(FVivanda->mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
            if (sub && sub->widget() == this) guarded([this] { FormActivate(); });
        });
    }
}

TFConsoJournaliere::~TFConsoJournaliere() { FormClose(); }

void TFConsoJournaliere::buildControls() {
    auto on = [this](QPushButton* b, void (TFConsoJournaliere::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };

    GbxBesoins = PlaceGroup(this, "GbxBesoins", QStringLiteral("Besoins caloriques journaliers"), {8, 4, 316, 54});
    BtnDetBesoinsCal = PlaceButton(GbxBesoins, "BtnDetBesoinsCal", QStringLiteral("Estimation des besoins"), {10, 20, 170, 25});
    BtnDetBesoinsCal->setToolTip(QStringLiteral("Estimation des besoins caloriques en fonction de votre profil et de votre activité"));
    EdtBesoins = placeTotal(GbxBesoins, "EdtBesoins", {190, 22, 110, 21});

    GbxObjectif = PlaceGroup(this, "GbxObjectif", QStringLiteral("Objectif calorique"), {332, 4, 316, 54});
    LblObjectifCalorique = PlaceLabel(GbxObjectif, "LblObjectifCalorique",
                                      QStringLiteral("Apport calorique souhaité pour la journée en kilocalories"), {10, 16, 200, 32});
    LblObjectifCalorique->setWordWrap(true);
    EdtObjectifCal = PlaceEdit(GbxObjectif, "EdtObjectifCal", {220, 22, 86, 21});
    EdtObjectifCal->setToolTip(QStringLiteral("Saisie ou modification de l'objectif calorique s'il ne correspond pas à l'estimation des besoins"));
    SetInputColour(EdtObjectifCal, kEditableColour);

    GbxSelection = PlaceGroup(this, "GbxSelection", QStringLiteral("Sélection des aliments"), {8, 60, 640, 252});
    CboxCategories = placeCombo(GbxSelection, "CboxCategories", {10, 18, 190, 21});
    LblRecherche = PlaceLabel(GbxSelection, "LblRecherche", QStringLiteral("Rechercher"), {10, 47, 0, 0});
    EditRechAliment = PlaceEdit(GbxSelection, "EditRechAliment", {74, 44, 126, 21});
    EditRechAliment->setToolTip(QStringLiteral("Saisie des premières lettres du nom de l'aliment recherché"));
    LboxAliments = new QListWidget(GbxSelection);
    LboxAliments->setObjectName(QStringLiteral("LboxAliments"));
    LboxAliments->setGeometry(10, 70, 190, 146);
    LboxAliments->setToolTip(QStringLiteral("Sélection des aliments"));
    LboxAliments->setUniformItemSizes(true);   // long lists lay out without measuring every item
    ShowLongItemsWhole(LboxAliments);
    BtnAjouter = PlaceButton(GbxSelection, "BtnAjouter", QString(), {206, 100, 30, 26});
    // The style's arrows, made once for the run (each window opened again shares them).
    static const QIcon* const arrowRight = new QIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    static const QIcon* const arrowLeft = new QIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    BtnAjouter->setIcon(*arrowRight);
    BtnAjouter->setToolTip(QStringLiteral("Ajouter l'aliment"));
    BtnRetirer = PlaceButton(GbxSelection, "BtnRetirer", QString(), {206, 134, 30, 26});
    BtnRetirer->setIcon(*arrowLeft);
    BtnRetirer->setToolTip(QStringLiteral("Retirer l'aliment"));
    BtnLimiter = PlaceButton(GbxSelection, "BtnLimiter", QStringLiteral("Limiter la liste des aliments"), {10, 220, 190, 25});
    DBGIngredients = new DbGrid(GbxSelection);
    DBGIngredients->setObjectName(QStringLiteral("DBGIngredients"));
    DBGIngredients->setGeometry(242, 18, 392, 226);
    DBGIngredients->setToolTip(QStringLiteral("Valeurs nutritionnelles pour un gramme, saisie de la quantité en grammes"));
    SetInputColour(DBGIngredients, kLockedColour);

    GbxOptimisation = PlaceGroup(this, "GbxOptimisation", QStringLiteral("Atteindre l'objectif calorique"), {8, 314, 640, 74});
    LblOptimisation = PlaceLabel(GbxOptimisation, "LblOptimisation", QStringLiteral("Répartition des calories"), {10, 18, 0, 0});
    CbxTypeOptimisation = placeCombo(GbxOptimisation, "CbxTypeOptimisation", {10, 36, 200, 21});
    CbxTypeOptimisation->setToolTip(QStringLiteral("Sélection du mode de répartition de l'apport calorique"));
    LblNutriment = PlaceLabel(GbxOptimisation, "LblNutriment", QStringLiteral("Nutriment"), {220, 18, 0, 0});
    CbxNutriment = placeCombo(GbxOptimisation, "CbxNutriment", {220, 36, 100, 21});
    CbxNutriment->setToolTip(QStringLiteral("Sélection du nutriment à maximiser ou à minimiser"));
    LblQuantiteMini = PlaceLabel(GbxOptimisation, "LblQuantiteMini", QString(), {330, 18, 110, 16});
    EdtQuantiteMini = PlaceEdit(GbxOptimisation, "EdtQuantiteMini", {330, 36, 90, 21});
    EdtQuantiteMini->setToolTip(QStringLiteral("Sélection de la quantité minimum pour un aliment (en grammes)"));
    BtnEffacer = PlaceButton(GbxOptimisation, "BtnEffacer", QStringLiteral("Effacer les quantités"), {440, 12, 190, 25});
    BtnEffacer->setToolTip(QStringLiteral("Effacement des quantités saisies"));
    BtnOptimisation = PlaceButton(GbxOptimisation, "BtnOptimisation", QStringLiteral("Calcul des quantités"), {440, 42, 190, 25});

    GbxTotaux = PlaceGroup(this, "GbxTotaux", QStringLiteral("Totaux"), {8, 390, 640, 82});
    struct TotalColumn {
        const char* caption;
        const char* unit;
        QLineEdit** total;
        const char* totalName;
        QLineEdit** share;
        const char* shareName;
    };
    const TotalColumn columns[] = {
        {"Calories", "(kcal)", &EdtTotCalories, "EdtTotCalories", &EdtPcCal, "EdtPcCal"},
        {"Lipides", "(g)", &EdtTotLipides, "EdtTotLipides", &EdtPcLip, "EdtPcLip"},
        {"Protides", "(g)", &EdtTotProtides, "EdtTotProtides", &EdtPcProt, "EdtPcProt"},
        {"Glucides", "(g)", &EdtTotGlucides, "EdtTotGlucides", &EdtPcGluc, "EdtPcGluc"},
    };
    int x = 10;
    for (const TotalColumn& c : columns) {
        PlaceLabel(GbxTotaux, "", QString::fromUtf8(c.caption), {x, 18, 0, 0});
        *c.total = placeTotal(GbxTotaux, c.totalName, {x, 34, 70, 21});
        PlaceLabel(GbxTotaux, "", QString::fromUtf8(c.unit), {x + 74, 37, 0, 0});
        *c.share = placeTotal(GbxTotaux, c.shareName, {x, 57, 70, 21});
        PlaceLabel(GbxTotaux, "", QStringLiteral("(%)"), {x + 74, 60, 0, 0});
        x += 124;
    }
    PlaceLabel(GbxTotaux, "", QStringLiteral("Quantité (g)"), {x, 18, 0, 0});
    EdtTotQuantite = placeTotal(GbxTotaux, "EdtTotQuantite", {x, 34, 80, 21});

    BtnImprimer = PlaceButton(this, "BtnImprimer", QStringLiteral("Imprimer la consommation journalière"), {8, 478, 230, 27});
    BtnSauvegarde = PlaceButton(this, "BtnSauvegarde", QStringLiteral("Sauvegarder la consommation journalière"), {246, 478, 250, 27});
    BtnQuitter = PlaceButton(this, "BtnQuitter", QStringLiteral("Quitter"), {548, 478, 100, 27});

    DBGIngredients->setTable(&TConsommation);
    auto column = [](const char* field, const char* title, int width) {
        GridColumn c;
        c.field = QString::fromLatin1(field);
        c.title = QString::fromUtf8(title);
        c.width = width;
        c.format = QStringLiteral("####0.##");
        c.readOnly = true;
        return c;
    };
    GridColumn name = column("NomAliment", "Aliment", 80);
    name.format.clear();
    name.fill = true;   // the values keep their titles whole
    // A name too long for its column goes on over the next lines of its row, never cut.
    DBGIngredients->setWordWrap(true);
    DBGIngredients->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    GridColumn quantity = column("QuantiteGramme", "Quantité (g)", 62);
    quantity.readOnly = false;
    quantity.color = kEditableColour;
    quantity.ellipsis = true;
    quantity.number = NumberRules::Grams;
    quantity.titleAlignment = Qt::AlignCenter;
    DBGIngredients->setColumns({name, column("CaloriesGramme", "Calories", 52), column("ProtidesGramme", "Protides", 52),
                                column("LipidesGramme", "Lipides", 52), column("GlucidesGramme", "Glucides", 52),
                                quantity});
    DBGIngredients->onEditButtonClick = [this] { guarded([this] { DBGIngredientsEditButtonClick(); }); };
    connect(DBGIngredients, &DbGrid::enterPressed, this, [this] { guarded([this] { DBGIngredientsRefresh(); }); });
    connect(DBGIngredients, &DbGrid::exited, this, [this] { guarded([this] { DBGIngredientsRefresh(); }); });

    on(BtnDetBesoinsCal, &TFConsoJournaliere::BtnDetBesoinsCalClick);
    on(BtnAjouter, &TFConsoJournaliere::BtnAjouterClick);
    on(BtnRetirer, &TFConsoJournaliere::BtnRetirerClick);
    on(BtnLimiter, &TFConsoJournaliere::BtnLimiterClick);
    on(BtnEffacer, &TFConsoJournaliere::BtnEffacerClick);
    on(BtnOptimisation, &TFConsoJournaliere::BtnOptimisationClick);
    on(BtnImprimer, &TFConsoJournaliere::BtnImprimerClick);
    on(BtnSauvegarde, &TFConsoJournaliere::BtnSauvegardeClick);
    on(BtnQuitter, &TFConsoJournaliere::BtnQuitterClick);
    connect(CboxCategories, &QComboBox::activated, this, [this] { guarded([this] { CboxCategoriesClick(); }); });
    connect(EditRechAliment, &QLineEdit::textChanged, this, [this] { guarded([this] { EditRechAlimentChange(); }); });
    connect(CbxTypeOptimisation, &QComboBox::activated, this, [this] { CbxTypeOptimisationClick(); });
    connect(CbxNutriment, &QComboBox::activated, this, [this] { CbxNutrimentClick(); });
    for (QWidget* w : {static_cast<QWidget*>(EdtObjectifCal), static_cast<QWidget*>(EdtQuantiteMini),
                       static_cast<QWidget*>(EditRechAliment), static_cast<QWidget*>(LboxAliments)})
        w->installEventFilter(this);
    // Enter presses a focused button as Space does (this window is no dialog: it has no
    // default button for Enter to reach).
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(true);
}

bool TFConsoJournaliere::eventFilter(QObject* watched, QEvent* event) {
    // Enter validates the edit it is typed in: the search (and the list) adds the food chosen;
    // the objective is checked as the focus moves on; the minimum is taken where it stands (the
    // next control is "Effacer les quantités", which a second Enter must not reach).
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == EditRechAliment || watched == LboxAliments)
                guarded([this] { BtnAjouterClick(); });
            else if (watched == EdtQuantiteMini)
                EdtQuantiteMiniExit();
            else
                focusNextChild();
            return true;
        }
    }
    // Leaving an edit for another control of the window (not for another window).
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == EdtObjectifCal) guarded([this] { EdtObjectifCalExit(); });
            if (watched == EdtQuantiteMini) guarded([this] { EdtQuantiteMiniExit(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFConsoJournaliere::ResetUnitState() {
    CalorieObjective = 0;
    OptimisationMode = 0;
    OptimisedNutrient = -1;
    MinimumQuantity = 0;
    NextRowNumber = 0;
    CurrentCategoryId = 0;
    ConsoFoodColumn = QStringLiteral("NomAlimentFrancais");
    ConsoFoodColumnIndex = 1;
    ConsoRecipeColumn = QStringLiteral("NomRecetteFrancais");
    ConsoRecipeColumnIndex = 1;
    FoodRestrictionClause = {};
    RecipeRestrictionClause = {};
    SkipActivationAfterPrint = SkipActivationAfterRestriction = FirstActivationDone = 0;
    OptimisationJustRun = ConsoFormCreating = 0;
    NutrientEnergy = LipidEnergy = ProteinEnergy = CarbEnergy = 0;
}

void TFConsoJournaliere::FormCreate() {
    ConsoFormCreating = 1;
    setFixedSize(664 - 8, 547 - 34);   // outer 664 x 547; the frame centres the window

    for (int i = 0; i < 22; ++i) MessageTable[i] = kMessages[i] ? QString::fromUtf8(kMessages[i]) : QString();
    MessageTable[18] = LoadString(173).left(200);
    MessageTable[19] = LoadString(174).left(200);
    for (int i = 0; i < 9; ++i) OptimisationTexts[i] = QString::fromUtf8(kOptimisationTexts[i]);
    CbxNutriment->addItems({OptimisationTexts[0], OptimisationTexts[1], OptimisationTexts[2]});
    CbxNutriment->setCurrentIndex(-1);
    CbxTypeOptimisation->addItems({OptimisationTexts[3], OptimisationTexts[4], OptimisationTexts[5], OptimisationTexts[6]});
    CbxTypeOptimisation->setCurrentIndex(0);
    FitPopupToItems(CbxTypeOptimisation);
    // The longest mode shows whole in the box too: the mode list takes what it lacks from the
    // nutrient list beside it, whose three short names need less than their design width.
    if (const int lacking = CbxTypeOptimisation->sizeHint().width() - CbxTypeOptimisation->width(); lacking > 0) {
        CbxTypeOptimisation->resize(CbxTypeOptimisation->width() + lacking, CbxTypeOptimisation->height());
        LblNutriment->move(LblNutriment->x() + lacking, LblNutriment->y());
        CbxNutriment->setGeometry(CbxNutriment->x() + lacking, CbxNutriment->y(),
                                  std::max(CbxNutriment->width() - lacking, CbxNutriment->sizeHint().width()),
                                  CbxNutriment->height());
    }

    LockInput(CbxNutriment, true);
    LockInput(EdtQuantiteMini, true);
    CalorieObjective = 0;
    OptimisationMode = 0;
    OptimisedNutrient = -1;
    MinimumQuantity = 0;

    LblQuantiteMini->setText(OptimisationTexts[7]);
    BtnOptimisation->setToolTip(OptimisationTexts[8]);

    // A flag left set by an earlier window would skip this window's first activation.
    SkipActivationAfterPrint = 0;
    SkipActivationAfterRestriction = 0;
    appState().CurrentUserWeight = 0;
    ConsoFormCreating = 0;
    FirstActivationDone = 0;
}

void TFConsoJournaliere::FormActivate() {
    AppState& st = appState();
    OptimisationJustRun = 0;
    if (!TCategories.isActive()) TCategories.open();

    if (!SkipActivationAfterPrint && !SkipActivationAfterRestriction && !FirstActivationDone) {
        st.RestrictionFoodType = 0;
        FoodRestrictionClause = {};
        RecipeRestrictionClause = {};

        // The day always starts empty.
        TConsommation.close();
        Query.setSql(QStringLiteral("DELETE FROM t_consommation;"));
        Query.exec();
        NextRowNumber = 0;

        // Name columns of the interface language, judged on a sample row of each table.
        auto sampleNames = [this] {
            QStringList names;
            if (!Query.isEmpty())
                for (int i = 0; i < 5; ++i) names << Query.asString(i);
            return names;
        };
        const QStringList foodColumns = NameColumnNames(QStringLiteral("NomAliment"));
        Query.setSql(QStringLiteral("SELECT %1 FROM t_aliments LIMIT 1;").arg(foodColumns.join(QStringLiteral(", "))));
        Query.open();
        if (const int i = ChooseNameColumn(sampleNames(), st.LanguageCode); i >= 0) {
            ConsoFoodColumnIndex = i + 1;
            ConsoFoodColumn = foodColumns[i];
        }
        const QStringList recipeColumns = NameColumnNames(QStringLiteral("NomRecette"));
        Query.setSql(QStringLiteral("SELECT %1 FROM t_recettes WHERE IdRecette = ?;").arg(recipeColumns.join(QStringLiteral(", "))));
        Query.addBindValue(1);
        Query.open();
        if (const int i = ChooseNameColumn(sampleNames(), st.LanguageCode); i >= 0) {
            ConsoRecipeColumnIndex = i + 1;
            ConsoRecipeColumn = recipeColumns[i];
        }

        // Consumption categories, in table order (their names are always French).
        CboxCategories->clear();
        for (TCategories.first(); !TCategories.eof(); TCategories.next())
            CboxCategories->addItem(TCategories.asString(QStringLiteral("NomCategorieFrancais")));
        if (CboxCategories->count() > 0) {
            CboxCategories->setCurrentIndex(0);
            TCategories.locate(QStringLiteral("NomCategorieFrancais"), CboxCategories->itemText(0), {.caseInsensitive = true});
        }
        if (!TCategories.isEmpty()) CurrentCategoryId = TCategories.asInt(0);
        FillFoodList();

        TConsommation.open();
        DBGIngredients->setEnabled(TConsommation.recordCount() > 0);
        UpdateDayButtons();
        dayChanged_ = false;
    } else if (FirstActivationDone) {
        // Coming back from another window: the list shows what the database holds now, and the
        // user of the day is known under its current name and weight.
        RefreshFoodList();
        FollowCurrentUser(st);
    }

    SkipActivationAfterPrint = 0;
    SkipActivationAfterRestriction = 0;
    FirstActivationDone = 1;

    if (st.SwitchConsumptionInfo && !st.ConsumptionInfoShown)
        ShowMessageBox(QString::fromUtf8(kFirstStepsText),
                       QStringLiteral("Premiers pas avec la gestion quotidienne des apports nutritionnels"), 0x40,
                       &st.SwitchConsumptionInfo, true);
    st.ConsumptionInfoShown = 1;
}

void TFConsoJournaliere::FormClose() {
    TConsommation.close();
    Query.close();
    QueryHisto.close();
}

void TFConsoJournaliere::BtnQuitterClick() { CloseModuleWindow(this); }

void TFConsoJournaliere::closeEvent(QCloseEvent* event) {
    // The next opening empties the day: rows not saved would be lost without a word.
    if (dayChanged_ && TConsommation.isActive() && TConsommation.recordCount() > 0 &&
        ShowMessageBox(QString::fromUtf8(kQuitQuestion), QString::fromUtf8(kQuitCaption), 0x24, nullptr, false) != 6) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool TFConsoJournaliere::listedKey(const QString& name, qlonglong* id, int* recipe) const {
    const int nameColumn = Query.columnIndex(QStringLiteral("NomAlimentFrancais"));
    if (nameColumn < 0) return false;
    for (int r = 0; r < Query.recordCount(); ++r) {
        if (Query.cell(r, nameColumn).toString() != name) continue;
        *id = Query.rowValue(r, QStringLiteral("IdAliment")).toLongLong();
        *recipe = Query.rowValue(r, QStringLiteral("Recette")).toInt();
        return true;
    }
    return false;
}

bool TFConsoJournaliere::FillFoodList(bool keepSelection) {
    // The item selected is known by what it is (id, food or recipe), so that a rename keeps it.
    qlonglong id = 0;
    int recipe = 0;
    const QListWidgetItem* selected = LboxAliments->currentItem();
    const bool hadSelection = keepSelection && selected && selected->isSelected() && Query.isActive() &&
                              listedKey(selected->text(), &id, &recipe);

    const SqlStatement st = FoodListQuery(CurrentCategoryId, ConsoFoodColumn, ConsoRecipeColumn, FoodRestrictionClause,
                                          RecipeRestrictionClause, appState().RestrictionFoodType == 0);
    Query.close();
    Query.setSql(st.sql);
    for (const QVariant& v : st.values) Query.addBindValue(v);
    Query.open();
    listWatch_.seen();
    QStringList names;
    for (Query.first(); !Query.eof(); Query.next()) names << Query.asString(QStringLiteral("NomAlimentFrancais"));
    SortForDisplay(names);
    const QSignalBlocker quiet(LboxAliments);
    LboxAliments->clear();
    LboxAliments->addItems(names);
    foodNames_ = std::move(names);
    FitLinesToWidestItem(LboxAliments);
    if (!keepSelection) {
        selectFirstFood();
        return true;
    }

    int row = -1;
    if (hadSelection)
        for (int r = 0; r < Query.recordCount() && row < 0; ++r)
            if (Query.rowValue(r, QStringLiteral("IdAliment")).toLongLong() == id &&
                Query.rowValue(r, QStringLiteral("Recette")).toInt() == recipe)
                row = FindListItem(LboxAliments, Query.rowValue(r, QStringLiteral("NomAlimentFrancais")).toString());
    if (row >= 0) {
        LboxAliments->setCurrentRow(row);
        positionQueryOn(LboxAliments->item(row)->text(), false);
    } else if (!EditRechAliment->text().isEmpty()) {
        EditRechAlimentChange();   // the search typed chooses again
    } else {
        selectFirstFood();
    }
    return !hadSelection || row >= 0;
}

void TFConsoJournaliere::followDayWrite() {
    if (listCurrentBeforeDayWrite_) listWatch_.seen();
}

bool TFConsoJournaliere::RefreshFoodList() {
    if (!Query.isActive() || !listWatch_.stale()) return true;
    return FillFoodList(true);
}

void TFConsoJournaliere::selectFirstFood() {
    if (LboxAliments->count() == 0) return;
    LboxAliments->setCurrentRow(0);
    positionQueryOn(LboxAliments->item(0)->text(), false);
}

void TFConsoJournaliere::positionQueryOn(const QString& name, bool partial) {
    // Not found: the query stays where it was.
    Query.locate(QStringLiteral("NomAlimentFrancais"), name, {.caseInsensitive = true, .partialKey = partial});
}

void TFConsoJournaliere::CboxCategoriesClick() {
    // A drop-down list's pop-up takes the focus without the objective edit being left.
    takeObjective();
    TCategories.locate(QStringLiteral("NomCategorieFrancais"), CboxCategories->currentText(), {.caseInsensitive = true});
    if (!TCategories.isEmpty()) CurrentCategoryId = TCategories.asInt(0);
    FillFoodList();
}

void TFConsoJournaliere::EditRechAlimentChange() {
    LboxAliments->setCurrentRow(-1);
    LboxAliments->clearSelection();
    const int found = FindItemByPrefix(foodNames_, EditRechAliment->text());
    if (found < 0) return;
    LboxAliments->setCurrentRow(found);
    positionQueryOn(foodNames_[found], true);
}

void TFConsoJournaliere::showError(int message, int caption) {
    ShowMessageBox(MessageTable[message], MessageTable[caption], 0x0C, nullptr, false);
}

QWidget* CreateConsoJournaliere() {
    auto* form = new TFConsoJournaliere();
    // The new window becomes the active child, which runs its first activation.
    if (QMdiSubWindow* sub = ShowModuleWindow(form)) sub->mdiArea()->setActiveSubWindow(sub);
    return form;
}
