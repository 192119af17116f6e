#include "tracking/ConsoDay.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

#include "data/ColumnWidths.h"
#include "frame/TextHelpers.h"

SqlStatement FoodListQuery(int categoryId, const QString& foodColumn, const QString& recipeColumn,
                           const SqlClause& foodClause, const SqlClause& recipeClause,
                           bool withRecipes) {
    SqlStatement st;
    // A food category maps to the consumption category of its id + 27; the join takes the 27
    // off the mapping's side, so that the index on the foods' category serves it.
    st.sql = QStringLiteral(
                 "SELECT t_aliments.IdAliment as IdAliment, t_aliments.%1 as NomAlimentFrancais, "
                 "t_aliments.CaloriesGramme, t_aliments.LipidesGramme, t_aliments.ProtidesGramme, "
                 "t_aliments.GlucidesGramme, t_alim_recette_catconso.IdMetaCategorie as IdCategorie, 0 as Recette "
                 "FROM t_aliments, t_alim_recette_catconso "
                 "WHERE t_aliments.IdCatAliment = t_alim_recette_catconso.IdCategorie - 27 "
                 "AND t_alim_recette_catconso.IdMetaCategorie = ?")
                 .arg(foodColumn) +
             foodClause.text;
    st.values << categoryId << foodClause.values;
    if (withRecipes) {
        st.sql += QStringLiteral(
                      " UNION SELECT t_recettes.IdRecette as IdAliment, t_recettes.%1 as NomAlimentFrancais, "
                      "t_recettes.CaloriesGramme, t_recettes.LipidesGramme, t_recettes.ProtidesGramme, "
                      "t_recettes.GlucidesGramme, t_alim_recette_catconso.IdMetaCategorie as IdCategorie, 1 as Recette "
                      "FROM t_recettes, t_categories_recettes, t_alim_recette_catconso "
                      "WHERE t_recettes.IdRecette = t_categories_recettes.IdRecette "
                      "AND t_categories_recettes.IdCategorie = t_alim_recette_catconso.IdCategorie "
                      "AND t_alim_recette_catconso.IdMetaCategorie = ?")
                      .arg(recipeColumn) +
                  recipeClause.text;
        st.values << categoryId << recipeClause.values;
    }
    st.sql += QLatin1Char(';');
    return st;
}

DayTotals ComputeDayTotals(const std::vector<DayRow>& rows) {
    DayTotals t;
    for (size_t i = 0; i < rows.size(); ++i) {
        // A negative quantity, or a value no day could hold (an infinity written by another
        // program), gives no totals.
        const DayRow& r = rows[i];
        const double q = r.quantity.toDouble();
        if (!(q >= 0) || !std::isfinite(q) || !std::isfinite(r.calories * q) || !std::isfinite(r.lipids * q) ||
            !std::isfinite(r.proteins * q) || !std::isfinite(r.carbs * q)) {
            t.firstNegativeRow = int(i);
            return t;
        }
    }
    t = SumDayRows(rows);
    if (!std::isfinite(t.calories) || !std::isfinite(t.nutrientEnergy) || !std::isfinite(t.quantity)) return DayTotals{};
    return t;
}

DayTotals SumDayRows(const std::vector<DayRow>& rows) {
    DayTotals t;
    for (const DayRow& r : rows) {
        const double q = r.quantity.toDouble();   // null reads as 0
        if (q == 0) continue;
        // Each product is added in double precision, and only the sum is stored in 32 bits.
        t.calories = float(double(t.calories) + r.calories * q);
        t.lipids = float(double(t.lipids) + r.lipids * q);
        t.proteins = float(double(t.proteins) + r.proteins * q);
        t.carbs = float(double(t.carbs) + r.carbs * q);
        t.quantity = float(double(t.quantity) + q);
    }
    t.lipidEnergy = 9 * t.lipids;
    t.proteinEnergy = 4 * t.proteins;
    t.carbEnergy = 4 * t.carbs;
    t.nutrientEnergy = t.lipidEnergy + t.proteinEnergy + t.carbEnergy;
    t.valid = true;
    return t;
}

bool IsCompleteQuantity(const QVariant& grams) {
    if (grams.isNull()) return false;
    bool ok = false;
    const double q = grams.toDouble(&ok);
    return ok && std::isfinite(q) && q > 0;
}

