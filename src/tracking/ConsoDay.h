#pragma once
// The logic of the daily consumption window that needs no widget: the food-list statement, the
// day's totals and shares, the over-objective test, the objective's conversion and advice and
// the name a row is stored under.
#include <QString>
#include <optional>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <vector>

#include "data/TypedNumber.h"
#include "frame/TextHelpers.h"   // FindItemByPrefix, the list search

// A condition appended to one half of the food-list statement, with the values it binds
// (" AND t_aliments.CaloriesGramme <= ?" and 0.5). Empty when no restriction is in force.
struct SqlClause {
    QString text;
    QVariantList values;
    bool isEmpty() const { return text.isEmpty(); }
};

struct SqlStatement {
    QString sql;
    QVariantList values;   // in the order of the statement's '?'
};

// The foods (and, when withRecipes, the recipes) of consumption category `categoryId`, eight
// columns: IdAliment, NomAlimentFrancais (the chosen name column, whatever the language),
// CaloriesGramme, LipidesGramme, ProtidesGramme, GlucidesGramme, IdCategorie, Recette (0 for a
// food, 1 for a recipe: with IdAliment, what the item is whatever its name). Foods join the
// mapping table through their category id + 27, recipes through their themes; the union keeps a
// recipe once whatever the number of its themes in the category. `foodColumn` and
// `recipeColumn` are names of the program's own name columns, never user text.
SqlStatement FoodListQuery(int categoryId, const QString& foodColumn, const QString& recipeColumn,
                           const SqlClause& foodClause, const SqlClause& recipeClause,
                           bool withRecipes);

// One row of the day as the totals read it. A null quantity counts as 0.
struct DayRow {
    double calories = 0;   // per gram
    double lipids = 0;
    double proteins = 0;
    double carbs = 0;
    QVariant quantity;     // grams; null = not typed yet
};

// The day's totals: 32-bit sums, as the rest of the module reads them.
struct DayTotals {
    bool valid = false;        // false: a row has a negative quantity; every total is then 0
    int firstNegativeRow = -1;
    float calories = 0, lipids = 0, proteins = 0, carbs = 0, quantity = 0;
    float lipidEnergy = 0, proteinEnergy = 0, carbEnergy = 0, nutrientEnergy = 0;
};

// Sums every row whose quantity is not 0: each product in double precision, added into the
// 32-bit totals. Energies: 9 kcal per gram of lipids, 4 per gram of proteins and carbohydrates.
// A negative quantity makes the day invalid (every total 0).
DayTotals ComputeDayTotals(const std::vector<DayRow>& rows);
// The same sums without the check: negative quantities count as they are (the optimisation).
DayTotals SumDayRows(const std::vector<DayRow>& rows);

// Whether a row's quantity lets the day be printed or saved: typed, a finite number, above 0.
bool IsCompleteQuantity(const QVariant& grams);
// Whether every row of the day has a complete quantity (true for a day without rows).
bool DayRowsComplete(const std::vector<DayRow>& rows);
// Whether "Imprimer" and "Sauvegarder" may be offered: the day has rows and all are complete.
bool DayReadyToPrint(const std::vector<DayRow>& rows);
// Whether a row of the day is still open (quantity 0 or empty): the optimisation computes it.
bool IsOpenRow(const DayRow& row);
// Whether the day's carbohydrates stay under the advised 100 g once its quantities are known:
// the day has rows and none left open could still bring calories.
bool CarbsBelowMinimum(const std::vector<DayRow>& rows, float totalCarbs);

// The nine texts of the totals band.
struct DayTotalsTexts {
    QString calories, caloriesShare, lipids, lipidsShare, proteins, proteinsShare, carbs,
        carbsShare, quantity;
};
// Every number through QuantityToText; the calories' share is "100" when there are calories,
// else "0"; each nutrient's share is of the energy of the three nutrients ("0" without any).
DayTotalsTexts FormatDayTotals(const DayTotals& totals);

// Whether the day's calories exceed the objective by more than 2 %; never without an objective.
bool CaloriesAboveObjective(float totalCalories, float objective);

// A whole number typed in an edit ("1500", " -10"); false for decimals, letters or an overflow.
bool ParseWholeNumber(const QString& text, int* value);

// A whole number typed in one of the day window's setting edits (the calorie objective, the
// minimum quantity): "" is 0, none; otherwise a number of `rule` ("1500", "1500.0"). Nothing for
// any other text, with the refusal naming `caption` and the range in `refusal`.
std::optional<int> ReadSettingNumber(const QString& caption, const QString& text, const NumberRule& rule,
                                     QString* refusal = nullptr);
// A setting as its edit shows it: "" for 0.
QString SettingText(double value);

// Whether an objective this far below the needs deserves the advice: needs known, and more than
// 900 kcal between them.
bool ObjectiveFarBelowNeeds(bool needsKnown, int totalNeeds, float objective);
// The advice shown then.
QString ObjectiveAdviceText(int totalNeeds, float objective);

// The name a listed food or recipe is stored under in the day: cut to the width of
// t_consommation.NomAliment, as the table cuts it when the row is written.
QString StoredConsoName(const QString& listedName);
// Whether `listedName`, once stored, would repeat one of `dayNames` (letter case ignored).
bool IsAlreadyInDay(const QString& listedName, const QStringList& dayNames);

// The day holds at most this many rows.
constexpr int kMaxDayRows = 50;
