#pragma once
// "Gestion des utilisateurs": the users whose needs the daily-needs dialog estimates, each with
// a name (the key), age, height, weight and sex. A sorted list of the names on the left, the
// user's values in data-aware edits on the right; the values are checked before they are stored.
// A module window of the frame, created on demand and freed when closed.
#include <QString>
#include <optional>

#include "data/Table.h"
#include "reference/EditorWindow.h"

class DbLineEdit;
class QLabel;
class QListWidget;
class QPushButton;

// The typed values a user may be saved with: age 0 to 125 years, height 40 to 272 cm, weight
// 2 to 500 kg (whole numbers, bounds included) and sex "M" or "F". "" when they may, else what
// is wrong with the first wrong one, naming its field.
QString UserValueProblem(const QString& age, const QString& height, const QString& weight, const QString& sex);

class TFEditionUtilisateurs : public EditorWindow {
    Q_OBJECT
public:
    explicit TFEditionUtilisateurs(QWidget* parent = nullptr);
    ~TFEditionUtilisateurs() override;

    // Components
    QListWidget* LboxUtilisateurs = nullptr;
    QLabel* LblNom = nullptr;
    DbLineEdit* DBEdtNom = nullptr;
    QLabel* LblAge = nullptr;
    DbLineEdit* DBEdtAge = nullptr;
    QLabel* LblTaille = nullptr;
    DbLineEdit* DBEdtTaille = nullptr;
    QLabel* LblPoids = nullptr;
    DbLineEdit* DBEdtPoids = nullptr;
    QLabel* LblSexe = nullptr;
    DbLineEdit* DBEdtSexe = nullptr;
    QPushButton* BtnNouveau = nullptr;
    QPushButton* BtnEnregistrer = nullptr;
    QPushButton* BtnSupprimer = nullptr;
    QPushButton* BtnQuitter = nullptr;

    Table TUtilisateurs{QStringLiteral("t_utilisateurs")};

    // Unit state
    bool NewUser = false;         // a row was appended by "Nouveau" and is not saved
    bool UserModified = false;    // the user changed a value of the current user
    bool SaveRequested = false;   // the save was started by "Enregistrer"
    QString OldUserName;          // the name stored when the current row's editing began
    bool InCreate = false;
    bool UserEditorActivated = false;

    // Handlers
    void FormCreate();
    void FormActivate();
    bool FormCanResize() const { return InCreate; }
    void FormHelp();
    void LboxUtilisateursClick();
    void BtnNouveauClick();
    void BtnEnregistrerClick();
    void BtnSupprimerClick();

    // Offers to save the pending changes of the current user. True when the caller may go on
    // (nothing pending, saved, or the user declined); false when the save was refused: the
    // typing then stays for correction, and the question comes again before the user is left.
    bool SaveUserChanges();

protected:
    bool SaveBeforeClosing() override;
    void FormClose() override;

private:
    void buildControls();
    // The save routine; `leaving` (a click on another user) drops a refused change instead of
    // keeping it for correction, unless the database was busy.
    bool saveUserChanges(bool leaving);
    // Moves the table to the user of list row `row` and selects that row.
    void showUser(int row);
    void userChanged(DbLineEdit* edit);
    // Checks and writes the pending user (with its saved days when renamed and the user agrees),
    // all in one transaction. Nothing when saved, else the refusal ("" when already shown);
    // `failedWrite` tells a write that failed, whose typing stays for a retry.
    std::optional<QString> storeUser(const QString& mode, bool& failedWrite);
    // Whether another user than `ownName` has `name`, letter case and accents aside.
    bool nameTaken(const QString& name, const QString& ownName);
    // A renamed user with saved days: says so and asks whether the days follow the new name.
    bool askMoveDays(const QString& oldName, const QString& newName);
};

extern TFEditionUtilisateurs* FEditionUtilisateurs;

// Opens the user editor (menu item Utilisateurs, start-up module 4).
QWidget* CreateEditionUtilisateurs();
