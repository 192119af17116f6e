#include "reference/RecipeSearch.h"

#include <QTime>
#include <cmath>

#include "data/TypedNumber.h"
#include "frame/TextHelpers.h"

namespace {

// The recipes with an ingredient among `foods` (a statement of food ids): read from the foods'
// side of the links (their covering index), the food ids in key order, not a seek into the foods
// for every ingredient row. A link without recipe is left out (NOT IN would match nothing).
QString recipesUsing(const QString& foods) {
    return QStringLiteral("(SELECT t_ingredients_recettes.IdRecette FROM t_ingredients_recettes "
                          "WHERE t_ingredients_recettes.IdRecette IS NOT NULL AND t_ingredients_recettes.IdAliment IN (") +
           foods + QStringLiteral("))");
}

// A recipe qualifies when it has ingredients and every one of them is an everyday food: no
// ingredient among the foods that are not.
const QString& everydayTest() {
    static const QString test =
        QStringLiteral("EXISTS (SELECT 1 FROM t_ingredients_recettes WHERE t_ingredients_recettes.IdRecette = "
                       "t_recettes.IdRecette) AND t_recettes.IdRecette NOT IN ") +
        recipesUsing(QStringLiteral("SELECT t_aliments.IdAliment FROM t_aliments WHERE "
                                    "COALESCE(CAST(t_aliments.Usuel AS INTEGER), 0) <> 1"));
    return test;
}

// "Name begins with": the folded column against the folded text taken literally.
QString beginsWith(const QString& column) {
    return QStringLiteral("FoldAccentsUpper(%1) LIKE ? ESCAPE '\\'").arg(column);
}

QString prefixPattern(const QString& typed) {
    QString folded = FoldAccents(typed, true);
    QString out;
    out.reserve(folded.size() + 2);
    for (QChar c : folded) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')) out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('%');
}

QString comparison(const QString& operand, int comparator) {
    return operand + (comparator == kAtMost ? QStringLiteral(" <= ?") : QStringLiteral(" >= ?"));
}

class Builder {
public:
    QString from = QStringLiteral("t_recettes");
    QString where;
    QVariantList values;

    // Opens a condition with WHERE for the first one, AND afterwards.
    void add(const QString& condition) {
        where += where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ");
        where += condition;
    }
};

struct Refusal {
    SearchError error;
};

// A bounded value: checks the comparator once the value is known to be valid.
void requireComparator(int comparator) {
    if (comparator != kAtMost && comparator != kAtLeast) throw Refusal{SearchError::NoComparator};
}

}  // namespace

