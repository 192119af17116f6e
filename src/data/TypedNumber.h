#pragma once
// Numbers typed by the user, read and checked the same way in every window.
//
// ReadTypedNumber: "1.2" and "1,2" are both 1.2 whatever the locale (the keypad gives a point);
//   blanks around are ignored. Letters, control characters (a NUL from a paste), group
//   separators and anything that is not a finite number give none.
// NumberRule: the plausible values of one kind of field (bounds, whole numbers or not, unit),
//   taken from the table below so that every window holds the same limits.
// CheckTypedNumber: reads a typed text against a rule; a refusal names the field and the range,
//   e.g. "Quantité (g) : « 1e308 » n'est pas un nombre de 0 à 10000 g."
#include <QString>
#include <optional>

struct NumberRule {
    double low = 0;
    double high = 0;
    bool whole = false;   // whole numbers only (minutes, years, centimetres, kilograms, kcal)
    const char* unit = "";
};

namespace NumberRules {
// Grams of a food or an ingredient: a recipe's or a day's quantity, a piece weight.
inline constexpr NumberRule Grams{0, 10000, false, "g"};
// Per 100 g of a food: energy (pure fat is about 900 kcal) and each nutrient.
inline constexpr NumberRule CaloriesPer100g{0, 900, false, "kcal"};
inline constexpr NumberRule NutrientPer100g{0, 100, false, "g"};
// The same as whole numbers: the bounds of the food-list restriction.
inline constexpr NumberRule CaloriesPer100gBound{0, 900, true, "kcal"};
inline constexpr NumberRule NutrientPer100gBound{0, 100, true, "g"};
// Minutes in a day: an activity's duration.
inline constexpr NumberRule MinutesInDay{0, 1440, true, "min"};
// A preparation time sought by the recipe search: a time of day, so below 24 hours.
inline constexpr NumberRule PreparationMinutes{0, 1439, true, "min"};
inline constexpr NumberRule Age{0, 125, true, ""};
inline constexpr NumberRule HeightCm{40, 272, true, ""};
inline constexpr NumberRule WeightKg{2, 500, true, ""};
// The daily-needs estimate: its formulas hold from the first year, for a height above 25 cm and
// a weight in whole kilograms (a typed fraction is cut).
inline constexpr NumberRule NeedsAge{1, 125, true, "ans"};
inline constexpr NumberRule NeedsHeightCm{25, 280, false, "cm"};
inline constexpr NumberRule NeedsWeightKg{1, 500, false, "kg"};
// The weight saved with a day (0 or empty: not weighed).
inline constexpr NumberRule DayWeightKg{0, 250, false, "kg"};
// A day's energy objective.
inline constexpr NumberRule DayCalories{0, 10000, true, "kcal"};
// The least whole grams the day's quantity calculation gives each food.
inline constexpr NumberRule MinimumGrams{0, 10000, true, "g"};
// A count of household measures (spoons, glasses, pieces) to turn into grams.
inline constexpr NumberRule Measures{0, 1000, false, ""};
}  // namespace NumberRules

// The finite number typed, "1.2" or "1,2" alike; none for anything else.
std::optional<double> ReadTypedNumber(const QString& text);

// The refusal of `typed` for the field `caption` under `rule` (eight opening blanks).
QString NumberRefusal(const QString& caption, const QString& typed, const NumberRule& rule);

// Reads `text` under `rule`: the value, or (value empty) the refusal naming `caption` in `refusal`.
std::optional<double> CheckTypedNumber(const QString& caption, const QString& text, const NumberRule& rule,
                                       QString* refusal = nullptr);

// The range a window adds under its own refusal (eight opening blanks):
// "Valeur attendue : un nombre entier de 1 à 125."
QString NumberRangeHint(const NumberRule& rule);

// Whether `value` lies within the rule (and is whole when the rule asks it).
bool WithinRule(double value, const NumberRule& rule);
