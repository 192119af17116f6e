#pragma once
// Text and number helpers shared by every module: display and SQL number texts, replace-all,
// the accent-free search key and path splitting. Numbers use the current locale (QLocale()).
#include <QString>
#include <QStringList>
#include <optional>

#include "data/AccentFold.h"  // FoldAccents, the search key

// A quantity rounded up to the hundredth: "12" when whole, else two decimals after rounding to
// four significant digits, with the locale's decimal separator ("12,50" in French).
QString QuantityToText(double x);

// A number of zero or more as typed ("1.2" and "1,2" alike, surrounding blanks ignored): empty,
// negative, infinite or not a number gives none (see ReadTypedNumber).
std::optional<double> ParseNonNegativeNumber(const QString& text);

// A number with '.' as decimal separator whatever the locale, for statement texts; at most six
// digits of the fraction are kept (cut, not rounded).
QString DoubleToDotText(double x);

// Every non-overlapping occurrence of pattern replaced, left to right; replaced text is not
// scanned again. An empty pattern leaves the text as it is.
QString ReplaceAll(const QString& text, const QString& pattern, const QString& replacement);


// The text after the last path separator ('\' or '/'); the whole path when there is none.
QString FileNamePart(const QString& path);

// The text up to and including the last path separator; empty when there is none.
QString DirectoryPart(const QString& path);

// The incremental search of a list: the first item whose beginning equals `text` when both are
// compared with letter case ignored (accents count). An empty text matches the first item.
// Returns -1 when no item matches.
int FindItemByPrefix(const QStringList& items, const QString& text);