RecipeSearchStatement BuildRecipeSearch(const RecipeSearchCriteria& c, const RecipeSearchColumns& columns,
                                        const QLocale& /*numbers are read with a point or a comma alike*/) {
    RecipeSearchStatement out;
    Builder b;
    try {
        // 1. Name of the recipe, or of an ingredient present or absent.
        if (!c.namePrefix.isEmpty()) {
            if (!c.ingredientName) {
                b.add(beginsWith(columns.recipeName));
                b.values << prefixPattern(c.namePrefix);
            } else {
                // Each food's name is folded once, not once per ingredient row.
                const bool absent = c.namePrefix.startsWith(QLatin1Char('-'));
                b.add(QStringLiteral("t_recettes.IdRecette ") + (absent ? QStringLiteral("NOT IN ") : QStringLiteral("IN ")) +
                      recipesUsing(QStringLiteral("SELECT t_aliments.IdAliment FROM t_aliments WHERE ") +
                                   beginsWith(columns.foodName)));
                b.values << prefixPattern(absent ? c.namePrefix.mid(1) : c.namePrefix);
            }
        }

        // 2. Preparation time in minutes: a time of day, so 0 to 1439, compared with the stored
        // 'HH:MM:SS' text.
        out.subject = SearchSubject::PreparationTime;
        if (!c.preparationTime.isEmpty()) {
            const std::optional<double> typed = ReadTypedNumber(c.preparationTime);
            if (!typed || !WithinRule(*typed, NumberRules::PreparationMinutes)) throw Refusal{SearchError::InvalidValue};
            const int minutes = int(*typed);
            requireComparator(c.timeComparator);
            b.add(comparison(QStringLiteral("TempsPreparation"), c.timeComparator));
            b.values << QTime(minutes / 60, minutes % 60).toString(QStringLiteral("hh:mm:ss"));
        }

        // 3. Theme.
        if (!c.theme.isEmpty() && c.theme != kAllThemes) {
            b.from += QStringLiteral(", t_categories_recettes, t_categories");
            b.add(QStringLiteral("t_categories_recettes.IdRecette = t_recettes.IdRecette AND "
                                 "t_categories_recettes.IdCategorie = t_categories.IdCategorie AND t_categories.") +
                  columns.categoryName + QStringLiteral(" = ?"));
            b.values << c.theme;
        }

        // 4. Everyday ingredients only.
        if (c.everydayOnly) b.add(everydayTest());

        // 5. Calories per 100 g, a whole number: the recipe's own values.
        out.subject = SearchSubject::Calories;
        if (!c.calories.isEmpty()) {
            const std::optional<double> n = ReadTypedNumber(c.calories);
            if (!n || !WithinRule(*n, NumberRules::CaloriesPer100gBound)) throw Refusal{SearchError::InvalidValue};
            requireComparator(c.caloriesComparator);
            b.add(comparison(QStringLiteral("t_recettes.CaloriesGramme*100.0"), c.caloriesComparator));
            b.values << int(*n);
        }

        // 6. Grams of lipids, proteins and carbohydrates per 100 g, 0 to 100.
        const struct {
            const QString& text;
            int comparator;
            SearchSubject subject;
            const char* column;
        } nutrients[] = {
            {c.lipids, c.lipidsComparator, SearchSubject::Lipids, "LipidesGramme"},
            {c.proteins, c.proteinsComparator, SearchSubject::Proteins, "ProtidesGramme"},
            {c.carbs, c.carbsComparator, SearchSubject::Carbs, "GlucidesGramme"},
        };
        for (const auto& n : nutrients) {
            out.subject = n.subject;
            if (n.text.isEmpty()) continue;
            const std::optional<double> x = ReadTypedNumber(n.text);
            if (!x || !WithinRule(*x, NumberRules::NutrientPer100g)) throw Refusal{SearchError::InvalidValue};
            requireComparator(n.comparator);
            b.add(comparison(QStringLiteral("t_recettes.%1*100.0").arg(QLatin1String(n.column)), n.comparator));
            b.values << *x;
        }
    } catch (const Refusal& r) {
        out.error = r.error;
        return out;
    }

    out.sql = QStringLiteral("SELECT DISTINCT ") + columns.recipeName + QStringLiteral(" FROM ") + b.from + b.where +
              QLatin1Char(';');
    out.values = b.values;
    return out;
}

const QStringList& RecipeSearchMessages() {
    static const QStringList texts = {
        QStringLiteral("Erreur de saisie"),
        QStringLiteral("Vous n'avez pas sélectionné de type de comparaison pour"),
        QStringLiteral("Valeur non valide pour"),
        QStringLiteral("le temps de préparation"),
        QStringLiteral("le nombre de calories"),
        QStringLiteral("la quantité de lipides"),
        QStringLiteral("la quantité de protides"),
        QStringLiteral("la quantité de glucides"),
    };
    return texts;
}

QString RecipeSearchErrorText(const RecipeSearchStatement& s) {
    const QStringList& m = RecipeSearchMessages();
    const QString indent = QStringLiteral("        ");
    const QString subject = m[3 + int(s.subject)];
    switch (s.error) {
    case SearchError::InvalidValue: {
        // Each value says the range it takes.
        const NumberRule& range = s.subject == SearchSubject::PreparationTime ? NumberRules::PreparationMinutes
                                  : s.subject == SearchSubject::Calories      ? NumberRules::CaloriesPer100gBound
                                                                              : NumberRules::NutrientPer100g;
        return indent + m[2] + QLatin1Char(' ') + subject + QStringLiteral(" !\n") + NumberRangeHint(range);
    }
    case SearchError::NoComparator:
        return indent + m[1] + QLatin1Char('\n') + indent + subject + QStringLiteral(" !");
    case SearchError::None:
        break;
    }
    return QString();
}
