#pragma once
// What the food, recipe and user editors share: a module window of the frame that offers to
// save its pending changes before it closes (a refused save keeps it open, with the typing, and
// so stops the program's shut-down), the save question and the texts of a refused save.
#include <QString>
#include <QWidget>
#include <exception>

class EditorWindow : public QWidget {
    Q_OBJECT
public:
    explicit EditorWindow(QWidget* parent = nullptr);

    // "Quitter": closes the window through its sub-window of the frame.
    void BtnQuitterClick();

protected:
    // Offers to save the pending changes; false (a change still pending, kept for correction)
    // keeps the window open.
    virtual bool SaveBeforeClosing() = 0;
    // What closing does once the changes are settled (tables closed, shared pointers cleared).
    virtual void FormClose() = 0;
    void closeEvent(QCloseEvent* event) override;
};

// "Création" for a new row, "Modification" for a changed one.
QString SaveMode(bool newRow);
// Asks "Voulez-vous enregistrer la <mode> <ending>" (Oui / Non); true on "Oui".
bool AskSaveQuestion(const QString& mode, const QString& ending);
// The end of a refused save's message: a new line, the mode and "annulée !".
QString RefusalTail(const QString& mode);
// A refused save, captioned "Erreur d'enregistrement" with the error icon.
void ShowSaveError(const QString& text);
// A write that failed, told as a refused save in French: the busy box when another program holds
// the database; `refusal` (what the editor says of the typed values) when the database refused
// the values themselves; a text the field refused, naming the field; otherwise what happened
// (disk full, read-only database...) and that the typing stays on screen. Never the engine's
// English text.
void ReportSaveRefusal(const std::exception& e, const QString& refusal);

// Puts the focus on `edit` now and again once the events a closed message box left behind have
// run (the box hands the focus back to the widget that had it, the button that opened it).
void FocusAfterModal(QWidget* edit);
