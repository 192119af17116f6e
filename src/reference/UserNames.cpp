#include "reference/UserNames.h"

#include <QStringList>

#include "data/Database.h"
#include "data/Query.h"
#include "reference/NameRules.h"

namespace {

const char* const kHistoryTables[] = {"t_histo_consommation", "t_histo_infos_utilisateur"};

QStringList storedUserNames() {
    Query q(QStringLiteral("SELECT Nom FROM t_utilisateurs;"));
    q.open();
    QStringList names;
    for (q.first(); !q.eof(); q.next()) names << q.asString(0);
    return names;
}

bool takenAmong(const QStringList& names, const QString& name, const QString& ownName) {
    for (const QString& other : names)
        if (other != ownName && SameEditorName(other, name)) return true;
    return false;
}

}  // namespace

bool UserNameTaken(const QString& name, const QString& ownName) {
    return takenAmong(storedUserNames(), name, ownName);
}

bool SavedDaysClash(const QString& oldName, const QString& newName) {
    return Query::scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM t_histo_infos_utilisateur a JOIN "
                                        "t_histo_infos_utilisateur b ON a.DateConso = b.DateConso "
                                        "WHERE a.NomUtilisateur = ? AND b.NomUtilisateur = ?);"),
                         {oldName, newName})
               .toInt() != 0;
}

void MoveSavedDays(const QString& oldName, const QString& newName) {
    // Both tables or neither (within the caller's transaction when there is one).
    Transaction transaction;
    for (const char* table : kHistoryTables)
        Query::execute(QStringLiteral("UPDATE %1 SET NomUtilisateur = ? WHERE NomUtilisateur = ?;").arg(QLatin1String(table)),
                       {newName, oldName});
    transaction.commit();
}

int TrimStoredUserNames() {
    const QStringList names = storedUserNames();
    QStringList untrimmed;
    for (const QString& name : names)
        if (name != name.trimmed()) untrimmed << name;
    if (untrimmed.isEmpty()) return 0;
    int trimmed = 0;
    Transaction transaction;
    for (const QString& name : untrimmed) {
        const QString to = name.trimmed();
        if (to.isEmpty() || takenAmong(storedUserNames(), to, name) || SavedDaysClash(name, to)) continue;
        Query::execute(QStringLiteral("UPDATE t_utilisateurs SET Nom = ? WHERE Nom = ?;"), {to, name});
        MoveSavedDays(name, to);
        ++trimmed;
    }
    transaction.commit();
    return trimmed;
}
