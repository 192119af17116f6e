#include "support/MessageScript.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "platform/Modal.h"

void AnswerNextMessage(MessageLog& log, const char* button) {
    const QString name = QString::fromLatin1(button);
    modal::pushHandler([&log, name](modal::Call& c) {
        log.captions << c.caption;
        auto* label = c.dialog->findChild<QLabel*>(QStringLiteral("LblMessage"));
        log.texts << Flat(label ? label->text() : QString());
        if (auto* b = c.dialog->findChild<QPushButton*>(name)) b->click();
    });
}
