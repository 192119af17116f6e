#include "tracking/Ufaffhistoconso.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include "data/Database.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/LongLivedForm.h"
#include "frame/Placement.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"
#include "platform/Modal.h"
#include "tracking/Fubilan.h"
#include "tracking/HistoryDays.h"
#include "tracking/HistoryWidgets.h"
#include "tracking/Uqrafficonsommation.h"

int32_t HistoryUserCount = 0;
int32_t HistoryDateCount = 0;
QDate HistoryFirstDate;
QDate HistoryLastDate;

namespace {

constexpr int kHelpContext = 230;
const QString kHistoryCaption = QStringLiteral("Historique de consommation");
const QString kBalanceCaption = QStringLiteral("Bilan de la consommation");

// The balance window is shown once the dialog has closed, so that it takes the activation.
bool g_showBalance = false;

}  // namespace

TFAffHistoConso::TFAffHistoConso(QWidget* parent)
    : HistoryDialog(parent, "FAffHistoConso", QStringLiteral("Historique des consommations"), kHelpContext,
                    QStringLiteral("Période à afficher"), "BtnAfficher", QStringLiteral("Afficher")) {
    BtnAfficher = actionButton();
    RBtnAffJournee = placeRadio("RBtnAffJournee", QStringLiteral("Afficher la journée"), 20);
    PlaceLabel(GrpBoxPeriode, "LblSelectionnee", QStringLiteral("sélectionnée"), {28, 38, 0, 0});
    RBtnAffBilan = placeRadio("RBtnAffBilan", QStringLiteral("Afficher le bilan sur la"), 62);
    PlaceLabel(GrpBoxPeriode, "LblPeriode", QStringLiteral("période"), {28, 80, 0, 0});
    LblFin = PlaceLabel(GrpBoxPeriode, "LblFin", QStringLiteral("Fin"), {28, 110, 0, 0});
    DTPickerFin = placeDatePicker("DTPickerFin", {70, 106, 104, 22});
    LblDebut = PlaceLabel(GrpBoxPeriode, "LblDebut", QStringLiteral("Début"), {28, 142, 0, 0});
    DTPickerDebut = placeDatePicker("DTPickerDebut", {70, 138, 104, 22});

    onListClick(LBoxUtilisateurs, [this] { LBoxUtilisateursClick(); });
    onListClick(LBoxDates, [this] { LBoxDatesClick(); });
    connect(RBtnAffJournee, &QRadioButton::toggled, this, [this](bool on) { if (on) RBtnAffJourneeClick(); });
    connect(RBtnAffBilan, &QRadioButton::toggled, this, [this](bool on) { if (on) RBtnAffBilanClick(); });
    connect(DTPickerDebut, &QDateEdit::editingFinished, this, [this] { DTPickerDebutExit(); });
    connect(DTPickerFin, &QDateEdit::editingFinished, this, [this] { DTPickerFinExit(); });
    connect(BtnAfficher, &QPushButton::clicked, this, [this] { BtnAfficherClick(); });
    connect(BtnQuitter, &QPushButton::clicked, this, [this] { BtnQuitterClick(); });
}

void TFAffHistoConso::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormActivate();
}

void TFAffHistoConso::done(int result) {
    closing_ = true;
    QDialog::done(result);
    closing_ = false;
}

void TFAffHistoConso::resetPeriod() {
    for (QDateEdit* picker : {DTPickerDebut, DTPickerFin}) picker->setDateRange(HistoryFirstDate, HistoryLastDate);
    DTPickerDebut->setDate(HistoryFirstDate);
    DTPickerFin->setDate(HistoryLastDate);
}

bool TFAffHistoConso::listDays(const QList<QDate>& days) {
    FillDayList(LBoxDates, days);
    HistoryDateCount = int32_t(days.size());
    if (days.isEmpty()) return false;
    HistoryFirstDate = days.first();
    HistoryLastDate = days.last();
    return true;
}

void TFAffHistoConso::FormActivate() {
    const QStringList names = HistoryUserNames();
    HistoryUserCount = HistoryUserCountOf(names);
    if (HistoryUserCount < 2) {
        if (listDays(HistoryDays())) resetPeriod();
    } else {
        FillUserList(LBoxUtilisateurs, names);
    }
    DTPickerDebut->setEnabled(false);
    DTPickerFin->setEnabled(false);
    watch_.seen();
}

