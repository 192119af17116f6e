// How every reader turns a stored value into a logical, a number or a text: SQLite keeps what it
// is given, so a column may hold a number, a text or NULL whatever its declared type.
#include <gtest/gtest.h>

#include "data/RowSet.h"

TEST(StoredValues, LogicalsNumbersAndTextsReadAlikeEverywhere) {
    for (const QVariant& yes : {QVariant(1), QVariant(-1), QVariant(0.5), QVariant("1"), QVariant(" Vrai "),
                                QVariant("TRUE"), QVariant("2")})
        EXPECT_TRUE(dbvalue::toBool(yes)) << yes.toString().toStdString();
    for (const QVariant& no : {QVariant(), QVariant(0), QVariant(0.0), QVariant("0"), QVariant("faux"), QVariant("False"),
                               QVariant(""), QVariant("non")})
        EXPECT_FALSE(dbvalue::toBool(no)) << no.toString().toStdString();
    // Whole numbers are cut toward zero; what is not a finite number reads 0.
    const std::pair<QVariant, int> ints[] = {{2.7, 2}, {-2.7, -2}, {" 12 ", 12}, {"1e999", 0}, {"abc", 0}, {QVariant(), 0}};
    for (const auto& [v, expected] : ints) EXPECT_EQ(dbvalue::toInt(v), expected) << v.toString().toStdString();
    EXPECT_EQ(dbvalue::toDouble(QVariant("-0.25")), -0.25);
    EXPECT_EQ(dbvalue::toText(3.0), "3");
    EXPECT_EQ(dbvalue::toText(2.5), "2.5");
    EXPECT_EQ(dbvalue::toText(QVariant()), "");
    // A number looked for matches the same number stored as a text; a name typed matches the start
    // of a stored one only when asked to, and its case only when asked to.
    EXPECT_TRUE(dbvalue::matches(QVariant("2.0"), 2, {}));
    EXPECT_FALSE(dbvalue::matches(QVariant("2.5"), 2, {}));
    EXPECT_FALSE(dbvalue::matches(QVariant(), 2, {}));
    EXPECT_TRUE(dbvalue::matches(QVariant(), QVariant(), {}));
    EXPECT_TRUE(dbvalue::matches(QVariant("Crème"), QVariant("crè"), {true, true}));
    EXPECT_FALSE(dbvalue::matches(QVariant("Crème"), QVariant("crè"), {false, true}));
    EXPECT_FALSE(dbvalue::matches(QVariant("Crème"), QVariant("crè"), {true, false}));
}
