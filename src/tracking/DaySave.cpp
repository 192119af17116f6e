#include "tracking/DaySave.h"


#include "data/Database.h"
#include "data/Query.h"
#include "data/TypedNumber.h"
#include "frame/AppState.h"
#include "frame/StringTable.h"

bool IsAcceptableDayWeight(const QString& text) {
    if (text.isEmpty()) return true;
    const std::optional<double> weight = ReadTypedNumber(text);
    return weight && WithinRule(*weight, NumberRules::DayWeightKg);
}

QString DaySaveUserName(const QString& currentUserName) {
    return currentUserName.isEmpty() ? QStringLiteral("Utilisateur") : currentUserName;
}

bool FollowCurrentUser(AppState& st) {
    if (st.CurrentUserName.isEmpty()) return true;
    Query q;
    auto find = [&q](const char* where, const QVariant& key) {
        q.setSql(QStringLiteral("SELECT rowid, Nom, Poids FROM t_utilisateurs WHERE %1 = ?;").arg(QLatin1String(where)));
        q.addBindValue(key);
        q.open();
        return !q.eof();
    };
    if (!(st.CurrentUserRow > 0 && find("rowid", st.CurrentUserRow)) && !find("Nom", st.CurrentUserName)) return false;
    st.CurrentUserRow = q.value(0).toLongLong();
    st.CurrentUserName = q.asString(1);
    st.CurrentUserWeight = q.asInt(2);
    return true;
}

bool DaySaveNumber(const QString& text, double* value) {
    if (text.isEmpty()) {
        *value = 0;
        return true;
    }
    const std::optional<double> v = ReadTypedNumber(text);
    if (!v) return false;
    *value = *v;
    return true;
}

void WriteSavedDay(const SavedDay& saved, SaveProgress& progress) {
    Transaction transaction;
    Query q;
    auto run = [&q, &progress](const char* location, const QString& sql, std::initializer_list<QVariant> values) {
        q.setSql(sql);
        for (const QVariant& v : values) q.addBindValue(v);
        progress.location = QString::fromLatin1(location);
        q.exec();
    };
    run("C2.0-7", QStringLiteral("DELETE FROM t_histo_consommation WHERE NomUtilisateur = ? AND DateConso = ?;"),
        {saved.user, saved.day});
    run("C2.0-8", QStringLiteral("DELETE FROM t_histo_infos_utilisateur WHERE NomUtilisateur = ? AND DateConso = ?;"),
        {saved.user, saved.day});
    run("C2.0-9",
        QStringLiteral("INSERT INTO t_histo_consommation SELECT ?, ?, NomAliment, CaloriesGramme, LipidesGramme, "
                       "ProtidesGramme, GlucidesGramme, QuantiteGramme, Numero FROM t_consommation;"),
        {saved.user, saved.day});
    run("C2.0-10",
        QStringLiteral("INSERT INTO t_histo_infos_utilisateur (NomUtilisateur, DateConso, Poids, ObjectifCalorique) "
                       "VALUES (?, ?, ?, ?);"),
        {saved.user, saved.day, saved.weight, saved.objective});
    transaction.commit();
}

SaveFailure SaveFailureOf(const std::exception& e) {
    if (!dynamic_cast<const DatabaseError*>(&e)) return SaveFailure::ProgramError;
    switch (DatabaseFailureKind(e)) {
    case DatabaseFailure::Busy:
        return SaveFailure::Busy;
    case DatabaseFailure::Full:
    case DatabaseFailure::ReadOnly:
    case DatabaseFailure::Other:
        return SaveFailure::Refused;
    case DatabaseFailure::Own:
    case DatabaseFailure::Constraint:
        break;
    }
    return SaveFailure::ProgramError;
}

QString ErrorReportAddress(const QString& parameter) {
    return MakerSiteAddress(QStringLiteral("Pages_fr/recup-erreurs-Vivanda.php?err=") + parameter);
}
