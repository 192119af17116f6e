#pragma once
// Options dialog: turns the five information and alert messages on and off.
#include <QDialog>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

class TFOptions : public QDialog {
    Q_OBJECT
public:
    explicit TFOptions(QWidget* parent = nullptr);

    // Components
    QLabel* Image = nullptr;  // background (plain)
    QGroupBox* GbxRecette = nullptr;
    QCheckBox* ChbxRecettes = nullptr;
    QLabel* LblRecettes = nullptr;
    QGroupBox* GbxConsoJournaliere = nullptr;
    QCheckBox* ChbxConsoJournaliere = nullptr;
    QLabel* LblConsoJournaliere = nullptr;
    QCheckBox* ChbxCalSupObjectif = nullptr;
    QLabel* LblCalSupObjectif = nullptr;
    QCheckBox* ChbxObjectifPasBon = nullptr;
    QLabel* LblObjectifPasBon = nullptr;
    QCheckBox* ChbxGlucidesPasBon = nullptr;
    QLabel* LblGlucidesPasBon = nullptr;
    QPushButton* BtnOk = nullptr;

    // The switches as the dialog holds them (1 = show); Modified tells whether a box was clicked
    // since the dialog was shown. The reserved byte is never set here and stays 0.
    uint8_t Modified = 0;
    uint8_t SwitchConsumptionInfo = 0;
    uint8_t SwitchRecipeInfo = 0;
    uint8_t SwitchReserved = 0;
    uint8_t SwitchCaloriesAboveObjective = 0;
    uint8_t SwitchCarbsBelowMinimum = 0;
    uint8_t SwitchObjectiveBelowNeeds = 0;

    // Handlers
    void FormCreate();
    void FormActivate();
    void ChbxRecettesClick();
    void ChbxConsoJournaliereClick();
    void ChbxCalSupObjectifClick();
    void ChbxObjectifPasBonClick();
    void ChbxGlucidesPasBonClick();
    void BtnOkClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void store(QCheckBox* box, uint8_t& switchByte);
};

extern TFOptions* FOptions;

// The options exchange of the menu item "Affichage des messages d'alerte": loads the switches
// into the dialog, shows it over the frame and, when a box was clicked, takes the dialog's
// switches back and marks the options dirty. Creates FOptions on first use.
void RunOptionsExchange();
