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

// A sorted list's lines are of one height, yet a long name shows whole (the list scrolls
// sideways), also one inserted later.
TEST(FormWidgets, SortedListsNeverCutALongName) {
    QListWidget list;
    list.resize(120, 100);
    list.show();
    FillSorted(&list, {"Pomme", "Compote de pommes allégée"});
    InsertSortedItem(&list, "Abricots au sirop non égouttés");
    list.doItemsLayout();
    for (int i = 0; i < list.count(); ++i)
        EXPECT_GE(list.visualItemRect(list.item(i)).width(), list.fontMetrics().horizontalAdvance(list.item(i)->text()))
            << list.item(i)->text().toStdString();
}
