#pragma once
// "Consommation Journalière": the window in which the user composes one day. The foods and
// recipes of a consumption category on the left, the day's rows (t_consommation) in the grid,
// the needs and the calorie objective above, the optimisation settings, the totals and the
// print and save buttons below. A module window of the frame, created on demand and freed when
// closed; its unit state (static members) outlives it.
#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "data/DataWatch.h"
#include "data/Query.h"
#include "data/Table.h"
#include "tracking/ConsoDay.h"

class DbGrid;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TFConsoJournaliere : public QWidget {
    Q_OBJECT
public:
    explicit TFConsoJournaliere(QWidget* parent = nullptr);
    ~TFConsoJournaliere() override;

    // Components
    QGroupBox* GbxBesoins = nullptr;
    QPushButton* BtnDetBesoinsCal = nullptr;
    QLineEdit* EdtBesoins = nullptr;
    QGroupBox* GbxObjectif = nullptr;
    QLabel* LblObjectifCalorique = nullptr;
    QLineEdit* EdtObjectifCal = nullptr;
    QGroupBox* GbxSelection = nullptr;
    QComboBox* CboxCategories = nullptr;
    QLabel* LblRecherche = nullptr;
    QLineEdit* EditRechAliment = nullptr;
    QListWidget* LboxAliments = nullptr;
    QPushButton* BtnAjouter = nullptr;
    QPushButton* BtnRetirer = nullptr;
    QPushButton* BtnLimiter = nullptr;
    DbGrid* DBGIngredients = nullptr;
    QGroupBox* GbxOptimisation = nullptr;
    QLabel* LblOptimisation = nullptr;
    QComboBox* CbxTypeOptimisation = nullptr;
    QLabel* LblNutriment = nullptr;
    QComboBox* CbxNutriment = nullptr;
    QLabel* LblQuantiteMini = nullptr;
    QLineEdit* EdtQuantiteMini = nullptr;
    QPushButton* BtnEffacer = nullptr;
    QPushButton* BtnOptimisation = nullptr;
    QGroupBox* GbxTotaux = nullptr;
    QLineEdit* EdtTotCalories = nullptr;
    QLineEdit* EdtPcCal = nullptr;
    QLineEdit* EdtTotLipides = nullptr;
    QLineEdit* EdtPcLip = nullptr;
    QLineEdit* EdtTotProtides = nullptr;
    QLineEdit* EdtPcProt = nullptr;
    QLineEdit* EdtTotGlucides = nullptr;
    QLineEdit* EdtPcGluc = nullptr;
    QLineEdit* EdtTotQuantite = nullptr;
    QPushButton* BtnImprimer = nullptr;
    QPushButton* BtnSauvegarde = nullptr;
    QPushButton* BtnQuitter = nullptr;

    // Datasets: the day (in Numero order), the consumption categories, the food list and the
    // scratch statements, and the statements of the day's save.
    Table TConsommation{QStringLiteral("t_consommation")};
    Table TCategories{QStringLiteral("t_catconsommation")};
    ::Query Query;
    ::Query QueryHisto;

    // The day's totals (recomputed after every post).
    float TotCalories = 0;
    float TotLipides = 0;
    float TotProtides = 0;
    float TotGlucides = 0;
    float TotQuantite = 0;

    // Needs of the last validated estimate, as EdtBesoins shows them.
    int DisplayedNeeds = 0;

    // Handlers
    void FormCreate();
    void FormActivate();
    void FormClose();
    void BtnQuitterClick();
    void CboxCategoriesClick();
    void EditRechAlimentChange();
    void BtnAjouterClick();
    void BtnRetirerClick();
    void DBGIngredientsEditButtonClick();
    void DBGIngredientsRefresh();   // Enter in the grid, or leaving it
    void BtnEffacerClick();
    void TConsommationAfterPost();
    void EdtObjectifCalExit();
    void BtnDetBesoinsCalClick();
    void CbxTypeOptimisationClick();
    void CbxNutrimentClick();
    void EdtQuantiteMiniExit();
    void BtnOptimisationClick();
    void BtnLimiterClick();
    void BtnImprimerClick();
    void BtnSauvegardeClick();

    // Shared by printing and saving, checked when they run: whether a row of the day lacks a
    // complete quantity (untyped, 0, negative or not a number; a pending row is posted first),
    // and their carbohydrate alert.
    bool DayHasIncompleteQuantity();
    // The save's user: followed through a rename; a user deleted since it was chosen is said and
    // another asked for (the needs dialog). False when none was given (the save stops).
    bool askUserIfGone();
    void AlertLowCarbs();

    // The one place that decides which of the day's buttons are offered: "Calcul des quantités"
    // and "Effacer les quantités" with rows, "Imprimer" and "Sauvegarder" when every row has a
    // complete quantity.
    void UpdateDayButtons();

