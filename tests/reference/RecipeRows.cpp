#include "reference/RecipeRows.h"

#include "data/Database.h"
#include "data/Query.h"

void AddSearchRecipes() {
    Transaction t;
    Query::execute(
        "INSERT INTO t_recettes (IdRecette, NomRecetteFrancais, NomRecetteAnglais, TempsPreparation, CaloriesGramme, "
        "LipidesGramme, ProtidesGramme, GlucidesGramme, DroitsModifUtilisateur, Image) VALUES "
        "(3, 'Crème brûlée', 'Crème brûlée', '01:30:00', 1.9, 0.15, 0.05, 0.10, 1, ''), "
        "(4, 'Omelette nature', 'Plain omelette', '00:10:00', 1.4, 0.10, 0.12, 0.015, 1, ''), "
        "(5, 'Tarte aux pommes', 'Apple pie', '01:00:00', 0.9, 0.125, 0.03, 0.20, 1, ''), "
        "(6, 'Bœuf \"Stroganoff\" d''hiver', 'Winter beef \"Stroganoff\"', '02:00:00', 2.0, 0.12, 0.15, 0.10, 1, ''), "
        "(7, 'Riz au poulet', 'Chicken rice', '00:45:00', 1.2, 0.02, 0.14, 0.12, 1, '')");
    Query::execute("INSERT INTO t_ingredients_recettes VALUES (3, 8, 250), (3, 12, 120), (3, 7, 250), (4, 12, 180), "
                   "(4, 7, 30), (5, 1, 500), (5, 12, 60), (5, 14, 100), (6, 11, 400), (6, 8, 200), (6, 13, 300), "
                   "(7, 10, 300), (7, 13, 300), (7, 5, 200)");
    Query::execute("INSERT INTO t_categories_recettes VALUES (1, 3), (2, 4), (1, 5), (2, 6), (3, 6), (2, 7)");
    t.commit();
}

Rows RowsOf(const QString& sql, std::initializer_list<QVariant> values) {
    Query q(sql, values);
    q.open();
    return q.takeRows();
}

Rows IngredientsOf(int recipe) {
    return RowsOf("SELECT IdAliment, QuantiteGramme FROM t_ingredients_recettes WHERE IdRecette = ? ORDER BY IdAliment",
                  {recipe});
}
