#include "support/MessageScript.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "frame/Umessages.h"
#include "platform/Modal.h"

namespace {

// The name of the style icon a box shows.
QString IconName(const QLabel* symbol) {
    if (!symbol || symbol->pixmap().isNull()) return QString();
    const QImage shown = symbol->pixmap().toImage();
    for (const char* name : {"ERREUR", "QUESTION", "EXLAMATION", "INFORMATION"})
        if (MessageIcon(QString::fromLatin1(name)).toImage() == shown) return QString::fromLatin1(name);
    return QString();
}

void Record(MessageLog& log, const modal::Call& c) {
    log.captions << c.caption;
    auto* label = c.dialog->findChild<QLabel*>(QStringLiteral("LblMessage"));
    // The data-aware widgets' own error box is a QMessageBox.
    const auto* box = qobject_cast<const QMessageBox*>(c.dialog);
    log.texts << Flat(label ? label->text() : box ? box->text() : QString());
    log.icons << IconName(c.dialog->findChild<QLabel*>(QStringLiteral("ImageSymbole")));
}

}  // namespace

void AnswerNextMessageByKey(MessageLog& log, int key, QString* focused) {
    modal::pushHandler([&log, key, focused](modal::Call& c) {
        Record(log, c);
        c.dialog->activateWindow();
        QApplication::processEvents();
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != c.dialog) target = c.dialog;
        if (focused) *focused = target->objectName();
        QTest::keyClick(target, Qt::Key(key));
    });
}

void AnswerNextMessage(MessageLog& log, const char* button) {
    const QString name = QString::fromLatin1(button);
    modal::pushHandler([&log, name](modal::Call& c) {
        Record(log, c);
        // Only a button the box offers is clicked: "Oui" of a box that shows "OK" is not.
        if (auto* b = c.dialog->findChild<QPushButton*>(name); b && b->isVisible()) b->click();
    });
}
