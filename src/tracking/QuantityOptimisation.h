#pragma once
// "Calcul des quantités" without widgets: fills the quantities the user left at 0 (or empty) so
// that the day reaches its calorie objective.
//
//   mode 0  each open row gets an equal share of the missing calories
//   mode 1  as many of the missing calories as possible, at least 30 % of them from lipids,
//           11 % from proteins and 52 % from carbohydrates, each open row at least the minimum
//   mode 2  exactly the missing calories, at least 100 g of carbohydrates in the day, each open
//           row at least the minimum, the chosen nutrient as high as possible
//   mode 3  as mode 2 with the nutrient as low as possible
//
// The window reads its rows (in Numero order), asks PlanOptimisation what to write, writes and
// posts each quantity, then totals the day again.
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "tracking/ConsoDay.h"
#include "tracking/Simplex.h"

// Why a click computes nothing. The numbers are the codes of the optimisation's messages.
enum OptimisationFailure : int32_t {
    OptimisationOk = -1,
    OptimisationNoObjective = 0,     // no calorie objective
    OptimisationNoNutrient = 1,      // mode 2 or 3 without a nutrient
    OptimisationNoMinimum = 2,       // mode 1, 2 or 3 without a minimum quantity
    OptimisationNothingLeft = 3,     // the set rows already reach the objective
    OptimisationUnbounded = 4,       // the programme is unbounded
    OptimisationInfeasible = 5,      // the programme is infeasible
    OptimisationSolveStopped = 6,    // the solver gave up (pivot cap); reported as 4 and 5
    OptimisationNoCaloricRow = 8,    // open rows, none with calories
    OptimisationNoOpenRow = 9,       // every row has its quantity: nothing to compute
};

// What the window's settings hold when the button is clicked.
struct OptimisationSettings {
    float calorieObjective = 0;  // kcal
    int32_t mode = 0;            // CbxTypeOptimisation index
    int32_t nutrient = -1;       // CbxNutriment selection: 0 proteins, 1 lipids, 2 carbs, -1 none
    int32_t minimumQuantity = 0; // grams
};

// The first pass over the day.
struct OptimisationStart {
    std::vector<int> openRows;    // indices (in the rows given) of the rows whose quantity is 0
    DayTotals setTotals;          // sums of the other rows
    double openCalories = 0;      // sum of the open rows' calories per gram
    float remainingCalories = 0;  // objective minus the calories of the set rows
    float remainingCarbs = 0;     // 100 g minus the carbohydrates of the set rows
};

// One quantity to write: row index (in the rows given) and grams, already rounded.
struct QuantityWrite {
    int row = 0;
    double quantity = 0;
};

struct OptimisationPlan {
    int32_t failure = OptimisationOk;
    bool dayRead = false;             // the settings passed their checks and `start` is filled
    OptimisationStart start;
    std::vector<QuantityWrite> writes; // in the order they are to be posted
};

// The settings' own checks, in order (objective, nutrient, minimum): the first failure, or
// OptimisationOk. They need no row of the day.
int32_t CheckOptimisationSettings(const OptimisationSettings& settings);

// Checks (objective, nutrient, minimum), first pass, and the quantities of the chosen mode.
// A mode outside 0..3 computes nothing and fails nothing. `maxPivots` bounds the solver's
// exchange steps (0: the solver's own cap for the programme's size).
OptimisationPlan PlanOptimisation(const std::vector<DayRow>& rows, const OptimisationSettings& settings,
                                  int64_t maxPivots = 0);

// The linear programme of mode 1, 2 or 3 over the open rows (their per-gram values), with the
// row counts to pass to Simplex.
struct OptimisationProgramme {
    SimplexTableau a;
    int32_t m1 = 0, m2 = 0, m3 = 0, n = 0;
    int32_t m() const { return m1 + m2 + m3; }
};
OptimisationProgramme BuildOptimisationProgramme(int32_t mode, std::span<const DayRow> openRows,
                                                 double remainingCalories, double remainingCarbs,
                                                 double minimumQuantity, int32_t nutrient);

// A computed quantity as stored: the number QuantityToText shows for it (up to the next
// hundredth). Raises std::runtime_error when that is not a finite number.
double RoundedQuantity(double quantity);

// The message of a failure; `messageTable` is the window's MessageTable (22 texts).
QString OptimisationFailureText(int32_t failure, std::span<const QString> messageTable);
