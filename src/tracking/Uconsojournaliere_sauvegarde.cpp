// The day's save: the date and weight asked in FSelDate, then the history write (DaySave.h).
#include <QCalendarWidget>
#include <QLineEdit>
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
#include "tracking/Uconsojournaliere.h"
#include "tracking/Useldate.h"

namespace {

// The save's own stops: 0 a quantity missing, 6 an objective that is not a number, 10 the date
// dialog closed without "Ok".
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

void TFConsoJournaliere::BtnSauvegardeClick() {
    AppState& st = appState();
    SaveProgress progress;
    try {
        progress.location = QStringLiteral("C2.0-1");
        if (DayHasIncompleteQuantity()) throw SaveStop{0};
        // An objective the window could not read is not written as 0: it is corrected first.
        double objective = 0;
        if (!DaySaveNumber(EdtObjectifCal->text(), &objective)) throw SaveStop{6};
        AlertLowCarbs();
        placeOverFrame(LongLivedForm(FSelDate), 0);
        progress.location = QStringLiteral("C2.0-2");
        FSelDate->MonthCalendar->setSelectedDate(QDate::currentDate());
        if (!st.CurrentUserName.isEmpty()) {
            QueryHisto.setSql(QStringLiteral("SELECT Poids FROM t_utilisateurs WHERE Nom = ?;"));
            QueryHisto.addBindValue(st.CurrentUserName);
            progress.location = QStringLiteral("C2.0-3");
            QueryHisto.open();
            progress.location = QStringLiteral("C2.0-4");
            // A user deleted since the needs were estimated leaves the weight as it was.
            if (!QueryHisto.eof()) FSelDate->EdtPoids->setText(QueryHisto.asString(0));
        }
        progress.location = QStringLiteral("C2.0-5");
        modal::exec(FSelDate);
        progress.location = QStringLiteral("C2.0-6");
        if (!FSelDate->Validated) throw SaveStop{10};

        SavedDay saved;
        saved.day = FSelDate->MonthCalendar->selectedDate();
        saved.user = DaySaveUserName(st.CurrentUserName);
        saved.objective = objective;
        if (!DaySaveNumber(FSelDate->EdtPoids->text(), &saved.weight)) throw std::runtime_error("conversion");
        WriteSavedDay(saved, progress);
        dayChanged_ = false;
        ShowMessageBox(MessageTable[21], MessageTable[20], 0x30, nullptr, false);
    } catch (const SaveStop& stop) {
        if (stop.code == 0)
            ShowMessageBox(MessageTable[13], MessageTable[5], 0x30, nullptr, false);
        else if (stop.code == 6)
            ShowMessageBox(MessageTable[6], MessageTable[5], 0x30, nullptr, false);
        else  // closing the date dialog is the user's choice, not a failure to report
            ShowSaveCancelled();
    } catch (const std::exception& e) {
        // Another program holding the database is no fault to report: the day can be saved again.
        if (IsDatabaseBusy(e))
            ReportDatabaseBusy();
        else
            OfferErrorReport(progress.location, MessageTable[18], MessageTable[19]);
    }
}
