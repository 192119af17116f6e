#include "data/AccentFold.h"

#include <QLocale>

QString FoldAccents(const QString& text, bool toUpper) {
    if (text.isEmpty()) return QString();
    // Each accented lower-case letter and its plain spelling. The search functions of the
    // database call this once per row, so the text is folded in one pass.
    static const struct {
        char16_t from;
        const char* to;
    } table[] = {
        {u'è', "e"}, {u'é', "e"}, {u'ê', "e"}, {u'ë', "e"},
        {u'ù', "u"}, {u'ú', "u"}, {u'û', "u"}, {u'ü', "u"},
        {u'ò', "o"}, {u'ó', "o"}, {u'ô', "o"}, {u'ö', "o"},
        {u'ÿ', "y"},
        {u'à', "a"}, {u'á', "a"}, {u'â', "a"}, {u'ä', "a"},
        {u'ì', "i"}, {u'í', "i"}, {u'î', "i"}, {u'ï', "i"},
        {u'ç', "c"}, {u'œ', "oe"}, {u'æ', "ae"},
    };
    const QLocale locale;
    const QString lower = locale.toLower(text);
    QString out;
    out.reserve(lower.size() + 4);
    for (const QChar c : lower) {
        const char* plain = nullptr;
        if (c.unicode() >= 0xE0)
            for (const auto& entry : table)
                if (entry.from == c.unicode()) {
                    plain = entry.to;
                    break;
                }
        if (plain)
            out += QLatin1String(plain);
        else
            out += c;
    }
    return toUpper ? locale.toUpper(out) : out;
}
