#pragma once
// The recipe search statement, composed from the criteria of the search window without any
// widget: one SELECT DISTINCT over t_recettes and the tables the criteria need, every typed
// value bound as a parameter.
//
//   RecipeSearchCriteria c;
//   c.namePrefix = "tar";                            // recipes whose name begins with "tar"
//   c.lipids = "12,5"; c.lipidsComparator = kAtMost; // a point or a comma
//   RecipeSearchStatement s = BuildRecipeSearch(c, columns);
//   if (s.error != SearchError::None) show(RecipeSearchErrorText(s));
//   else { Query q(s.sql); for (auto& v : s.values) q.addBindValue(v); q.open(); }
//
// Names match from their beginning without regard to accents or case: the stored name and the
// typed text both go through the program's fold (FoldAccentsUpper), and the typed text is taken
// literally ('%' and '_' are not wildcards).
#include <QLocale>
#include <QString>
#include <QVariantList>

// Comparator combo indexes: no item chosen, an upper bound, a lower bound.
constexpr int kNoComparator = -1;
constexpr int kAtMost = 0;    // "Inférieur"
constexpr int kAtLeast = 1;   // "Supérieur"

// The theme item that means any theme.
inline const QString kAllThemes = QStringLiteral("- Tous -");

// The criteria as the window holds them: typed texts (an empty text skips its criterion) and
// comparator indexes.
struct RecipeSearchCriteria {
    QString namePrefix;             // for an ingredient, a leading '-' asks for its absence
    bool ingredientName = false;    // the prefix is an ingredient's name, not the recipe's
    QString preparationTime;        // minutes
    int timeComparator = kNoComparator;
    QString theme;                  // "" or "- Tous -": any theme
    bool everydayOnly = false;      // every ingredient is an everyday food
    QString calories;               // kcal per 100 g, a whole number
    int caloriesComparator = kNoComparator;
    QString lipids;                 // grams per 100 g, "12.5" or "12,5"
    int lipidsComparator = kNoComparator;
    QString proteins;
    int proteinsComparator = kNoComparator;
    QString carbs;
    int carbsComparator = kNoComparator;
};

// The name columns chosen for the interface language (the program's own column names).
struct RecipeSearchColumns {
    QString recipeName = QStringLiteral("NomRecetteFrancais");
    QString foodName = QStringLiteral("NomAlimentFrancais");
    QString categoryName = QStringLiteral("NomCategorieFrancais");
};

// What the criteria are about, in the order of their messages.
enum class SearchSubject { PreparationTime, Calories, Lipids, Proteins, Carbs };

enum class SearchError {
    None,
    InvalidValue,    // a text that does not convert, or a value out of its range
    NoComparator,    // a value without a comparator
};

struct RecipeSearchStatement {
    QString sql;                    // empty when refused
    QVariantList values;            // bound in order to the statement's '?'
    SearchError error = SearchError::None;
    SearchSubject subject = SearchSubject::PreparationTime;   // of the error
};

RecipeSearchStatement BuildRecipeSearch(const RecipeSearchCriteria& criteria, const RecipeSearchColumns& columns,
                                        const QLocale& locale = QLocale());

// Texts of the search's messages ("Erreur de saisie", the two message heads and the five
// subjects), in the order the window's message table keeps them.
const QStringList& RecipeSearchMessages();

// The French message of a refused search: "        Valeur non valide pour <subject> !" with the
// range of the value on the next line, or
// "        Vous n'avez pas sélectionné de type de comparaison pour\n        <subject> !".
QString RecipeSearchErrorText(const RecipeSearchStatement& statement);
