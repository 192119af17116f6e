#pragma once
// What the two history dialogs share: the user group on the left, the history group in the
// middle, the period group on the right with its radio buttons and short-date pickers, the two
// buttons at the bottom, and the lists (each day keeps its date beside the text it is shown
// under).
#include <QDate>
#include <QDialog>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "data/DataWatch.h"
#include "data/Query.h"

class QDateEdit;
class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;

class HistoryDialog : public QDialog {
    Q_OBJECT
public:
    // Components shared by both dialogs
    QGroupBox* GrpBoxUtilisateurs = nullptr;
    QListWidget* LBoxUtilisateurs = nullptr;
    QGroupBox* GrpBoxHistorique = nullptr;
    QListWidget* LBoxDates = nullptr;
    QGroupBox* GrpBoxPeriode = nullptr;
    QPushButton* BtnQuitter = nullptr;
    ::Query Query;

protected:
    // A fixed dialog (client 455 x 245, no close box) with the two lists, the period group titled
    // `periodTitle` and, beside "Quitter", the button `actionName` (actionButton()) that the dialog
    // connects.
    HistoryDialog(QWidget* parent, const char* name, const QString& caption, int helpContext,
                  const QString& periodTitle, const char* actionName, const QString& actionText);
    QPushButton* actionButton() const { return action_; }

    QRadioButton* placeRadio(const char* name, const QString& text, int top);
    QDateEdit* placeDatePicker(const char* name, QRect geometry);
    // Calls `click` when an item of `list` becomes selected, by the mouse or the keyboard, and at
    // every click on the item already selected.
    void onListClick(QListWidget* list, std::function<void()> click);
    void keyPressEvent(QKeyEvent* e) override;
    // Becoming active again after the history changed (another program wrote, or a deletion
    // here) reads the lists again.
    bool event(QEvent* e) override;

    // Reads the lists again, keeping the chosen user and day where they still are: with several
    // users (or users listed already) the users who have saved days and the days of the chosen
    // one, else every saved day. No click handler runs. The lists are then up to date (watch_).
    void reloadLists();
    // The days listed, of the chosen user or of everyone.
    virtual void showDays(const QList<QDate>& days);
    // Before acting on the chosen user or day: the lists read again when the history changed
    // since they were. False, once said under `caption`, when the chosen user has no saved day
    // left or the chosen day is no longer saved.
    bool choiceStillSaved(const QString& caption);
    // The same before a button's action: a database that cannot be read is said under `caption`
    // too, and the action does not run (false).
    bool choiceStillSavedOrSaid(const QString& caption);
    // A user picked in the list: the day chosen among the previous user's days is let go
    // (without a click handler running), then as choiceStillSaved.
    bool pickedUserStillSaved(const QString& caption);

    DataWatch watch_;

private:
    QPushButton* action_ = nullptr;
};

void FillUserList(QListWidget* list, const QStringList& names);
void FillDayList(QListWidget* list, const QList<QDate>& days);
// The selected user's name, or nothing.
std::optional<QString> SelectedUser(const QListWidget* list);
// The selected day, or nothing.
std::optional<QDate> SelectedDay(const QListWidget* list);
