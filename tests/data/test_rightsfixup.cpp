#include <gtest/gtest.h>

#include "data/Query.h"
#include "data/RightsFixup.h"
#include "support/DataFixture.h"

// Recipe 1 locked, unset or missing: every recipe becomes modifiable; recipe 1 modifiable: nothing moves.
TEST_F(DataTest, RightsFixupFollowsRecipeOne) {
    const QString lockAll = "UPDATE t_recettes SET DroitsModifUtilisateur = 0";
    const struct { QStringList changes; int modifiable; } steps[] = {
        {{lockAll + " WHERE IdRecette = 2"}, 1},
        {{lockAll}, 2},
        {{lockAll, "DELETE FROM t_categories_recettes WHERE IdRecette = 1",
          "DELETE FROM t_ingredients_recettes WHERE IdRecette = 1", "DELETE FROM t_recettes WHERE IdRecette = 1"}, 1},
        {{"UPDATE t_recettes SET DroitsModifUtilisateur = NULL"}, 1},
    };
    for (const auto& s : steps) {
        for (const QString& sql : s.changes) Query::execute(sql);
        FixRecipeRights();
        EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_recettes WHERE DroitsModifUtilisateur = 1").toInt(), s.modifiable)
            << s.changes.join("; ").toStdString();
    }
}
