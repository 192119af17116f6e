#pragma once
// The program's string table (ids 0-178), loaded from resources/strings.tsv.
#include <QString>

// Text of a string-table entry; an unknown id gives an empty text.
QString LoadString(int id);

// Registers the program's compiled-in resources (strings, bitmaps); safe to call repeatedly.
void EnsureVivandaResources();
