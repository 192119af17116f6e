#include <gtest/gtest.h>

#include "platform/RtfReader.h"

#include <QFile>
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
    "{\\i Astuce} \\ul soulign\\'e9\\ulnone , \\cf1 rouge\\cf0 , \\fs28 grand\\fs20 , \\'80 5\\par\r\n"
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
    EXPECT_EQ(blocks[1], QStringLiteral("Astuce souligné, rouge, grand, € 5"));
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
    const QString path = dir.filePath("astuce.rtf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1\\ansi Bient\xf4t \\'e0 table\\par}");   // a raw cp1252 byte and an escape
    file.close();
    QTextDocument doc;
    ASSERT_TRUE(rtf::loadFile(path, &doc));
    EXPECT_EQ(blocksOf(doc).first(), QStringLiteral("Bientôt à table"));

    doc.setPlainText("inchangé");
    EXPECT_FALSE(rtf::loadFile(dir.filePath("absent.rtf"), &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("inchangé"));
}
