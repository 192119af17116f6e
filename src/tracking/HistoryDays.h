#pragma once
// The consumption history as the history dialogs see it: its users, the saved days of one user
// or of the whole history, and the deletions of the history maintenance.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Distinct user names of t_histo_consommation, ascending.
QStringList HistoryUserNames();

// The number of users the dialogs go by: the names counted, an empty history counting 1.
int HistoryUserCountOf(const QStringList& names);

// Distinct saved days of t_histo_consommation, ascending: of `user` when given, else of everyone.
QList<QDate> HistoryDays(const std::optional<QString>& user = std::nullopt);

// The text a saved day is listed under: the short date of the locale.
QString HistoryDayText(const QDate& day);

enum class HistoryDeletion {
    Day,      // the saved day `date`
    All,      // every saved day
    Before,   // every saved day before `date` (that day itself stays)
};

// Deletes the food rows and the infos rows of the chosen days, of `user` when given, else of
// every user, in one transaction: on any failure nothing is deleted and DatabaseError is raised.
void DeleteHistory(HistoryDeletion kind, const std::optional<QString>& user, const QDate& date);
