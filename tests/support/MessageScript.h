#pragma once
// Answers for ShowMessageBox in widget tests: each call queues one answer through the modal
// seam that records the box's caption and text, then clicks the given button. The box wraps
// long texts with line feeds of its own, so texts are recorded without any line feed; compare
// them with Flat(expected).
#include <QString>
#include <QStringList>

inline QString Flat(QString text) { return text.remove(QLatin1Char('\n')); }

struct MessageLog {
    QStringList captions;
    QStringList texts;
    QStringList icons;   // "ERREUR", "QUESTION", "EXLAMATION", "INFORMATION", or "" for another
    int count() const { return int(texts.size()); }
};

// Queues the answer for the next message box (the data-aware widgets' "Erreur" box too); `button` is "BtnOk", "BtnOui" or "BtnNon", clicked
// only when the box shows it (a box of the wrong style is left unanswered).
void AnswerNextMessage(MessageLog& log, const char* button = "BtnOk");

// Queues an answer given from the keyboard: the box is made the active window, as on screen, and
// `key` goes to the widget that has the focus there. `focused` receives that widget's name.
void AnswerNextMessageByKey(MessageLog& log, int key, QString* focused = nullptr);
