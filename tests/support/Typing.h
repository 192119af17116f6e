#pragma once
// Typing into an edit as the user does, key by key (accented letters included, which
// QTest::keyClicks cannot send).
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

// Replaces the edit's whole text by `text`.
inline void Retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Pastes `text` at the cursor with Ctrl+V, as from another program (control characters too).
inline void Paste(QLineEdit* edit, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}
