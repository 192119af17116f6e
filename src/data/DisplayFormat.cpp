#include "data/DisplayFormat.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

QString FormatFloatMask(double value, const QString& mask) {
    const int point = mask.indexOf(QLatin1Char('.'));
    int minDecimals = 0, maxDecimals = 0, minIntegerDigits = 0;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c != QLatin1Char('0') && c != QLatin1Char('#')) continue;
        if (point >= 0 && i > point) {
            ++maxDecimals;
            if (c == QLatin1Char('0')) minDecimals = maxDecimals;
        } else if (c == QLatin1Char('0')) {
            ++minIntegerDigits;
        }
    }
    QString text = QString::number(value, 'f', maxDecimals);
    if (maxDecimals > minDecimals) {
        int cut = text.size();
        while (cut > 0 && text[cut - 1] == QLatin1Char('0') && text.size() - cut < maxDecimals - minDecimals) --cut;
        text.truncate(cut);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative) text.remove(0, 1);
    int intDigits = text.indexOf(QLatin1Char('.'));
    if (intDigits < 0) intDigits = text.size();
    if (intDigits == 1 && text[0] == QLatin1Char('0') && minIntegerDigits == 0) text.remove(0, 1), intDigits = 0;
    while (intDigits < minIntegerDigits) text.prepend(QLatin1Char('0')), ++intDigits;
    // "-0" after rounding is written as "0".
    if (negative && text.contains(QRegularExpression(QStringLiteral("[1-9]")))) text.prepend(QLatin1Char('-'));
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text;
}
