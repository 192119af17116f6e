#include <QDialog>
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
