#pragma once
// Context help: one non-modal window that shows the help page of a context number, taken from a
// folder of HTML pages named <context>.html (the `help` folder beside the executable).
#include <QDialog>
#include <QString>
#include <QTextBrowser>

class QWidget;

// The page area: follows links between the pages of the folder and, where a page is missing,
// shows a short message instead of an empty page.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr);

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;
};

// The help window itself ("Aide de Vivanda"). Closing it only hides it; the next request shows
// it again.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    HelpBrowser* browser() const { return browser_; }
    // Shows <helpFolder>/<context>.html.
    void showTopic(const QString& helpFolder, int context);
    // Shows a page of the folder by file name ("index.html").
    void showPage(const QString& helpFolder, const QString& fileName);

private:
    HelpBrowser* browser_;
};

// Opens the help window at a context number, or brings the open one forward on that page. The
// window belongs to the owner's top-level window, so it stays usable over a modal dialog that
// asked for it.
void OpenHelpTopic(QWidget* owner, const QString& helpFolder, int context);
// The same for a page named by its file ("index.html", the contents).
void OpenHelpPage(QWidget* owner, const QString& helpFolder, const QString& fileName);

// The help window if one exists (null before the first request or after its owner went away).
HelpWindow* currentHelpWindow();

// Text shown in place of a missing page.
QString missingHelpTopicText(const QString& path);
