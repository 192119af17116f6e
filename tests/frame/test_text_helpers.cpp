#include <QLocale>
#include <gtest/gtest.h>

#include "frame/TextHelpers.h"

namespace {
// Runs the tests in the French locale and puts the previous default back afterwards.
class FrenchLocale : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    }
    void TearDown() override { QLocale::setDefault(saved_); }
    QLocale saved_;
};
}  // namespace

TEST_F(FrenchLocale, QuantityToTextRoundsUpToTheHundredth) {
    EXPECT_EQ(QuantityToText(12), "12");
    EXPECT_EQ(QuantityToText(0), "0");
    EXPECT_EQ(QuantityToText(12.5), "12,50");
    EXPECT_EQ(QuantityToText(12.001), "12,01");
    EXPECT_EQ(QuantityToText(0.004), "0,01");
    EXPECT_EQ(QuantityToText(0.05), "0,05");
    // 1.1 x 100 lies just above 110 in binary floating point, 0.29 x 100 just below 29.
    EXPECT_EQ(QuantityToText(1.1), "1,11");
    EXPECT_EQ(QuantityToText(0.29), "0,29");
    // Four significant digits: 123.46 shows as 123,50, 1234.56 as 1235,00.
    EXPECT_EQ(QuantityToText(123.456), "123,50");
    EXPECT_EQ(QuantityToText(1234.56), "1235,00");
    EXPECT_EQ(QuantityToText(999.99), "1000,00");
    // Beyond four integer digits the number is written in scientific form.
    EXPECT_EQ(QuantityToText(12345.67), "1,235E+04");
    EXPECT_EQ(QuantityToText(25000), "25000");
    // No overflow for quantities beyond 32-bit hundredths.
    EXPECT_EQ(QuantityToText(3e9), "3000000000");
}

TEST_F(FrenchLocale, DoubleToDotTextAlwaysUsesAPoint) {
    EXPECT_EQ(DoubleToDotText(100), "100");
    EXPECT_EQ(DoubleToDotText(7), "7");
    EXPECT_EQ(DoubleToDotText(0), "0");
    EXPECT_EQ(DoubleToDotText(2.25), "2.25");
    EXPECT_EQ(DoubleToDotText(2.1), "2.1");
    EXPECT_EQ(DoubleToDotText(0.1234567), "0.123456");  // cut, not rounded
    EXPECT_EQ(DoubleToDotText(0.00001), "0.00001");
    EXPECT_EQ(DoubleToDotText(3.0625), "3.0625");
    // Below 0.00001 the fraction is written in plain digits, never in scientific form.
    EXPECT_EQ(DoubleToDotText(5.000002), "5.000002");
    EXPECT_EQ(DoubleToDotText(5.0000000001), "5");
    EXPECT_EQ(DoubleToDotText(-2.25), "-2.25");
    for (double x : {0.5, 1.75, 12.345, 1e-6, 99999.99}) {
        const QString text = DoubleToDotText(x);
        EXPECT_FALSE(text.contains(QLatin1Char(','))) << text.toStdString();
        EXPECT_FALSE(text.contains(QLatin1Char('e'), Qt::CaseInsensitive)) << text.toStdString();
    }
}

TEST(TextHelpers, ReplaceAllScansLeftToRightWithoutRescanning) {
    EXPECT_EQ(ReplaceAll("1,5,2", ",", "."), "1.5.2");
    EXPECT_EQ(ReplaceAll("abc", ",", "."), "abc");
    EXPECT_EQ(ReplaceAll("a", "abc", "x"), "a");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");         // matches do not overlap
    EXPECT_EQ(ReplaceAll("aXa", "a", "aa"), "aaXaa");      // replacement is not scanned again
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");          // empty pattern: nothing to do
    EXPECT_EQ(ReplaceAll("Abc", "a", "x"), "Abc");         // case-sensitive
}

TEST_F(FrenchLocale, FoldAccentsGivesAnAccentFreeKey) {
    EXPECT_EQ(FoldAccents(QStringLiteral("Crème Brûlée"), true), "CREME BRULEE");
    EXPECT_EQ(FoldAccents(QStringLiteral("Crème Brûlée"), false), "creme brulee");
    EXPECT_EQ(FoldAccents(QString(), true), "");
    EXPECT_EQ(FoldAccents(QStringLiteral("ÀÂÄÉÈÊËÎÏÔÖÙÛÜŸÇ"), false), "aaaeeeeiioouuuyc");
    EXPECT_EQ(FoldAccents(QStringLiteral("áíìóúüçòñ"), false), QStringLiteral("aiiouucoñ"));
    EXPECT_EQ(FoldAccents(QStringLiteral("ŒUF"), false), "oeuf");
    EXPECT_EQ(FoldAccents(QStringLiteral("bœuf"), true), "BOEUF");
    EXPECT_EQ(FoldAccents(QStringLiteral("Ænéas"), false), "aeneas");
}

TEST(TextHelpers, PathPartsSplitOnEitherSeparator) {
    EXPECT_EQ(FileNamePart("C:\\Images\\tarte.jpg"), "tarte.jpg");
    EXPECT_EQ(DirectoryPart("C:\\Images\\tarte.jpg"), "C:\\Images\\");
    EXPECT_EQ(FileNamePart("/home/u/Images/tarte.jpg"), "tarte.jpg");
    EXPECT_EQ(DirectoryPart("/home/u/Images/tarte.jpg"), "/home/u/Images/");
    EXPECT_EQ(FileNamePart("tarte.jpg"), "tarte.jpg");
    EXPECT_EQ(DirectoryPart("tarte.jpg"), "");
    EXPECT_EQ(FileNamePart("C:\\Images\\"), "");
    EXPECT_EQ(DirectoryPart("C:\\Images\\"), "C:\\Images\\");
    EXPECT_EQ(FileNamePart("a/b\\c"), "c");
    EXPECT_EQ(DirectoryPart("a\\b/c"), "a\\b/");
    EXPECT_EQ(FileNamePart(""), "");
}
