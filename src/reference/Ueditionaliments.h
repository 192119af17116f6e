#pragma once
// "Gestion des aliments": the foods of one food category at a time, with their name in the
// interface language, their four values per 100 g (stored per gram), their piece weight and
// their everyday flag. New foods are created here; the foods the user may change
// (DroitsModifUtilisateur) are changed and deleted here. A module window of the frame, created
// on demand and freed when closed; while it exists its food table is handed to the recipe
// editor through EditorFoodTables.h.
#include <QString>
#include <optional>

#include "data/Query.h"
#include "data/Table.h"
#include "reference/EditorWindow.h"

class DbCheckBox;
class DbLineEdit;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The text a per-100 g edit shows for a per-gram value (null counts as 0): the value times 100
// in the shortest form of up to 15 significant digits, in the user's locale ("250", "0,2").
QString Per100gText(const QVariant& perGram);
// Whether lipids, proteins and carbohydrates (grams per 100 g) come to more than 100 g; a sum
// that is 100 but for the rounding of the decimals does not.
bool MacrosExceed100g(double lipids, double proteins, double carbs);

class TFEditionAliments : public EditorWindow {
    Q_OBJECT
public:
    explicit TFEditionAliments(QWidget* parent = nullptr);
    ~TFEditionAliments() override;

    // Components
    QComboBox* CboxCatAliments = nullptr;
    QLabel* LblRecherche = nullptr;
    QLineEdit* EdtRecherche = nullptr;
    QListWidget* LboxAliments = nullptr;
    QLabel* LblNomAliment = nullptr;
    DbLineEdit* DBEdtNomAliment = nullptr;
    QGroupBox* GbxValeurs = nullptr;
    QLabel* LblCalories = nullptr;
    QLineEdit* EdtCalories = nullptr;
    QLabel* LblLipides = nullptr;
    QLineEdit* EdtLipides = nullptr;
    QLabel* LblProtides = nullptr;
    QLineEdit* EdtProtides = nullptr;
    QLabel* LblGlucides = nullptr;
    QLineEdit* EdtGlucides = nullptr;
    QLabel* LblPoidsMoyen = nullptr;
    DbLineEdit* DBEdtPoidsMoyen = nullptr;
    DbCheckBox* DBChboxUsuel = nullptr;
    QPushButton* BtnNouveau = nullptr;
    QPushButton* BtnEnregistrer = nullptr;
    QPushButton* BtnSupprimer = nullptr;
    QPushButton* BtnQuitter = nullptr;

    Table TAliments{QStringLiteral("t_aliments")};
    Table TCatAliments{QStringLiteral("t_cataliments")};
    ::Query Query;

    // Unit state
    QString FoodNameColumn = QStringLiteral("NomAlimentFrancais");
    int CurrentFoodCategory = 0;
    bool NewFood = false;         // a row was appended by "Nouveau" and is not saved
    bool FoodModified = false;    // the user changed a value of the current food
    bool SaveRequested = false;   // the save was started by "Enregistrer"
    bool FoodEditorActivated = false;
    bool InCreate = false;

    // Handlers
    void FormCreate();
    void FormActivate();
    bool FormCanResize() const { return InCreate; }
    void FormHelp();
    void CboxCatAlimentsClick();
    void LboxAlimentsClick();
    void EdtRechercheChange();
    void EdtRechercheExit();
    void DBChboxUsuelClick();
    void TAlimentsCalcFields();
    void BtnNouveauClick();
    void BtnEnregistrerClick();
    void BtnSupprimerClick();

    // Offers to save the pending changes of the current food. True when the caller may go on
    // (nothing pending, saved, or the user declined); false when the save was refused: the
    // typing then stays for correction, and the question comes again before the food is left.
    bool SaveFoodChanges();

protected:
    bool SaveBeforeClosing() override;
    void FormClose() override;

private:
    void buildControls();
    void chooseNameColumn();
    void fillCategories();
    // The food-list fill: the names of the current category's foods, sorted, none selected.
    void fillFoodList();
    // Selects list row `row` (-1: none) and moves the table to its food.
    void showFood(int row);
    bool locateFood(const QString& name);
    // The table again after another window closed it, on the food the list shows.
    void reopenFoodTable();
    // The save routine; `leaving` (the user moves to another food) drops a refused change
    // instead of keeping it for correction, unless the database was busy.
    bool saveFoodChanges(bool leaving);
    // A change is still pending after the save routine: the user stays on the food.
    bool typingKept() const { return NewFood || FoodModified; }
    // Checks and writes the pending food. Returns nothing when saved, else the refusal's message
    // ("" when already shown); `dropTyping` tells a refusal the user cannot correct.
    std::optional<QString> storeFood(const QString& mode, bool& dropTyping);
    // The food's name as stored; whether another food (not `exceptId`) already has `name`.
    QString storedName(const QVariant& id);
    bool nameTaken(const QString& name, const QVariant& exceptId);
    void setPer100gEdits();
    QList<QLineEdit*> per100gEdits() const;
};

extern TFEditionAliments* FEditionAliments;

// Opens the food editor (menu item Aliments, start-up module 3).
QWidget* CreateEditionAliments();
