#include <gtest/gtest.h>

#include "data/TypedNumber.h"
#include "support/FrenchLocale.h"

// Point and comma alike in the French locale; control characters, infinities and huge numbers
// refused; the refusal names the field, the text typed and the range.
TEST(TypedNumber, ReadsPointAndCommaAndRefusesTheRest) {
    FrenchLocaleGuard french;
    const struct { QString typed; double value; bool ok; } cases[] = {
        {"1.2", 1.2, true}, {"1,2", 1.2, true}, {" 12 ", 12, true}, {"12,", 12, true}, {"-3", -3, true},
        {"1e300", 1e300, true}, {"", 0, false}, {"abc", 0, false}, {"6O", 0, false}, {"inf", 0, false},
        {"nan", 0, false}, {"1e309", 0, false}, {QString("1") + QChar(0) + "2", 0, false}, {"1\t2", 0, false},
        {"1.2.3", 0, false}, {"1,000.5", 0, false}};
    for (const auto& c : cases) {
        const std::optional<double> v = ReadTypedNumber(c.typed);
        EXPECT_EQ(v.has_value(), c.ok) << c.typed.toStdString();
        if (v && c.ok) EXPECT_DOUBLE_EQ(*v, c.value) << c.typed.toStdString();
    }
    for (const char* huge : {"1e308", "1e300", "2147483648", "10000.01"})
        EXPECT_FALSE(CheckTypedNumber("Quantité (g)", huge, NumberRules::Grams)) << huge;
    EXPECT_DOUBLE_EQ(*CheckTypedNumber("Quantité (g)", "10000", NumberRules::Grams), 10000);
    EXPECT_FALSE(CheckTypedNumber("Âge", "30,5", NumberRules::Age));

    QString refusal;
    CheckTypedNumber("Quantité (g)", "1e308", NumberRules::Grams, &refusal);
    EXPECT_EQ(refusal, "        Quantité (g) : « 1e308 » n'est pas un nombre de 0 à 10000 g.");
    CheckTypedNumber("Âge", QString("1") + QChar(0) + "2", NumberRules::Age, &refusal);
    EXPECT_EQ(refusal, QString("        Âge : « 1") + QChar(0xFFFD) + "2 » n'est pas un nombre entier de 0 à 125.");
    EXPECT_EQ(NumberRangeHint(NumberRules::CaloriesPer100g), "        Valeur attendue : un nombre de 0 à 900 kcal.");
}
