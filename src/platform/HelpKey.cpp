#include "platform/HelpKey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

class HelpKeyFilter : public QObject {
public:
    explicit HelpKeyFilter(HelpOpener open) : open_(std::move(open)) {}

protected:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (e->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(e)->key() != Qt::Key_F1)
            return false;
        QWidget* w = QApplication::focusWidget();
        if (!w) w = qobject_cast<QWidget*>(obj);
        if (!w) w = QApplication::activeWindow();
        const int context = HelpContextFor(w);
        if (context == 0) return false;
        QWidget* form = w;
        while (form && !form->property("HelpContext").isValid()) form = form->parentWidget();
        open_(form, context);
        return true;
    }

private:
    HelpOpener open_;
};

HelpKeyFilter* g_filter = nullptr;

}  // namespace

int HelpContextFor(QWidget* focus) {
    for (QWidget* w = focus; w; w = w->parentWidget()) {
        const QVariant v = w->property("HelpContext");
        if (v.isValid()) return v.toInt();
        if (w->isWindow()) break;
    }
    return 0;
}

void InstallHelpKey(HelpOpener open) {
    if (g_filter) {
        qApp->removeEventFilter(g_filter);
        delete g_filter;
    }
    g_filter = new HelpKeyFilter(std::move(open));
    qApp->installEventFilter(g_filter);
}
