// Misspellings once found in the program's texts do not come back: the string table, the help
// pages, the tips (RTF, accents written \'xx) and the sources.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

TEST(Spelling, NoKnownMisspellingInAnyText) {
    const QRegularExpression wrong(
        QStringLiteral("\\b(commencant|Reinitialiser|consomations?|Infèrieur|nutritve|dabors|déja|saisire|Saise|"
                       "ont étés|à été|y à|êtres saisies)\\b|séléction|\\bA[ &]+propos|\\(en mm\\)"),
        QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpression rtfByte(QStringLiteral("\\\\'([0-9a-f]{2})"));
    int read = 0;
    for (const char* folder : {"/src", "/resources"})
        for (QDirIterator it(QStringLiteral(VIVANDA_SOURCE_DIR) + QLatin1String(folder),
                             {"*.cpp", "*.h", "*.tsv", "*.html", "*.rtf"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext(); ++read) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const bool rtf = file.fileName().endsWith(QLatin1String(".rtf"));
            QString text = rtf ? QString::fromLatin1(file.readAll()) : QString::fromUtf8(file.readAll());
            for (QRegularExpressionMatch m; (m = rtfByte.match(text)).hasMatch();)
                text.replace(m.capturedStart(), 4, QChar(m.captured(1).toInt(nullptr, 16)));
            EXPECT_FALSE(text.contains(wrong)) << file.fileName().toStdString() << ": " << wrong.match(text).captured().toStdString();
        }
    EXPECT_GT(read, 100);
}
