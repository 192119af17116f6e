#include "frame/TextHelpers.h"

#include <QLocale>
#include <cmath>

#include "data/TypedNumber.h"

namespace {

// Decimal digits of x (x > 0, finite) rounded to `digits` significant digits, half away from
// zero on the 15-digit decimal form, with the decimal exponent of the first digit.
struct Decimal {
    QString digits;  // exactly `digits` characters
    int exponent = 0;
};

Decimal roundSignificant(double x, int digits) {
    // The 15 significant digits that the number's general format shows.
    const QString e = QString::number(x, 'e', 14);  // d.dddddddddddddde[+-]xx
    const int ePos = e.indexOf(QLatin1Char('e'));
    QString all = e.left(ePos);
    all.remove(QLatin1Char('.'));
    int exponent = e.mid(ePos + 1).toInt();
    QString kept = all.left(digits);
    if (all.size() > digits && all[digits] >= QLatin1Char('5')) {
        int i = digits - 1;
        while (i >= 0 && kept[i] == QLatin1Char('9')) kept[i--] = QLatin1Char('0');
        if (i >= 0) {
            kept[i] = QChar(kept[i].unicode() + 1);
        } else {
            kept.prepend(QLatin1Char('1'));
            kept.chop(1);
            ++exponent;
        }
    }
    return {kept, exponent};
}

// Fixed-point text of x with `decimals` decimals after rounding to `precision` significant
// digits; scientific form (d.ddd E+xx) when the integer part needs more than `precision` digits.
QString fixedText(double x, int precision, int decimals, QChar point) {
    if (!std::isfinite(x)) return QString::number(x);
    if (x == 0) return QStringLiteral("0") + point + QString(decimals, QLatin1Char('0'));
    const bool negative = x < 0;
    const Decimal d = roundSignificant(std::fabs(x), precision);
    QString out;
    if (d.exponent + 1 > precision) {
        out = d.digits.left(1) + point + d.digits.mid(1) + QStringLiteral("E+") +
              QStringLiteral("%1").arg(d.exponent, 2, 10, QLatin1Char('0'));
    } else {
        // Digits placed around the point: d.exponent + 1 integer digits (at least one "0").
        QString intPart, fracPart;
        for (int pos = std::max(d.exponent, 0); pos >= -decimals; --pos) {
            const int index = d.exponent - pos;  // index into the kept digits
            const QChar c = index >= 0 && index < d.digits.size() ? d.digits[index] : QLatin1Char('0');
            (pos >= 0 ? intPart : fracPart) += c;
        }
        out = intPart + (decimals > 0 ? QString(point) + fracPart : QString());
    }
    return negative ? QStringLiteral("-") + out : out;
}

// Plain digits of a fraction 0 < f < 1 as its 15-digit general format writes them after
// "0.", never in scientific form; `d` is the fraction rounded to 15 significant digits.
QString fractionDigits(const Decimal& d) {
    QString digits = QString(-d.exponent - 1, QLatin1Char('0')) + d.digits;
    while (digits.endsWith(QLatin1Char('0'))) digits.chop(1);
    return digits;
}

}  // namespace

QString QuantityToText(double x) {
    const double p = x * 100.0;
    const double n = std::ceil(p);  // a whole number, kept in floating point so nothing overflows
    const double q = std::trunc(n / 100.0);
    const double v = n * 0.01;
    if (q >= v) return QString::number(q, 'f', 0);
    return fixedText(v, 4, 2, QLocale().decimalPoint().at(0));
}

QString DoubleToDotText(double x) {
    if (!std::isfinite(x)) return QString::number(x);
    if (x < 0) return QStringLiteral("-") + DoubleToDotText(-x);
    const double i = std::trunc(x);
    const double f = x - i;
    QString out = QString::number(i, 'f', 0);
    if (f != 0) {
        const Decimal d = roundSignificant(f, 15);
        // A fraction such as 0.9999999999999996 is a whole unit at 15 digits: 2.9999999999999996
        // is written 3, not 2 followed by the digits of "1".
        if (d.exponent >= 0) return QString::number(i + 1, 'f', 0);
        // The general format writes "0" + separator + digits; six digits of those are kept. A
        // fraction too small to reach them (below 0.000001) adds nothing.
        const QString digits = fractionDigits(d).left(6);
        if (digits.count(QLatin1Char('0')) != digits.size()) out += QLatin1Char('.') + digits;
    }
    return out;
}

QString ReplaceAll(const QString& text, const QString& pattern, const QString& replacement) {
    if (pattern.isEmpty()) return text;
    QString out;
    out.reserve(text.size());
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (text.size() - pos >= pattern.size() &&
            QStringView(text).mid(pos, pattern.size()) == pattern) {
            out += replacement;
            pos += pattern.size();
        } else {
            out += text[pos++];
        }
    }
    return out;
}

namespace {
qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}
}  // namespace

QString FileNamePart(const QString& path) { return path.mid(lastSeparator(path) + 1); }

QString DirectoryPart(const QString& path) { return path.left(lastSeparator(path) + 1); }

std::optional<double> ParseNonNegativeNumber(const QString& text) {
    const std::optional<double> value = ReadTypedNumber(text);
    if (!value || *value < 0) return std::nullopt;
    return value;
}

int FindItemByPrefix(const QStringList& items, const QString& text) {
    // Compared in place, letter case folded: no text is copied for the items passed over.
    for (int i = 0; i < items.size(); ++i)
        if (items[i].startsWith(text, Qt::CaseInsensitive)) return i;
    return -1;
}
