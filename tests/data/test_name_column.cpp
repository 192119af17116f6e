#include <gtest/gtest.h>

#include "data/NameColumn.h"

TEST(NameColumn, TakesTheLanguageColumnOrTheFirstNonEmptyOne) {
    const QStringList full{"Pomme", "Apple", "Apfel", "Mela", "Manzana"};
    EXPECT_EQ(ChooseNameColumn(full, 0), 0);
    EXPECT_EQ(ChooseNameColumn(full, 200), 1);
    EXPECT_EQ(ChooseNameColumn(full, 800), 4);
    // English empty on the sample row: the first non-empty column, French first.
    EXPECT_EQ(ChooseNameColumn({"Crème", "", "x", "", ""}, 200), 0);
    EXPECT_EQ(ChooseNameColumn({"", "", "Sahne", "Panna", ""}, 200), 2);
    // Nothing qualifies: an unknown code or a row without any name keeps the previous choice.
    EXPECT_EQ(ChooseNameColumn(full, 100), -1);
    EXPECT_EQ(ChooseNameColumn({"", "", "", "", ""}, 0), -1);
    EXPECT_EQ(ChooseNameColumn({}, 0), -1);
}
