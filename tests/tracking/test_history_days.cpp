// The history lists come back in date and name order whatever order the days were saved in.
#include <gtest/gtest.h>

#include "support/DataFixture.h"
#include "support/HistoryRows.h"
#include "tracking/HistoryDays.h"

TEST(HistoryDays, ListsAreSortedWhateverTheSavingOrder) {
    TestDataFolder folder;
    // Saved out of order: the later days and the later name first.
    SaveHistoryDay(QStringLiteral("Zoé"), QDate(2025, 6, 1), 60, 1800, 1);
    SaveHistoryDay(QStringLiteral("Zoé"), QDate(2025, 2, 1), 60, 1800, 1);
    SaveHistoryDay(QStringLiteral("Anne"), QDate(2025, 9, 1), 60, 1800, 1);
    SaveHistoryDay(QStringLiteral("Anne"), QDate(2025, 1, 1), 60, 1800, 1);
    SaveHistoryDay(QStringLiteral("Zoé"), QDate(2025, 4, 1), 60, 1800, 1);

    EXPECT_EQ(HistoryUserNames(), (QStringList{QStringLiteral("Anne"), QStringLiteral("Zoé")}));
    EXPECT_EQ(HistoryDays(QStringLiteral("Zoé")),
              (QList<QDate>{QDate(2025, 2, 1), QDate(2025, 4, 1), QDate(2025, 6, 1)}));
    EXPECT_EQ(HistoryDays(), (QList<QDate>{QDate(2025, 1, 1), QDate(2025, 2, 1), QDate(2025, 4, 1),
                                           QDate(2025, 6, 1), QDate(2025, 9, 1)}));
}
