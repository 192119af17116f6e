#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "platform/HelpViewer.h"

namespace {

void writePage(const QString& folder, const QString& name, const QString& title, const QString& body) {
    QFile f(QDir(folder).filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                           "<body><h1>%1</h1>%2</body></html>")
                .arg(title, body)
                .toUtf8());
}

// Follows the first link of the page the way a user does from the keyboard.
void followFirstLink(QTextBrowser* browser) {
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
}

}  // namespace

TEST(HelpViewer, OpensTopicsInOneWindowFollowsLinksAndReportsMissingPages) {
    QTemporaryDir dir;
    writePage(dir.path(), "10.html", QStringLiteral("Fenêtre principale"),
              QStringLiteral("<p><a href=\"150.html\">Consommation journalière</a></p>"));
    writePage(dir.path(), "150.html", QStringLiteral("Consommation journalière"),
              QStringLiteral("<p><a href=\"404.html\">Page disparue</a></p>"));
    const auto missing = [&](const char* page) {
        return QStringLiteral("        Cette rubrique d'aide est introuvable : ") +
               QDir::toNativeSeparators(QDir(dir.path()).filePath(page));
    };

    QMainWindow frame;
    frame.show();
    OpenHelpTopic(&frame, dir.path(), 10);
    HelpWindow* help = currentHelpWindow();
    ASSERT_NE(help, nullptr);
    QTextBrowser* browser = help->browser();
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->isModal());
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("Fenêtre principale"));
    // Wide and high enough to read a page, not shrunk to its smallest.
    EXPECT_EQ(help->size(), QSize(620, 520));

    // A link leads to the other page; a link to a page that is gone shows the message.
    followFirstLink(browser);
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("Consommation journalière"));
    followFirstLink(browser);
    EXPECT_EQ(browser->toPlainText(), missing("404.html"));

    // Another request reuses the one window, closed or not; a missing number gives the message,
    // and the page asked for next comes back.
    help->close();
    for (int topic : {150, 999, 150}) {
        OpenHelpTopic(&frame, dir.path(), topic);
        EXPECT_EQ(currentHelpWindow(), help);
        EXPECT_TRUE(help->isVisible());
        if (topic == 999) EXPECT_EQ(browser->toPlainText(), missing("999.html"));
        else EXPECT_EQ(browser->documentTitle(), QStringLiteral("Consommation journalière"));
    }
    EXPECT_FALSE(browser->toPlainText().contains(QStringLiteral("introuvable")));

    // Asked from a dialog, the same window moves over to it and stays usable there.
    QDialog dialog(&frame);
    dialog.show();
    OpenHelpTopic(&dialog, dir.path(), 10);
    EXPECT_EQ(currentHelpWindow(), help);
    EXPECT_EQ(help->parentWidget(), &dialog);
    EXPECT_TRUE(help->isVisible() && help->isWindow());
    EXPECT_EQ(help->size(), QSize(620, 520));
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("Fenêtre principale"));

    delete help;
    EXPECT_EQ(currentHelpWindow(), nullptr);
}

// The pages shipped with the program: every context number the windows ask for has its page,
// the index links them all, and every link between pages leads to an existing page.
TEST(HelpViewer, ShippedPagesCoverEveryContextAndLinkToExistingPages) {
    const QDir folder(QStringLiteral(VIVANDA_SOURCE_DIR "/resources/help"));
    const QList<int> contexts = {10, 20, 30, 40, 50, 60, 90, 100, 110, 130, 140, 150, 170, 180, 190, 200,
                                 230, 260, 270};
    QFile indexFile(folder.filePath("index.html"));
    ASSERT_TRUE(indexFile.open(QIODevice::ReadOnly));
    const QString index = QString::fromUtf8(indexFile.readAll());
    for (int context : contexts) {
        const QString name = QString::number(context) + ".html";
        EXPECT_TRUE(folder.exists(name)) << name.toStdString();
        EXPECT_TRUE(index.contains("href=\"" + name + "\"")) << name.toStdString();
    }
    const QRegularExpression href(QStringLiteral("href=\"([^\"#]*)[^\"]*\""));
    const QRegularExpression remote(QStringLiteral("(src|href)=\"(https?|ftp|file):"));
    for (const QString& name : folder.entryList({"*.html"}, QDir::Files)) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString page = QString::fromUtf8(f.readAll());
        EXPECT_FALSE(page.contains(remote)) << name.toStdString();
        EXPECT_TRUE(page.contains("<title>")) << name.toStdString();
        for (auto it = href.globalMatch(page); it.hasNext();) {
            const QString target = it.next().captured(1);
            if (!target.isEmpty())
                EXPECT_TRUE(folder.exists(target)) << name.toStdString() << " -> " << target.toStdString();
        }
    }
}
