// The day's totals, shares and over-objective alert, recomputed after every post.
#include <QLineEdit>
#include <QPushButton>
#include <exception>

#include "data/DbWidgets.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/Umessages.h"
#include "tracking/Uconsojournaliere.h"

std::vector<DayRow> TFConsoJournaliere::dayRows() const {
    std::vector<DayRow> rows;
    for (int r = 0; r < TConsommation.recordCount(); ++r) {
        rows.push_back({TConsommation.rowValue(r, QStringLiteral("CaloriesGramme")).toDouble(),
                        TConsommation.rowValue(r, QStringLiteral("LipidesGramme")).toDouble(),
                        TConsommation.rowValue(r, QStringLiteral("ProtidesGramme")).toDouble(),
                        TConsommation.rowValue(r, QStringLiteral("GlucidesGramme")).toDouble(),
                        TConsommation.rowValue(r, QStringLiteral("QuantiteGramme"))});
    }
    return rows;
}

void TFConsoJournaliere::TConsommationAfterPost() {
    dayChanged_ = true;
    // The alert compares with the objective shown.
    takeObjective();
    recomputeTotals(true);
}

void TFConsoJournaliere::recomputeTotals(bool withMessages) {
    TotCalories = TotLipides = TotProtides = TotGlucides = TotQuantite = 0;
    DayTotals t;
    try {
        t = ComputeDayTotals(dayRows());
    } catch (const std::exception&) {
        t.valid = false;
    }
    if (!t.valid) {
        if (withMessages) ShowMessageBox(MessageTable[16], MessageTable[15], 0x0C, nullptr, false);
        UpdateDayButtons();
        return;
    }
    takeTotals(t);
    showTotals(FormatDayTotals(t));
    AppState& st = appState();
    const bool alert = CaloriesAboveObjective(TotCalories, CalorieObjective) && st.SwitchCaloriesAboveObjective;
    if (alert && withMessages)
        ShowMessageBox(MessageTable[14], MessageTable[11], 0x40, &st.SwitchCaloriesAboveObjective, true);
    colourAlerts();
    UpdateDayButtons();
}

void TFConsoJournaliere::colourAlerts() {
    const AppState& st = appState();
    const bool caloriesHigh = CaloriesAboveObjective(TotCalories, CalorieObjective) && st.SwitchCaloriesAboveObjective;
    SetInputColour(EdtTotCalories, caloriesHigh ? kAlertColour : kLockedColour);
    const bool carbsLow = CarbsBelowMinimum(dayRows(), TotGlucides) && st.SwitchCarbsBelowMinimum;
    SetInputColour(EdtTotGlucides, carbsLow ? kAlertColour : kLockedColour);
}

void TFConsoJournaliere::UpdateDayButtons() {
    const std::vector<DayRow> rows = dayRows();
    BtnOptimisation->setEnabled(!rows.empty());
    BtnEffacer->setEnabled(!rows.empty());
    const bool ready = DayReadyToPrint(rows);
    BtnImprimer->setEnabled(ready);
    BtnSauvegarde->setEnabled(ready);
}

void TFConsoJournaliere::takeTotals(const DayTotals& t) {
    TotCalories = t.calories;
    TotLipides = t.lipids;
    TotProtides = t.proteins;
    TotGlucides = t.carbs;
    TotQuantite = t.quantity;
    LipidEnergy = t.lipidEnergy;
    ProteinEnergy = t.proteinEnergy;
    CarbEnergy = t.carbEnergy;
    NutrientEnergy = t.nutrientEnergy;
}

void TFConsoJournaliere::showTotals(const DayTotalsTexts& s) {
    EdtTotCalories->setText(s.calories);
    EdtPcCal->setText(s.caloriesShare);
    EdtTotLipides->setText(s.lipids);
    EdtPcLip->setText(s.lipidsShare);
    EdtTotProtides->setText(s.proteins);
    EdtPcProt->setText(s.proteinsShare);
    EdtTotGlucides->setText(s.carbs);
    EdtPcGluc->setText(s.carbsShare);
    EdtTotQuantite->setText(s.quantity);
}
