#include "reference/EditorWindow.h"

#include <QCloseEvent>
#include <QTimer>
#include <exception>

#include "data/Database.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"

namespace {
const QString kBlank = QStringLiteral("        ");
}

EditorWindow::EditorWindow(QWidget* parent) : QWidget(parent) {}

void EditorWindow::BtnQuitterClick() { CloseModuleWindow(this); }

void EditorWindow::closeEvent(QCloseEvent* event) {
    bool settled = false;
    try {
        settled = SaveBeforeClosing();
    } catch (const std::exception& e) {
        // Something unforeseen: the window stays, with what the user typed.
        ReportError(e);
    }
    if (!settled) {
        event->ignore();
        return;
    }
    FormClose();
    QWidget::closeEvent(event);
}

QString SaveMode(bool newRow) { return newRow ? QStringLiteral("Création") : QStringLiteral("Modification"); }

bool AskSaveQuestion(const QString& mode, const QString& ending) {
    const QString text = kBlank + QStringLiteral("Voulez-vous enregistrer la ") + mode.toLower() + ending;
    return ShowMessageBox(text, mode + QStringLiteral(" d'enregistrement"), 36, nullptr, false) == 6;
}

QString RefusalTail(const QString& mode) {
    return QStringLiteral("\n") + kBlank + mode + QStringLiteral(" annulée !");
}

void ShowSaveError(const QString& text) {
    ShowMessageBox(text, QStringLiteral("Erreur d'enregistrement"), 12, nullptr, false);
}

void ReportSaveRefusal(const std::exception& e, const QString& refusal) {
    switch (DatabaseFailureKind(e)) {
    case DatabaseFailure::Busy:
        ReportDatabaseBusy();
        break;
    case DatabaseFailure::Constraint:
        ShowSaveError(refusal);
        break;
    case DatabaseFailure::Own:
        ShowSaveError(DatabaseFailureText(e));
        break;
    default:
        ShowSaveError(DatabaseFailureText(e) + QStringLiteral("\n") + kBlank +
                      QStringLiteral("Ce que vous avez saisi reste à l'écran : enregistrez-le\n") +
                      kBlank + QStringLiteral("de nouveau ensuite."));
    }
}

void FocusAfterModal(QWidget* edit) {
    edit->setFocus();
    QTimer::singleShot(0, edit, [edit] { edit->setFocus(); });
}
