// Checks on the shipped recipes, themes, activities and consumption categories, run on the
// generated database. They guard the reference data against later edits of the seed files.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QRegularExpression>
#include <QSet>
#include <QString>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using Row = std::vector<QString>;

// The generated database, opened read-only for the whole file.
class RecipesSeed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string path = std::string(VIVANDA_BINARY_DIR) + "/stage/Data/vivanda.db";
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(db_);
            db_ = nullptr;
        }
    }
    static void TearDownTestSuite() {
        sqlite3_close(db_);
        db_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(db_, nullptr) << "the generated database cannot be opened"; }

    // Every row of a statement, each column as text (NULL reads as an empty text).
    static std::vector<Row> rows(const char* sql) {
        std::vector<Row> out;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
            return out;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            Row row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                auto text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                row.push_back(text ? QString::fromUtf8(text) : QString());
            }
            out.push_back(row);
        }
        sqlite3_finalize(st);
        return out;
    }
    static double number(const char* sql) {
        auto r = rows(sql);
        return r.empty() || r[0].empty() ? 0.0 : r[0][0].toDouble();
    }

    static sqlite3* db_;
};
sqlite3* RecipesSeed::db_ = nullptr;

const char* const kSuffixes[] = {"Francais", "Anglais", "Allemand", "Italien", "Espagnol"};

int characters(const QString& s) { return int(s.toUcs4().size()); }

// Names of one column: none empty, none wider than `width` characters (0: no limit), none twice.
void checkNameColumn(const std::vector<Row>& table, size_t column, int width, const QString& what) {
    QSet<QString> seen;
    for (const auto& row : table) {
        const QString& name = row[column];
        EXPECT_FALSE(name.trimmed().isEmpty()) << what.toStdString() << " id " << row[0].toStdString();
        if (width > 0)
            EXPECT_LE(characters(name), width) << what.toStdString() << ": " << name.toStdString();
        EXPECT_FALSE(seen.contains(name)) << what.toStdString() << " twice: " << name.toStdString();
        seen.insert(name);
    }
}

void checkNameColumns(const std::vector<Row>& table, int width, const QString& what) {
    for (size_t c = 1; c <= 5; ++c)
        checkNameColumn(table, c, width, what + " " + kSuffixes[c - 1]);
}

}  // namespace

TEST_F(RecipesSeed, RecipesAreNamedInFiveLanguagesWithinTheirWidthAndUnique) {
    auto recipes = rows("SELECT IdRecette, NomRecetteFrancais, NomRecetteAnglais, NomRecetteAllemand,"
                        " NomRecetteItalien, NomRecetteEspagnol FROM t_recettes ORDER BY IdRecette");
    ASSERT_GE(recipes.size(), 60u);
    EXPECT_EQ(recipes[0][0], "1") << "the name-column choice samples recipe 1";
    checkNameColumns(recipes, 64, "recipe name");

    // A recipe added to the day is stored under its name cut to 32 characters, and the day
    // refuses two names equal ignoring case: recipes must stay apart there, and apart from foods.
    auto foods = rows("SELECT IdAliment, NomAlimentFrancais, NomAlimentAnglais, NomAlimentAllemand,"
                      " NomAlimentItalien, NomAlimentEspagnol FROM t_aliments");
    for (size_t c = 1; c <= 5; ++c) {
        QSet<QString> foodNames;
        for (const auto& f : foods) foodNames.insert(f[c].left(32).toLower());
        QSet<QString> dayNames;
        for (const auto& r : recipes) {
            QString key = r[c].left(32).toLower();
            EXPECT_FALSE(dayNames.contains(key)) << "two recipes alike in the day: " << r[c].toStdString();
            EXPECT_FALSE(foodNames.contains(key)) << "recipe named like a food: " << r[c].toStdString();
            dayNames.insert(key);
        }
    }
}

TEST_F(RecipesSeed, RecipesHaveStepsTimeRightsAndNoPhoto) {
    static const QRegularExpression time("^([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$");
    for (const auto& r : rows("SELECT IdRecette, DescRecetteFrancais, TempsPreparation,"
                              " DroitsModifUtilisateur, IFNULL(Image, '') FROM t_recettes")) {
        const std::string id = r[0].toStdString();
        EXPECT_GE(r[1].count('\n'), 1) << "recipe " << id << ": the description gives the steps";
        EXPECT_TRUE(time.match(r[2]).hasMatch()) << "recipe " << id << ": time " << r[2].toStdString();
        EXPECT_NE(r[2], "00:00:00") << "recipe " << id;
        EXPECT_EQ(r[3], "1") << "recipe " << id << " must be user-modifiable";
        EXPECT_TRUE(r[4].isEmpty()) << "recipe " << id << " names a photo that is not shipped";
    }
}

