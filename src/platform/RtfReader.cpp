#include "platform/RtfReader.h"

#include <QColor>
#include <algorithm>
#include <QFile>
#include <QList>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>

namespace rtf {
namespace {

QChar cp1252(unsigned char byte) {
    // 0x80-0x9F differ from Latin-1; the five unassigned bytes map to themselves.
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0) return QChar(high[byte - 0x80]);
    return QChar(byte);
}

// Bounds that keep a damaged file readable: group depth, and font sizes (in half points) from
// 4 to 144 points.
constexpr qsizetype kMaxDepth = 256;
constexpr int kMinHalfPoints = 8;
constexpr int kMaxHalfPoints = 288;

// Character state of one group.
struct State {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;      // 0 = the document's default size
    int colorIndex = 0;      // 0 = the default colour
    int unicodeSkip = 1;     // characters standing in after a \u
    bool skip = false;       // inside a destination that is not text
    bool colorTable = false;
};

// Destinations whose content is not text.
bool isSkippedDestination(const QString& word) {
    static const QStringList words = {
        QStringLiteral("fonttbl"),     QStringLiteral("stylesheet"),  QStringLiteral("info"),
        QStringLiteral("pict"),        QStringLiteral("header"),      QStringLiteral("headerl"),
        QStringLiteral("headerr"),     QStringLiteral("headerf"),     QStringLiteral("footer"),
        QStringLiteral("footerl"),     QStringLiteral("footerr"),     QStringLiteral("footerf"),
        QStringLiteral("fldinst"),     QStringLiteral("object"),      QStringLiteral("listtable"),
        QStringLiteral("listoverridetable"), QStringLiteral("revtbl"), QStringLiteral("rsidtbl"),
        QStringLiteral("filetbl"),     QStringLiteral("footnote"),    QStringLiteral("xmlnstbl"),
        QStringLiteral("themedata"),   QStringLiteral("colorschememapping"), QStringLiteral("latentstyles"),
        QStringLiteral("datastore"),   QStringLiteral("generator"),   QStringLiteral("pgdsctbl")};
    return words.contains(word);
}

class Reader {
public:
    Reader(const QString& text, QTextDocument* document) : text_(text), cursor_(document) {
        document->clear();
        cursor_ = QTextCursor(document);
    }

    void run() {
        while (pos_ < text_.size()) {
            const QChar c = text_.at(pos_);
            if (c == QLatin1Char('{')) {
                ++pos_;
                flush();
                // Groups nested deeper than any real text share their parent's state.
                if (stack_.size() < kMaxDepth) stack_.push_back(state_);
                else ++flatGroups_;
                destinationStart_ = true;
            } else if (c == QLatin1Char('}')) {
                ++pos_;
                flush();
                if (state_.colorTable) finishColorTable();
                if (flatGroups_ > 0) --flatGroups_;
                else if (!stack_.isEmpty()) state_ = stack_.takeLast();
                destinationStart_ = false;
                pendingSkip_ = 0;   // the stand-ins of a \u never run past its group
            } else if (c == QLatin1Char('\\')) {
                ++pos_;
                controlWord();
            } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                ++pos_;
            } else {
                ++pos_;
                destinationStart_ = false;
                text(c);
            }
        }
        flush();
    }

private:
    void text(QChar c) {
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        if (state_.colorTable) {
            if (c == QLatin1Char(';')) {
                colors_ << (colorSet_ ? QColor(red_, green_, blue_) : QColor());
                red_ = green_ = blue_ = 0;
                colorSet_ = false;
            }
            return;
        }
        if (state_.skip) return;
        if (!(state_.bold == written_.bold && state_.italic == written_.italic &&
              state_.underline == written_.underline && state_.halfPoints == written_.halfPoints &&
              state_.colorIndex == written_.colorIndex))
            flush();
        pending_ += c;
        written_ = state_;
    }

