#include "platform/Modal.h"

#include <QDialog>
#include <QFileDialog>
#include <QStringList>
#include <deque>

namespace modal {
namespace {
bool g_scripted = false;
std::deque<Handler> g_handlers;
int g_unexpected = 0;
QStringList g_captions;

Call runScripted(Call call) {
    g_captions << call.caption;
    if (g_handlers.empty()) {
        ++g_unexpected;
        return call;
    }
    Handler h = std::move(g_handlers.front());
    g_handlers.pop_front();
    h(call);
    return call;
}
}  // namespace

int exec(QDialog* dialog) {
    if (!g_scripted) return dialog->exec();
    Call call;
    call.dialog = dialog;
    call.kind = QStringLiteral("dialog");
    call.caption = dialog->windowTitle();
    dialog->setResult(0);
    dialog->show();
    call = runScripted(call);
    int result = call.result != 0 ? call.result : dialog->result();
    if (dialog->isVisible()) dialog->hide();
    return result;
}

QString openFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter) {
    if (!g_scripted) return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    Call call;
    call.kind = QStringLiteral("openFile");
    call.caption = caption;
    return runScripted(call).fileName;
}

QString saveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter) {
    if (!g_scripted) return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    Call call;
    call.kind = QStringLiteral("saveFile");
    call.caption = caption;
    return runScripted(call).fileName;
}

void pushHandler(Handler h) { g_handlers.push_back(std::move(h)); }
void clearHandlers() {
    g_handlers.clear();
    g_unexpected = 0;
    g_captions.clear();
}
bool scripted() { return g_scripted; }
void setScripted(bool on) { g_scripted = on; }
int pendingHandlers() { return static_cast<int>(g_handlers.size()); }
int unexpectedShows() { return g_unexpected; }
QStringList& shownCaptions() { return g_captions; }

}  // namespace modal
