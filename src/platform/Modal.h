#pragma once
// The one place where the program shows something modally. In the running program each call runs
// the dialog's own loop; tests install a script that answers instead (clicks a button, fills
// fields, picks a file) so no nested event loop is ever entered.
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace modal {

// What a script sees of one modal show.
struct Call {
    QDialog* dialog = nullptr;   // the dialog shown, or nullptr for a file request
    QString kind;                // "dialog", "openFile", "saveFile"
    QString caption;             // window title of the dialog or the file request
    int result = 0;              // dialog: the value exec() returns (the script may set it)
    QString fileName;            // file requests: the chosen file ("" = cancelled)
};

using Handler = std::function<void(Call&)>;

// Shows a dialog modally and returns what exec() returns. Afterwards the window that was active
// before is active again, with its focused widget and its child windows in the same order. Under a script, the next handler runs
// with the dialog shown (not exec'd); the result is the dialog's result() after the handler,
// unless the handler set Call::result to something else than 0.
int exec(QDialog* dialog);

// File requests.
QString openFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter);
QString saveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter);

// Test side: queue answers, one per expected modal show.
void pushHandler(Handler h);
void clearHandlers();
bool scripted();                 // a script is installed (test mode)
void setScripted(bool on);       // tests switch the seam into script mode
int pendingHandlers();
int unexpectedShows();           // modal shows that found no handler while scripted
QStringList& shownCaptions();    // captions of every modal show while scripted, in order

}  // namespace modal
