// "Calcul des quantités": the quantities left at 0 are computed so that the day reaches the
// calorie objective (QuantityOptimisation.h), written and posted one by one, then the day is
// totalled again with its follow-up alerts.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "data/DbWidgets.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/Umessages.h"
#include "tracking/QuantityOptimisation.h"
#include "tracking/Uconsojournaliere.h"

void TFConsoJournaliere::BtnOptimisationClick() {
    // The objective and the minimum as their edits show them, however the edits were left.
    if (!takeObjective() || !takeMinimum()) return;
    OptimisationJustRun = 1;
    const OptimisationSettings settings{CalorieObjective, OptimisationMode, CbxNutriment->currentIndex(),
                                        MinimumQuantity};
    auto fail = [this](int32_t failure) {
        ShowMessageBox(OptimisationFailureText(failure, MessageTable), MessageTable[5], 0x0C, nullptr, false);
    };
    const int32_t refused = CheckOptimisationSettings(settings);
    if (refused != OptimisationOk) {
        fail(refused);
        return;
    }

    // A quantity still being typed in the grid counts as typed.
    if (TConsommation.isActive()) TConsommation.checkBrowseMode();
    SetInputColour(EdtTotCalories, kLockedColour);
    const std::vector<DayRow> rows = dayRows();
    const OptimisationPlan plan = PlanOptimisation(rows, settings);
    const DayTotals& set = plan.start.setTotals;
    TotCalories = set.calories;
    TotLipides = set.lipids;
    TotProtides = set.proteins;
    TotGlucides = set.carbs;
    if (plan.failure != OptimisationOk) {
        fail(plan.failure);
        return;
    }

    // Rows are read in Numero order (then in order of entry), which no post changes: a row's
    // index identifies it for the whole click. Each post recomputes the totals.
    for (const QuantityWrite& w : plan.writes) {
        TConsommation.moveToRow(w.row);
        TConsommation.edit();
        TConsommation.setValue(QStringLiteral("QuantiteGramme"), w.quantity);
        TConsommation.post();
    }

    const std::vector<DayRow> after = dayRows();
    const DayTotals t = SumDayRows(after);
    takeTotals(t);
    showTotals(FormatDayTotals(t));

    AppState& st = appState();
    if (std::any_of(after.begin(), after.end(), IsOpenRow))
        ShowMessageBox(MessageTable[17], MessageTable[11], 0x40, &st.SwitchCarbsBelowMinimum, true);
    if (TotGlucides < 100 && st.SwitchCarbsBelowMinimum)
        ShowMessageBox(MessageTable[12], MessageTable[11], 0x40, &st.SwitchCarbsBelowMinimum, true);
    colourAlerts();
    // A row the optimisation left open (no calories) or a refused row keeps them off.
    UpdateDayButtons();
}
