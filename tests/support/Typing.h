#pragma once
// Typing into an edit as the user does, key by key (accented letters included, which
// QTest::keyClicks cannot send).
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

// Keys typed as the user types them: each to the widget that has the focus when it is typed
// (a grid's first key opens a cell editor, which takes the next ones), then Enter.
inline void TypeAtFocusAndEnter(const char* keys) {
    for (const char* k = keys; *k; ++k) QTest::keyClick(QApplication::focusWidget(), *k);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

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
