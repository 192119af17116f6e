#include "data/TypedNumber.h"

#include <QLocale>
#include <cmath>

namespace {

bool hasControlCharacter(const QString& text) {
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) return true;
    return false;
}

QString boundText(double v) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);   // "10000": no separator to misread
    if (std::trunc(v) == v) return locale.toString(qlonglong(v));
    return locale.toString(v, 'g', 15);
}

// The typed text as a message may show it: control characters made visible, a long paste cut.
QString shownText(const QString& typed) {
    constexpr int kShown = 24;
    QString out;
    for (const QChar c : typed.trimmed()) {
        if (out.size() >= kShown) return out + QChar(0x2026);
        out += c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ? QChar(0xFFFD) : c;
    }
    return out;
}

}  // namespace

std::optional<double> ReadTypedNumber(const QString& text) {
    if (hasControlCharacter(text)) return std::nullopt;
    QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

bool WithinRule(double value, const NumberRule& rule) {
    if (!std::isfinite(value) || value < rule.low || value > rule.high) return false;
    return !rule.whole || std::trunc(value) == value;
}

namespace {
// "nombre entier de 1 à 125", "nombre de 0 à 10000 g"
QString rangeText(const NumberRule& rule) {
    QString range = QStringLiteral("nombre%1 de %2 à %3")
                        .arg(rule.whole ? QStringLiteral(" entier") : QString(), boundText(rule.low), boundText(rule.high));
    if (*rule.unit) range += QLatin1Char(' ') + QString::fromUtf8(rule.unit);
    return range;
}
}  // namespace

QString NumberRefusal(const QString& caption, const QString& typed, const NumberRule& rule) {
    return QStringLiteral("        %1 : « %2 » n'est pas un %3.").arg(caption, shownText(typed), rangeText(rule));
}

QString NumberRangeHint(const NumberRule& rule) {
    return QStringLiteral("        Valeur attendue : un %1.").arg(rangeText(rule));
}

std::optional<double> CheckTypedNumber(const QString& caption, const QString& text, const NumberRule& rule,
                                       QString* refusal) {
    const std::optional<double> v = ReadTypedNumber(text);
    if (v && WithinRule(*v, rule)) {
        if (refusal) refusal->clear();
        return v;
    }
    if (refusal) *refusal = NumberRefusal(caption, text, rule);
    return std::nullopt;
}
