#pragma once
// The text width of every text column of the database, in characters: the one place that says
// how long a name may be. Tables cut longer writes to this width and edits bound to a column
// refuse longer typing, so a name is cut the same way in every window.
#include <QString>

// Width of `column` of `table` (names compared case-insensitively); -1 when the column has no
// fixed width (memo texts, numbers, unknown columns).
int ColumnTextWidth(const QString& table, const QString& column);

// `text` cut to at most `width` UTF-16 units at a character boundary: never half of a surrogate
// pair, never a letter without the accent that follows it. A negative width leaves the text.
QString CutToWidth(const QString& text, int width);
