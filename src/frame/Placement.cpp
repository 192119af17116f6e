#include "frame/Placement.h"

#include <QMainWindow>
#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget> g_frame;
}

QWidget* frameWindow() { return g_frame.data(); }

void setFrameWindow(QWidget* frame) { g_frame = frame; }

void placeOverFrame(QWidget* dialog, int topOffset) {
    QWidget* frame = g_frame.data();
    if (!frame || !dialog) return;
    const QRect outer = frame->frameGeometry();
    const int clientWidth = frame->width();
    dialog->move(outer.left() + clientWidth / 2 - dialog->width() / 2, outer.top() + topOffset);
}
