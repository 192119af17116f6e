// Printing the day being composed through the consumption report.
#include <stdexcept>

#include "frame/AppState.h"
#include "frame/Umessages.h"
#include "tracking/Uconsojournaliere.h"
#include "tracking/Uqrafficonsommation.h"

void TFConsoJournaliere::BtnImprimerClick() {
    AppState& st = appState();
    try {
        // The preview's window takes the activation; coming back must not set the day up again.
        SkipActivationAfterPrint = 1;
        if (DayHasUntypedQuantity()) throw std::runtime_error("quantity");
        AlertLowCarbs();
        if (!FQRAffiConsommation) FQRAffiConsommation = new TFQRAffiConsommation();
        FQRAffiConsommation->NomUtilisateur = st.CurrentUserName;
        FQRAffiConsommation->Poids = st.CurrentUserWeight;
        FQRAffiConsommation->TableSource = QStringLiteral("t_consommation");
        FQRAffiConsommation->Preview();
        OptimisationJustRun = 0;
    } catch (const std::exception&) {
        ShowMessageBox(MessageTable[13], MessageTable[5], 0x0C, nullptr, false);
        OptimisationJustRun = 0;
    }
}