    // Builds FoodListQuery for CurrentCategoryId with the clauses in force and refills
    // LboxAliments. Selects its first item (category change), or with `keepSelection` the item
    // selected before (followed through a rename), else the first match of the search typed.
    // Returns false when the item selected before is no longer listed.
    bool FillFoodList(bool keepSelection = false);
    // Fills the list again when the database changed since it was filled (another window, a
    // dialog, another program), as FillFoodList(true) does; nothing to do otherwise.
    bool RefreshFoodList();

    // Unit state: lives for the whole run, survives the window (see each reset).
    static inline float CalorieObjective = 0;       // kcal; 0 at each creation
    static inline int32_t OptimisationMode = 0;     // CbxTypeOptimisation index; 0 at creation
    static inline int32_t OptimisedNutrient = -1;   // CbxNutriment index, -1 none; at creation
    static inline int32_t MinimumQuantity = 0;      // grams; 0 at creation
    static inline int32_t NextRowNumber = 0;        // Numero of the next row; 0 at first activation
    static inline int32_t CurrentCategoryId = 0;
    static inline QString ConsoFoodColumn = QStringLiteral("NomAlimentFrancais");
    static inline int32_t ConsoFoodColumnIndex = 1;
    static inline QString ConsoRecipeColumn = QStringLiteral("NomRecetteFrancais");
    static inline int32_t ConsoRecipeColumnIndex = 1;
    static inline SqlClause FoodRestrictionClause;   // emptied at the first activation
    static inline SqlClause RecipeRestrictionClause;
    static inline uint8_t SkipActivationAfterPrint = 0;
    static inline uint8_t SkipActivationAfterRestriction = 0;
    static inline uint8_t FirstActivationDone = 0;
    static inline uint8_t OptimisationJustRun = 0;
    static inline uint8_t ConsoFormCreating = 0;
    static inline float NutrientEnergy = 0;
    static inline float LipidEnergy = 0;
    static inline float ProteinEnergy = 0;
    static inline float CarbEnergy = 0;
    static inline QString MessageTable[22];
    static inline QString OptimisationTexts[9];
    static inline const QColor kAlertColour{0xFF, 0, 0};

    // Back to the state of a fresh run (tests).
    static void ResetUnitState();

    // Rows of the day as the totals read them.
    std::vector<DayRow> dayRows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing a day changed since its last save asks first; "Non" keeps the window.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void showError(int message, int caption);
    void recomputeTotals(bool withMessages);
    void takeTotals(const DayTotals& totals);        // Tot* and the energies
    void showTotals(const DayTotalsTexts& texts);    // the nine total edits
    // Every alert's colour from the totals as they stand (red while its alert holds and is
    // switched on): after each change of the totals, the objective or a switch.
    void colourAlerts();
    // The objective edit's text taken as the objective (the focus-out of the edit); a refused
    // text is said and the edit shows the objective in force again. Returns whether it was taken.
    bool commitObjective();
    // Before the objective is used: the edit's text, when it is not the objective in force yet,
    // is taken now. False when it was refused (the operation then stops).
    bool takeObjective();
    // The minimum edit's text taken as the minimum (the focus-out of the edit); as the objective.
    bool commitMinimum();
    // Before the minimum is used: as takeObjective, while its edit is open to typing.
    bool takeMinimum();
    // A setting edit's text taken as a whole number of `rule` into `value`; a refused text is said
    // under the field's `caption` and the edit shows `current` again.
    bool commitSetting(QLineEdit* edit, const QString& caption, const NumberRule& rule, double current, int* value);
    void positionQueryOn(const QString& name, bool partial);
    void selectFirstFood();

    // Id and kind (the Recette column) of the listed item named `name`; false when not listed.
    bool listedKey(const QString& name, qlonglong* id, int* recipe) const;

    // After a write of the day's rows: the list's stamp follows it when it was current before.
    void followDayWrite();

    DataWatch listWatch_;       // what the database was when the list was filled
    bool listCurrentBeforeDayWrite_ = false;
    bool dayChanged_ = false;   // rows changed since the first activation or the last save
    QStringList foodNames_;     // LboxAliments's texts in its order, for the incremental search
};

// Sets one of the window's skip-activation flags for the life of a modal show it guards and
// clears it on every way out (return or exception).
class ActivationSkip {
public:
    explicit ActivationSkip(uint8_t& flag) : flag_(flag) { flag_ = 1; }
    ~ActivationSkip() { flag_ = 0; }
    ActivationSkip(const ActivationSkip&) = delete;
    ActivationSkip& operator=(const ActivationSkip&) = delete;

private:
    uint8_t& flag_;
};

// Opens or raises the daily consumption window (menu item ConsomationJournaliere, start-up
// module 5).
QWidget* CreateConsoJournaliere();
