// Limiting the food list: the restriction dialog's choices become the conditions of both halves
// of the list, which is rebuilt at once and keeps them for every later category.
#include "data/DbWidgets.h"
#include "frame/AppState.h"
#include "frame/LongLivedForm.h"
#include "frame/Placement.h"
#include "platform/Modal.h"
#include "tracking/Uconsojournaliere.h"
#include "tracking/Urestriction.h"

void TFConsoJournaliere::BtnLimiterClick() {
    AppState& st = appState();
    const int32_t foodType = st.RestrictionFoodType;
    ClearRestrictionValues(st);
    LongLivedForm(FRestriction);

    {
        // The window's activation after the dialog must not set the day up again; the flag is
        // dropped as soon as the dialog returns.
        const ActivationSkip skip(SkipActivationAfterRestriction);
        // Over the frame, like the window's other dialogs, so that it opens at the same place
        // each time.
        placeOverFrame(FRestriction, 0);
        modal::exec(FRestriction);
    }

    if (!FRestriction->Modified) {
        // Closed without "OK" (Escape): the list and what it was built from stay as they were.
        st.RestrictionFoodType = foodType;
        return;
    }
    FoodRestrictionClause = RecipeRestrictionClause = RestrictionClause(CurrentRestrictionBounds(st));
    // The item chosen stays chosen when the restriction keeps it, the search typed stays.
    FillFoodList(true);

    // The day is read again; a row being typed is written first rather than dropped.
    TConsommation.checkBrowseMode();
    TConsommation.close();
    TConsommation.open();
    DBGIngredients->setEnabled(TConsommation.recordCount() > 0);
}
