#include <QComboBox>
#include <QHBoxLayout>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/Query.h"
#include "support/DataFixture.h"
#include "support/FrenchLocale.h"
#include "platform/Modal.h"

namespace {

const int kQuantity = 2;  // the editable column of the day grid below

// The day's rows (Pomme, Banane, Orange) in a grid of name, calories and quantity (with an
// ellipsis), beside another widget of the window.
class GridTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        Query::execute("INSERT INTO t_consommation SELECT NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                       "ProtidesGramme, GlucidesGramme, NULL, IdAliment - 1 FROM t_aliments WHERE IdAliment <= 3");
        conso.setOrderBy("Numero");
        conso.onAfterPost = [this](Table&) { ++posts; };
        conso.open();
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(other);
        grid->setTable(&conso);
        grid->setColumns({{"NomAliment", "Aliment", 112, "", true},
                          {"CaloriesGramme", "Calories", 52, "####0.##", true},
                          {"QuantiteGramme", "Quantité (g)", 62, "####0.##", false, Qt::white, true}});
        grid->errorHandler = [this](const QString& m) { errors << m; };
        QObject::connect(grid, &DbGrid::exited, [this] { ++exits; });
        window.show();
    }
    QString cell(int row, int col) const { return grid->model()->index(row, col).data().toString(); }
    // Opens the quantity cell of `row`, types `text` into it, then presses `key` if any.
    QLineEdit* typeQuantity(int row, const QString& text, Qt::Key key = Qt::Key_unknown) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // editors closed before
        const QModelIndex idx = grid->model()->index(row, kQuantity);
        grid->setCurrentIndex(idx);
        grid->edit(idx);
        auto* editor = grid->viewport()->findChild<QLineEdit*>("cellEditor");
        if (editor) QTest::keyClicks(editor, text);
        if (editor && key != Qt::Key_unknown) QTest::keyClick(editor, key);
        return editor;
    }
    QVariant storedQuantity(const QString& name) {
        return Query::scalar("SELECT QuantiteGramme FROM t_consommation WHERE NomAliment = ?", {name});
    }
    FrenchLocaleGuard french;
    Table conso{"t_consommation"};
    QWidget window;
    DbGrid* grid = new DbGrid(&window);
    QLineEdit* other = new QLineEdit(&window);
    int posts = 0, exits = 0;
    QStringList errors;
};

}  // namespace

// The cells show the masks in the current locale (the masks themselves are tested with the
// report's); typing a quantity and moving to another row posts it once; the grid follows the table.
TEST_F(GridTest, TypingAndMovingRowsPostsTheValue) {
    EXPECT_EQ(cell(0, 1), "0,52");
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable);
    ASSERT_NE(typeQuantity(0, "125,5"), nullptr);
    grid->setCurrentIndex(grid->model()->index(1, kQuantity));
    EXPECT_EQ(conso.recNo(), 1);
    EXPECT_EQ(posts, 1);
    EXPECT_DOUBLE_EQ(storedQuantity("Pomme").toDouble(), 125.5);
    EXPECT_EQ(cell(0, kQuantity), "125,5");
    conso.last();
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_TRUE(errors.isEmpty());
}

// Enter posts, Escape cancels, a text that is not a number is refused with a message.
TEST_F(GridTest, EnterPostsEscapeCancelsAndBadTextIsRefused) {
    int enters = 0;
    QObject::connect(grid, &DbGrid::enterPressed, [&] { ++enters; });
    ASSERT_NE(typeQuantity(1, "80", Qt::Key_Return), nullptr);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(enters, 1);
    EXPECT_DOUBLE_EQ(storedQuantity("Banane").toDouble(), 80);

    ASSERT_NE(typeQuantity(1, "5", Qt::Key_Escape), nullptr);
    EXPECT_EQ(conso.state(), Table::State::Browse);
    EXPECT_DOUBLE_EQ(conso.asDouble("QuantiteGramme"), 80);

    ASSERT_NE(typeQuantity(2, "abc", Qt::Key_Return), nullptr);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("'abc'")) << errors[0].toStdString();
    EXPECT_TRUE(storedQuantity("Orange").isNull());
    EXPECT_EQ(posts, 1);
}

