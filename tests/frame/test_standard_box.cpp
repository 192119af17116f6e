#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <gtest/gtest.h>
#include <algorithm>

#include "frame/UVivanda.h"
#include "platform/Modal.h"
#include "platform/StandardBox.h"

// A refused start shows its lines as written: the box does not break them itself, a line too
// wide for it is broken into lines of about equal width, and every line keeps the text's indent.
TEST(StandardBox, ARefusedStartKeepsItsLinesAndTheirIndent) {
    modal::clearHandlers();
    modal::setScripted(true);
    const QString indent(8, QLatin1Char(' '));
    const QString text = indent + "La base de données ne peut pas être ouverte : son fichier ou son dossier\n" + indent +
                         "n'est pas accessible en lecture et en écriture :\n" + indent +
                         "/home/utilisateur/Vivanda/Data/vivanda.db";
    QString shown;
    bool boxWraps = true;
    modal::pushHandler([&](modal::Call& c) {
        auto* label = c.dialog->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        shown = label->text();
        boxWraps = label->wordWrap();
        c.dialog->accept();
    });
    ReportUnexpectedError(text);
    EXPECT_EQ(modal::pendingHandlers(), 0);
    EXPECT_FALSE(boxWraps);
    const QStringList lines = shown.split(QLatin1Char('\n'));
    ASSERT_GT(lines.size(), 3) << shown.toStdString();
    for (const QString& line : lines) {
        EXPECT_TRUE(line.startsWith(indent) && line.at(8) != QLatin1Char(' ')) << line.toStdString();
        // No word left alone on its line, but the path.
        if (!line.contains(QLatin1Char('/'))) EXPECT_GE(line.simplified().count(QLatin1Char(' ')), 2) << line.toStdString();
    }
    EXPECT_EQ(shown.simplified(), text.simplified());
    modal::clearHandlers();

    // A word wider than the width (a path) stays whole; a width of nothing does not loop.
    const QFontMetrics fm{QFont()};
    EXPECT_EQ(WrapIndentedLines(indent + "/un/très/long/chemin/vers/vivanda.db", fm, 20),
              indent + "/un/très/long/chemin/vers/vivanda.db");
    EXPECT_EQ(WrapIndentedLines("a b", fm, 0), "a\nb");
    // A line ends after the colon that leaves a line that fits.
    const QString head = indent + "La base de données est en lecture seule :";
    const QString tail = "son fichier ou son dossier est protégé en écriture";
    EXPECT_EQ(WrapIndentedLines(head + " " + tail, fm, std::max(fm.horizontalAdvance(head), fm.horizontalAdvance(indent + tail)) + 5), head + "\n" + indent + tail);
}
