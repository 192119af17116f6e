#include <gtest/gtest.h>

#include "frame/TextHelpers.h"
#include "support/FrenchLocale.h"

namespace {
class FrenchLocale : public ::testing::Test {
    FrenchLocaleGuard french;
};

struct NumberCase {
    double value;
    const char* text;
};
}  // namespace

TEST_F(FrenchLocale, QuantityToTextRoundsUpToTheHundredth) {
    const NumberCase cases[] = {
        {12, "12"}, {0, "0"}, {12.5, "12,50"}, {12.001, "12,01"}, {0.004, "0,01"},
        // 1.1 x 100 lies just above 110 in binary floating point, 0.29 x 100 just below 29.
        {1.1, "1,11"}, {0.29, "0,29"},
        // Four significant digits, then scientific form beyond four integer digits.
        {123.456, "123,50"}, {1234.56, "1235,00"}, {999.99, "1000,00"}, {12345.67, "1,235E+04"},
        // Whole numbers of any size, with no overflow beyond 32-bit hundredths.
        {25000, "25000"}, {3e9, "3000000000"}};
    for (const NumberCase& c : cases) EXPECT_EQ(QuantityToText(c.value), c.text) << c.value;
}

TEST_F(FrenchLocale, ParseNonNegativeNumberReadsTheLocalesDecimals) {
    const struct { const char* typed; double value; bool ok; } typed[] = {
        {"250", 250, true}, {"0,5", 0.5, true}, {" 12 ", 12, true}, {"", 0, false},
        {"12,", 12, true}, {"-3", 0, false}, {"abc", 0, false}, {"1.5", 1.5, true}};
    for (const auto& t : typed) {
        const std::optional<double> v = ParseNonNegativeNumber(QString::fromUtf8(t.typed));
        EXPECT_EQ(v.has_value(), t.ok) << t.typed;
        if (v) EXPECT_DOUBLE_EQ(*v, t.value) << t.typed;
    }
}

TEST(TextHelpers, ReplaceAllScansLeftToRightWithoutRescanning) {
    EXPECT_EQ(ReplaceAll("1,5,2", ",", "."), "1.5.2");
    EXPECT_EQ(ReplaceAll("a", "abc", "x"), "a");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");         // matches do not overlap
    EXPECT_EQ(ReplaceAll("aXa", "a", "aa"), "aaXaa");      // replacement is not scanned again
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");          // empty pattern: nothing to do
    EXPECT_EQ(ReplaceAll("Abc", "a", "x"), "Abc");         // case-sensitive
}

TEST_F(FrenchLocale, FoldAccentsGivesAnAccentFreeKey) {
    EXPECT_EQ(FoldAccents(QStringLiteral("Crème Brûlée"), true), "CREME BRULEE");
    EXPECT_EQ(FoldAccents(QString(), true), "");
    EXPECT_EQ(FoldAccents(QStringLiteral("ÀÂÄÉÈÊËÎÏÔÖÙÛÜŸÇ"), false), "aaaeeeeiioouuuyc");
    EXPECT_EQ(FoldAccents(QStringLiteral("áíìóúüçòñ"), false), QStringLiteral("aiiouucoñ"));
    EXPECT_EQ(FoldAccents(QStringLiteral("ŒUF"), false), "oeuf");
    EXPECT_EQ(FoldAccents(QStringLiteral("bœuf"), true), "BOEUF");
    EXPECT_EQ(FoldAccents(QStringLiteral("Ænéas"), false), "aeneas");
}

TEST(TextHelpers, FileNamePartSplitsOnEitherSeparator) {
    const char* const cases[][2] = {{"C:\\Images\\tarte.jpg", "tarte.jpg"}, {"/home/u/Images/tarte.jpg", "tarte.jpg"},
                                    {"tarte.jpg", "tarte.jpg"}, {"C:\\Images\\", ""}, {"a\\b/c", "c"},
                                    {"a/b\\c", "c"}, {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(FileNamePart(c[0]), c[1]) << c[0];
}
