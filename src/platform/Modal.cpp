#include "platform/Modal.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <memory>

namespace modal {
namespace {
bool g_scripted = false;
std::deque<Handler> g_handlers;
int g_unexpected = 0;
QStringList g_captions;

// What was in front before a modal show: the active window, the widget with the focus, and for
// each child-window area of that window its active child and the children's stacking order.
// Closing the modal hands the activation back to whatever Qt and the window manager pick (a child
// window behind comes to the front when the widget that had the focus went away meanwhile); the
// state is put back when the modal returns, and once more after the events it left behind, unless
// a child window opened meanwhile.
class FrontState {
public:
    explicit FrontState(QDialog* dialog) {
        window_ = QApplication::activeWindow();
        if (!window_ || window_ == dialog) {
            window_ = nullptr;
            return;
        }
        // The focused widget and its parents: a cell editor closed meanwhile hands over to its grid.
        for (QWidget* w = QApplication::focusWidget(); w && w != window_; w = w->parentWidget()) focus_ << w;
        for (QMdiArea* area : window_->findChildren<QMdiArea*>()) {
            Area a{area, area->activeSubWindow(), {}};
            for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::StackingOrder)) a.stack << sub;
            areas_ << a;
        }
    }

    bool empty() const { return !window_; }

    void restore() const {
        if (!window_ || !window_->isVisible()) return;
        // A child window opened since the show (the one the question was asked for) keeps the
        // front and the focus.
        for (const Area& a : areas_)
            if (a.area && a.area->activeSubWindow() && !a.stack.contains(a.area->activeSubWindow())) {
                if (QApplication::activeWindow() != window_) window_->activateWindow();
                return;
            }
        for (const Area& a : areas_) {
            if (!a.area) continue;
            QList<QMdiSubWindow*> saved;
            for (const QPointer<QMdiSubWindow>& sub : a.stack)
                if (sub) saved << sub;
            QList<QMdiSubWindow*> now = a.area->subWindowList(QMdiArea::StackingOrder);
            now.removeIf([&saved](QMdiSubWindow* sub) { return !saved.contains(sub); });
            if (now != saved)
                for (QMdiSubWindow* sub : saved) sub->raise();   // bottom first: the order comes back
            if (a.active && a.area->activeSubWindow() != a.active) a.area->setActiveSubWindow(a.active);
        }
        if (QApplication::activeWindow() != window_) window_->activateWindow();
        // The second pass leaves the focus where the caller put it once the modal returned (the
        // needs dialog's "Ok" hands it to the objective edit).
        QWidget* now = window_->focusWidget();
        if (firstPassDone_ && now && now != restoredFocus_ && now->isVisible()) {
            if (QApplication::focusWidget() != now) now->setFocus(Qt::OtherFocusReason);
            return;
        }
        firstPassDone_ = true;
        // Also while the window is not active yet: this is the widget it gives the focus to when
        // it is activated again, rather than the next one in the tab chain (maybe in a child
        // window behind).
        for (const QPointer<QWidget>& w : focus_) {
            if (!w || !w->isVisible() || w->focusPolicy() == Qt::NoFocus) continue;
            if (QApplication::focusWidget() != w) w->setFocus(Qt::OtherFocusReason);
            break;
        }
        restoredFocus_ = window_->focusWidget();
    }

private:
    struct Area {
        QPointer<QMdiArea> area;
        QPointer<QMdiSubWindow> active;
        QList<QPointer<QMdiSubWindow>> stack;   // bottom to top
    };
    QPointer<QWidget> window_;
    QList<QPointer<QWidget>> focus_;   // the focused widget first, then its parents
    // The first pass ran, leaving the window's focus on restoredFocus_.
    mutable bool firstPassDone_ = false;
    mutable QPointer<QWidget> restoredFocus_;
    QList<Area> areas_;
};

// Puts the front back when it goes out of scope, then again once the pending events ran.
class FrontGuard {
public:
    explicit FrontGuard(QDialog* dialog) : state_(std::make_shared<FrontState>(dialog)) {}
    FrontGuard(const FrontGuard&) = delete;
    FrontGuard& operator=(const FrontGuard&) = delete;
    ~FrontGuard() {
        if (state_->empty()) return;
        state_->restore();
        QTimer::singleShot(0, qApp, [state = state_] { state->restore(); });
    }

private:
    std::shared_ptr<FrontState> state_;
};

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
    const FrontGuard front(dialog);
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
