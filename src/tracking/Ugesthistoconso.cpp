#include "tracking/Ugesthistoconso.h"

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
#include "tracking/HistoryDays.h"
#include "tracking/HistoryWidgets.h"

TFGestHistoConso* FGestHistoConso = nullptr;

namespace {

constexpr int kHelpContext = 260;
const QString kCaption = QStringLiteral("Suppression de l'historique de consommation");

void say(const QString& text) { ShowMessageBox(text, kCaption, 0x20, nullptr, false); }
bool confirm(const QString& text) { return ShowMessageBox(text, kCaption, 0x24, nullptr, false) == 6; }

}  // namespace

TFGestHistoConso::TFGestHistoConso(QWidget* parent)
    : HistoryDialog(parent, "FGestHistoConso", QStringLiteral("Gestion de l'historique des consommations"), kHelpContext,
                    QStringLiteral("Période à supprimer"), "BtnSupprimer", QStringLiteral("Supprimer")) {
    BtnSupprimer = actionButton();
    RBtnSuppJournee = placeRadio("RBtnSuppJournee", QStringLiteral("Supprimer la journée"), 20);
    PlaceLabel(GrpBoxPeriode, "LblSelectionnee", QStringLiteral("sélectionnée"), {28, 38, 0, 0});
    RBtnSuppTout = placeRadio("RBtnSuppTout", QStringLiteral("Supprimer tout l'historique"), 64);
    RBtnSuppInfDate = placeRadio("RBtnSuppInfDate", QStringLiteral("Supprimer l'historique"), 92);
    PlaceLabel(GrpBoxPeriode, "LblAnterieur", QStringLiteral("antérieur à cette date"), {28, 110, 0, 0});
    DateTimePicker = placeDatePicker("DateTimePicker", {28, 134, 110, 22});
    BtnSupprimer->setToolTip(QStringLiteral("Suppression de l'historique"));

    onListClick(LBoxUtilisateurs, [this] { LBoxUtilisateursClick(); });
    onListClick(LBoxDates, [this] { LBoxDatesClick(); });
    connect(RBtnSuppJournee, &QRadioButton::toggled, this, [this](bool on) { if (on) RBtnSuppJourneeClick(); });
    connect(RBtnSuppTout, &QRadioButton::toggled, this, [this](bool on) { if (on) RBtnSuppToutClick(); });
    connect(RBtnSuppInfDate, &QRadioButton::toggled, this, [this](bool on) { if (on) RBtnSuppInfDateClick(); });
    connect(BtnSupprimer, &QPushButton::clicked, this, [this] { BtnSupprimerClick(); });
    connect(BtnQuitter, &QPushButton::clicked, this, [this] { BtnQuitterClick(); });
    FGestHistoConso = this;
}

void TFGestHistoConso::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    FormShow();
    FormActivate();
}

void TFGestHistoConso::FormShow() { LBoxDates->clear(); }

void TFGestHistoConso::FormActivate() {
    const QStringList names = HistoryUserNames();
    if (HistoryUserCountOf(names) < 2) {
        LBoxUtilisateurs->clear();
        FillDayList(LBoxDates, HistoryDays());
    } else {
        FillUserList(LBoxUtilisateurs, names);
    }
    DateTimePicker->setDate(QDate::currentDate());
    DateTimePicker->setEnabled(false);
    watch_.seen();
}

bool TFGestHistoConso::usersListed() const { return LBoxUtilisateurs->count() > 0; }

void TFGestHistoConso::fillDates() {
    if (!usersListed()) {
        FillDayList(LBoxDates, HistoryDays());
        return;
    }
    const std::optional<QString> user = SelectedUser(LBoxUtilisateurs);
    if (user) FillDayList(LBoxDates, HistoryDays(*user));
    else LBoxDates->clear();
}

void TFGestHistoConso::LBoxUtilisateursClick() {
    try {
        if (!pickedUserStillSaved(kCaption)) return;
        fillDates();
        RBtnSuppTout->setChecked(true);
    } catch (const DatabaseError&) {
    }
}

void TFGestHistoConso::LBoxDatesClick() { RBtnSuppJournee->setChecked(true); }
void TFGestHistoConso::RBtnSuppJourneeClick() { DateTimePicker->setEnabled(false); }
void TFGestHistoConso::RBtnSuppToutClick() { DateTimePicker->setEnabled(false); }
void TFGestHistoConso::RBtnSuppInfDateClick() { DateTimePicker->setEnabled(true); }

void TFGestHistoConso::BtnSupprimerClick() {
    if (!choiceStillSavedOrSaid(kCaption)) return;
    if (LBoxDates->count() == 0) {
        say(QStringLiteral("        Il n'y a aucun historique à supprimer."));
        return;
    }
    const bool listed = usersListed();
    const std::optional<QString> selectedUser = SelectedUser(LBoxUtilisateurs);
    // Deletions are limited to the selected user only when the history holds several users.
    const std::optional<QString> user = listed ? selectedUser : std::nullopt;
    HistoryDeletion kind;
    QDate date;
    if (RBtnSuppJournee->isChecked()) {
        const std::optional<QDate> day = SelectedDay(LBoxDates);
        if (!day) {
            say(QStringLiteral("        Vous devez sélectionner une journée ?"));
            return;
        }
        if (!confirm(QStringLiteral("        Voulez-vous vraiment effectuer la suppression de la journée ?"))) return;
        kind = HistoryDeletion::Day;
        date = *day;
    } else if (RBtnSuppTout->isChecked() || RBtnSuppInfDate->isChecked()) {
        if (listed && !selectedUser) {
            say(QStringLiteral("        Vous devez sélectionner un utilisateur ?"));
            return;
        }
        kind = RBtnSuppTout->isChecked() ? HistoryDeletion::All : HistoryDeletion::Before;
        if (!confirm(kind == HistoryDeletion::All
                         ? QStringLiteral("        Voulez-vous vraiment effectuer la suppression de\n        l'historique ?")
                         : QStringLiteral("        Voulez-vous vraiment effectuer la suppression de cette partie\n"
                                          "        de l'historique ?")))
            return;
        date = DateTimePicker->date();
    } else {
        return;
    }
    try {
        DeleteHistory(kind, user, date);
    } catch (const std::exception& e) {
        // Another program holding the database, a full disk, a read-only file: said as such; the
        // deletion ran in one transaction, so nothing was deleted.
        ShowMessageBox(QStringLiteral("        La suppression n'a pas pu être effectuée : l'historique est resté tel "
                                      "qu'il était.\n") +
                           DatabaseFailureText(e),
                       kCaption, 0x0C, nullptr, false);
        return;
    }
    try {
        // A user left without any saved day is no longer listed, whatever the kind of deletion.
        reloadLists();
    } catch (const std::exception&) {
        watch_.forget();
    }
    say(QStringLiteral("        La suppression a été effectuée !"));
}

void TFGestHistoConso::BtnQuitterClick() { close(); }

void TFGestHistoConso::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, kHelpContext); }

void ShowGestHistoConso() {
    placeOverFrame(LongLivedForm(FGestHistoConso), 14);
    modal::exec(FGestHistoConso);
}
