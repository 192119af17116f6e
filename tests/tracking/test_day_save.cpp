// The day's save without the window: the weight check and the numbers read from the edits; and the
// date dialog's weight, "Ok" protocol and help key.
#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "frame/AppState.h"
#include "platform/HelpViewer.h"
#include "platform/Modal.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "tracking/DaySave.h"
#include "tracking/Useldate.h"

TEST(DaySave, WeightAndNumbersOfTheEdits) {
    FrenchLocaleGuard french;
    for (const char* good : {"", "0", "72,5", "72.5", "250"}) EXPECT_TRUE(IsAcceptableDayWeight(QString::fromLatin1(good))) << good;
    for (const char* bad : {"300", "-1", "250,5", "abc", "72.5x"})
        EXPECT_FALSE(IsAcceptableDayWeight(QString::fromLatin1(bad))) << bad;
    double v = -1;   // "72,5" and an empty weight: see the window's save
    EXPECT_FALSE(DaySaveNumber(QStringLiteral("12a"), &v));
}

TEST(SelDate, RefusedWeightKeepsTheDialogOpenForOneClick) {
    FrenchLocaleGuard french;
    modal::clearHandlers();
    TFSelDate dialog;
    MessageLog log;
    modal::pushHandler([&](modal::Call& c) {
        // A weight out of range: refused, emptied, and the click that left the edit does not close.
        dialog.EdtPoids->setText(QStringLiteral("300"));
        AnswerNextMessage(log);
        dialog.EdtPoidsExit();
        EXPECT_TRUE(dialog.EdtPoids->text().isEmpty());
        dialog.BtnOkClick();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.Validated, 0);
        // A click whose press left the edit loses its release to the message box: once that
        // press is over, the next click closes.
        dialog.EdtPoids->setText(QStringLiteral("-1"));
        AnswerNextMessage(log);
        dialog.EdtPoidsExit();
        QCoreApplication::processEvents();
        EXPECT_EQ(CloseAllowed, 1);
        // A decimal comma is accepted; in the calendar the arrows move the day and Enter presses "Ok".
        dialog.EdtPoids->setText(QStringLiteral("72,5"));
        dialog.MonthCalendar->setSelectedDate(QDate(2026, 3, 15));
        QTest::keyClick(dialog.MonthCalendar->focusProxy(), Qt::Key_Right);
        QTest::keyClick(dialog.MonthCalendar->focusProxy(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        c.result = dialog.result();
    });
    EXPECT_EQ(modal::exec(&dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.Validated, 1);
    EXPECT_EQ(dialog.MonthCalendar->selectedDate(), QDate(2026, 3, 16));
    EXPECT_EQ(log.texts, QStringList(2, "        Valeur non valide pour un poids !        Valeur attendue : un nombre de 0 à 250 kg."));

    // Shown again and closed by its close box with a bad weight still being typed: not validated,
    // whatever the last showing did, and no word about the weight given up.
    modal::pushHandler([&](modal::Call&) {
        QApplication::setActiveWindow(&dialog);
        dialog.EdtPoids->clear();
        dialog.EdtPoids->setFocus();
        QTest::keyClicks(dialog.EdtPoids, QStringLiteral("300"));
        dialog.reject();
    });
    modal::exec(&dialog);
    EXPECT_EQ(dialog.Validated, 0);
    EXPECT_EQ(log.count(), 2);
    EXPECT_EQ(modal::unexpectedShows(), 0);
}

TEST(SelDate, HelpKeyOpensTheHelpContents) {
    appState().HelpFilePath = QStringLiteral(VIVANDA_SOURCE_DIR "/resources/help");
    TFSelDate dialog;
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_NE(currentHelpWindow(), nullptr);
    EXPECT_EQ(currentHelpWindow()->browser()->source().fileName(), QStringLiteral("index.html"));
    resetAppState();
}

