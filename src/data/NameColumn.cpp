#include "data/NameColumn.h"

#include "data/Database.h"
#include "data/Query.h"

int ChooseNameColumn(const QStringList& names, int languageCode) {
    auto present = [&](int i) { return i < names.size() && !names[i].isEmpty(); };
    for (int i = 0; i < 5; ++i) {
        if (i * 200 != languageCode) continue;
        if (present(i)) return i;
        for (int j = 0; j < 5; ++j)
            if (present(j)) return j;
        return -1;
    }
    return -1;
}

QStringList NameColumnNames(const QString& prefix) {
    QStringList out;
    for (const char* suffix : {"Francais", "Anglais", "Allemand", "Italien", "Espagnol"})
        out << prefix + QString::fromLatin1(suffix);
    return out;
}

namespace {

// "TRIM(COALESCE(c, '')) = ''" for each name column c of the family `prefix`.
QStringList emptyNameTerms(const QString& prefix) {
    QStringList empty;
    for (const QString& c : NameColumnNames(prefix)) empty << QStringLiteral("TRIM(COALESCE(%1, '')) = ''").arg(c);
    return empty;
}

}  // namespace

QString AnyEmptyNameCondition(const QString& prefix) { return emptyNameTerms(prefix).join(QStringLiteral(" OR ")); }

QString EveryNameEmptyCondition(const QString& prefix) { return emptyNameTerms(prefix).join(QStringLiteral(" AND ")); }

void FillEmptyNameColumns(const QString& table, const QString& prefix) {
    const QStringList columns = NameColumnNames(prefix);
    QStringList firstName;
    for (const QString& c : columns) firstName << QStringLiteral("NULLIF(TRIM(%1), '')").arg(c);
    // Most days there is nothing to do: no write, no lock; the partial index answers the count.
    if (Query::scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, AnyEmptyNameCondition(prefix)))
            .toInt() == 0)
        return;
    Transaction transaction;
    for (const QString& c : columns)
        Query::execute(QStringLiteral("UPDATE %1 SET %2 = COALESCE(%3, '') WHERE TRIM(COALESCE(%2, '')) = ''")
                           .arg(table, c, firstName.join(QStringLiteral(", "))));
    transaction.commit();
}