TEST_F(RecipesSeed, EveryRecipeHasIngredientsAndOneToThreeThemesThatExist) {
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_ingredients_recettes i LEFT JOIN t_aliments a"
                     " ON a.IdAliment = i.IdAliment WHERE a.IdAliment IS NULL"), 0.0)
        << "an ingredient points at no food";
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_ingredients_recettes i LEFT JOIN t_recettes r"
                     " ON r.IdRecette = i.IdRecette WHERE r.IdRecette IS NULL"), 0.0)
        << "an ingredient row points at no recipe";
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_categories_recettes l LEFT JOIN t_categories c"
                     " ON c.IdCategorie = l.IdCategorie WHERE c.IdCategorie IS NULL"), 0.0)
        << "a theme link points at no theme";
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_categories_recettes l LEFT JOIN t_recettes r"
                     " ON r.IdRecette = l.IdRecette WHERE r.IdRecette IS NULL"), 0.0)
        << "a theme link points at no recipe";
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_ingredients_recettes WHERE NOT QuantiteGramme > 0"), 0.0)
        << "the recipe editor refuses a quantity of 0";
    EXPECT_EQ(number("SELECT COUNT(*) FROM (SELECT 1 FROM t_ingredients_recettes"
                     " GROUP BY IdRecette, IdAliment HAVING COUNT(*) > 1)"), 0.0)
        << "one row per recipe and food";

    for (const auto& r : rows("SELECT r.IdRecette,"
                              " (SELECT COUNT(*) FROM t_ingredients_recettes i WHERE i.IdRecette = r.IdRecette),"
                              " (SELECT COUNT(*) FROM t_categories_recettes c WHERE c.IdRecette = r.IdRecette),"
                              " (SELECT COUNT(DISTINCT IdCategorie) FROM t_categories_recettes c"
                              "  WHERE c.IdRecette = r.IdRecette) FROM t_recettes r")) {
        EXPECT_GE(r[1].toInt(), 1) << "recipe " << r[0].toStdString() << " has no ingredient";
        EXPECT_GE(r[2].toInt(), 1) << "recipe " << r[0].toStdString() << " has no theme";
        EXPECT_LE(r[2].toInt(), 3) << "recipe " << r[0].toStdString() << " has too many themes";
        EXPECT_EQ(r[2], r[3]) << "recipe " << r[0].toStdString() << " lists a theme twice";
    }
}

TEST_F(RecipesSeed, RecipeValuesAreTheWeightedMeanOfTheirIngredients) {
    // The same sums the recipe editor runs when it saves a recipe.
    auto sums = rows("SELECT t_ingredients_recettes.IdRecette, SUM(CaloriesGramme*QuantiteGramme),"
                     " SUM(LipidesGramme*QuantiteGramme), SUM(ProtidesGramme*QuantiteGramme),"
                     " SUM(GlucidesGramme*QuantiteGramme), SUM(QuantiteGramme)"
                     " FROM t_aliments, t_ingredients_recettes"
                     " WHERE t_aliments.IdAliment = t_ingredients_recettes.IdAliment"
                     " GROUP BY t_ingredients_recettes.IdRecette");
    std::map<int, Row> stored;
    for (auto& r : rows("SELECT IdRecette, CaloriesGramme, LipidesGramme, ProtidesGramme,"
                        " GlucidesGramme FROM t_recettes"))
        stored[r[0].toInt()] = r;
    ASSERT_EQ(sums.size(), stored.size());
    for (const auto& s : sums) {
        const Row& r = stored[s[0].toInt()];
        const double grams = s[5].toDouble();
        ASSERT_GT(grams, 0.0);
        for (int k = 1; k <= 4; ++k) {
            const double expected = s[k].toDouble() / grams;
            EXPECT_NEAR(r[k].toDouble(), expected, 1e-9 * std::max(1.0, expected))
                << "recipe " << s[0].toStdString() << " value " << k;
        }
        // Per-gram values of a mixture: lipids + proteins + carbohydrates stay within a gram.
        EXPECT_LE(r[2].toDouble() + r[3].toDouble() + r[4].toDouble(), 1.0 + 1e-9);
    }
}

