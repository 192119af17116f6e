#include "tracking/HistoryDays.h"

#include <QLocale>
#include <QVariant>
#include <algorithm>

#include "data/Database.h"
#include "data/Query.h"

QStringList HistoryUserNames() {
    Query q(QStringLiteral("SELECT distinct NomUtilisateur FROM t_histo_consommation ORDER BY NomUtilisateur;"));
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
