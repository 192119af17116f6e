#pragma once
// "Calcul de l'IMC": the body-mass index of a user of t_utilisateurs or of a height and weight
// typed by hand, with the name of its class. Created at start-up, shown modally from the
// frame's menu; it writes nothing.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "data/DataWatch.h"
#include "data/Table.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// Last height (metres) and weight (kg) taken, from a user or typed; 0 until one is taken. They
// keep their value from one showing to the next.
inline float ImcHeight = 0;
inline float ImcWeight = 0;

// A weight typed in kilograms ("72,5" or "72.5"): 1 to 500 as the needs dialog takes it
// (NumberRules::NeedsWeightKg), decimals kept; nothing when refused. (Heights go through the needs dialog's ParseNeedsHeight.)
std::optional<float> ParseImcWeight(const QString& text);

// The index: weight / height², freed of the noise of the single-precision height (1.7 m is
// 1.70000005), so 72.25 kg at 170 cm is 25 exactly. Nothing without a usable height and weight
// (none taken yet, or a result too large to be an index).
std::optional<double> BodyMassIndex(float weight, float height);

// The index as shown, with one decimal in the user's locale: cut, not rounded, so the value
// shown never crosses the bound of the class it is given (24.96 shows "24,9", Normal).
QString BodyMassIndexText(double index);

// The class of the exact index, from "Dénutrition grade V" to "Obésité grade III : ...".
QString BodyMassClass(double index);

class TFCalcIMC : public QDialog {
    Q_OBJECT
public:
    explicit TFCalcIMC(QWidget* parent = nullptr);
    ~TFCalcIMC() override;

    // Components
    QGroupBox* GbxUtilisateur = nullptr;
    QRadioButton* RbtnSelectionListe = nullptr;
    QRadioButton* RbtnAutre = nullptr;
    QListWidget* LboxUtilisateurs = nullptr;
    QLabel* LblTaille = nullptr;
    QLabel* LblPoids = nullptr;
    QLineEdit* EdtTaille = nullptr;
    QLineEdit* EdtPoids = nullptr;
    QGroupBox* GbxIMC = nullptr;
    QLabel* LblIMC = nullptr;
    QLabel* LblCommentaire = nullptr;
    QLineEdit* EdtIMC = nullptr;
    QLineEdit* EdtCommentaire = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BtnOk = nullptr;

    Table TUtilisateurs{QStringLiteral("t_utilisateurs")};

    QString MessageTable[6];

    // Handlers
    void FormCreate();
    void FormActivate();
    void RbtnSelectionListeClick();
    void RbtnAutreClick();
    void LboxUtilisateursClick();
    void EdtTailleExit();
    void EdtPoidsExit();
    void Button1Click();
    void BtnOkClick();
    void FormHelp();

public slots:
    // Escape closes the dialog as "Ok" does (it hands nothing back).
    void reject() override { BtnOkClick(); }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Becoming active again after the users changed (another program wrote) reads them again.
    bool event(QEvent* e) override;

private:
    // The index shown no longer matches the inputs: it goes until the next "Calcul".
    void clearResult();
    // Reads the users again, `keep` selected when still listed; no click handler runs.
    void reloadUsers(const QString& keep);
    void selectUser(const QString& name);
    // The users read again; the chosen one's height and weight too, or the choice given up when
    // the user is no longer stored.
    void refreshUsers();
    // After the users were read again: the edits follow the stored height and weight of the
    // user they show, or empty when that user is gone.
    void followShownUser();
    // The listed user whose height and weight the edits show ("" when none).
    QString shownUser_;
    DataWatch watch_;

    void inputError(int message, QLineEdit* input);
    // Leaving the height or weight edit: its value checked and taken, then the other's.
    void inputLeft(QLineEdit* left, QLineEdit* other);

    uint8_t MessageSwitch = 1;  // the dialog's own switch; its messages offer no check box
};

extern TFCalcIMC* FCalcIMC;

// The frame's menu item "CalculdelIMC": the dialog placed over the frame and shown modally.
void ShowCalcIMCFromMenu();
