#include <QComboBox>
#include <QHBoxLayout>
#include <QLocale>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/DisplayFormat.h"
#include "data/Query.h"
#include "support/DataFixture.h"

namespace {

// French number display for the duration of a test.
struct FrenchLocale {
    QLocale saved;
    FrenchLocale() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    ~FrenchLocale() { QLocale::setDefault(saved); }
};

// The day grid's columns.
QList<GridColumn> dayColumns() {
    const QColor pale = BgrColor(0xF9F0BD);
    return {{"NomAliment", "Aliment", 112, "", true, pale},
            {"CaloriesGramme", "Calories", 52, "####0.##", true, pale},
            {"ProtidesGramme", "Protides", 52, "####0.##", true, pale},
            {"LipidesGramme", "Lipides", 52, "####0.##", true, pale},
            {"GlucidesGramme", "Glucides", 52, "####0.##", true, pale},
            {"QuantiteGramme", "Quantité (gr)", 62, "####0.##", false, Qt::white, true, Qt::AlignCenter}};
}

class GridTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        Query::execute("INSERT INTO t_consommation SELECT NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                       "ProtidesGramme, GlucidesGramme, NULL, IdAliment - 1 FROM t_aliments WHERE IdAliment <= 3");
        conso.setOrderBy("Numero");
        conso.onAfterPost = [this](Table&) { ++posts; };
        conso.open();
        grid.setObjectName("DBGIngredients");
        grid.setTable(&conso);
        grid.setColumns(dayColumns());
        grid.errorHandler = [this](const QString& m) { errors << m; };
        grid.resize(500, 200);
        grid.show();
    }
    // Opens the quantity cell of `row` and types `text` into it.
    QLineEdit* typeQuantity(int row, const QString& text) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // editors closed before
        const QModelIndex idx = grid.model()->index(row, 5);
        grid.setCurrentIndex(idx);
        grid.edit(idx);
        auto* editor = grid.viewport()->findChild<QLineEdit*>("cellEditor");
        if (editor) QTest::keyClicks(editor, text);
        return editor;
    }
    double storedQuantity(const QString& name) {
        return Query::scalar("SELECT QuantiteGramme FROM t_consommation WHERE NomAliment = ?", {name}).toDouble();
    }
    FrenchLocale french;
    Table conso{"t_consommation"};
    DbGrid grid;
    int posts = 0;
    QStringList errors;
};

}  // namespace

TEST(DisplayFormat, MasksWriteAtMostTheirDecimals) {
    FrenchLocale french;
    EXPECT_EQ(FormatFloatMask(12, "####0.##"), "12");
    EXPECT_EQ(FormatFloatMask(12.5, "####0.##"), "12,5");
    EXPECT_EQ(FormatFloatMask(12.346, "####0.##"), "12,35");
    EXPECT_EQ(FormatFloatMask(0.004, "####0.##"), "0");
    EXPECT_EQ(FormatFloatMask(-0.001, "####0.##"), "0");
    EXPECT_EQ(FormatFloatMask(0.06251, "####0.###"), "0,063");
    EXPECT_EQ(FormatFloatMask(2.5, "0.00"), "2,50");
    EXPECT_EQ(FormatFloatMask(123456.7, "####0.##"), "123456,7");
}

// Typing a quantity and moving to another row posts it; the cells show the masks.
TEST_F(GridTest, TypingAndMovingRowsPostsTheValue) {
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->headerData(5, Qt::Horizontal).toString(), "Quantité (gr)");
    EXPECT_EQ(grid.columnWidth(0), 112);
    EXPECT_EQ(grid.model()->index(0, 1).data().toString(), "0,52");
    EXPECT_EQ(grid.model()->index(0, 0).data().toString(), "Pomme");
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 1)) & Qt::ItemIsEditable);

    ASSERT_NE(typeQuantity(0, "125,5"), nullptr);
    grid.setCurrentIndex(grid.model()->index(1, 5));  // another row: the first is posted
    EXPECT_EQ(conso.recNo(), 1);
    EXPECT_EQ(posts, 1);
    EXPECT_DOUBLE_EQ(storedQuantity("Pomme"), 125.5);
    EXPECT_EQ(grid.model()->index(0, 5).data().toString(), "125,5");

    // Moving the table moves the grid's current row.
    conso.last();
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_TRUE(errors.isEmpty());
}

