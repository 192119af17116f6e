#pragma once
// "Conversion en grammes": a quantity in a household measure of a food, turned into grams
// (quantity x ValeurUnite of the measure x Densite of the food). One long-lived dialog serves
// the frame's menu (a free conversion) and the ingredient and consumption grids, which pass a
// food name in (InitialFood, CalledFromGrid) and read the weight back (Validated,
// ConvertedWeight) once the modal show returns.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "data/Query.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The quantity typed, in the user's locale; nothing when it is not a number, or is negative.
std::optional<double> ParseMeasureQuantity(const QString& text);

class TFConversionVM : public QDialog {
    Q_OBJECT
public:
    explicit TFConversionVM(QWidget* parent = nullptr);
    ~TFConversionVM() override;

    // Components
    QLabel* LblAliment = nullptr;
    QLabel* LblUnite = nullptr;
    QLabel* LblQuantite = nullptr;
    QLabel* LblPoids = nullptr;
    QComboBox* LboxAliments = nullptr;
    QComboBox* LboxUnites = nullptr;
    QLineEdit* EdtQuantite = nullptr;
    QPushButton* BtnConversion = nullptr;
    QLineEdit* EdtPoids = nullptr;
    QPushButton* BtnAnnule = nullptr;
    QPushButton* BtnOk = nullptr;

    // Datasets: the foods with measures (current row = the chosen food), the measures (current
    // row = the chosen measure), and the statement of the measure list.
    ::Query TDensites;
    ::Query TUnites;
    ::Query Query;

    // The callers' interface
    uint8_t Validated = 0;       // 1 after Ok, 0 after Annuler
    uint8_t CalledFromGrid = 0;  // 1: a grid waits for a positive weight
    double ConvertedWeight = 0;  // grams, unrounded; 0 from each show until a conversion
    QString InitialFood;         // food to preselect; kept until a caller changes it

    // Name column of t_densites in use (1..5 among the fields of TDensites) and its name.
    int NameColumnIndex = 1;
    QString NameColumnName;

    // Handlers
    void FormCreate();
    void LboxAlimentsClick();
    void LboxUnitesClick();
    void BtnConversionClick();
    void BtnOkClick();
    void BtnAnnuleClick();
    void FormShow();
    void FormKeyPress(char key);
    void FormHelp();

    QString MessageTable[10];

public slots:
    // Escape closes the dialog as "Annuler" does: nothing is handed back.
    void reject() override { BtnAnnuleClick(); }

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void fillUnitList(const QString& foodName);
    void showError(int message);

    uint8_t MessageSwitch = 1;  // the dialog's own switch; its messages offer no check box
};

extern TFConversionVM* FConversionVM;

// The frame's menu item "ConversionVM": a free conversion, Annuler disabled, placed over the
// frame and shown modally.
void ShowConversionFromMenu();