void TFAffHistoConso::showDays(const QList<QDate>& days) {
    // Read again: the period stays as chosen, within the days now saved.
    if (listDays(days))
        for (QDateEdit* picker : {DTPickerDebut, DTPickerFin}) picker->setDateRange(HistoryFirstDate, HistoryLastDate);
}

void TFAffHistoConso::LBoxUtilisateursClick() {
    if (!SelectedUser(LBoxUtilisateurs)) return;
    try {
        if (!pickedUserStillSaved(kHistoryCaption)) return;
        const std::optional<QString> user = SelectedUser(LBoxUtilisateurs);
        HistoryDateCount = 0;
        const bool any = listDays(HistoryDays(*user));
        RBtnAffJournee->setChecked(true);
        RBtnAffJourneeClick();
        // A user with a single saved day has that day as the whole period.
        if (any) resetPeriod();
    } catch (const DatabaseError&) {
    }
}

void TFAffHistoConso::LBoxDatesClick() { RBtnAffJournee->setChecked(true); }

void TFAffHistoConso::RBtnAffJourneeClick() {
    DTPickerDebut->setEnabled(false);
    DTPickerFin->setEnabled(false);
}

void TFAffHistoConso::RBtnAffBilanClick() {
    if (HistoryDateCount <= 1) return;
    DTPickerDebut->setEnabled(true);
    DTPickerFin->setEnabled(true);
}

void TFAffHistoConso::refusePeriodDate(QDateEdit* picker, const QDate& reset, const QString& text) {
    // The message box takes the focus from the other picker when the click went there; that
    // picker's check must not run meanwhile against a date about to be put back.
    refusing_ = true;
    ShowMessageBox(text, kBalanceCaption, 0x30, nullptr, false);
    picker->setDate(reset);
    refusing_ = false;
}

bool TFAffHistoConso::periodCheckRuns() const { return !closing_ && !refusing_ && isVisible(); }

void TFAffHistoConso::DTPickerFinExit() {
    if (!periodCheckRuns() || DTPickerFin->date() >= DTPickerDebut->date()) return;
    refusePeriodDate(DTPickerFin, HistoryLastDate, QStringLiteral("        Date non valide pour la fin de la période !"));
}

void TFAffHistoConso::DTPickerDebutExit() {
    if (!periodCheckRuns() || DTPickerDebut->date() <= DTPickerFin->date()) return;
    refusePeriodDate(DTPickerDebut, HistoryFirstDate,
                     QStringLiteral("        Date non valide pour le début de la période !"));
}

void TFAffHistoConso::BtnAfficherClick() {
    if (!choiceStillSavedOrSaid(kHistoryCaption)) return;
    if (LBoxDates->count() == 0) {
        ShowMessageBox(QStringLiteral("        Il n'y a aucun historique à afficher."), kHistoryCaption, 0x20, nullptr,
                       false);
        return;
    }
    QString user;
    if (LBoxUtilisateurs->count() > 0) {
        user = SelectedUser(LBoxUtilisateurs).value_or(QString());
    } else {
        const QStringList names = HistoryUserNames();
        user = names.isEmpty() ? QString() : names.first();
    }
    if (user.isEmpty()) user = QStringLiteral("Utilisateur");

    if (RBtnAffJournee->isChecked()) {
        const std::optional<QDate> day = SelectedDay(LBoxDates);
        if (!day) {
            ShowMessageBox(QStringLiteral("        Vous devez sélectionner une journée ?"), kHistoryCaption, 0x20,
                           nullptr, false);
            return;
        }
        LongLivedForm(FQRAffiConsommation)->NomUtilisateur = user;
        FQRAffiConsommation->DateConso = *day;
        FQRAffiConsommation->TableSource = QStringLiteral("t_histo_consommation");
        FQRAffiConsommation->Preview();
        accept();
    } else if (RBtnAffBilan->isChecked()) {
        LongLivedForm(FBilan)->NomUtilisateur = user;
        FBilan->DateDebut = DTPickerDebut->date();
        FBilan->DateFin = DTPickerFin->date();
        FBilan->move(0, 0);
        g_showBalance = true;
        accept();
    }
}

void TFAffHistoConso::BtnQuitterClick() { close(); }

void TFAffHistoConso::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, kHelpContext); }

void ShowAffHistoConso() {
    g_showBalance = false;
    {
        TFAffHistoConso dialog(frameWindow());
        placeOverFrame(&dialog, 14);
        modal::exec(&dialog);
    }
    if (g_showBalance && FBilan) FBilan->Open();
    g_showBalance = false;
}