// Enter posts, Escape cancels, a text that is not a number is refused with a message.
TEST_F(GridTest, EnterPostsEscapeCancelsAndBadTextIsRefused) {
    int enters = 0;
    QObject::connect(&grid, &DbGrid::enterPressed, [&] { ++enters; });
    QLineEdit* editor = typeQuantity(1, "80");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(enters, 1);
    EXPECT_DOUBLE_EQ(storedQuantity("Banane"), 80);

    editor = typeQuantity(1, "5");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(conso.state(), Table::State::Browse);
    EXPECT_DOUBLE_EQ(conso.asDouble("QuantiteGramme"), 80);
    EXPECT_EQ(posts, 1);

    editor = typeQuantity(2, "abc");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("'abc'")) << errors[0].toStdString();
    EXPECT_TRUE(Query::scalar("SELECT QuantiteGramme FROM t_consommation WHERE NomAliment = 'Orange'").isNull());
    EXPECT_EQ(posts, 1);
}

// The ellipsis runs its handler with the row current; the value it writes is posted on leaving.
TEST_F(GridTest, EllipsisRunsItsHandlerWithTheRowCurrent) {
    QString handledRow;
    grid.onEditButtonClick = [&] {
        handledRow = conso.asString("NomAliment");
        conso.edit();
        conso.setValue("QuantiteGramme", 250.0);
    };
    const QModelIndex idx = grid.model()->index(2, 5);
    grid.setCurrentIndex(idx);
    grid.edit(idx);
    auto* button = grid.viewport()->findChild<QToolButton*>("ellipsisButton");
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(handledRow, "Orange");
    EXPECT_EQ(conso.state(), Table::State::Edit);
    EXPECT_EQ(posts, 0);
    int exits = 0;
    QObject::connect(&grid, &DbGrid::exited, [&] { ++exits; });
    grid.leave();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(posts, 1);
    EXPECT_DOUBLE_EQ(storedQuantity("Orange"), 250);
}

// A disabled grid shows its rows but takes no typing.
TEST_F(GridTest, DisabledGridShowsRowsAndTakesNoInput) {
    grid.setEnabled(false);
    grid.setCurrentIndex(grid.model()->index(0, 5));
    QTest::keyClicks(&grid, "42");
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.viewport()->findChild<QLineEdit*>("cellEditor"), nullptr);
    EXPECT_EQ(conso.state(), Table::State::Browse);
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->index(2, 0).data().toString(), "Orange");
}

// A lookup column edits through a drop-down of the source's names and writes the key.
TEST_F(DataTest, GridLookupColumnWritesTheKey) {
    Table foods("t_aliments"), recipes("t_recettes"), ingredients("t_ingredients_recettes");
    ingredients.setMaster(&recipes, "IdRecette");
    ingredients.addLookupField("NomIngredientFrancais", "IdAliment", &foods, "IdAliment", "NomAlimentFrancais");
    foods.open();
    recipes.open();
    ingredients.open();
    DbGrid grid;
    grid.setTable(&ingredients);
    grid.setColumns({{"NomIngredientFrancais", "Ingrédient", 120}, {"QuantiteGramme", "Quantité (gr)", 62}});
    grid.show();
    EXPECT_EQ(grid.model()->index(1, 0).data().toString(), "Banane");
    const QModelIndex idx = grid.model()->index(1, 0);
    grid.setCurrentIndex(idx);
    grid.edit(idx);
    auto* combo = grid.viewport()->findChild<QComboBox*>("lookupEditor");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 14);
    EXPECT_EQ(combo->currentText(), "Banane");
    combo->setCurrentIndex(combo->findText("Carotte"));
    grid.pressEnter();
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_ingredients_recettes WHERE IdRecette = 1 AND IdAliment = 4").toInt(), 1);
    EXPECT_EQ(grid.model()->index(1, 0).data().toString(), "Carotte");
    recipes.next();  // the grid follows the detail
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(grid.model()->index(0, 0).data().toString(), "Pomme de terre");
}

