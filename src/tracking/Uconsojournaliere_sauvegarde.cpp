// The day's save: the date and weight asked in FSelDate, then the history write (DaySave.h).
#include <QCalendarWidget>
#include <QLineEdit>
#include <QRadioButton>
#include <QMessageBox>
#include <stdexcept>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/LongLivedForm.h"
#include "frame/Placement.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"
#include "platform/Modal.h"
#include "platform/WebPage.h"
#include "tracking/DaySave.h"
#include "tracking/Ubesoinsjournaliers.h"
#include "tracking/Uconsojournaliere.h"
#include "tracking/Useldate.h"

namespace {

// The save's own stops: 0 a quantity missing, 10 the date dialog closed without "Ok".
struct SaveStop {
    int code;
};

void ShowSaveCancelled() {
    ShowMessageBox(QString::fromUtf8("        Annulation de l'enregistrement de la journée !"),
                   QString::fromUtf8("Sauvegarde annulée"), 0x0C, nullptr, false);
}

// An unexpected failure of the save: the cancellation, then the offer to send the place where it
// happened to the maker's site.
void OfferErrorReport(const QString& location, const QString& browserFailure, const QString& browserCaption) {
    ShowSaveCancelled();
    QMessageBox offer(QMessageBox::NoIcon, QStringLiteral("Erreur inattendue"),
                      QString::fromUtf8(
                          "Vivanda a rencontré une erreur inattendue. Acceptez-vous que celle-ci soit transmise à "
                          "l'auteur du logiciel ?\nAucune information ne sera recueillie au sein de votre ordinateur. "
                          "Seules les informations générées par le \nlogiciel et permettant d'identifier l'erreur "
                          "seront transmises.\nEn acceptant, vous permettez à l'auteur de Vivanda d'améliorer et de "
                          "fiabiliser ce logiciel."),
                      QMessageBox::Ok | QMessageBox::Cancel, frameWindow());
    if (modal::exec(&offer) != QMessageBox::Ok) return;
    if (OpenWebPage(ErrorReportAddress(location))) return;
    QMessageBox failure(QMessageBox::Warning, browserCaption, browserFailure, QMessageBox::Ok, frameWindow());
    modal::exec(&failure);
}

}  // namespace

bool TFConsoJournaliere::DayHasIncompleteQuantity() {
    // Whatever the buttons say: the rows as they stand now decide.
    if (TConsommation.isActive()) TConsommation.checkBrowseMode();
    return !DayRowsComplete(dayRows());
}

void TFConsoJournaliere::AlertLowCarbs() {
    AppState& st = appState();
    if (TotGlucides < 100 && !OptimisationJustRun && st.SwitchCarbsBelowMinimum) {
        ShowMessageBox(MessageTable[12], MessageTable[11], 0x40, &st.SwitchCarbsBelowMinimum, true);
        colourAlerts();
    }
}

bool TFConsoJournaliere::askUserIfGone() {
    AppState& st = appState();
    if (FollowCurrentUser(st)) return true;
    // Deleted since it was chosen: said, then a user is asked for in the needs dialog (only the
    // user is taken from it; the needs and the objective shown stay).
    ShowMessageBox(QStringLiteral("        L'utilisateur « %1 » n'existe plus dans la base de données.\n"
                                  "        Choisissez l'utilisateur de cette journée.")
                       .arg(st.CurrentUserName),
                   QStringLiteral("Sauvegarde de la journée"), 0x30, nullptr, false);
    TFBesoinsJournaliers* needs = LongLivedForm(FBesoinsJournaliers);
    placeOverFrame(needs, 0);
    modal::exec(needs);
    if (FollowCurrentUser(st)) return true;
    // A person typed in ("Autre") and validated: the day goes under the name that stands in.
    if (needs->Validated && needs->RbtnAutre->isChecked()) {
        st.CurrentUserName.clear();
        st.CurrentUserRow = 0;
        return true;
    }
    return false;
}

void TFConsoJournaliere::BtnSauvegardeClick() {
    AppState& st = appState();
    SaveProgress progress;
    try {
        progress.location = QStringLiteral("C2.0-1");
        // The objective saved is the one shown; a text refused there stops the save (said).
        if (!takeObjective()) return;
        if (DayHasIncompleteQuantity()) throw SaveStop{0};
        if (!askUserIfGone()) throw SaveStop{10};
        AlertLowCarbs();
        placeOverFrame(LongLivedForm(FSelDate), 0);
        progress.location = QStringLiteral("C2.0-2");
        FSelDate->MonthCalendar->setSelectedDate(QDate::currentDate());
        // The user's weight as stored now.
        if (!st.CurrentUserName.isEmpty()) FSelDate->EdtPoids->setText(QString::number(st.CurrentUserWeight));
        progress.location = QStringLiteral("C2.0-5");
        modal::exec(FSelDate);
        progress.location = QStringLiteral("C2.0-6");
        if (!FSelDate->Validated) throw SaveStop{10};

        SavedDay saved;
        saved.day = FSelDate->MonthCalendar->selectedDate();
        saved.user = DaySaveUserName(st.CurrentUserName);
        saved.objective = CalorieObjective;
        if (!DaySaveNumber(FSelDate->EdtPoids->text(), &saved.weight)) throw std::runtime_error("conversion");
        WriteSavedDay(saved, progress);
        dayChanged_ = false;
        ShowMessageBox(MessageTable[21], MessageTable[20], 0x30, nullptr, false);
    } catch (const SaveStop& stop) {
        if (stop.code == 0)
            ShowMessageBox(MessageTable[13], MessageTable[5], 0x30, nullptr, false);
        else  // closing the date dialog is the user's choice, not a failure to report
            ShowSaveCancelled();
    } catch (const std::exception& e) {
        // A write the database refused (another program's lock, a full disk, a read-only file)
        // is said with its cause: the day stays to be saved again. The error report is offered
        // for the program's own errors only.
        switch (SaveFailureOf(e)) {
        case SaveFailure::Busy:
            ReportDatabaseBusy();
            break;
        case SaveFailure::Refused:
            ShowMessageBox(DatabaseFailureText(e) + QStringLiteral("\n") +
                               QStringLiteral("        La journée reste à l'écran : sauvegardez-la de nouveau ensuite."),
                           QStringLiteral("Erreur d'enregistrement"), 0x0C, nullptr, false);
            break;
        case SaveFailure::ProgramError:
            OfferErrorReport(progress.location, MessageTable[18], MessageTable[19]);
            break;
        }
    }
}
