#include "platform/report/NumberMask.h"

#include <QDate>
#include <QDateTime>
#include <cmath>

namespace report {
namespace {

struct MaskShape {
    int minInteger = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
};

MaskShape parseMask(const QString& mask) {
    MaskShape shape;
    const qsizetype point = mask.indexOf(QLatin1Char('.'));
    const QString integerPart = point < 0 ? mask : mask.left(point);
    const QString decimalPart = point < 0 ? QString() : mask.mid(point + 1);
    shape.minInteger = static_cast<int>(integerPart.count(QLatin1Char('0')));
    for (QChar c : decimalPart) {
        if (c == QLatin1Char('0')) {
            ++shape.maxDecimals;
            shape.minDecimals = shape.maxDecimals;
        } else if (c == QLatin1Char('#')) {
            ++shape.maxDecimals;
        }
    }
    return shape;
}

// The decimal digits of |value| rounded half away from zero to `decimals` places, as an
// integer digit string and a decimal digit string (exactly `decimals` long).
void roundedDigits(double value, int decimals, QString& integerDigits, QString& decimalDigits) {
    // 15 significant digits: the precision the stored doubles really carry, so that
    // 78.00000000000001 is 78 and 1.005 is 1.005 before rounding.
    const QString sci = QString::number(std::fabs(value), 'e', 14);  // d.dddddddddddddde+XX
    const qsizetype e = sci.indexOf(QLatin1Char('e'));
    QString mantissa = sci.left(e);
    mantissa.remove(QLatin1Char('.'));
    const int exponent = sci.mid(e + 1).toInt();
    // Digits with the decimal point after position pointPos.
    QString digits = mantissa;
    int pointPos = exponent + 1;
    if (pointPos <= 0) {
        digits.prepend(QString(1 - pointPos, QLatin1Char('0')));
        pointPos = 1;
    }
    if (digits.size() < pointPos + decimals + 1)
        digits.append(QString(pointPos + decimals + 1 - digits.size(), QLatin1Char('0')));
    const bool roundUp = digits.at(pointPos + decimals) >= QLatin1Char('5');
    digits.truncate(pointPos + decimals);
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0) {
            if (digits.at(i) == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
                --i;
            } else {
                digits[i] = QChar(digits.at(i).unicode() + 1);
                break;
            }
        }
        if (i < 0) {
            digits.prepend(QLatin1Char('1'));
            ++pointPos;
        }
    }
    integerDigits = digits.left(pointPos);
    decimalDigits = digits.mid(pointPos);
    while (integerDigits.size() > 1 && integerDigits.startsWith(QLatin1Char('0'))) integerDigits.remove(0, 1);
}

bool numberOf(const QVariant& value, double& out) {
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        out = value.toDouble();
        return true;
    case QMetaType::QString: {
        bool ok = false;
        out = value.toString().trimmed().toDouble(&ok);
        return ok;
    }
    default:
        return false;
    }
}

}  // namespace

QString formatNumber(double value, const QString& mask, const QLocale& locale) {
    if (std::isnan(value) || std::isinf(value)) return QString();
    const MaskShape shape = parseMask(mask);
    QString integerDigits, decimalDigits;
    roundedDigits(value, shape.maxDecimals, integerDigits, decimalDigits);
    while (decimalDigits.size() > shape.minDecimals && decimalDigits.endsWith(QLatin1Char('0')))
        decimalDigits.chop(1);
    if (integerDigits == QLatin1String("0") && shape.minInteger == 0 && !decimalDigits.isEmpty())
        integerDigits.clear();
    if (integerDigits.size() < shape.minInteger)
        integerDigits.prepend(QString(shape.minInteger - integerDigits.size(), QLatin1Char('0')));
    bool zero = true;
    for (QChar c : integerDigits + decimalDigits)
        if (c != QLatin1Char('0')) zero = false;
    QString text = integerDigits;
    if (!decimalDigits.isEmpty()) text += locale.decimalPoint() + decimalDigits;
    if (value < 0 && !zero) text.prepend(locale.negativeSign());
    return text;
}

QString formatPlain(const QVariant& value, const QLocale& locale) {
    if (!value.isValid() || value.isNull()) return QString();
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return plain.toString(value.toDouble(), 'g', 15);
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
        return plain.toString(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULongLong:
        return plain.toString(value.toULongLong());
    case QMetaType::QDate:
        return locale.toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime:
        return locale.toString(value.toDateTime(), QLocale::ShortFormat);
    default:
        return value.toString();
    }
}

QString formatValue(const QVariant& value, const QString& mask, const QLocale& locale) {
    if (mask.isEmpty()) return formatPlain(value, locale);
    if (!value.isValid() || value.isNull()) return QString();
    double number = 0;
    if (numberOf(value, number)) return formatNumber(number, mask, locale);
    return value.toString();
}

}  // namespace report
