#pragma once
// "Conversion en grammes": a quantity in a household measure of a food, turned into grams
// (quantity x ValeurUnite of the measure x Densite of the food). One long-lived dialog serves
// the frame's menu (a free conversion) and the ingredient and consumption grids, which pass a
// food name in (InitialFood, CalledFromGrid) and read the weight back (Validated,
// ConvertedWeight) once the modal show returns. Its twin in the other direction (Uconversionmv)
// is built on the same lookups (MeasureDialog).
#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "data/DataWatch.h"
#include "data/Query.h"
#include "data/TypedNumber.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the two measure dialogs share: the foods that have household measures (t_densites, the
// current row is the chosen food), the measures (t_unites_mesures, the current row is the
// chosen measure), the list of a food's measures, the checks of a typed quantity and the way
// Enter works. Each dialog lays out its own controls and makes its own conversion.
class MeasureDialog : public QDialog {
    Q_OBJECT
public:
    // Components common to both dialogs (the derived dialog creates and places them).
    QComboBox* LboxAliments = nullptr;
    QComboBox* LboxUnites = nullptr;
    QLineEdit* EdtQuantite = nullptr;
    QPushButton* BtnConversion = nullptr;
    QPushButton* BtnAnnule = nullptr;
    QPushButton* BtnOk = nullptr;

    // Datasets: the foods with measures, the measures, and the statement of the measure list.
    ::Query TDensites;
    ::Query TUnites;
    ::Query Query;

    uint8_t Validated = 0;       // 1 after Ok, 0 after Annuler
    double ConvertedWeight = 0;  // result of the last successful conversion

    // Name column of t_densites in use (1..5 among the fields of TDensites) and its name.
    int NameColumnIndex = 1;
    QString NameColumnName;

    QString MessageTable[10];

    // Handlers
    void LboxAlimentsClick();
    void LboxUnitesClick();
    virtual void BtnConversionClick() = 0;
    void BtnAnnuleClick();
    void FormKeyPress(char key);
    void FormHelp();

    // The foods and measures read again when a row was written since they were (by another
    // program: nothing here writes them), the chosen food and measure kept where they still are.
    void refreshIfStale();

public slots:
    // Escape closes the dialog as "Annuler" does: nothing is handed back.
    void reject() override { BtnAnnuleClick(); }

protected:
    MeasureDialog(QWidget* parent, int helpContext);

    // The message table, the name column, the food list (first food chosen), the measures and
    // the first food's measure list. Needs the controls.
    void openLookups();
    // Reads the foods and measures; the food chosen before (by its row, renamed or not) and its
    // measure stay chosen where they still are, else the first food and its first measure.
    void readLookups();
    // The food of row `id`, else the one named `name`, chosen with its measure list; false when
    // neither is listed.
    bool chooseFood(const QVariant& id, const QString& name);
    bool chooseUnit(const QString& name);
    // A click on `name` in `list`: when a row was written since the lists were read, they are
    // read again; false, once `gone` is said, when `name` is no longer listed.
    bool stillListed(const QComboBox* list, const QString& name, const QString& gone);
    bool event(QEvent* e) override;
    // Connects the shared controls to their handlers.
    void connectControls();
    void fillUnitList(const QString& foodName);

    // The typed quantity with the chosen measure's ValeurUnite and the chosen food's Densite;
    // nothing, with its message shown, when there is no quantity, no food or no measure.
    struct MeasureInput {
        double quantity = 0;
        double unitValue = 0;
        double density = 0;
    };
    std::optional<MeasureInput> readMeasureInput();
    // The message of the table, followed by `detail` on lines of its own when given.
    virtual void showError(int message, const QString& detail = QString());
    // "Valeur non valide pour la quantité !" with the range expected.
    void showRangeError(const NumberRule& rule) { showError(2, NumberRangeHint(rule)); }

    NumberRule quantityRule_ = NumberRules::Measures;   // what EdtQuantite takes

    void keyPressEvent(QKeyEvent* e) override;

private:
    int helpContext_;
    DataWatch watch_;
    uint8_t MessageSwitch = 1;  // the dialog's own switch; its messages offer no check box
};

class TFConversionVM : public MeasureDialog {
    Q_OBJECT
public:
    explicit TFConversionVM(QWidget* parent = nullptr);
    ~TFConversionVM() override;

    QLabel* LblAliment = nullptr;
    QLabel* LblUnite = nullptr;
    QLabel* LblQuantite = nullptr;
    QLabel* LblPoids = nullptr;
    QLineEdit* EdtPoids = nullptr;

    // The callers' interface (with Validated and ConvertedWeight, in grams, unrounded; 0 from
    // each show until a conversion)
    uint8_t CalledFromGrid = 0;  // 1: a grid waits for a positive weight
    QString InitialFood;         // food to preselect; kept until a caller changes it

    // Handlers
    void FormCreate();
    void BtnConversionClick() override;
    void BtnOkClick();
    void FormShow();

protected:
    void showEvent(QShowEvent* e) override;
};

extern TFConversionVM* FConversionVM;

// The frame's menu item "ConversionVM": a free conversion, Annuler disabled, placed over the
// frame and shown modally.
void ShowConversionFromMenu();

// The ellipsis of a grid's quantity: the dialog opened on the row's food (its name in any
// language), Annuler enabled; the weight when the user converted and pressed Ok. A food without
// household measures gets a message saying so instead of the dialog.
std::optional<double> ConvertForGrid(const QString& foodName);
