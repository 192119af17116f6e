#pragma once
// "Historique des consommations": picks a saved day or a period of the consumption history and
// shows it, a day through the printed day report, a period as the balance charts. A new dialog is
// built at each opening and shown modally; it closes itself once the choice is handed on.
#include <QDate>
#include <cstdint>

#include "tracking/HistoryWidgets.h"

class QLabel;

// Kept from one dialog to the next.
extern int32_t HistoryUserCount;   // distinct users counted at the last showing
extern int32_t HistoryDateCount;   // days listed
extern QDate HistoryFirstDate;     // earliest day listed
extern QDate HistoryLastDate;      // latest day listed

class TFAffHistoConso : public HistoryDialog {
    Q_OBJECT
public:
    explicit TFAffHistoConso(QWidget* parent = nullptr);

    // Components (the lists and "Quitter": HistoryDialog)
    QRadioButton* RBtnAffJournee = nullptr;
    QRadioButton* RBtnAffBilan = nullptr;
    QLabel* LblFin = nullptr;
    QDateEdit* DTPickerFin = nullptr;
    QLabel* LblDebut = nullptr;
    QDateEdit* DTPickerDebut = nullptr;
    QPushButton* BtnAfficher = nullptr;

    // Handlers
    void FormActivate();
    void LBoxUtilisateursClick();
    void LBoxDatesClick();
    void RBtnAffJourneeClick();
    void RBtnAffBilanClick();
    void DTPickerDebutExit();
    void DTPickerFinExit();
    void BtnAfficherClick();
    void BtnQuitterClick();
    void FormHelp();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;
    void showDays(const QList<QDate>& days) override;

private:
    // Lists the days; they become the history's first and last dates. False when there are none.
    bool listDays(const QList<QDate>& days);
    // Both pickers limited to the first to the last date, the period set to all of it.
    void resetPeriod();
    // Says `text` and puts `picker` back to `reset`.
    void refusePeriodDate(QDateEdit* picker, const QDate& reset, const QString& text);
    // Not while the dialog closes, nor while the other picker's date is being refused.
    bool periodCheckRuns() const;
    bool closing_ = false;
    bool refusing_ = false;
};

// The menu item: builds the dialog, places it over the frame and shows it modally.
void ShowAffHistoConso();
