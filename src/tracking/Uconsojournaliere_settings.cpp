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

bool TFConsoJournaliere::commitSetting(QLineEdit* edit, const QString& caption, const NumberRule& rule, double current,
                                       int* value) {
    QString refusal;
    const std::optional<int> typed = ReadSettingNumber(caption, edit->text(), rule, &refusal);
    if (!typed) {
        // Refused: the edit shows the value in force again, never a text that is not used.
        edit->setText(SettingText(current));
        ShowMessageBox(refusal, MessageTable[15], 0x0C, nullptr, false);
        return false;
    }
    *value = *typed;
    edit->setText(SettingText(*typed));
    return true;
}

void TFConsoJournaliere::EdtObjectifCalExit() { commitObjective(); }

bool TFConsoJournaliere::commitObjective() {
    int objective = 0;
    if (!commitSetting(EdtObjectifCal, QStringLiteral("Objectif calorique"), NumberRules::DayCalories, CalorieObjective,
                       &objective))
        return false;
    CalorieObjective = float(objective);
    // The total's colour follows the new objective at once.
    colourAlerts();
    AppState& st = appState();
    // The advice compares with the needs the window shows (the last validated estimate); no
    // objective deserves none.
    if (CalorieObjective != 0 && st.SwitchObjectiveBelowNeeds &&
        ObjectiveFarBelowNeeds(!EdtBesoins->text().isEmpty(), DisplayedNeeds, CalorieObjective))
        ShowMessageBox(ObjectiveAdviceText(DisplayedNeeds, CalorieObjective), MessageTable[11], 0x40,
                       &st.SwitchObjectiveBelowNeeds, true);
    return true;
}

bool TFConsoJournaliere::takeObjective() {
    // The edit may have been left without a focus change of this window (a drop-down list's
    // pop-up, another window, a message box): what it shows is taken before it is used.
    if (EdtObjectifCal->text() == SettingText(CalorieObjective)) return true;
    return commitObjective();
}

void TFConsoJournaliere::BtnDetBesoinsCalClick() {
    TFBesoinsJournaliers* needs = LongLivedForm(FBesoinsJournaliers);
    placeOverFrame(needs, 0);
    modal::exec(needs);
    if (needs->Validated) {
        DisplayedNeeds = needs->TotalNeeds;
        EdtBesoins->setText(QString::number(DisplayedNeeds));
        // A validated estimate is the objective at once, whatever the user does next.
        EdtObjectifCal->setText(QString::number(DisplayedNeeds));
        commitObjective();
    }
    EdtObjectifCal->setFocus(Qt::OtherFocusReason);
}

void TFConsoJournaliere::CbxTypeOptimisationClick() {
    takeObjective();
    OptimisationMode = CbxTypeOptimisation->currentIndex();
    LockInput(CbxNutriment, OptimisationMode < 2);
    LockInput(EdtQuantiteMini, OptimisationMode == 0);
    if (OptimisationMode == 0) {
        EdtQuantiteMini->clear();
        MinimumQuantity = 0;
    }
}

void TFConsoJournaliere::CbxNutrimentClick() {
    takeObjective();
    OptimisedNutrient = CbxNutriment->currentIndex();
}

void TFConsoJournaliere::EdtQuantiteMiniExit() { commitMinimum(); }

bool TFConsoJournaliere::commitMinimum() {
    int minimum = 0;
    if (!commitSetting(EdtQuantiteMini, QStringLiteral("Quantité minimum"), NumberRules::MinimumGrams, MinimumQuantity,
                       &minimum))
        return false;
    MinimumQuantity = minimum;
    return true;
}

bool TFConsoJournaliere::takeMinimum() {
    if (!EdtQuantiteMini->isEnabled() || EdtQuantiteMini->text() == SettingText(MinimumQuantity)) return true;
    return commitMinimum();
}