// Edits follow moves (not user-modified), typing edits the row and is written at post; the
// check box writes its field at once; the memo shows multi-line text.
TEST_F(DataTest, EditCheckBoxAndMemoFollowTheirTable) {
    Table users("t_utilisateurs");
    users.open();
    DbLineEdit name, weight;
    name.setField(&users, "Nom");
    weight.setField(&users, "Poids");
    EXPECT_EQ(name.text(), "Jean");
    QStringList userChanges;
    QObject::connect(&name, &QLineEdit::textChanged, [&] { if (name.modified()) userChanges << name.text(); });
    users.next();
    EXPECT_EQ(name.text(), "Marie");
    EXPECT_FALSE(name.modified());
    EXPECT_TRUE(userChanges.isEmpty());

    QTest::keyClicks(&weight, "1");  // "581"
    EXPECT_TRUE(weight.modified());
    EXPECT_EQ(users.state(), Table::State::Edit);
    users.post();
    EXPECT_EQ(Query::scalar("SELECT Poids FROM t_utilisateurs WHERE Nom = 'Marie'").toInt(), 581);
    EXPECT_FALSE(weight.modified());

    // A refused text stops the post and stays in the edit; nothing stored changes.
    QTest::keyClicks(&weight, "x");
    EXPECT_THROW(users.post(), DatabaseError);
    EXPECT_EQ(weight.text(), "581x");
    EXPECT_EQ(Query::scalar("SELECT Poids FROM t_utilisateurs WHERE Nom = 'Marie'").toInt(), 581);
    users.cancel();
    weight.setField(&users, "Age");
    EXPECT_EQ(weight.text(), "28");

    Table foods("t_aliments");
    foods.open();
    DbCheckBox usual;
    usual.setField(&foods, "Usuel");
    usual.setValues("Vrai", "Faux");
    EXPECT_TRUE(usual.isChecked());
    int clicks = 0;
    QObject::connect(&usual, &QCheckBox::clicked, [&] { ++clicks; });
    usual.click();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(usual.isChecked());
    EXPECT_EQ(foods.state(), Table::State::Edit);
    EXPECT_EQ(foods.value("Usuel").toInt(), 0);
    foods.next();  // posted on the move
    EXPECT_EQ(Query::scalar("SELECT Usuel FROM t_aliments WHERE IdAliment = 1").toInt(), 0);
    foods.locate("IdAliment", 8);
    EXPECT_FALSE(usual.isChecked());

    Table recipes("t_recettes");
    recipes.open();
    DbMemo memo;
    memo.setField(&recipes, "DescRecetteFrancais");
    EXPECT_EQ(memo.toPlainText(), "Éplucher les fruits.\nLes couper en dés et mélanger.");
    EXPECT_FALSE(memo.modified());
    QTest::keyClicks(&memo, "!");
    EXPECT_TRUE(memo.modified());
    recipes.next();
    EXPECT_FALSE(memo.modified());
    EXPECT_TRUE(Query::scalar("SELECT DescRecetteFrancais FROM t_recettes WHERE IdRecette = 1").toString().contains("!"));
}

// Focus going to another widget of the window leaves the grid (the row is posted); a dialog
// opened from the grid is another window and does not.
TEST_F(DataTest, FocusLeavingTheGridPostsButADialogDoesNot) {
    Query::execute("INSERT INTO t_consommation (NomAliment, Numero) VALUES ('Pomme', 0)");
    Table conso("t_consommation");
    conso.open();
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* grid = new DbGrid;
    auto* other = new QLineEdit;
    layout->addWidget(grid);
    layout->addWidget(other);
    grid->setTable(&conso);
    grid->setColumns({{"NomAliment", "Aliment", 112, "", true}, {"QuantiteGramme", "Quantité (gr)", 62}});
    int exits = 0;
    QObject::connect(grid, &DbGrid::exited, [&] { ++exits; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
    conso.edit();
    conso.setValue("QuantiteGramme", 90);

    ASSERT_EQ(QApplication::focusWidget(), grid);
    QWidget dialog;  // another window: the grid is not left
    auto* field = new QLineEdit(&dialog);
    dialog.show();
    dialog.activateWindow();
    QTest::qWaitForWindowActive(&dialog);
    field->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(conso.state(), Table::State::Edit);
    EXPECT_EQ(exits, 0);
    dialog.close();
    window.activateWindow();
    QTest::qWaitForWindowActive(&window);
    grid->setFocus();

    ASSERT_EQ(QApplication::focusWidget(), grid);
    other->setFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(conso.state(), Table::State::Browse);
    EXPECT_EQ(Query::scalar("SELECT QuantiteGramme FROM t_consommation").toInt(), 90);
}
