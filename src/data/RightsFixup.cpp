#include "data/RightsFixup.h"

#include "data/Query.h"

void FixRecipeRights() {
    Query query(QStringLiteral("SELECT DroitsModifUtilisateur FROM t_recettes WHERE IdRecette = 1;"));
    query.open();
    const bool modifiable = !query.isEmpty() && query.asBool(0);
    query.close();
    if (!modifiable) {
        query.setSql(QStringLiteral("UPDATE t_recettes SET DroitsModifUtilisateur = ?;"));
        query.addBindValue(1);
        query.exec();
    }
}