// The ellipsis runs its handler with the row current.
TEST_F(GridTest, EllipsisRunsItsHandlerWithTheRowCurrent) {
    QString handledRow;
    grid->onEditButtonClick = [&] { handledRow = conso.asString("NomAliment"); };
    const QModelIndex idx = grid->model()->index(2, kQuantity);
    grid->setCurrentIndex(idx);
    grid->edit(idx);
    auto* button = grid->viewport()->findChild<QToolButton*>("ellipsisButton");
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(handledRow, "Orange");
}

// A column bound to another field (the names in another language) shows its values at once,
// on the screen and not only to whoever asks the model.
TEST_F(GridTest, AColumnBoundAnewIsRepaintedAtOnce) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    const QRect cells(grid->viewport()->mapTo(&window, QPoint(0, 0)), grid->viewport()->size());
    const auto shown = [&] { return window.screen()->grabWindow(window.winId()).toImage().copy(cells); };
    const QImage before = shown();
    grid->setColumnField(0, "CaloriesGramme");
    QCoreApplication::processEvents();
    EXPECT_EQ(cell(0, 0), cell(0, 1));
    EXPECT_NE(shown(), before);
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
    grid.setColumns({{"NomIngredientFrancais", "Ingrédient", 120}, {"QuantiteGramme", "Quantité (g)", 62}});
    grid.show();
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

// Edits follow moves (not user-modified), typing edits the row and is written at post, a refused
// text stops the post; the check box writes its field; the memo shows multi-line text.
TEST_F(DataTest, EditCheckBoxAndMemoFollowTheirTable) {
    Table users("t_utilisateurs");
    users.open();
    DbLineEdit name, weight;
    name.setField(&users, "Nom");
    weight.setField(&users, "Poids");
    users.next();
    EXPECT_EQ(name.text(), "Marie");
    EXPECT_FALSE(name.modified());
    QTest::keyClicks(&weight, "1");  // "581"
    EXPECT_TRUE(weight.modified());
    EXPECT_EQ(users.state(), Table::State::Edit);
    users.post();
    const QString marie = "SELECT Poids FROM t_utilisateurs WHERE Nom = 'Marie'";
    EXPECT_EQ(Query::scalar(marie).toInt(), 581);
    EXPECT_FALSE(weight.modified());
    // A text that is not a number: no box when the edit is left (the keys typed next would go
    // to it); the post refuses it naming the field.
    weight.setCaption("Poids (kg)");
    QWidget window;
    weight.setParent(&window);
    QLineEdit next(&window);
    window.show();
    weight.setFocus();
    QTest::keyClicks(&weight, "x");
    const qsizetype boxes = modal::shownCaptions().size();
    next.setFocus();
    EXPECT_EQ(modal::shownCaptions().size(), boxes);
    try {
        users.post();
        ADD_FAILURE() << "581x posted";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains("Poids (kg) : '581x'")) << e.what();
    }
    EXPECT_EQ(weight.text(), "581x");
    weight.setParent(nullptr);
    EXPECT_EQ(Query::scalar(marie).toInt(), 581);
    users.cancel();

    Table foods("t_aliments");
    foods.open();
    DbCheckBox usual;
    usual.setField(&foods, "Usuel");
    usual.setValues("Vrai", "Faux");
    EXPECT_TRUE(usual.isChecked());
    usual.click();
    EXPECT_FALSE(usual.isChecked());
    EXPECT_EQ(foods.state(), Table::State::Edit);
    foods.next();  // posted on the move
    EXPECT_EQ(Query::scalar("SELECT Usuel FROM t_aliments WHERE IdAliment = 1").toInt(), 0);
    foods.locate("IdAliment", 8);
    EXPECT_FALSE(usual.isChecked());

    Table recipes("t_recettes");
    recipes.open();
    DbMemo memo;
    memo.setField(&recipes, "DescRecetteFrancais");
    EXPECT_EQ(memo.toPlainText(), "Éplucher les fruits.\nLes couper en dés et mélanger.");
    QTest::keyClicks(&memo, "!");
    recipes.next();
    EXPECT_TRUE(Query::scalar("SELECT DescRecetteFrancais FROM t_recettes WHERE IdRecette = 1").toString().contains("!"));
}

