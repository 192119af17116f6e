// Printing the day being composed through the consumption report.
#include <stdexcept>

#include "frame/AppState.h"
#include "frame/LongLivedForm.h"
#include "frame/Umessages.h"
#include "tracking/DaySave.h"
#include "tracking/Uconsojournaliere.h"
#include "tracking/Uqrafficonsommation.h"

void TFConsoJournaliere::BtnImprimerClick() {
    AppState& st = appState();
    try {
        // The boxes and the preview take the activation; coming back must not set the day up
        // again. The flag is down again whichever way the click ends.
        const ActivationSkip skip(SkipActivationAfterPrint);
        if (DayHasIncompleteQuantity()) throw std::runtime_error("quantity");
        AlertLowCarbs();
        FollowCurrentUser(st);   // its name and weight as stored now
        LongLivedForm(FQRAffiConsommation)->NomUtilisateur = st.CurrentUserName;
        FQRAffiConsommation->Poids = st.CurrentUserWeight;
        FQRAffiConsommation->TableSource = QStringLiteral("t_consommation");
        FQRAffiConsommation->Preview();
        OptimisationJustRun = 0;
    } catch (const std::exception&) {
        ShowMessageBox(MessageTable[13], MessageTable[5], 0x0C, nullptr, false);
        OptimisationJustRun = 0;
    }
}
