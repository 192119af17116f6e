#include <QComboBox>
#include <QListWidget>
#include <gtest/gtest.h>

#include "frame/FormWidgets.h"

TEST(FormWidgets, FillSortedReplacesItemsInFrenchOrderWithoutRunningHandlers) {
    const QStringList typed = {"poire", "Écrevisse", "abricot", "ecureuil", "Banane"};
    const QStringList sorted = {"abricot", "Banane", "Écrevisse", "ecureuil", "poire"};

    QListWidget list;
    list.addItems({"ancien", "autre"});
    list.setCurrentRow(1);
    QComboBox combo;
    combo.addItem("ancien");
    int emitted = 0;
    QObject::connect(&list, &QListWidget::itemSelectionChanged, [&] { ++emitted; });
    QObject::connect(&list, &QListWidget::currentRowChanged, [&] { ++emitted; });
    QObject::connect(&combo, &QComboBox::currentIndexChanged, [&] { ++emitted; });

    EXPECT_EQ(FillSorted(&list, typed), sorted);
    EXPECT_EQ(ListItems(&list), sorted);
    EXPECT_EQ(FillSorted(&combo, typed), sorted);
    QStringList shown;
    for (int i = 0; i < combo.count(); ++i) shown << combo.itemText(i);
    EXPECT_EQ(shown, sorted);
    EXPECT_EQ(emitted, 0);
}
