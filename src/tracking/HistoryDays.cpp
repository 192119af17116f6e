#include "tracking/HistoryDays.h"

#include <QLocale>
#include <QVariant>
#include <algorithm>

#include "data/Database.h"
#include "data/Query.h"

QStringList HistoryUserNames() {
    // The distinct names in ascending order, as "SELECT distinct NomUtilisateur ... ORDER BY
    // NomUtilisateur" gives them, read by stepping through the index from one name to the next:
    // a few index seeks instead of a pass over every saved food row.
    Query q(QStringLiteral(
        "WITH RECURSIVE users(name) AS ("
        " SELECT MIN(NomUtilisateur) FROM t_histo_consommation"
        " UNION ALL SELECT (SELECT MIN(NomUtilisateur) FROM t_histo_consommation WHERE NomUtilisateur > users.name)"
        " FROM users WHERE users.name IS NOT NULL) "
        "SELECT NULL WHERE EXISTS (SELECT 1 FROM t_histo_consommation WHERE NomUtilisateur IS NULL) "
        "UNION ALL SELECT name FROM users WHERE name IS NOT NULL;"));
    q.open();
    QStringList names;
    for (const auto& row : q.takeRows()) names << row[0].toString();
    return names;
}

int HistoryUserCountOf(const QStringList& names) { return std::max(1, int(names.size())); }

QList<QDate> HistoryDays(const std::optional<QString>& user) {
    Query q;
    if (user) {
        q.setSql(QStringLiteral("SELECT distinct DateConso FROM t_histo_consommation WHERE NomUtilisateur = ? "
                                "ORDER BY DateConso;"));
        q.addBindValue(*user);
    } else {
        q.setSql(QStringLiteral("SELECT distinct DateConso FROM t_histo_consommation ORDER BY DateConso;"));
    }
    q.open();
    QList<QDate> days;
    for (const auto& row : q.takeRows()) {
        const QDate day = QDate::fromString(row[0].toString(), Qt::ISODate);
        if (day.isValid()) days << day;
    }
    return days;
}

QString HistoryDayText(const QDate& day) { return QLocale().toString(day, QLocale::ShortFormat); }

void DeleteHistory(HistoryDeletion kind, const std::optional<QString>& user, const QDate& date) {
    QString condition;
    QVariantList values;
    if (kind != HistoryDeletion::All) {
        condition = kind == HistoryDeletion::Day ? QStringLiteral("DateConso = ?") : QStringLiteral("DateConso < ?");
        values << date;
    }
    if (user) {
        if (!condition.isEmpty()) condition += QStringLiteral(" AND ");
        condition += QStringLiteral("NomUtilisateur = ?");
        values << *user;
    }
    const QString where = condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition;
    Transaction transaction;
    for (const char* table : {"t_histo_consommation", "t_histo_infos_utilisateur"}) {
        Query q(QStringLiteral("DELETE FROM %1%2;").arg(QLatin1String(table), where));
        for (const QVariant& v : values) q.addBindValue(v);
        q.exec();
    }
    transaction.commit();
}
