#pragma once
// Number formats of the printed reports and the grids: masks such as "####0.###".
//
// A mask is an integer part and an optional decimal part split by '.':
//   '0' before the point: a digit always printed (leading zeros pad to their count);
//   '#' before the point: room for a digit, printed only when the value needs it;
//   '0' after the point: a decimal always printed; '#' after the point: a decimal printed only
//   when it is not a trailing zero.
// So "####0.###" prints 1234.5 as "1234,5" (French), 12 as "12", 0.52 as "0,52" and 1/3 as
// "0,333"; "####0.##" prints 1234.567 as "1234,57". Values are rounded half away from zero on
// their 15-significant-digit decimal form (0.125 -> "0,13" with two decimals). No thousands
// separator is printed. The decimal separator and the minus sign are the locale's.
#include <QLocale>
#include <QString>
#include <QVariant>

namespace report {

QString formatNumber(double value, const QString& mask, const QLocale& locale = QLocale());

// How a value prints without a mask (a data field's own format): numbers with up to 15
// significant digits and the locale's decimal separator, dates in the locale's short format,
// text as it is, null as "".
QString formatPlain(const QVariant& value, const QLocale& locale = QLocale());

// A value through a mask: numbers (and texts that read as numbers) take the mask; other texts
// print as they are; null prints "". An empty mask means formatPlain.
QString formatValue(const QVariant& value, const QString& mask, const QLocale& locale = QLocale());

}  // namespace report
