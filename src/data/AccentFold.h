#pragma once
// The accent-free search key shared by the forms and the database's search functions
// (FoldAccents and FoldAccentsUpper in SQL), so a name typed "creme" finds "Crème".
#include <QString>

// Lower-cased, accents folded, ligatures spelt out ("bœuf" -> "boeuf"); upper-cased when toUpper.
QString FoldAccents(const QString& text, bool toUpper);