bool DayRowsComplete(const std::vector<DayRow>& rows) {
    return std::all_of(rows.begin(), rows.end(), [](const DayRow& r) { return IsCompleteQuantity(r.quantity); });
}

bool DayReadyToPrint(const std::vector<DayRow>& rows) { return !rows.empty() && DayRowsComplete(rows); }

bool IsOpenRow(const DayRow& row) { return row.quantity.toDouble() == 0; }  // empty reads as 0

bool CarbsBelowMinimum(const std::vector<DayRow>& rows, float totalCarbs) {
    const bool stillOpen =
        std::any_of(rows.begin(), rows.end(), [](const DayRow& r) { return IsOpenRow(r) && r.calories != 0; });
    return !rows.empty() && !stillOpen && totalCarbs < 100;
}

DayTotalsTexts FormatDayTotals(const DayTotals& t) {
    auto share = [&](float energy) {
        return t.nutrientEnergy > 0 ? QuantityToText(double(energy) / double(t.nutrientEnergy) * 100)
                                    : QStringLiteral("0");
    };
    DayTotalsTexts s;
    s.calories = QuantityToText(t.calories);
    s.caloriesShare = t.calories > 0 ? QStringLiteral("100") : QStringLiteral("0");
    s.lipids = QuantityToText(t.lipids);
    s.lipidsShare = share(t.lipidEnergy);
    s.proteins = QuantityToText(t.proteins);
    s.proteinsShare = share(t.proteinEnergy);
    s.carbs = QuantityToText(t.carbs);
    s.carbsShare = share(t.carbEnergy);
    s.quantity = QuantityToText(t.quantity);
    return s;
}

bool CaloriesAboveObjective(float totalCalories, float objective) {
    return objective != 0 && double(totalCalories) > double(objective) * 1.02;
}

bool ParseWholeNumber(const QString& text, int* value) {
    QString t = text;
    while (t.startsWith(QLatin1Char(' '))) t.remove(0, 1);
    if (t.isEmpty()) return false;
    int i = (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-')) ? 1 : 0;
    if (i == t.size()) return false;
    for (int j = i; j < t.size(); ++j)
        if (t[j] < QLatin1Char('0') || t[j] > QLatin1Char('9')) return false;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    *value = int(v);
    return true;
}

std::optional<int> ReadSettingNumber(const QString& caption, const QString& text, const NumberRule& rule,
                                     QString* refusal) {
    if (refusal) refusal->clear();
    if (text.trimmed().isEmpty()) return 0;
    const std::optional<double> v = CheckTypedNumber(caption, text, rule, refusal);
    if (!v) return std::nullopt;
    return int(*v);
}

QString SettingText(double value) { return value == 0 ? QString() : QString::number(value, 'f', 0); }

bool ObjectiveFarBelowNeeds(bool needsKnown, int totalNeeds, float objective) {
    return needsKnown && double(totalNeeds) - 900 > double(objective);
}

QString ObjectiveAdviceText(int totalNeeds, float objective) {
    return QStringLiteral("L'estimation de vos besoins caloriques est de ") + QString::number(totalNeeds) +
           QStringLiteral(" kilocalories, or votre objectif calorique est de ") +
           QString::number(double(objective), 'g', 15) + QStringLiteral(" kilocalories.\n") +
           QStringLiteral("Vous devez tenir compte des deux points suivants : \n") +
           QStringLiteral("1- L'estimation des besoins est faite pour un individu « type » et les vôtres "
                          "peuvent être sensiblement différents.\n") +
           QStringLiteral("2- Il est déconseillé, dans le cadre d'un régime, de diminuer son apport "
                          "calorique de plus de 900 kilocalories par rapport à ses besoins.");
}

QString StoredConsoName(const QString& listedName) {
    static const int width = ColumnTextWidth(QStringLiteral("t_consommation"), QStringLiteral("NomAliment"));
    return CutToWidth(listedName, width);
}

bool IsAlreadyInDay(const QString& listedName, const QStringList& dayNames) {
    const QString stored = StoredConsoName(listedName);
    for (const QString& name : dayNames)
        if (QString::compare(name, stored, Qt::CaseInsensitive) == 0) return true;
    return false;
}
