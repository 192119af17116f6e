#pragma once
// "Limiter la liste des aliments": limits the consumption window's food list to simple foods
// and/or to foods whose values per 100 g lie below or above typed bounds. The dialog writes the
// restriction values of appState(); the consumption window turns them into the conditions of
// its food list (RestrictionClause) once the dialog has closed with Modified set.
#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

#include "tracking/ConsoDay.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct AppState;

// One nutrient's bound: the comparator (0 at most, 1 at least, -1 none) and the whole value per
// 100 g (-1 none).
struct RestrictionBound {
    int32_t op = -1;
    int32_t limit = -1;
};
// Calories, lipids, proteins and carbohydrates, in this order.
using RestrictionBounds = std::array<RestrictionBound, 4>;

// The per-gram columns the four bounds apply to, in the order of RestrictionBounds.
extern const char* const kRestrictedColumns[4];

// The bounds held in the shared restriction values.
RestrictionBounds CurrentRestrictionBounds(const AppState& st);
// The eight comparators and bounds back to -1 (none); the food type is the dialog's to set.
void ClearRestrictionValues(AppState& st);

// The condition the bounds put on one half of the food list: for each bound with a value and a
// comparator, " AND <column>*100.0 <= ?" (at most) or " >= ?" (at least), its value bound. A
// bound without a value or without a comparator adds nothing. The columns exist, unqualified,
// in both halves of the list statement.
SqlClause RestrictionClause(const RestrictionBounds& bounds);

class TFRestriction : public QDialog {
    Q_OBJECT
public:
    explicit TFRestriction(QWidget* parent = nullptr);
    ~TFRestriction() override;

    // Components
    QGroupBox* RgpTypeAliments = nullptr;
    QRadioButton* RbtnAlimentsEtRecettes = nullptr;   // item 0 of RgpTypeAliments
    QRadioButton* RbtnAlimentsSimples = nullptr;      // item 1
    QGroupBox* GbxValeurNutritive = nullptr;
    QComboBox* CBoxSuppInfCalories = nullptr;
    QComboBox* CBoxSuppInfLipides = nullptr;
    QComboBox* CBoxSuppInfProtides = nullptr;
    QComboBox* CBoxSuppInfGlucides = nullptr;
    QLineEdit* EdtCalories = nullptr;
    QLineEdit* EdtLipides = nullptr;
    QLineEdit* EdtProtides = nullptr;
    QLineEdit* EdtGlucides = nullptr;
    QPushButton* BtnOK = nullptr;

    // Set when the dialog was validated or a choice was made; cleared at each showing.
    uint8_t Modified = 0;

    // Handlers
    void FormCreate();
    void FormActivate();
    void RgpTypeAlimentsClick();
    void CBoxSuppInfCaloriesExit();
    void CBoxSuppInfLipidesExit();
    void CBoxSuppInfProtidesExit();
    void CBoxSuppInfGlucidesExit();
    void BtnOKClick();
    void FormHelp();

    QString MessageTable[8];

    // The selected item of RgpTypeAliments (0 or 1).
    int foodTypeIndex() const;

public slots:
    // Escape closes the dialog without applying anything chosen in it.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void comparatorLeft(int nutrient);
    QComboBox* comparator(int nutrient) const;
    QLineEdit* boundEdit(int nutrient) const;

    uint8_t MessageSwitch = 1;  // the dialog's own switch; its messages offer no check box
};

extern TFRestriction* FRestriction;