// Focus going to another widget of the window leaves the grid (the row is posted); a dialog
// opened from the grid is another window and does not.
TEST_F(GridTest, FocusLeavingTheGridPostsButADialogDoesNot) {
    auto focusIn = [](QWidget* w, QWidget* target) {
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        target->setFocus();
        EXPECT_EQ(QApplication::focusWidget(), target);
    };
    focusIn(&window, grid);
    conso.edit();
    conso.setValue("QuantiteGramme", 90);

    QWidget dialog;
    focusIn(&dialog, new QLineEdit(&dialog));
    EXPECT_EQ(conso.state(), Table::State::Edit);
    EXPECT_EQ(exits, 0);
    dialog.close();
    focusIn(&window, grid);

    other->setFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(posts, 1);
    EXPECT_DOUBLE_EQ(storedQuantity("Pomme").toDouble(), 90);
}

// Enter and Tab in the focused quantity cell (a line edit inside the ellipsis box) act on the
// box the view knows: the quantity is posted and Qt complains of no foreign editor.
TEST_F(GridTest, EllipsisCellKeysActOnItsBox) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { warnings << m; });
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
    // Tab leaves the cell for the next row's first column: the row left is posted.
    ASSERT_NE(typeQuantity(1, "7", Qt::Key_Tab), nullptr);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_DOUBLE_EQ(storedQuantity("Banane").toDouble(), 7);
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.filter("does not belong").isEmpty()) << warnings.join("\n").toStdString();
}

// An edit and a grid cell bound to a text column take no more characters than its width; an
// edit rebound to a column without a width takes them all again.
TEST_F(DataTest, BoundEditsStopTypingAtTheColumnWidth) {
    const QString tooLong(70, QLatin1Char('r'));
    Table recipes("t_recettes");
    recipes.open();
    DbLineEdit name;
    name.setField(&recipes, "NomRecetteFrancais");
    name.clear();
    QTest::keyClicks(&name, tooLong);
    EXPECT_EQ(name.text(), tooLong.left(64));
    // A paste that the width cuts between the halves of an emoji keeps no half of it.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    name.setText(tooLong.left(63));
    QTest::sendKeyEvent(QTest::Click, &name, Qt::Key_unknown, emoji + "x", Qt::NoModifier);
    EXPECT_EQ(name.text(), tooLong.left(63));
    recipes.edit();
    recipes.setValue("NomRecetteAnglais", tooLong.left(63) + emoji);
    EXPECT_EQ(recipes.asString("NomRecetteAnglais"), tooLong.left(63));
    recipes.cancel();
    name.setField(&recipes, "TempsPreparation");
    EXPECT_EQ(name.maxLength(), kUnboundedEditLength);

    Table users("t_utilisateurs");
    users.open();
    QWidget window;
    auto* grid = new DbGrid(&window);
    grid->setTable(&users);
    grid->setColumns({{"Nom", "Nom", 120}});
    window.show();
    const QModelIndex first = grid->model()->index(0, 0);
    grid->setCurrentIndex(first);
    grid->edit(first);
    auto* cell = grid->viewport()->findChild<QLineEdit*>("cellEditor");
    ASSERT_NE(cell, nullptr);
    cell->clear();
    QTest::keyClicks(cell, tooLong);
    EXPECT_EQ(cell->text(), tooLong.left(32));
    QTest::keyClick(cell, Qt::Key_Return);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_utilisateurs WHERE Nom = ?", {tooLong.left(32)}).toInt(), 1);
}
