#pragma once
// Number display masks as the grids and reports write them: "####0.##" shows at most two
// decimals and none when the value is whole (12 -> "12", 12.5 -> "12,5", 12.345 -> "12,35");
// "####0.###" at most three; a '0' after the point is a decimal always written ("0.00").
// The decimal separator is the current locale's (QLocale()); no thousands separator.
#include <QString>

QString FormatFloatMask(double value, const QString& mask);
