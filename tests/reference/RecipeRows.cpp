#include "reference/RecipeRows.h"

#include "data/Database.h"
#include "data/Query.h"

namespace {
struct Recipe {
    int id;
    const char* name;
    const char* english;
    const char* time;
    double kcal, lipids, proteins, carbs;   // per gram
    std::initializer_list<std::pair<int, double>> ingredients;
    std::initializer_list<int> themes;
};

const Recipe kRecipes[] = {
    {3, "Crème brûlée", "Crème brûlée", "01:30:00", 1.9, 0.15, 0.05, 0.10, {{8, 250}, {12, 120}, {7, 250}}, {1}},
    {4, "Omelette nature", "Plain omelette", "00:10:00", 1.4, 0.10, 0.12, 0.015, {{12, 180}, {7, 30}}, {2}},
    {5, "Tarte aux pommes", "Apple pie", "01:00:00", 0.9, 0.125, 0.03, 0.20, {{1, 500}, {12, 60}, {14, 100}}, {1}},
    {6, "Bœuf \"Stroganoff\" d'hiver", "Winter beef \"Stroganoff\"", "02:00:00", 2.0, 0.12, 0.15, 0.10,
     {{11, 400}, {8, 200}, {13, 300}}, {2, 3}},
    {7, "Riz au poulet", "Chicken rice", "00:45:00", 1.2, 0.02, 0.14, 0.12, {{10, 300}, {13, 300}, {5, 200}}, {2}},
};
}  // namespace

void AddSearchRecipes() {
    Transaction t;
    for (const Recipe& r : kRecipes) {
        Query::execute(
            "INSERT INTO t_recettes (IdRecette, NomRecetteFrancais, NomRecetteAnglais, DescRecetteFrancais, "
            "TempsPreparation, CaloriesGramme, LipidesGramme, ProtidesGramme, GlucidesGramme, "
            "DroitsModifUtilisateur, Image) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 1, '')",
            {r.id, QString::fromUtf8(r.name), QString::fromUtf8(r.english), QStringLiteral("Mélanger."),
             QString::fromLatin1(r.time), r.kcal, r.lipids, r.proteins, r.carbs});
        for (auto [food, grams] : r.ingredients)
            Query::execute("INSERT INTO t_ingredients_recettes VALUES (?, ?, ?)", {r.id, food, grams});
        for (int theme : r.themes)
            Query::execute("INSERT INTO t_categories_recettes VALUES (?, ?)", {theme, r.id});
    }
    t.commit();
}

QString RecipeName(int id) {
    if (id == 1) return QString::fromUtf8("Salade de fruits");
    if (id == 2) return QString::fromUtf8("Purée de pommes de terre");
    for (const Recipe& r : kRecipes)
        if (r.id == id) return QString::fromUtf8(r.name);
    return QString();
}
