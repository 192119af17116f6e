#include "tracking/QuantityOptimisation.h"

#include <QLocale>
#include <cmath>
#include <stdexcept>

#include "frame/TextHelpers.h"

namespace {

OptimisationStart readDay(const std::vector<DayRow>& rows, float calorieObjective) {
    OptimisationStart start;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!IsOpenRow(rows[i])) continue;
        start.openRows.push_back(int(i));
        start.openCalories += rows[i].calories;
    }
    start.setTotals = SumDayRows(rows);  // open rows add nothing
    start.remainingCalories = calorieObjective - start.setTotals.calories;
    start.remainingCarbs = 100.0f - start.setTotals.carbs;
    return start;
}

// Mode 0: the missing calories split equally over every open row; a row without calories keeps
// 0 and its share goes to no other row.
std::vector<QuantityWrite> equalShares(const std::vector<DayRow>& rows, const OptimisationStart& start) {
    const float share = start.remainingCalories / float(start.openRows.size());
    std::vector<QuantityWrite> writes;
    for (int row : start.openRows) {
        const double calories = rows[size_t(row)].calories;
        if (calories != 0) writes.push_back({row, RoundedQuantity(double(share) / calories)});
    }
    return writes;
}

int32_t solveProgramme(const std::vector<DayRow>& rows, const OptimisationStart& start,
                       const OptimisationSettings& s, int64_t maxPivots,
                       std::vector<QuantityWrite>* writes) {
    std::vector<DayRow> open;
    for (int row : start.openRows) open.push_back(rows[size_t(row)]);
    OptimisationProgramme p = BuildOptimisationProgramme(s.mode, open, start.remainingCalories,
                                                         start.remainingCarbs, s.minimumQuantity,
                                                         s.nutrient);
    std::vector<double> x(SimplexOutputSize(p.m(), p.n));
    if (maxPivots <= 0) maxPivots = SimplexMaxPivots(p.m(), p.n);
    switch (Simplex(p.a, x, p.m1, p.m2, p.m3, p.n, maxPivots)) {
    case SimplexSolved: break;
    case SimplexUnbounded: return OptimisationUnbounded;
    case SimplexInfeasible: return OptimisationInfeasible;
    default: return OptimisationSolveStopped;
    }
    for (int32_t k = 1; k <= p.n; ++k)
        writes->push_back({start.openRows[size_t(k - 1)], RoundedQuantity(x[size_t(k)])});
    return OptimisationOk;
}

double nutrientOf(const DayRow& r, int32_t nutrient) {
    return nutrient == 0 ? r.proteins : nutrient == 1 ? r.lipids : r.carbs;
}

}  // namespace

int32_t CheckOptimisationSettings(const OptimisationSettings& s) {
    if (s.calorieObjective == 0) return OptimisationNoObjective;
    if (s.nutrient < 0 && s.mode != 0 && s.mode != 1) return OptimisationNoNutrient;
    if (s.minimumQuantity == 0 && s.mode != 0) return OptimisationNoMinimum;
    return OptimisationOk;
}

OptimisationPlan PlanOptimisation(const std::vector<DayRow>& rows, const OptimisationSettings& s,
                                  int64_t maxPivots) {
    OptimisationPlan plan;
    plan.failure = CheckOptimisationSettings(s);
    if (plan.failure != OptimisationOk) return plan;
    plan.dayRead = true;
    plan.start = readDay(rows, s.calorieObjective);
    // What stops the calculation, in the order the user can act on it: the typed rows already
    // reach the objective, no row is left to compute, or none of those left brings calories.
    if (plan.start.remainingCalories <= 0) {
        plan.failure = OptimisationNothingLeft;
    } else if (plan.start.openRows.empty()) {
        plan.failure = OptimisationNoOpenRow;
    } else if (plan.start.openCalories == 0) {
        plan.failure = OptimisationNoCaloricRow;
    } else if (s.mode == 0) {
        plan.writes = equalShares(rows, plan.start);
    } else if (s.mode >= 1 && s.mode <= 3) {
        plan.failure = solveProgramme(rows, plan.start, s, maxPivots, &plan.writes);
    }
    return plan;
}

OptimisationProgramme BuildOptimisationProgramme(int32_t mode, std::span<const DayRow> openRows,
                                                 double remainingCalories, double remainingCarbs,
                                                 double minimumQuantity, int32_t nutrient) {
    OptimisationProgramme p;
    const auto n = int32_t(openRows.size());
    p.n = n;
    const double R = remainingCalories;
    if (mode == 1) {
        // 0 objective, 1 <= calories, 2..4 >= nutrient energies, 4 + k >= minimum of row k.
        p.m1 = 1;
        p.m2 = n + 3;
        p.a.reset(p.m(), n);
        SimplexTableau& a = p.a;
        a[1][0] = R;
        a[2][0] = 0.30 * R;
        a[3][0] = 0.11 * R;
        a[4][0] = 0.52 * R;
        for (int32_t k = 1; k <= n; ++k) {
            const DayRow& r = openRows[size_t(k - 1)];
            a[0][k] = r.calories;
            a[1][k] = r.calories;
            a[2][k] = 9 * r.lipids;
            a[3][k] = 4 * r.proteins;
            a[4][k] = 4 * r.carbs;
            a[4 + k][0] = minimumQuantity;
            a[4 + k][k] = 1;
        }
        return p;
    }
    // 0 objective (the nutrient, negated to minimise), k >= minimum of row k, n + 1 >= missing
    // carbohydrates, n + 2 = missing calories.
    p.m2 = n + 1;
    p.m3 = 1;
    p.a.reset(p.m(), n);
    SimplexTableau& a = p.a;
    const double sign = mode == 3 ? -1.0 : 1.0;
    a[n + 1][0] = remainingCarbs;
    a[n + 2][0] = R;
    for (int32_t k = 1; k <= n; ++k) {
        const DayRow& r = openRows[size_t(k - 1)];
        a[0][k] = sign * nutrientOf(r, nutrient);
        a[k][0] = minimumQuantity;
        a[k][k] = 1;
        a[n + 1][k] = r.carbs;
        a[n + 2][k] = r.calories;
    }
    return p;
}

double RoundedQuantity(double quantity) {
    const QString text = QuantityToText(quantity);
    bool ok = false;
    const double value = QLocale().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        throw std::runtime_error(
            QStringLiteral("Quantité calculée illisible : %1").arg(text).toStdString());
    return value;
}

QString OptimisationFailureText(int32_t failure, std::span<const QString> messageTable) {
    switch (failure) {
    case OptimisationNoObjective: return messageTable[6];
    case OptimisationNoNutrient: return messageTable[7];
    case OptimisationNoMinimum: return messageTable[8];
    case OptimisationNothingLeft: return messageTable[9];
    case OptimisationNoCaloricRow:
        return messageTable[10] +
               QStringLiteral("        Aucun des aliments dont la quantité reste à calculer (vide ou 0)\n"
                              "        n'apporte de calories. Laissez à 0 la quantité d'au moins un\n"
                              "        aliment énergétique !");
    case OptimisationNoOpenRow:
        return messageTable[10] +
               QStringLiteral("        Toutes les quantités sont déjà saisies : il n'en reste aucune à\n"
                              "        calculer. Mettez à 0 la quantité des aliments à calculer !");
    default:
        return messageTable[10] +
               QStringLiteral("        Les aliments ou les quantités saisies rendent impossible la\n"
                              "        répartition de l'apport calorique sélectionnée dans le "
                              "respect de l'objectif calorique.");
    }
}
