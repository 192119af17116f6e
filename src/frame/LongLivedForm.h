#pragma once
// The forms that live for the rest of the run once built (the needs, date and restriction
// dialogs, the measure dialogs, the reports, the history maintenance, the balance window, ...):
// each is built the first time something needs it, owned by the frame, and from then on reached
// through its global pointer. Building them on first use keeps them out of the program's start.
//
//   LongLivedForm(FCalcIMC)->...   // FCalcIMC, built now when it was not yet
#include "frame/Placement.h"

template <typename Form>
Form* LongLivedForm(Form*& global) {
    if (!global) global = new Form(frameWindow());
    return global;
}
