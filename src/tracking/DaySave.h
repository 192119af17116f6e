#pragma once
// The part of a day's save that needs no widget: the weight typed in the date dialog, the name
// the day is saved under, the numbers read from the dialog's and the window's edits, and the
// write itself (the earlier save of that user and date replaced by the rows of t_consommation
// and one row of t_histo_infos_utilisateur, all in one transaction).
#include <QDate>
#include <QString>
#include <exception>

struct AppState;


// The weight edit of the date dialog: an empty text is accepted (no weight); otherwise the text
// must read as a number ("72,5" or "72.5") within NumberRules::DayWeightKg.
bool IsAcceptableDayWeight(const QString& text);

// The name a day is saved under: the current user's, or "Utilisateur" when none was chosen.
QString DaySaveUserName(const QString& currentUserName);

// The user chosen for the day as t_utilisateurs holds it now: found by its row (a rename keeps
// it), else by its name; its current name and weight are taken. True when found or when no user
// was chosen; false when the chosen user no longer exists (nothing changed then).
bool FollowCurrentUser(AppState& st);

// A number of the save read from an edit's text: "" gives 0; a decimal comma counts as a point
// ("72,5" gives 72.5), as ReadTypedNumber reads it. False when the text is not a finite number
// ("abc", "inf").
bool DaySaveNumber(const QString& text, double* value);

// One saved day as it is written.
struct SavedDay {
    QString user;
    QDate day;
    double weight = 0;      // kg, 0 when not given
    double objective = 0;   // kcal, 0 when not given
};

// Where an unexpected failure of the save happened: the code of the last step reached.
struct SaveProgress {
    QString location;
};

// Replaces the save of `saved.user` and `saved.day` by the rows of t_consommation and one
// t_histo_infos_utilisateur row, in one transaction: when any statement fails, the history is
// left as it was and DatabaseError is raised. `progress.location` follows the steps ("C2.0-7"
// to "C2.0-10").
void WriteSavedDay(const SavedDay& saved, SaveProgress& progress);

// How a failed save is told: Busy, another program's lock; Refused, a write the database could
// not make (full disk, read-only file or folder, input/output failure), said with its cause;
// ProgramError, anything else (the program's own fault), for which an error report is offered.
enum class SaveFailure { Busy, Refused, ProgramError };
SaveFailure SaveFailureOf(const std::exception& e);

// The page of the maker's site that receives an error report for `parameter` (the location code,
// followed by "NE" and a code for an error the save raised itself).
QString ErrorReportAddress(const QString& parameter);
