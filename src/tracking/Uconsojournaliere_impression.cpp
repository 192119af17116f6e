// Printing the day being composed through the consumption report.
#include "tracking/Uconsojournaliere.h"

void TFConsoJournaliere::BtnImprimerClick() {}