TEST_F(RecipesSeed, ThemesAreNamedAndFitBelowTheFoodCategoryOffset) {
    auto themes = rows("SELECT IdCategorie, NomCategorieFrancais, NomCategorieAnglais,"
                       " NomCategorieAllemand, NomCategorieItalien, NomCategorieEspagnol"
                       " FROM t_categories ORDER BY IdCategorie");
    ASSERT_FALSE(themes.empty());
    EXPECT_EQ(themes[0][0], "1") << "the name-column choice samples the first theme";
    checkNameColumns(themes, 0, "theme name");
    for (const auto& t : themes) {
        EXPECT_GE(t[0].toInt(), 1);
        EXPECT_LE(t[0].toInt(), 27) << "theme ids above 27 collide with food categories + 27";
    }
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_categories c WHERE NOT EXISTS"
                     " (SELECT 1 FROM t_categories_recettes l WHERE l.IdCategorie = c.IdCategorie)"),
              0.0) << "a theme without recipes lists nothing";
}

TEST_F(RecipesSeed, EveryFoodCategoryAndThemeLeadsToAConsumptionCategory) {
    auto categories = rows("SELECT IdCatConsommation, NomCategorieFrancais FROM t_catconsommation");
    ASSERT_FALSE(categories.empty());
    checkNameColumn(categories, 1, 0, "consumption category");

    EXPECT_EQ(number("SELECT COUNT(*) FROM t_cataliments c WHERE NOT EXISTS"
                     " (SELECT 1 FROM t_alim_recette_catconso m WHERE m.IdCategorie = c.IdCatAliment + 27)"),
              0.0) << "a food category is missing from the day's lists";
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_categories c WHERE NOT EXISTS"
                     " (SELECT 1 FROM t_alim_recette_catconso m WHERE m.IdCategorie = c.IdCategorie)"),
              0.0) << "a theme is missing from the day's lists";
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_alim_recette_catconso m LEFT JOIN t_catconsommation c"
                     " ON c.IdCatConsommation = m.IdMetaCategorie WHERE c.IdCatConsommation IS NULL"),
              0.0) << "a mapping points at no consumption category";
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_alim_recette_catconso m WHERE NOT EXISTS"
                     " (SELECT 1 FROM t_categories c WHERE c.IdCategorie = m.IdCategorie) AND NOT EXISTS"
                     " (SELECT 1 FROM t_cataliments f WHERE f.IdCatAliment + 27 = m.IdCategorie)"),
              0.0) << "a mapping row stands for neither a theme nor a food category";
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_catconsommation c WHERE NOT EXISTS"
                     " (SELECT 1 FROM t_alim_recette_catconso m WHERE m.IdMetaCategorie = c.IdCatConsommation)"),
              0.0) << "a consumption category would always list nothing";

    // Through the day's list: every recipe is offered in at least one consumption category.
    EXPECT_EQ(number("SELECT COUNT(*) FROM t_recettes r WHERE NOT EXISTS"
                     " (SELECT 1 FROM t_categories_recettes l, t_alim_recette_catconso m"
                     "  WHERE l.IdRecette = r.IdRecette AND m.IdCategorie = l.IdCategorie)"),
              0.0);
}

TEST_F(RecipesSeed, ActivitiesAreNamedAndCarryACompendiumEnergyCost) {
    auto activities = rows("SELECT IdActivite, NomActiviteFrancais, NomActiviteAnglais,"
                           " NomActiviteAllemand, NomActiviteItalien, NomActiviteEspagnol,"
                           " ScaleFactor, Duree, UtilisePoids FROM t_activites ORDER BY IdActivite");
    ASSERT_GE(activities.size(), 60u);
    EXPECT_EQ(activities[0][0], "1");
    checkNameColumns(activities, 32, "activity name");
    for (const auto& a : activities) {
        // kcal a minute per kg = MET x 3.5 / 200; the Compendium's values run from 0.9 to 23 MET.
        const double met = a[6].toDouble() * 200.0 / 3.5;
        EXPECT_GE(met, 0.9) << a[1].toStdString();
        EXPECT_LE(met, 23.0) << a[1].toStdString();
        EXPECT_NEAR(met * 20.0, std::round(met * 20.0), 1e-6)
            << a[1].toStdString() << ": MET values are published to 0.05";
        EXPECT_EQ(a[7], "0") << "durations start at 0";
        EXPECT_EQ(a[8], "1") << a[1].toStdString() << ": costs are per kg of body weight";
    }
}