    void flush() {
        if (pending_.isEmpty()) return;
        QTextCharFormat format;
        format.setFontWeight(written_.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(written_.italic);
        format.setFontUnderline(written_.underline);
        if (written_.halfPoints > 0) format.setFontPointSize(std::clamp(written_.halfPoints, kMinHalfPoints, kMaxHalfPoints) / 2.0);
        if (written_.colorIndex > 0 && written_.colorIndex < colors_.size() && colors_.at(written_.colorIndex).isValid())
            format.setForeground(colors_.at(written_.colorIndex));
        cursor_.insertText(pending_, format);
        pending_.clear();
    }

    void finishColorTable() { state_.colorTable = false; }

    void paragraph() {
        if (state_.skip || state_.colorTable) return;
        flush();
        cursor_.insertBlock();
    }

    void special(QChar c) {
        if (state_.skip || state_.colorTable) return;
        text(c);
    }

    void controlWord() {
        if (pos_ >= text_.size()) return;
        const QChar c = text_.at(pos_);
        if (!c.isLetter()) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        const qsizetype start = pos_;
        while (pos_ < text_.size() && text_.at(pos_).isLetter() && text_.at(pos_).unicode() < 128) ++pos_;
        const QString word = text_.mid(start, pos_ - start);
        bool hasParam = false;
        int param = 0;
        const qsizetype numberStart = pos_;
        if (pos_ < text_.size() && text_.at(pos_) == QLatin1Char('-')) ++pos_;
        while (pos_ < text_.size() && text_.at(pos_).isDigit()) ++pos_;
        if (pos_ > numberStart) {
            bool ok = false;
            param = text_.mid(numberStart, pos_ - numberStart).toInt(&ok);
            hasParam = ok;
            if (!ok) pos_ = numberStart;
        }
        if (pos_ < text_.size() && text_.at(pos_) == QLatin1Char(' ')) ++pos_;
        const bool atDestinationStart = destinationStart_;
        destinationStart_ = false;
        apply(word, hasParam, param, atDestinationStart);
    }

    void controlSymbol(QChar c) {
        const bool atDestinationStart = destinationStart_;
        destinationStart_ = false;
        switch (c.toLatin1()) {
        case '\\':
        case '{':
        case '}':
            text(c);
            return;
        case '\'': {
            const QString hex = text_.mid(pos_, 2);
            pos_ += hex.size();
            bool ok = false;
            const int byte = hex.toInt(&ok, 16);
            if (ok) text(cp1252(static_cast<unsigned char>(byte)));
            return;
        }
        case '*':
            if (atDestinationStart) starDestination_ = true;
            destinationStart_ = atDestinationStart;   // the destination's word follows
            return;
        case '~':
            special(QChar(0x00A0));
            return;
        case '_':
            special(QChar(0x2011));
            return;
        case '\r':
        case '\n':
            paragraph();
            return;
        default:   // \- (optional hyphen) and unknown symbols print nothing
            return;
        }
    }

    void apply(const QString& word, bool hasParam, int param, bool atDestinationStart) {
        if (atDestinationStart && (starDestination_ || isSkippedDestination(word))) {
            starDestination_ = false;
            if (word == QLatin1String("colortbl")) {
                state_.colorTable = true;
                return;
            }
            state_.skip = true;
            return;
        }
        starDestination_ = false;
        if (word == QLatin1String("colortbl")) {
            state_.colorTable = true;
            return;
        }
        const bool on = !hasParam || param != 0;
        if (state_.colorTable) {
            if (word == QLatin1String("red")) red_ = param, colorSet_ = true;
            else if (word == QLatin1String("green")) green_ = param, colorSet_ = true;
            else if (word == QLatin1String("blue")) blue_ = param, colorSet_ = true;
            return;
        }
        if (word == QLatin1String("par")) paragraph();
        else if (word == QLatin1String("line")) special(QChar(QChar::LineSeparator));
        else if (word == QLatin1String("tab")) special(QLatin1Char('\t'));
        else if (word == QLatin1String("b")) state_.bold = on;
        else if (word == QLatin1String("i")) state_.italic = on;
        else if (word == QLatin1String("ul")) state_.underline = on;
        else if (word == QLatin1String("ulnone")) state_.underline = false;
        else if (word == QLatin1String("fs")) state_.halfPoints = hasParam ? param : 0;
        else if (word == QLatin1String("cf")) state_.colorIndex = hasParam ? param : 0;
        else if (word == QLatin1String("plain")) {
            state_.bold = state_.italic = state_.underline = false;
            state_.halfPoints = 0;
            state_.colorIndex = 0;
        } else if (word == QLatin1String("uc")) state_.unicodeSkip = hasParam ? std::clamp(param, 0, 16) : 1;
        else if (word == QLatin1String("u") && hasParam) {
            int code = param < 0 ? param + 65536 : param;
            if (code < 0 || code > 0xFFFF) code = 0xFFFD;   // not a 16-bit unit: shown as unreadable
            pendingSkip_ = 0;
            text(QChar(static_cast<char16_t>(code)));
            pendingSkip_ = state_.unicodeSkip;
        } else if (word == QLatin1String("emdash")) special(QChar(0x2014));
        else if (word == QLatin1String("endash")) special(QChar(0x2013));
        else if (word == QLatin1String("bullet")) special(QChar(0x2022));
        else if (word == QLatin1String("lquote")) special(QChar(0x2018));
        else if (word == QLatin1String("rquote")) special(QChar(0x2019));
        else if (word == QLatin1String("ldblquote")) special(QChar(0x201C));
        else if (word == QLatin1String("rdblquote")) special(QChar(0x201D));
        // Other words (fonts, paragraph layout, document settings) do not change the text.
    }

    QString text_;
    qsizetype pos_ = 0;
    QTextCursor cursor_;
    State state_;
    State written_;
    QList<State> stack_;
    QString pending_;
    QVector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;
    bool destinationStart_ = false;
    bool starDestination_ = false;
    int pendingSkip_ = 0;
    int flatGroups_ = 0;
};

}  // namespace

bool isRtf(const QString& text) {
    return text.trimmed().startsWith(QLatin1String("{\\rtf"));
}

void read(const QString& rtfText, QTextDocument* document) {
    if (!document) return;
    Reader(rtfText, document).run();
}

QString toHtml(const QString& rtfText) {
    QTextDocument document;
    read(rtfText, &document);
    return document.toHtml();
}

QString fromCp1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes) text += cp1252(static_cast<unsigned char>(b));
    return text;
}

bool loadFile(const QString& path, QTextDocument* document) {
    QFile file(path);
    if (!document || !file.open(QIODevice::ReadOnly)) return false;
    read(fromCp1252(file.readAll()), document);
    return true;
}

}  // namespace rtf
