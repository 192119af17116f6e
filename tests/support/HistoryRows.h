#pragma once
// Saved days written straight into the history tables, as the day save leaves them.
#include <QDate>
#include <QString>

#include "data/Query.h"

// A day of `user`: `rows` food rows of 100 g at `kcalPerGram` (0.01 g lipids, 0.02 g proteins and
// 0.3 g carbohydrates a gram) and its infos row.
inline void SaveHistoryDay(const QString& user, const QDate& day, double weight, double objective, int rows,
                           double kcalPerGram = 2) {
    for (int n = 0; n < rows; ++n)
        Query::execute(QStringLiteral("INSERT INTO t_histo_consommation VALUES (?, ?, 'Pain', ?, 0.01, 0.02, 0.3, 100, ?)"),
                       {user, day, kcalPerGram, n + 1});
    Query::execute(QStringLiteral("INSERT INTO t_histo_infos_utilisateur VALUES (?, ?, ?, ?)"), {user, day, weight, objective});
}

inline int HistoryRowCount(const char* table) {
    return Query::scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).toInt();
}
