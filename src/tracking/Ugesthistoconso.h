#pragma once
// "Gestion de l'historique des consommations": deletes one saved day, every saved day, or the days
// before a date, of the user picked when the history holds several users, else of the whole
// history. Created at start-up and shown modally from the frame's menu.
#include "tracking/HistoryWidgets.h"

class TFGestHistoConso : public HistoryDialog {
    Q_OBJECT
public:
    explicit TFGestHistoConso(QWidget* parent = nullptr);

    // Components (the lists and "Quitter": HistoryDialog)
    QRadioButton* RBtnSuppJournee = nullptr;
    QRadioButton* RBtnSuppTout = nullptr;
    QRadioButton* RBtnSuppInfDate = nullptr;
    QDateEdit* DateTimePicker = nullptr;
    QPushButton* BtnSupprimer = nullptr;

    // Handlers
    void FormShow();
    void FormActivate();
    void LBoxUtilisateursClick();
    void LBoxDatesClick();
    void RBtnSuppJourneeClick();
    void RBtnSuppToutClick();
    void RBtnSuppInfDateClick();
    void BtnSupprimerClick();
    void BtnQuitterClick();
    void FormHelp();

protected:
    void showEvent(QShowEvent* e) override;

private:
    bool usersListed() const;
    void fillDates();
};

extern TFGestHistoConso* FGestHistoConso;

// The menu item: places the dialog over the frame and shows it modally.
void ShowGestHistoConso();
