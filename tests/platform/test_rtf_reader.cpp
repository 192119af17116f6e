#include <gtest/gtest.h>

#include "platform/RtfReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QStringList blocksOf(const QTextDocument& doc) {
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) blocks << b.text();
    return blocks;
}
// The character format of the first fragment holding `text`.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& text) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text().contains(text)) return it.fragment().charFormat();
    ADD_FAILURE() << "no run with " << text.toStdString();
    return {};
}

const char* kSample =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1 Times;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
    "{\\*\\generator Msftedit 5.41;}\\viewkind4\\uc1\\pard\\f0\\fs20 "
    "Cr\\'e8me br\\u251?l\\'e9e : {\\b temps de pr\\'e9paration} 20 min\\par\r\n"
    "{\\i Astuce} \\ul soulign\\'e9\\ulnone , \\cf1 rouge\\cf0 , \\fs28 grand\\fs20 , \\'80 5\\'a0\\u-4064?\\par\r\n"
    "{\\pict\\wmetafile8 0a0b0c}Accolades \\{ \\} et \\\\ barre\\tab fin\\line suite\\par\r\n"
    "\\uc0\\u8364 seul\\par\r\n"
    "}";

}  // namespace

TEST(RtfReader, ReadsParagraphsAccentsUnicodeAndCharacterFormats) {
    QTextDocument doc;
    rtf::read(QString::fromLatin1(kSample), &doc);
    const QStringList blocks = blocksOf(doc);
    ASSERT_GE(blocks.size(), 4);
    EXPECT_EQ(blocks[0], QStringLiteral("Crème brûlée : temps de préparation 20 min"));
    EXPECT_EQ(blocks[1], QStringLiteral("Astuce souligné, rouge, grand, € 5\u00A0\uF020"));   // \'a0, \u-4064
    EXPECT_EQ(blocks[2], QStringLiteral("Accolades { } et \\ barre\tfin\u2028suite"));
    EXPECT_EQ(blocks[3], QStringLiteral("€seul"));   // \uc0: nothing stands in after \u

    EXPECT_EQ(formatOf(doc, "Crème").fontWeight(), QFont::Normal);
    EXPECT_EQ(formatOf(doc, "temps de préparation").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(doc, " 20 min").fontWeight(), QFont::Normal);   // the group ended
    EXPECT_TRUE(formatOf(doc, "Astuce").fontItalic());
    EXPECT_TRUE(formatOf(doc, "souligné").fontUnderline());
    EXPECT_FALSE(formatOf(doc, "grand").fontUnderline());
    EXPECT_EQ(formatOf(doc, "rouge").foreground().color(), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(formatOf(doc, "grand").fontPointSize(), 14);
    EXPECT_DOUBLE_EQ(formatOf(doc, "Crème").fontPointSize(), 10);
    EXPECT_FALSE(doc.toPlainText().contains("Arial"));     // the font table is not text
    EXPECT_FALSE(doc.toPlainText().contains("Msftedit"));  // nor are \* destinations
    EXPECT_FALSE(doc.toPlainText().contains("0a0b0c"));    // nor pictures
    EXPECT_TRUE(rtf::toHtml(QString::fromLatin1(kSample)).contains("font-weight"));
}

TEST(RtfReader, RecognisesRtfAndLoadsCp1252Files) {
    EXPECT_TRUE(rtf::isRtf("  {\\rtf1 x}"));
    EXPECT_FALSE(rtf::isRtf("Une description simple"));
    EXPECT_EQ(rtf::fromCp1252(QByteArray("\x80 \x9c\xe9", 4)), QStringLiteral("€ œé"));
    QTemporaryDir dir;
    QFile file(dir.filePath("astuce.rtf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1\\ansi Bient\xf4t \\'e0 table\\par}");   // a raw cp1252 byte and an escape
    file.close();
    QTextDocument doc;
    ASSERT_TRUE(rtf::loadFile(file.fileName(), &doc));
    EXPECT_EQ(blocksOf(doc).first(), QStringLiteral("Bientôt à table"));
}

namespace {

QStringList shippedTexts() {
    const QDir aide(QStringLiteral(VIVANDA_SOURCE_DIR "/resources/Aide"));
    QStringList paths;
    for (const QString& name : aide.entryList({"*.rtf"}, QDir::Files)) paths << aide.filePath(name);
    return paths;
}

// Reads a text and lays it out at the width of the first-steps window's text pane.
QString readAndLayOut(const QByteArray& bytes) {
    QTextDocument doc;
    rtf::read(rtf::fromCp1252(bytes), &doc);
    doc.setTextWidth(270);
    EXPECT_LT(doc.size().height(), 1e6);
    return doc.toPlainText();
}

}  // namespace

TEST(RtfReader, EveryShippedTextReadsAsCleanFrenchWithATitle) {
    const QStringList paths = shippedTexts();
    ASSERT_EQ(paths.size(), 31);
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        QTextDocument doc;
        ASSERT_TRUE(rtf::loadFile(path, &doc));
        const QString text = doc.toPlainText();
        EXPECT_GT(text.size(), 150);
        // No control word, brace, font name or undecoded byte left in the text.
        for (const char* leak : {"\\", "{", "}", "MS Sans Serif", "\u00C3", "\uFFFD"})
            EXPECT_FALSE(text.contains(QString::fromUtf8(leak))) << leak;
        EXPECT_TRUE(text.contains(QRegularExpression(QString::fromUtf8("[éèàêç]"))));
        EXPECT_EQ(formatOf(doc, doc.begin().text()).fontWeight(), QFont::Bold);   // the title
    }
}

TEST(RtfReader, DamagedTextsShowWhatCanBeReadAndNeverCrash) {
    const QStringList paths = shippedTexts();
    ASSERT_FALSE(paths.isEmpty());
    QFile file(paths.first());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    QTextDocument full;
    rtf::read(rtf::fromCp1252(whole), &full);
    const QString title = full.begin().text();

    // Cut anywhere: what comes before the cut is shown.
    for (qsizetype cut = 0; cut <= whole.size(); cut += 7) {
        const QString text = readAndLayOut(whole.left(cut));
        if (cut > whole.indexOf("}\\par")) EXPECT_TRUE(text.startsWith(title)) << cut;
    }
    // Hostile pieces on their own and spliced into a real text after its title.
    const qsizetype afterTitle = whole.indexOf("}\\par") + 5;
    const QByteArray pieces[] = {
        QByteArray(5000, '{'), QByteArray(5000, '}'), "\\fs99999999 enorme", "\\fs-4 x", "\\u-99999?\\u70000?",
        "\\uc2000000000\\u233 abc", "\\'", "\\'z", "\\", "{\\*", "{\\colortbl\\red999\\green-1;}\\cf1 x\\cf-3 y",
        "\\b99999999999999999999 n", QByteArray("\0\xff\x81", 3), "{\\pict 0a0b", "\\par\\par\\par\\line\\tab",
    };
    std::srand(16);
    for (const QByteArray& piece : pieces) {
        readAndLayOut(piece);
        QByteArray spliced = whole;
        spliced.insert(afterTitle + std::rand() % (whole.size() - afterTitle), piece);
        EXPECT_TRUE(readAndLayOut(spliced).startsWith(title)) << piece.left(20).toStdString();
    }
    // Random bytes overwritten in the real text.
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = whole;
        for (int n = 0; n < 1 + round % 20; ++n) damaged[std::rand() % damaged.size()] = char(std::rand() % 256);
        readAndLayOut(damaged);
    }
    // The bounds: a huge size is read as the largest, a deep nest keeps the text.
    QTextDocument doc;
    rtf::read("{\\rtf1 \\fs99999 grand}", &doc);
    EXPECT_DOUBLE_EQ(formatOf(doc, "grand").fontPointSize(), 144);
    rtf::read(QString(300, '{') + "\\b profond" + QString(300, '}') + " suite", &doc);
    EXPECT_EQ(doc.toPlainText(), "profond suite");
    EXPECT_EQ(formatOf(doc, "suite").fontWeight(), QFont::Normal);
}

// Misspellings once found in the program's texts do not come back: string table, help pages,
// tips and sources (the tips' accents are written \'xx, so only their unaccented words count).
TEST(Spelling, NoKnownMisspellingInAnyText) {
    const QRegularExpression wrong(
        QStringLiteral("\\b(commencant|Reinitialiser|consomations?|Infèrieur|nutritve|dabors|déja|saisire|Saise|"
                       "ont étés|à été|y à|êtres saisies|admisent|besoins calorique)\\b|séléction|\\bA[ &]+propos|\\((en )?mm\\)"),
        QRegularExpression::UseUnicodePropertiesOption);
    int read = 0;
    for (const char* folder : {"/src", "/resources"})
        for (QDirIterator it(QStringLiteral(VIVANDA_SOURCE_DIR) + QLatin1String(folder), QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext(); ++read) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            EXPECT_FALSE(text.contains(wrong)) << file.fileName().toStdString() << ": " << wrong.match(text).captured().toStdString();
        }
    EXPECT_GT(read, 100);
}
