#include <gtest/gtest.h>

#include "data/Query.h"
#include "data/RightsFixup.h"
#include "support/DataFixture.h"

namespace {
int modifiableRecipes() {
    return Query::scalar("SELECT COUNT(*) FROM t_recettes WHERE DroitsModifUtilisateur = 1").toInt();
}
}  // namespace

// Recipe 1 locked or missing: every recipe becomes modifiable; recipe 1 modifiable: nothing moves.
TEST_F(DataTest, RightsFixupFollowsRecipeOne) {
    Query::execute("UPDATE t_recettes SET DroitsModifUtilisateur = 0 WHERE IdRecette = 2");
    FixRecipeRights();
    EXPECT_EQ(modifiableRecipes(), 1);  // recipe 1 is modifiable: recipe 2 stays locked

    Query::execute("UPDATE t_recettes SET DroitsModifUtilisateur = 0");
    FixRecipeRights();
    EXPECT_EQ(modifiableRecipes(), 2);

    Query::execute("UPDATE t_recettes SET DroitsModifUtilisateur = 0");
    Query::execute("DELETE FROM t_categories_recettes WHERE IdRecette = 1");
    Query::execute("DELETE FROM t_ingredients_recettes WHERE IdRecette = 1");
    Query::execute("DELETE FROM t_recettes WHERE IdRecette = 1");
    FixRecipeRights();
    EXPECT_EQ(modifiableRecipes(), 1);  // the remaining recipe 2

    Query::execute("UPDATE t_recettes SET DroitsModifUtilisateur = NULL");
    FixRecipeRights();
    EXPECT_EQ(modifiableRecipes(), 1);
}
