#pragma once
// "Besoins journaliers": a person's calorie needs for one day, basal needs from a table by sex
// and age band plus the calories of the day's activities. The person is a user of
// t_utilisateurs or typed in ("Autre"); the minutes of each activity are typed into the Duree
// column of t_activites, which serves as the dialog's scratch space. The consumption window
// shows the dialog modally and takes TotalNeeds when Validated is 1; the dialog also sets the
// user's name and weight that the day's printing and saving use (appState()).
#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "data/Query.h"
#include "data/Table.h"

class DbGrid;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// Basal needs in kcal a day for a weight in whole kg, an age in years and a sex 'M' or 'F'
// (0 for any other letter: callers check the sex first).
int32_t BasalNeeds(int32_t weight, int32_t age, char sex);

// Calories of one activity: minutes x (weight when usesWeight, else 1) x factor, truncated.
int32_t ActivityCalories(int32_t weight, int32_t minutes, float factor, bool usesWeight);

// Sum of ActivityCalories over the rows of an activity table (Duree, ScaleFactor, UtilisePoids),
// each truncated on its own.
int32_t ActivityCalorieSum(const RowSet& activities, int32_t weight);

// The typed inputs, converted in the user's locale and checked; nothing when refused.
std::optional<int32_t> ParseNeedsAge(const QString& text);     // a whole number, 1 to 125
std::optional<float> ParseNeedsHeight(const QString& text);    // cm -> m, above 0.25 up to 2.8
std::optional<int32_t> ParseNeedsWeight(const QString& text);  // kg truncated, 1 to 500
std::optional<char> ParseNeedsSex(const QString& text);        // first letter, upper case: M or F

// Reads t_utilisateurs again and lists every user's name, sorted, without a selection (and
// without telling the list's handlers).
void ReloadUserList(Table& users, QListWidget* list);

class TFBesoinsJournaliers : public QDialog {
    Q_OBJECT
public:
    explicit TFBesoinsJournaliers(QWidget* parent = nullptr);
    ~TFBesoinsJournaliers() override;

    // Components
    QGroupBox* GbxUtilisateur = nullptr;
    QRadioButton* RbtnSelectionListe = nullptr;
    QRadioButton* RbtnAutre = nullptr;
    QListWidget* LboxUtilisateurs = nullptr;
    QLabel* LblAge = nullptr;
    QLabel* LblTaille = nullptr;
    QLabel* LblPoids = nullptr;
    QLabel* LblSexe = nullptr;
    QLineEdit* EdtAge = nullptr;
    QLineEdit* EdtTaille = nullptr;
    QLineEdit* EdtPoids = nullptr;
    QLineEdit* EdtSexe = nullptr;
    QLabel* LblBesoinBasic = nullptr;
    QLineEdit* EdtBesoinBasic = nullptr;
    QGroupBox* GbxActivite = nullptr;
    DbGrid* DBGActivite = nullptr;
    QLabel* LblCaloriesDepensees = nullptr;
    QLineEdit* EdtActiviteCalorie = nullptr;
    QLabel* LblTotalDepense = nullptr;
    QLineEdit* EdtTotalDepense = nullptr;
    QPushButton* BtnAnnule = nullptr;
    QPushButton* BtnOk = nullptr;

    // Datasets
    Table TUtilisateurs{QStringLiteral("t_utilisateurs")};
    Table TActivite{QStringLiteral("t_activites")};
    ::Query Query;

    // Read by the caller once the dialog is closed
    int32_t TotalNeeds = 0;  // kcal: basal needs plus the activities
    uint8_t Validated = 0;   // 1 after "Ok", 0 after "Annuler"

    // The estimate, kept from one opening to the next
    int32_t NeedsAge = 0;        // years
    float NeedsHeight = 0;       // metres
    int32_t NeedsWeight = 0;     // whole kg
    char NeedsSex = 0;           // 'M' or 'F'
    int32_t BasalCalories = 0;
    int32_t ActivityCalorieTotal = 0;
    int32_t LastUserIndex = -1;  // list index of the last user handled, -1 none
    uint8_t NeedsFormCreating = 0;
    QString MessageTable[5];

    // Handlers
    void FormCreate();
    void FormActivate();
    void RbtnSelectionListeClick();
    void RbtnAutreClick();
    void LboxUtilisateursClick();
    void EdtAgeExit();
    void EdtTailleExit();
    void EdtPoidsExit();
    void EdtSexeChange();
    void EdtAgeKeyPress(char key);
    void EdtTailleKeyPress(char key);
    void EdtPoidsKeyPress(char key);
    void EdtSexeKeyPress(char key);
    void DBGActiviteKeyPress(char key);
    void TActiviteAfterPost();
    void BtnOkClick();
    void BtnAnnuleClick();
    void FormHelp();
    void Recalcul();

public slots:
    // Escape closes the dialog as "Annuler" does: nothing is handed back.
    void reject() override { BtnAnnuleClick(); }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void resetDurations();
    void needsUpdate();
    void enableGridAndRefresh();
    // Writes a pending duration (`reread`: and reads the activities again); a refused one is
    // reported and stays in the grid to be corrected. Returns whether it was written.
    bool writeDurations(bool reread);
    void recomputeActivities();
    void lockInputs(bool locked);
    void inputError(int message, QLineEdit* input);
    // An input of the typed mode: empty, nothing; refused, its message and emptied; else the
    // value goes to `target`. Returns whether a value was taken.
    template <typename T, typename Parse>
    bool checkInput(QLineEdit* input, Parse parse, int message, T& target);
    // Enter in a typed input: its check, then the focus to the next input.
    void checkAndMove(char key, void (TFBesoinsJournaliers::*check)(), QWidget* next);
    bool holdText(std::initializer_list<const QLineEdit*> inputs) const;

    uint8_t MessageSwitch = 1;  // the dialog's own switch; its messages offer no check box
    bool changingSex_ = false;
};

extern TFBesoinsJournaliers* FBesoinsJournaliers;
