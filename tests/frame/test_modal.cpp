#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <gtest/gtest.h>

#include "platform/Modal.h"

// The seam runs the queued answer with the dialog shown and returns its result without a loop.
TEST(ModalSeam, ScriptAnswersDialogAndCountsStrays) {
    modal::clearHandlers();
    QDialog dlg;
    dlg.setWindowTitle(QStringLiteral("Question"));
    auto* ok = new QPushButton(QStringLiteral("Oui"), &dlg);
    QObject::connect(ok, &QPushButton::clicked, &dlg, [&] { dlg.done(6); });
    modal::pushHandler([](modal::Call& c) {
        ASSERT_NE(c.dialog, nullptr);
        EXPECT_TRUE(c.dialog->isVisible());
        c.dialog->findChild<QPushButton*>()->click();
    });
    EXPECT_EQ(modal::exec(&dlg), 6);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(modal::unexpectedShows(), 0);
    modal::exec(&dlg);  // nobody answers this one
    EXPECT_EQ(modal::unexpectedShows(), 1);
    EXPECT_EQ(modal::shownCaptions(), QStringList({"Question", "Question"}));
    modal::pushHandler([](modal::Call& c) { c.fileName = QStringLiteral("/tmp/x.jpg"); });
    EXPECT_EQ(modal::openFileName(nullptr, "Image", "", ""), QStringLiteral("/tmp/x.jpg"));
    modal::clearHandlers();
}

// Whatever happened to the activation while a box was up (the widget with the focus gone, a
// window behind brought forward), the window in front before it is in front after it, the focus
// on the nearest widget left of those that had it, and the other child windows keep their order.
TEST(ModalSeam, TheChildWindowInFrontBeforeAShowIsInFrontAfterIt) {
    modal::clearHandlers();
    QMainWindow main;
    auto* area = new QMdiArea;
    main.setCentralWidget(area);
    QList<QLineEdit*> edits;
    QList<QMdiSubWindow*> subs;
    for (int i = 0; i < 3; ++i) {
        edits << new QLineEdit;
        subs << area->addSubWindow(edits.last());
        subs.last()->show();
    }
    main.show();
    main.activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &main);
    area->setActiveSubWindow(subs[1]);
    // The focus is in a cell editor of the window in front, which the box's caller closes.
    auto* editor = new QLineEdit(edits[1]);
    editor->show();
    editor->setFocus();
    QApplication::processEvents();
    const QList<QMdiSubWindow*> order = area->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(order.last(), subs[1]);

    QDialog box;
    modal::pushHandler([&](modal::Call&) {
        delete editor;
        area->setActiveSubWindow(subs[0]);
        edits[0]->setFocus();
        QApplication::processEvents();   // the box's own loop runs meanwhile
    });
    modal::exec(&box);
    QApplication::processEvents();
    EXPECT_EQ(area->activeSubWindow(), subs[1]);
    EXPECT_EQ(area->subWindowList(QMdiArea::StackingOrder), order);
    EXPECT_EQ(QApplication::activeWindow(), &main);
    EXPECT_EQ(QApplication::focusWidget(), edits[1]);
    EXPECT_EQ(modal::pendingHandlers(), 0);
}

// A child window opened right after the show (the window the question was asked for, once the
// pending changes of the other one are settled) stays in front.
TEST(ModalSeam, AChildWindowOpenedAfterTheShowKeepsTheFront) {
    modal::clearHandlers();
    QMainWindow main;
    auto* area = new QMdiArea;
    main.setCentralWidget(area);
    auto* first = new QLineEdit;
    area->addSubWindow(first)->show();
    main.show();
    main.activateWindow();
    first->setFocus();
    QApplication::processEvents();

    QDialog box;
    modal::pushHandler([](modal::Call&) {});
    modal::exec(&box);
    auto* opened = new QLineEdit;
    QMdiSubWindow* sub = area->addSubWindow(opened);
    sub->show();
    area->setActiveSubWindow(sub);
    opened->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(area->activeSubWindow(), sub);
    EXPECT_EQ(area->subWindowList(QMdiArea::StackingOrder).last(), sub);
}
