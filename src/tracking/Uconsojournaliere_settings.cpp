// The needs, the calorie objective and the settings of the quantity optimisation.
#include <QComboBox>
#include <QLineEdit>

#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/LongLivedForm.h"
#include "frame/Placement.h"
#include "frame/Umessages.h"
#include "platform/Modal.h"
#include "tracking/Ubesoinsjournaliers.h"
#include "tracking/Uconsojournaliere.h"

void TFConsoJournaliere::EdtObjectifCalExit() {
    const QString text = EdtObjectifCal->text();
    if (text.isEmpty()) return;
    int objective = 0;
    if (!ParseWholeNumber(text, &objective)) {
        // Not a whole number: no objective, silently; the text stays as typed.
        CalorieObjective = 0;
        colourAlerts();
        return;
    }
    CalorieObjective = float(objective);
    // The total's colour follows the new objective at once.
    colourAlerts();
    AppState& st = appState();
    // The advice compares with the needs the window shows (the last validated estimate).
    if (ObjectiveFarBelowNeeds(!EdtBesoins->text().isEmpty(), DisplayedNeeds, CalorieObjective) &&
        st.SwitchObjectiveBelowNeeds)
        ShowMessageBox(ObjectiveAdviceText(DisplayedNeeds, CalorieObjective), MessageTable[11], 0x40,
                       &st.SwitchObjectiveBelowNeeds, true);
}

void TFConsoJournaliere::BtnDetBesoinsCalClick() {
    TFBesoinsJournaliers* needs = LongLivedForm(FBesoinsJournaliers);
    placeOverFrame(needs, 0);
    modal::exec(needs);
    if (needs->Validated) {
        DisplayedNeeds = needs->TotalNeeds;
        EdtBesoins->setText(QString::number(DisplayedNeeds));
        EdtObjectifCal->setText(QString::number(DisplayedNeeds));
    }
    // The estimate becomes the objective when the user leaves the edit.
    EdtObjectifCal->setFocus(Qt::OtherFocusReason);
}

void TFConsoJournaliere::CbxTypeOptimisationClick() {
    OptimisationMode = CbxTypeOptimisation->currentIndex();
    LockInput(CbxNutriment, OptimisationMode < 2);
    LockInput(EdtQuantiteMini, OptimisationMode == 0);
    if (OptimisationMode == 0) {
        EdtQuantiteMini->clear();
        MinimumQuantity = 0;
    }
}

void TFConsoJournaliere::CbxNutrimentClick() { OptimisedNutrient = CbxNutriment->currentIndex(); }

void TFConsoJournaliere::EdtQuantiteMiniExit() {
    const QString text = EdtQuantiteMini->text();
    if (text.isEmpty()) return;
    int minimum = 0;
    MinimumQuantity = ParseWholeNumber(text, &minimum) ? minimum : 0;
}
