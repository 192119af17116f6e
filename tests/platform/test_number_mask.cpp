#include <gtest/gtest.h>

#include "platform/report/NumberMask.h"

#include <QDate>

using report::formatNumber;
using report::formatPlain;
using report::formatValue;

namespace {
const QLocale kFrench(QLocale::French, QLocale::France);
const QLocale kC(QLocale::C);
}  // namespace

TEST(NumberMask, MasksRoundHalfAwayFromZeroAndDropOptionalDigits) {
    const struct {
        double value;
        const char* mask;
        const QLocale& locale;
        const char* expected;
    } cases[] = {
        {1234.5, "####0.###", kFrench, "1234,5"}, {12, "####0.###", kFrench, "12"},
        {1.0 / 3.0, "####0.###", kFrench, "0,333"},
        {0.52 * 150, "####0.###", kFrench, "78"},  // 78.00000000000001 in binary
        {999.9996, "####0.###", kFrench, "1000"}, {1234.5, "####0.###", kC, "1234.5"},
        {123456789.25, "####0.###", kFrench, "123456789,25"},  // no grouping
        {1234.567, "####0.##", kFrench, "1234,57"}, {0.125, "####0.##", kFrench, "0,13"},
        {1.005, "####0.##", kFrench, "1,01"}, {-2.345, "####0.##", kFrench, "-2,35"},
        {-0.001, "####0.##", kFrench, "0"},  // no "-0"
        // Required digits pad.
        {5, "000.00", kC, "005.00"}, {0.5, "#.##", kC, ".5"}, {7.26, "0", kC, "7"}};
    for (const auto& c : cases) EXPECT_EQ(formatNumber(c.value, c.mask, c.locale), c.expected) << c.value << " " << c.mask;
}

TEST(NumberMask, ValuesThroughAMaskOrTheirOwnFormat) {
    EXPECT_EQ(formatValue(QVariant(QStringLiteral("-")), "####0.###", kFrench), "-");
    EXPECT_EQ(formatValue(QVariant(QStringLiteral("2.5")), "####0.###", kFrench), "2,5");
    EXPECT_EQ(formatValue(QVariant(), "####0.###", kFrench), "");
    EXPECT_EQ(formatValue(QVariant(0.52), QString(), kFrench), "0,52");
    EXPECT_EQ(formatPlain(QVariant(15000), kFrench), "15000");
    EXPECT_EQ(formatPlain(QVariant(0.1 + 0.2), kFrench), "0,3");
    EXPECT_EQ(formatPlain(QVariant(QStringLiteral("Crème")), kFrench), "Crème");
    EXPECT_EQ(formatPlain(QVariant(QDate(2024, 3, 9)), kFrench), "09/03/2024");
}
