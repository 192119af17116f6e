// The day's grid: adding and removing rows, the row counter, converting a quantity from a
// household measure, clearing the quantities.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "data/DbWidgets.h"
#include "frame/FormWidgets.h"
#include "frame/StaleItem.h"
#include "frame/Umessages.h"
#include "platform/Modal.h"
#include "reference/Uconversion.h"
#include "tracking/Uconsojournaliere.h"

namespace {
const QString kName = QStringLiteral("NomAliment");
const QString kQuantity = QStringLiteral("QuantiteGramme");
const char* const kCopiedValues[] = {"CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme"};
}  // namespace

void TFConsoJournaliere::BtnAjouterClick() {
    QListWidgetItem* item = LboxAliments->currentItem();
    if (!item || !item->isSelected()) return;
    // Written since the list was filled (by another program, or a window this one has not been
    // left for): the list is read again first, and an item no longer there is not added.
    if (!RefreshFoodList()) {
        SayItemGone(QStringLiteral("Cet aliment ou cette recette n'existe plus dans la base de données."), windowTitle());
        return;
    }
    item = LboxAliments->currentItem();
    if (!item || !item->isSelected()) return;
    if (TConsommation.recordCount() >= kMaxDayRows) {
        showError(4, 0);
        return;
    }
    if (TConsommation.isEmpty()) DBGIngredients->setEnabled(true);

    const QString listed = item->text();
    // The values copied are those of the listed item itself; an item the query no longer
    // holds adds nothing.
    if (!Query.locate(QStringLiteral("NomAlimentFrancais"), listed, {.caseInsensitive = true})) return;
    QStringList dayNames;
    for (int r = 0; r < TConsommation.recordCount(); ++r) dayNames << TConsommation.rowValue(r, kName).toString();
    if (IsAlreadyInDay(listed, dayNames)) {
        showError(1, 0);
        return;
    }

    TConsommation.append();
    TConsommation.setValue(kName, Query.value(QStringLiteral("NomAlimentFrancais")));
    for (const char* column : kCopiedValues)
        TConsommation.setValue(QString::fromLatin1(column), Query.value(QString::fromLatin1(column)));
    TConsommation.setValue(QStringLiteral("Numero"), NextRowNumber);
    TConsommation.post();
    ++NextRowNumber;
    UpdateDayButtons();
}

void TFConsoJournaliere::BtnRetirerClick() {
    if (ShowMessageBox(MessageTable[3], MessageTable[2], 0x24, nullptr, false) != 6) return;
    if (!TConsommation.isActive() || TConsommation.recNo() < 0) return;
    TConsommation.remove();
    followDayWrite();
    --NextRowNumber;
    dayChanged_ = true;
    // The totals follow the removal at once, so printing and saving never count a removed row.
    recomputeTotals(false);
}

void TFConsoJournaliere::DBGIngredientsEditButtonClick() {
    if (TConsommation.recNo() < 0) return;
    const std::optional<double> grams = ConvertForGrid(TConsommation.asString(kName));
    if (!grams) return;
    // Posted at once: the totals and the buttons follow the weight brought back.
    TConsommation.edit();
    TConsommation.setValue(kQuantity, *grams);
    TConsommation.post();
}

void TFConsoJournaliere::DBGIngredientsRefresh() {
    if (TConsommation.isActive()) TConsommation.refresh();
}

void TFConsoJournaliere::BtnEffacerClick() {
    for (int r = 0; r < TConsommation.recordCount(); ++r) {
        TConsommation.moveToRow(r);
        TConsommation.edit();
        TConsommation.clearField(kQuantity);
        TConsommation.post();
    }
    for (QLineEdit* e : {EdtTotCalories, EdtTotLipides, EdtTotProtides, EdtTotGlucides, EdtPcCal, EdtPcLip, EdtPcProt,
                         EdtPcGluc, EdtTotQuantite})
        e->clear();
    SetInputColour(EdtTotCalories, kLockedColour);
    UpdateDayButtons();
}
