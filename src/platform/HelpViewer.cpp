#include "platform/HelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPointer<HelpWindow> g_helpWindow;

}  // namespace

QString missingHelpTopicText(const QString& path) {
    return QStringLiteral("        Cette rubrique d'aide est introuvable : ") + path;
}

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("HelpBrowser"));
    setOpenLinks(true);
    setOpenExternalLinks(false);
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    // A link within the page, or a page that exists, is shown the usual way; a missing page gets
    // the message in its place (setting the text also makes the next request read its page anew).
    const bool missingPage = name.isLocalFile() && !name.fileName().isEmpty() &&
                             !QFileInfo(name.toLocalFile()).isFile();
    if (missingPage)
        setPlainText(missingHelpTopicText(QDir::toNativeSeparators(name.toLocalFile())));
    else
        QTextBrowser::doSetSource(name, type);
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new HelpBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Aide de Vivanda"));
    setModal(false);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    // The help window alone must not keep the program running once the frame is closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(620, 520);
}

void HelpWindow::showTopic(const QString& helpFolder, int context) {
    showPage(helpFolder, QString::number(context) + QStringLiteral(".html"));
}

void HelpWindow::showPage(const QString& helpFolder, const QString& fileName) {
    browser_->setSource(QUrl::fromLocalFile(QDir(helpFolder).absoluteFilePath(fileName)));
}

HelpWindow* currentHelpWindow() { return g_helpWindow.data(); }

void OpenHelpTopic(QWidget* owner, const QString& helpFolder, int context) {
    OpenHelpPage(owner, helpFolder, QString::number(context) + QStringLiteral(".html"));
}

void OpenHelpPage(QWidget* owner, const QString& helpFolder, const QString& fileName) {
    QWidget* parent = owner ? owner->window() : nullptr;
    HelpWindow* help = g_helpWindow.data();
    if (!help) {
        help = new HelpWindow(parent);
        g_helpWindow = help;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, help, &QObject::deleteLater);
        if (parent) {
            const QRect area = parent->frameGeometry();
            help->move(area.center() - QPoint(help->width() / 2, help->height() / 2));
        }
    } else if (help->parentWidget() != parent) {
        // Asked from another window (a dialog shown modally, for instance): the one window moves
        // over to it, where it stays reachable, keeping its place and size.
        const QRect geometry = help->geometry();
        help->setParent(parent, help->windowFlags());
        help->setGeometry(geometry);
    }
    help->showPage(helpFolder, fileName);
    help->show();
    help->raise();
    help->activateWindow();
}
