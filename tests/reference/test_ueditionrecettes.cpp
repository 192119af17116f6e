#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "reference/EditorFoodTables.h"
#include "reference/RecipeSave.h"
#include "reference/Uconversion.h"
#include "reference/Ueditionrecettes.h"
#include "reference/Urecettes.h"
#include "reference/Uqraffirecette.h"
#include "reference/RecipeRows.h"
#include "support/FormTest.h"
#include "support/MessageScript.h"
#include "support/Typing.h"

namespace {

int count(const char* table) { return Query::scalar(QString("SELECT COUNT(*) FROM %1").arg(table)).toInt(); }

const QString kSaveQuestion = "        Voulez-vous enregistrer la modification de cet enregistrement ?";

// The recipe editor over the fixture's two recipes (Purée de pommes de terre, Salade de fruits).
class RecipeEditor : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        TFEditionRecettes::ResetUnitState();
        open();
    }
    void TearDown() override {
        form.reset();
        FormTest::TearDown();
    }
    void open() {
        form = std::make_unique<TFEditionRecettes>();
        form->FormActivate();
    }
    QStringList list() const {
        QStringList names;
        for (int i = 0; i < form->LboxRecettes->count(); ++i) names << form->LboxRecettes->item(i)->text();
        return names;
    }
    // A click on the list item `name`, the save question answered with `answer` when one comes.
    void click(const QString& name) { form->LboxRecettes->setCurrentRow(list().indexOf(name)); }
    void pickFood(const QString& category, const QString& food) {
        form->CboxCatAliments->setCurrentText(category);
        form->CboxCatAlimentsClick();
        form->EdtRechAliment->setText(food);
        form->BtnAjouter->click();
    }
    void typeQuantity(double grams) {
        form->TIngredients.edit();
        form->TIngredients.setValue("QuantiteGramme", grams);
        form->DBGIngredients->leave();
        form->DBGIngredientsExit();
    }
    void chooseTheme(int id) {
        form->BtnAjouterCategorie->click();
        form->TCategoriesRecettes.setValue("IdCategorie", id);
        form->DBGCategoriesExit();
    }
    std::unique_ptr<TFEditionRecettes> form;
    MessageLog log;
};

TEST_F(RecipeEditor, ActivationListsTheRecipesAndTheFoodsOfTheFirstCategory) {
    EXPECT_EQ(list(), (QStringList{"Purée de pommes de terre", "Salade de fruits"}));
    EXPECT_EQ(form->DBEdtNom->text(), "Purée de pommes de terre");
    EXPECT_EQ(form->CboxCatAliments->currentText(), "Céréales et féculents");
    EXPECT_EQ(form->LboxAliments->count(), 2);
    EXPECT_EQ(RecipeEditorFoodTable, &form->TAliments);
    // The ingredient grid shows the names of the foods through the lookup.
    EXPECT_EQ(form->DBGIngredients->dataModel()->displayText(0, 0), "Pomme de terre");
}

TEST_F(RecipeEditor, ANewRecipeIsSavedWithItsValuesPerGramAndTakesItsPlaceInTheList) {
    form->BtnNouveau->click();
    QTest::keyClicks(form->DBEdtNom, "Compote");
    QTest::keyClicks(form->DBMDescription, "Cuire.");
    form->DBEdtTempsPrepartion->selectAll();
    QTest::keyClicks(form->DBEdtTempsPrepartion, "0:20");
    chooseTheme(1);
    pickFood("Fruits", "Pomme");
    typeQuantity(100);
    pickFood("Fruits", "Banane");
    typeQuantity(300);

    // 00:00 first: refused with the mode line, the edits stay.
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    form->DBEdtTempsPrepartion->setText("00:00");
    form->BtnEnregistrer->click();
    EXPECT_EQ(log.captions.last(), "Erreur d'enregistrement");
    EXPECT_TRUE(log.texts.last().endsWith("valide.        Création annulée !")) << log.texts.last().toStdString();
    EXPECT_TRUE(TFEditionRecettes::NewRecipe);

    AnswerNextMessage(log, "BtnOui");
    form->DBEdtTempsPrepartion->setText("0:20");
    form->BtnEnregistrer->click();
    EXPECT_EQ(log.captions.last(), "Création d'enregistrement");
    const Rows saved = RowsOf("SELECT NomRecetteFrancais, TempsPreparation, CaloriesGramme, DroitsModifUtilisateur "
                              "FROM t_recettes WHERE IdRecette = 3");
    EXPECT_EQ(saved, (Rows{{"Compote", "00:20:00", (0.52 * 100 + 0.89 * 300) / 400, 1}}));
    EXPECT_EQ(list(), (QStringList{"Compote", "Purée de pommes de terre", "Salade de fruits"}));
    EXPECT_EQ(form->LboxRecettes->currentRow(), 0);
    EXPECT_FALSE(TFEditionRecettes::NewRecipe);
}

TEST_F(RecipeEditor, NonOnANewRecipeDeletesItWithItsDetails) {
    form->BtnNouveau->click();
    pickFood("Fruits", "Pomme");
    chooseTheme(2);
    AnswerNextMessage(log, "BtnNon");
    form->BtnNouveau->click();   // asks first, then starts another one
    EXPECT_EQ(log.texts, QStringList{"        Voulez-vous enregistrer la création de cet enregistrement ?"});
    EXPECT_EQ(RowsOf("SELECT IdRecette FROM t_recettes ORDER BY IdRecette"), (Rows{{1}, {2}, {3}}));
    EXPECT_EQ(count("t_ingredients_recettes"), 5);
    EXPECT_EQ(count("t_categories_recettes"), 2);

    AnswerNextMessage(log, "BtnNon");
    form->BtnEnregistrer->click();
    EXPECT_EQ(count("t_recettes"), 2);
    EXPECT_EQ(form->LboxRecettes->currentRow(), 0);
    EXPECT_EQ(form->DBEdtNom->text(), "Purée de pommes de terre");
}

TEST_F(RecipeEditor, NonOnAnExistingRecipePutsBackExactlyItsRows) {
    click("Salade de fruits");
    const Rows before = IngredientsOf(1);
    typeQuantity(999);
    pickFood("Légumes", "Carotte");
    form->TIngredients.first();
    AnswerNextMessage(log, "BtnOui");
    form->BtnRetirer->click();
    chooseTheme(3);

    AnswerNextMessage(log, "BtnNon");
    click("Purée de pommes de terre");
    EXPECT_EQ(log.texts.last(), kSaveQuestion);
    EXPECT_EQ(IngredientsOf(1), before);
    EXPECT_EQ(RowsOf("SELECT IdCategorie FROM t_categories_recettes WHERE IdRecette = 1"), Rows{{1}});
    EXPECT_EQ(form->DBEdtNom->text(), "Purée de pommes de terre");
    // The other recipe was never given the first one's copy.
    EXPECT_EQ(IngredientsOf(2), (Rows{{6, 500.0}, {7, 200.0}}));
}

TEST_F(RecipeEditor, ARenamedRecipeIsRenamedWhereItStands) {
    click("Salade de fruits");
    Retype(form->DBEdtNom, "Ananas d'hiver");
    AnswerNextMessage(log, "BtnOui");
    form->BtnEnregistrer->click();
    EXPECT_EQ(list(), (QStringList{"Purée de pommes de terre", "Ananas d'hiver"}));
    EXPECT_EQ(form->LboxRecettes->currentRow(), 1);
    EXPECT_EQ(Query::scalar("SELECT NomRecetteFrancais FROM t_recettes WHERE IdRecette = 1").toString(),
              "Ananas d'hiver");
}

TEST_F(RecipeEditor, ChangesToARecipeTheUserMayNotChangeAreRefusedAndUndone) {
    Query::execute("UPDATE t_recettes SET DroitsModifUtilisateur = 0 WHERE IdRecette = 2");
    form->TRecettes.refresh();
    const Rows before = IngredientsOf(2);
    pickFood("Fruits", "Orange");   // a detail change alone is refused too
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    form->BtnEnregistrer->click();
    EXPECT_EQ(log.captions, (QStringList{"Modification d'enregistrement", "Modification impossible"}));
    EXPECT_EQ(log.icons, (QStringList{"QUESTION", "EXLAMATION"}));
    EXPECT_EQ(IngredientsOf(2), before);
    EXPECT_FALSE(TFEditionRecettes::IngredientsModified);
    AnswerNextMessage(log);
    form->BtnSupprimer->click();   // nor may it be deleted
    EXPECT_EQ(log.captions.last() + log.icons.last(), "Suppression impossibleEXLAMATION");
    EXPECT_EQ(count("t_recettes"), 2);

    // Its copy may be changed; the question quotes the name as it stands.
    AnswerNextMessage(log, "BtnOui");
    form->BtnDupliquer->click();
    EXPECT_EQ(log.texts.last(), "        Voulez-vous vraiment dupliquer la recette        'Purée de pommes de terre' ?");
    EXPECT_EQ(form->DBEdtNom->text(), "Purée de pommes de terre(1)");
    EXPECT_TRUE(form->TRecettes.asBool("DroitsModifUtilisateur"));
    EXPECT_EQ(form->LboxRecettes->currentItem()->text(), "Purée de pommes de terre(1)");
    EXPECT_EQ(IngredientsOf(3), before);
}

TEST_F(RecipeEditor, APhotoThatCannotBeReadShowsTheNoPhotoPicture) {
    const QImage noPhoto = NoPhotoPicture();
    auto shown = [this] { return form->Image->pixmap().toImage(); };
    Query::execute("UPDATE t_recettes SET Image = 'absente.jpg' WHERE IdRecette = 2");
    form->TRecettes.refresh();
    form->ShowRecipePhoto();
    EXPECT_EQ(shown(), noPhoto.convertToFormat(shown().format()));

    // A picture chosen elsewhere shows at once and only its file name is stored.
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString file = folder().root() + "/ailleurs.png";
    ASSERT_TRUE(picture.save(file));
    modal::pushHandler([file](modal::Call& c) { c.fileName = file; });
    form->BtnRechImage->click();
    EXPECT_EQ(form->TRecettes.asString("Image"), "ailleurs.png");
    EXPECT_TRUE(TFEditionRecettes::HeaderModified);
    EXPECT_NE(shown(), noPhoto.convertToFormat(shown().format()));

    // A cancelled dialog shows no photo and keeps the name.
    modal::pushHandler([](modal::Call& c) { c.fileName.clear(); });
    form->BtnRechImage->click();
    EXPECT_EQ(form->TRecettes.asString("Image"), "ailleurs.png");
    EXPECT_EQ(shown(), noPhoto.convertToFormat(shown().format()));
}

// The ellipsis of a quantity opens the converter on the row's food; a food without household
// measures is said to have none instead of the converter opening on another food.
TEST_F(RecipeEditor, TheConverterOpensOnTheIngredientOrSaysItHasNoMeasures) {
    Query::execute("INSERT INTO t_densites VALUES (5, 'Lait demi-écrémé', 'Semi-skimmed milk', '', '', '', 1.03)");
    Query::execute("INSERT INTO t_densites_unites_mesures VALUES (5, 3)");
    auto conversion = std::make_unique<TFConversionVM>();
    FConversionVM = conversion.get();
    // The button of the quantity cell being edited, as the user clicks it.
    auto ellipsis = [this](int row) {
        DbGrid* grid = form->DBGIngredients;
        const QModelIndex cell = grid->model()->index(row, 1);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        auto* button = grid->viewport()->findChild<QToolButton*>("ellipsisButton");
        ASSERT_NE(button, nullptr);
        button->click();
        grid->leave();
    };
    AnswerNextMessage(log);
    ellipsis(0);
    ASSERT_FALSE(log.texts.isEmpty());
    EXPECT_EQ(log.texts.last(), Flat("        L'aliment « Pomme de terre »\n        n'a pas d'unité de mesure ménagère :\n"
                                     "        saisissez sa quantité directement en grammes."));
    EXPECT_EQ(log.captions.last(), "Conversion en grammes");

    modal::pushHandler([](modal::Call& c) {
        auto* d = static_cast<TFConversionVM*>(c.dialog);
        EXPECT_EQ(d->LboxAliments->currentText(), "Lait demi-écrémé");
        QTest::keyClicks(d->EdtQuantite, "2");
        d->BtnConversion->click();
        d->BtnOk->click();
    });
    ellipsis(1);
    EXPECT_EQ(IngredientsOf(2), (Rows{{6, 500.0}, {7, 2 * 200 * 1.03}}));
    EXPECT_TRUE(TFEditionRecettes::IngredientsModified);
    FConversionVM = nullptr;
}

TEST_F(RecipeEditor, ClosingAsksAndASaveThatFailsKeepsTheWindowOpen) {
    form->DBEdtNom->selectAll();
    QTest::keyClicks(form->DBEdtNom, "Salade de fruits");   // another recipe's name
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(Flat(log.texts.last()), Flat("        Une autre recette porte déjà ce nom.\n        Choisissez un nom "
                                           "différent.\n        Modification annulée !"));
    EXPECT_EQ(RecipeEditorFoodTable, &form->TAliments);

    AnswerNextMessage(log, "BtnNon");
    EXPECT_TRUE(form->close());
    EXPECT_EQ(RecipeEditorFoodTable, nullptr);
    EXPECT_EQ(Query::scalar("SELECT NomRecetteFrancais FROM t_recettes WHERE IdRecette = 2").toString(),
              "Purée de pommes de terre");
}

}  // namespace

namespace {

// Opening the food editor settles this editor's pending changes first, then takes its food table
// away until the editor is activated again.
TEST_F(RecipeEditor, HandingTheFoodTableOverAsksAboutThePendingChanges) {
    pickFood("Fruits", "Pomme");
    AnswerNextMessage(log, "BtnNon");
    EXPECT_TRUE(ReleaseRecipeEditorFoodTable());
    EXPECT_EQ(log.texts, QStringList{kSaveQuestion});
    EXPECT_EQ(IngredientsOf(2), (Rows{{6, 500.0}, {7, 200.0}}));
    EXPECT_FALSE(form->TAliments.isActive());
    form->FormActivate();
    EXPECT_TRUE(form->TAliments.isActive());
    EXPECT_EQ(form->DBGIngredients->dataModel()->displayText(0, 0), "Pomme de terre");
}

}  // namespace

namespace {

// Typing in the search box leaves the recipe shown: its changes are settled first, "Non" undoing
// exactly them. An emptied name is refused, never stored, and the recipe is still there when the
// editor opens again.
TEST_F(RecipeEditor, TheSearchSettlesTheRecipeItLeaves) {
    Retype(form->DBEdtNom, "");
    pickFood("Fruits", "Pomme");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    QTest::keyClick(form->EdtRecherche, 'S');
    EXPECT_EQ(log.captions, (QStringList{"Modification d'enregistrement", "Erreur d'enregistrement"}));
    EXPECT_EQ(form->LboxRecettes->currentItem()->text(), "Purée de pommes de terre");

    AnswerNextMessage(log, "BtnNon");
    QTest::keyClick(form->EdtRecherche, 'a');
    EXPECT_EQ(form->DBEdtNom->text(), "Salade de fruits");
    EXPECT_EQ(IngredientsOf(2), (Rows{{6, 500.0}, {7, 200.0}}));
    form.reset();
    open();
    EXPECT_EQ(list(), (QStringList{"Purée de pommes de terre", "Salade de fruits"}));
}

// One row per food: ">" on a food the recipe has selects its row. A row without a quantity is
// never saved, even beside another row of the same food (left by an earlier version).
TEST_F(RecipeEditor, AFoodIsAddedOnceAndEveryRowNeedsAQuantity) {
    pickFood("Produits laitiers", "Lait demi-écrémé");
    EXPECT_EQ(IngredientsOf(2), (Rows{{6, 500.0}, {7, 200.0}}));
    EXPECT_EQ(form->DBGIngredients->currentIndex(), form->DBGIngredients->model()->index(1, 1));

    Query::execute("INSERT INTO t_ingredients_recettes VALUES (2, 7, NULL)");
    form->TIngredients.refresh();
    form->TIngredients.first();
    typeQuantity(250);
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    form->BtnEnregistrer->click();
    EXPECT_TRUE(log.texts.last().startsWith("        L'une au moins des quantités")) << log.texts.last().toStdString();
}

// An edit interrupted before it was settled (rows and shadow copies written, the program gone)
// is undone at the next opening: the recipe as last saved, its values per gram the weighted mean
// of its ingredients (stale ones included, as an older version could leave them). A new recipe
// never saved (no name) is removed with its details.
TEST_F(RecipeEditor, AnInterruptedEditIsUndoneAtTheNextOpening) {
    pickFood("Fruits", "Banane");
    typeQuantity(300);
    chooseTheme(3);
    Query::execute("UPDATE t_recettes SET CaloriesGramme = 9 WHERE IdRecette = 2");
    Query::execute("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais) VALUES (3, '')");
    Query::execute("INSERT INTO t_ingredients_recettes VALUES (3, 1, 10)");
    form.reset();
    TFEditionRecettes::ResetUnitState();
    open();
    EXPECT_EQ(IngredientsOf(2), (Rows{{6, 500.0}, {7, 200.0}}));
    EXPECT_EQ(RowsOf("SELECT IdCategorie FROM t_categories_recettes WHERE IdRecette = 2"), Rows{{2}});
    EXPECT_DOUBLE_EQ(Query::scalar("SELECT CaloriesGramme FROM t_recettes WHERE IdRecette = 2").toDouble(),
                     (0.77 * 500 + 0.46 * 200) / 700);
    EXPECT_EQ(count("t_ingredients_recettes_temp") + count("t_categories_recettes_temp"), 0);
    EXPECT_EQ(count("t_recettes") + count("t_ingredients_recettes"), 2 + 5);
}

// A save that the database refuses keeps what was typed, on screen and in the record, and the
// retry saves it.
TEST_F(RecipeEditor, ASaveThatFailsKeepsTheTypingForTheRetry) {
    Retype(form->DBEdtNom, "Purée maison");
    chooseTheme(3);
    // The last write of the save fails, after the recipe's own.
    Query::execute("CREATE TRIGGER full BEFORE DELETE ON t_categories_recettes_temp "
                   "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(log.captions.last(), "Erreur d'enregistrement");
    EXPECT_EQ(form->DBEdtNom->text(), "Purée maison");
    EXPECT_EQ(form->TRecettes.asString("NomRecetteFrancais"), "Purée maison");
    EXPECT_EQ(RowsOf("SELECT NomRecetteFrancais FROM t_recettes WHERE IdRecette = 2"), Rows{{"Purée de pommes de terre"}});

    Query::execute("DROP TRIGGER full");
    AnswerNextMessage(log, "BtnOui");
    EXPECT_TRUE(form->close());
    EXPECT_EQ(RowsOf("SELECT NomRecetteFrancais FROM t_recettes WHERE IdRecette = 2"), Rows{{"Purée maison"}});
    EXPECT_EQ(RowsOf("SELECT IdCategorie FROM t_categories_recettes WHERE IdRecette = 2"), (Rows{{2}, {3}}));
}

}  // namespace

namespace {

// A name pasted with a control character is refused with its reason. A recipe stored with a NUL
// in its name is still duplicated, under a name of its own.
TEST_F(RecipeEditor, ControlCharactersInNames) {
    QApplication::clipboard()->setText(QString("Tarte") + QChar('\t') + "fine");
    form->DBEdtNom->selectAll();
    QTest::keyClick(form->DBEdtNom, Qt::Key_V, Qt::ControlModifier);
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    form->BtnEnregistrer->click();
    EXPECT_TRUE(log.texts.last().startsWith("        Le nom contient un caractère de contrôle")) << log.texts.last().toStdString();
    AnswerNextMessage(log, "BtnNon");
    form->BtnEnregistrer->click();

    const QString nul = QString("nul") + QChar(0) + "x";
    Query::execute("UPDATE t_recettes SET NomRecetteFrancais = ? WHERE IdRecette = 2", {nul});
    form->TRecettes.refresh();
    AnswerNextMessage(log, "BtnOui");
    form->BtnDupliquer->click();
    EXPECT_EQ(log.captions.last(), "Duplication d'un enregistrement");
    EXPECT_EQ(Query::scalar("SELECT NomRecetteFrancais FROM t_recettes WHERE IdRecette = 3").toString(), nul + "(1)");
}

// In English the description typed is the English one; a new recipe's name and description fill
// the other languages' empty columns, and a rename carries over to the columns that still held
// the old name, so that no list shows a blank.
TEST_F(RecipeEditor, InEnglishNamesAndDescriptionsReachEveryLanguage) {
    Query::execute("UPDATE t_recettes SET NomRecetteItalien = 'Mashed potatoes', DescRecetteAnglais = 'Mash.' "
                   "WHERE IdRecette = 2");
    form.reset();
    appState().LanguageCode = 200;
    open();
    form->BtnNouveau->click();
    QTest::keyClicks(form->DBEdtNom, "Apple pie");
    QTest::keyClicks(form->DBMDescription, "Bake.");
    Retype(form->DBEdtTempsPrepartion, "45");
    chooseTheme(1);
    pickFood("Fruits", "Apple");
    typeQuantity(200);
    AnswerNextMessage(log, "BtnOui");
    form->BtnEnregistrer->click();
    EXPECT_EQ(RowsOf("SELECT NomRecetteFrancais, NomRecetteAnglais, NomRecetteAllemand, NomRecetteItalien, "
                     "NomRecetteEspagnol, DescRecetteFrancais, DescRecetteAnglais FROM t_recettes WHERE IdRecette = 3"),
              (Rows{{"Apple pie", "Apple pie", "Apple pie", "Apple pie", "Apple pie", "Bake.", "Bake."}}));

    click("Mashed potatoes");
    Retype(form->DBEdtNom, "Potato mash");
    AnswerNextMessage(log, "BtnOui");
    form->BtnEnregistrer->click();
    EXPECT_EQ(RowsOf("SELECT NomRecetteFrancais, NomRecetteAnglais, NomRecetteItalien FROM t_recettes WHERE IdRecette = 2"),
              (Rows{{"Purée de pommes de terre", "Potato mash", "Potato mash"}}));
}

// In German the recipe the list highlights after a search is the one shown, and "Supprimer"
// names and removes it.
TEST_F(RecipeEditor, InGermanTheHighlightedRecipeIsTheOneShownAndDeleted) {
    Query::execute("UPDATE t_recettes SET NomRecetteAllemand = 'Kartoffelsalat' WHERE IdRecette = 1");
    form.reset();
    appState().LanguageCode = 400;
    open();
    QTest::keyClicks(form->EdtRecherche, "kartoffel");
    EXPECT_EQ(form->LboxRecettes->currentItem()->text(), "Kartoffelpüree");
    EXPECT_EQ(form->DBEdtNom->text(), "Kartoffelpüree");
    AnswerNextMessage(log, "BtnOui");
    form->BtnSupprimer->click();
    EXPECT_EQ(log.texts.last(), Flat("        Voulez-vous vraiment supprimer la recette\n        'Kartoffelpüree' ?"));
    EXPECT_EQ(RowsOf("SELECT IdRecette FROM t_recettes"), Rows{{1}});
}


// Recipe 1 deleted (every recipe may be once the rights are opened at start): the editor and the
// search still name the recipes in one and the same language.
TEST_F(RecipeEditor, WithoutRecipeOneTheEditorAndTheSearchNameRecipesAlike) {
    Query::execute("DELETE FROM t_recettes WHERE IdRecette = 1");
    form.reset();
    appState().LanguageCode = 200;
    open();
    TFRecettes search;
    search.FormActivate();
    search.BtnRechercher->click();
    ASSERT_EQ(search.LboxRecettes->count(), 1);
    EXPECT_EQ(list(), QStringList{search.LboxRecettes->item(0)->text()});
}

}  // namespace

namespace {

// The editor shown and active, as the user has it.
class ShownRecipeEditor : public RecipeEditor {
protected:
    void SetUp() override {
        RecipeEditor::SetUp();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // "Enregistrer", its question answered "Oui" and the boxes after it "OK".
    void save(int boxesAfter = 0) {
        AnswerNextMessage(log, "BtnOui");
        for (int i = 0; i < boxesAfter; ++i) AnswerNextMessage(log);
        QTest::mouseClick(form->BtnEnregistrer, Qt::LeftButton);
    }
};

// After "Nouveau" and its question the name is typed at once, the box handing the focus back
// to the button meanwhile.
TEST_F(ShownRecipeEditor, NouveauPutsTheFocusInTheName) {
    Retype(form->DBEdtNom, "Purée maison");
    AnswerNextMessage(log, "BtnNon");
    QTest::mouseClick(form->BtnNouveau, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(form->focusWidget(), form->DBEdtNom);
}

// The time is retyped whole once entered ("35" is 35 minutes, not "00:3500:00"); a time that
// does not read is refused by the field's name.
TEST_F(ShownRecipeEditor, TheTimeTakesHoursAndMinutes) {
    QTest::mouseClick(form->DBEdtTempsPrepartion, Qt::LeftButton, {}, {30, 10});
    QCoreApplication::processEvents();
    QTest::keyClicks(form->DBEdtTempsPrepartion, "35");
    save();
    EXPECT_EQ(RowsOf("SELECT TempsPreparation FROM t_recettes WHERE IdRecette = 2"), Rows{{"00:35:00"}});

    QTest::keyClicks(form->DBEdtTempsPrepartion, "h");
    save(1);
    EXPECT_TRUE(log.texts.last().contains("« Temps de préparation »")) << log.texts.last().toStdString();
}

// An ingredient's quantity typed in the grid: "1e308" refused with the column and its range (the
// recipe's values per gram never become infinite), "150.5" taken as 150,5 g.
TEST_F(ShownRecipeEditor, IngredientQuantitiesAreReadAndBounded) {
    DbGrid* grid = form->DBGIngredients;
    const QVariant food = grid->table()->rowValue(0, "IdAliment");
    auto quantity = [&] {
        return Query::scalar("SELECT QuantiteGramme FROM t_ingredients_recettes WHERE IdRecette = 2 AND IdAliment = ?",
                             {food});
    };
    const double before = quantity().toDouble();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 1)).center());
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    cell->selectAll();
    AnswerNextMessage(log);
    Paste(cell, "1e308");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(log.count(), 1);   // the box wraps the line where it likes
    EXPECT_EQ(log.texts[0].simplified(), "Quantité (g) : « 1e308 » n'est pas un nombre de 0 à 10000 g.");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 1)).center());
    QApplication::focusWidget()->setProperty("text", QString());
    TypeAtFocusAndEnter("150.5");
    save();
    EXPECT_NE(before, 150.5);
    EXPECT_EQ(quantity().toDouble(), 150.5);
    EXPECT_TRUE(std::isfinite(Query::scalar("SELECT CaloriesGramme FROM t_recettes WHERE IdRecette = 2").toDouble()));
}

// A theme chosen again in the grid is refused with a word, and its row given up: the recipe
// keeps one row per theme.
TEST_F(ShownRecipeEditor, AThemeIsChosenOnce) {
    QTest::mouseClick(form->BtnAjouterCategorie, Qt::LeftButton);
    const QRect cell = form->DBGCategories->visualRect(form->DBGCategories->model()->index(1, 0));
    QTest::mouseClick(form->DBGCategories->viewport(), Qt::LeftButton, {}, cell.center());
    auto* combo = form->DBGCategories->viewport()->findChild<QComboBox*>("lookupEditor");
    ASSERT_NE(combo, nullptr);
    QTest::keyClicks(combo, "Plats principaux");
    AnswerNextMessage(log);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(log.texts, QStringList{"        Ce thème est déjà un thème de la recette."});
    EXPECT_EQ(form->DBGCategories->model()->rowCount(), 1);
    EXPECT_EQ(RowsOf("SELECT IdCategorie FROM t_categories_recettes WHERE IdRecette = 2"), Rows{{2}});
}

}  // namespace
namespace {

// A new recipe deleted before it was saved leaves nothing to save: the next save asks nothing
// and the list keeps one item per recipe.
// A quantity typed in the ingredient grid is a change: leaving the grid for the list asks, and
// "Oui" stores it with the recipe's values per gram computed again. A theme removed comes back on
// "Non". "Dupliquer" settles a pending change before it copies; the copy deleted leaves the list.
// Every box is a question.
TEST_F(ShownRecipeEditor, GridAndThemeChangesAreAskedAboutAndUndoneOnNon) {
    auto typeInGrid = [this](const char* grams) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);   // the editor closed before
        const QModelIndex quantity = form->DBGIngredients->model()->index(0, 1);
        form->DBGIngredients->setCurrentIndex(quantity);
        form->DBGIngredients->edit(quantity);
        auto* editor = form->DBGIngredients->viewport()->findChild<QLineEdit*>("cellEditor");
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, grams);
    };
    auto clickListed = [this](const QString& name) {
        const QRect item = form->LboxRecettes->visualItemRect(form->LboxRecettes->item(list().indexOf(name)));
        QTest::mouseClick(form->LboxRecettes->viewport(), Qt::LeftButton, {}, item.center());
    };
    typeInGrid("250");
    AnswerNextMessage(log, "BtnOui");
    clickListed("Salade de fruits");
    EXPECT_EQ(log.texts, QStringList{kSaveQuestion});
    EXPECT_EQ(IngredientsOf(2), (Rows{{6, 250.0}, {7, 200.0}}));
    const Rows perGram = RowsOf("SELECT CaloriesGramme, LipidesGramme, ProtidesGramme, GlucidesGramme FROM t_recettes "
                                "WHERE IdRecette = 2");
    const double potato[] = {0.77, 0.001, 0.02, 0.17}, milk[] = {0.46, 0.016, 0.033, 0.048};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(perGram[0][i].toDouble(), (potato[i] * 250 + milk[i] * 200) / 450, 1e-12) << i;

    AnswerNextMessage(log, "BtnOui");
    QTest::mouseClick(form->BtnSuppCategorie, Qt::LeftButton);
    EXPECT_EQ(count("t_categories_recettes"), 1);
    AnswerNextMessage(log, "BtnNon");
    clickListed("Purée de pommes de terre");
    EXPECT_EQ(RowsOf("SELECT IdCategorie FROM t_categories_recettes WHERE IdRecette = 1"), Rows{{1}});

    typeInGrid("300");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log, "BtnOui");
    QTest::mouseClick(form->BtnDupliquer, Qt::LeftButton);
    EXPECT_EQ(log.texts.at(log.count() - 2), kSaveQuestion);
    EXPECT_EQ(IngredientsOf(3), (Rows{{6, 300.0}, {7, 200.0}}));
    AnswerNextMessage(log, "BtnOui");
    QTest::mouseClick(form->BtnSupprimer, Qt::LeftButton);   // the copy goes from the list
    EXPECT_EQ(list(), (QStringList{"Purée de pommes de terre", "Salade de fruits"}));
    EXPECT_EQ(log.icons, QStringList(log.count(), "QUESTION"));
}

TEST_F(RecipeEditor, ADeletedNewRecipeLeavesNothingToSave) {
    form->BtnNouveau->click();
    QTest::keyClicks(form->DBEdtNom, "Brouillon");
    AnswerNextMessage(log, "BtnOui");
    form->BtnSupprimer->click();
    form->BtnEnregistrer->click();
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(count("t_recettes"), 2);
    EXPECT_EQ(list(), (QStringList{"Purée de pommes de terre", "Salade de fruits"}));
}

}  // namespace

namespace {

// A window activated again (after a box, after another module window) keeps the header edits
// still pending: leaving the recipe asks about them and runs the save checks.
TEST_F(RecipeEditor, ReactivationKeepsPendingHeaderEditsForTheSaveChecks) {
    const struct {
        DbLineEdit* TFEditionRecettes::*edit;
        const char* typed;
        const char* refusal;
    } cases[] = {
        {&TFEditionRecettes::DBEdtNom, "", "non        valide.        Nom : le nom est vide."},
        {&TFEditionRecettes::DBEdtTempsPrepartion, "00:00", "non        valide."},
    };
    const Rows stored = RowsOf("SELECT NomRecetteFrancais, TempsPreparation FROM t_recettes WHERE IdRecette = 2");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Retype(form.get()->*c.edit, QString::fromUtf8(c.typed));
        form->FormActivate();
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        click("Salade de fruits");
        EXPECT_EQ(log.captions.mid(log.count() - 2), (QStringList{"Modification d'enregistrement", "Erreur d'enregistrement"}));
        EXPECT_TRUE(log.texts.last().contains(QString::fromUtf8(c.refusal))) << log.texts.last().toStdString();
        EXPECT_EQ(form->LboxRecettes->currentItem()->text(), "Purée de pommes de terre");
        EXPECT_EQ(RowsOf("SELECT NomRecetteFrancais, TempsPreparation FROM t_recettes WHERE IdRecette = 2"), stored);
        AnswerNextMessage(log, "BtnNon");
        form->BtnEnregistrer->click();   // undoes the edit
    }
}

}  // namespace

namespace {

Rows inSavedOrder(const char* table) {
    return RowsOf(QString("SELECT * FROM %1 WHERE IdRecette = 2 ORDER BY rowid").arg(table));
}

// Another program's write lock on the database, held while it lives.
struct WriteLock {
    explicit WriteLock(const QString& path) {
        sqlite3_open(path.toUtf8().constData(), &db);
        EXPECT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    ~WriteLock() {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    sqlite3* db = nullptr;
};

// The food picker is a view of the foods: activated again after another window renamed foods and
// created one, it lists them as stored, keeping the category, the food selected and the search
// typed. ">" on a food another program deleted since says so and adds nothing.
TEST_F(RecipeEditor, TheFoodPickerShowsTheFoodsAsStoredWhenActivatedAgain) {
    form.reset();
    auto frame = std::make_unique<TFVivanda>();
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    auto* editor = static_cast<TFEditionRecettes*>(CreateEditionRecettes());
    auto* sub = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
    ASSERT_NE(sub, nullptr);
    ASSERT_TRUE(TFEditionRecettes::RecipeEditorActivated);
    editor->CboxCatAliments->setCurrentText("Fruits");
    editor->CboxCatAlimentsClick();
    QTest::keyClicks(editor->EdtRechAliment, "Ba");

    auto* other = new QWidget;
    other->setObjectName("FAutre");
    frame->mdiArea()->setActiveSubWindow(ShowModuleWindow(other));
    Query::execute("UPDATE t_aliments SET NomAlimentFrancais = 'Banane plantain' WHERE IdAliment = 2");
    Query::execute("UPDATE t_aliments SET NomAlimentFrancais = 'Pomme reinette' WHERE IdAliment = 1");
    Query::execute("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                   "ProtidesGramme, GlucidesGramme, DroitsModifUtilisateur, IdCatAliment) "
                   "VALUES (30, 'Kiwi', 0.61, 0.005, 0.011, 0.15, 1, 1)");
    frame->mdiArea()->setActiveSubWindow(sub);
    EXPECT_EQ(ListItems(editor->LboxAliments), (QStringList{"Banane plantain", "Kiwi", "Orange", "Pomme reinette"}));
    EXPECT_EQ(editor->LboxAliments->currentItem()->text(), "Banane plantain");
    EXPECT_EQ(editor->EdtRechAliment->text(), "Ba");
    EXPECT_EQ(editor->CboxCatAliments->currentText(), "Fruits");

    editor->LboxAliments->setCurrentRow(1);
    {
        WriteLock otherProgram(folder().dbPath());
        sqlite3_exec(otherProgram.db, "DELETE FROM t_aliments WHERE IdAliment = 30; COMMIT", nullptr, nullptr, nullptr);
    }
    AnswerNextMessage(log);
    QTest::mouseClick(editor->BtnAjouter, Qt::LeftButton);
    EXPECT_EQ(log.texts, QStringList{Flat("        L'aliment « Kiwi » n'existe plus :\n        la liste des aliments a été "
                                          "mise à jour.")});
    EXPECT_EQ(IngredientsOf(2), (Rows{{6, 500.0}, {7, 200.0}}));
    EXPECT_FALSE(TFEditionRecettes::ChangesPending());
    EXPECT_EQ(ListItems(editor->LboxAliments), (QStringList{"Banane plantain", "Orange", "Pomme reinette"}));

    editor->LboxAliments->setCurrentRow(2);
    QTest::mouseClick(editor->BtnAjouter, Qt::LeftButton);
    EXPECT_EQ(editor->DBGIngredients->dataModel()->displayText(2, 0), "Pomme reinette");
    AnswerNextMessage(log, "BtnNon");
    QTest::mouseClick(editor->BtnEnregistrer, Qt::LeftButton);
}

// "Non" and the repair of an interrupted edit put the ingredients and themes back in the order
// they were saved.
TEST_F(RecipeEditor, UndoAndRepairKeepTheSavedOrderOfTheDetails) {
    form.reset();
    Query::execute("DELETE FROM t_ingredients_recettes WHERE IdRecette = 2");
    Query::execute("INSERT INTO t_ingredients_recettes VALUES (2, 7, 200), (2, 6, 500)");
    Query::execute("INSERT INTO t_categories_recettes VALUES (3, 2), (1, 2)");
    const Rows ingredients = inSavedOrder("t_ingredients_recettes"), themes = inSavedOrder("t_categories_recettes");
    open();
    for (const bool interrupted : {false, true}) {
        SCOPED_TRACE(interrupted);
        pickFood("Fruits", "Pomme");
        AnswerNextMessage(log, "BtnOui");
        form->BtnSuppCategorie->click();
        if (interrupted) {
            form.reset();   // the program stopped there
            RecoverInterruptedRecipeEdits();
        } else {
            AnswerNextMessage(log, "BtnNon");
            form->BtnEnregistrer->click();
        }
        EXPECT_EQ(inSavedOrder("t_ingredients_recettes"), ingredients);
        EXPECT_EQ(inSavedOrder("t_categories_recettes"), themes);
    }
}

// An undo that another program's lock refuses leaves the change pending: "Enregistrer" and a
// move ask again, and once the lock is gone "Non" puts the recipe back. The copy another recipe
// left (its edit never settled) stays throughout.
TEST_F(RecipeEditor, AnUndoRefusedByALockStaysPending) {
    form.reset();
    ASSERT_EQ(openDatabase(folder().dataDir(), 100), QString());   // a short wait for the test
    open();
    Query::execute("INSERT INTO t_ingredients_recettes_temp SELECT * FROM t_ingredients_recettes WHERE IdRecette = 1");
    const Rows before = IngredientsOf(2);
    pickFood("Fruits", "Orange");
    {
        WriteLock otherProgram(folder().dbPath());
        AnswerNextMessage(log, "BtnNon");
        AnswerNextMessage(log);
        form->BtnEnregistrer->click();
        AnswerNextMessage(log, "BtnNon");
        AnswerNextMessage(log);
        click("Salade de fruits");
    }
    EXPECT_EQ(log.captions, (QStringList{"Modification d'enregistrement", "Annulation impossible",
                                         "Modification d'enregistrement", "Annulation impossible"}));
    EXPECT_TRUE(log.texts[1].contains("utilisée par un autre programme")) << log.texts[1].toStdString();
    EXPECT_EQ(form->LboxRecettes->currentItem()->text(), "Purée de pommes de terre");
    EXPECT_EQ(IngredientsOf(2).size(), 3u);

    AnswerNextMessage(log, "BtnNon");
    form->BtnEnregistrer->click();
    EXPECT_EQ(log.texts.last(), kSaveQuestion);
    EXPECT_EQ(IngredientsOf(2), before);
    EXPECT_FALSE(TFEditionRecettes::ChangesPending());
    EXPECT_EQ(count("t_ingredients_recettes_temp"), 3);
    EXPECT_EQ(RowsOf("SELECT DISTINCT IdRecette FROM t_ingredients_recettes_temp"), Rows{{1}});
}

// Entering the search with a change pending asks at once, before a letter is typed: the whole
// word typed then leads to the recipe it names.
TEST_F(ShownRecipeEditor, TheSearchAsksWhenEnteredSoNoLetterIsLost) {
    Retype(form->DBEdtNom, "Purée maison");
    AnswerNextMessage(log, "BtnNon");
    QTest::mouseClick(form->EdtRecherche, Qt::LeftButton);
    EXPECT_EQ(log.texts, QStringList{kSaveQuestion});
    QTest::keyClicks(form->EdtRecherche, "Sal");
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(form->EdtRecherche->text(), "Sal");
    EXPECT_EQ(form->DBEdtNom->text(), "Salade de fruits");
    EXPECT_EQ(RowsOf("SELECT NomRecetteFrancais FROM t_recettes WHERE IdRecette = 2"), Rows{{"Purée de pommes de terre"}});
}

// A photo chosen outside Images is copied there, under a free name when another picture has its
// name, and the recipe names the copy; a photo that cannot be copied is refused with a word.
TEST_F(RecipeEditor, APhotoChosenElsewhereIsCopiedIntoImages) {
    const QString elsewhere = folder().root() + "/ailleurs";
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    auto picture = [](const QString& file, Qt::GlobalColor colour) {
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(colour);
        return image.save(file);
    };
    ASSERT_TRUE(picture(elsewhere + "/photo.png", Qt::red));
    ASSERT_TRUE(picture(appState().ImagesDirectory + "/photo.png", Qt::blue));
    auto choose = [this](const QString& file, bool thenABox = false) {
        modal::pushHandler([file](modal::Call& c) { c.fileName = file; });
        if (thenABox) AnswerNextMessage(log);
        form->BtnRechImage->click();
    };
    choose(elsewhere + "/photo.png");
    EXPECT_EQ(form->TRecettes.asString("Image"), "photo(1).png");
    EXPECT_EQ(QImage(appState().ImagesDirectory + "/photo(1).png").pixelColor(0, 0), QColor(Qt::red));
    choose(elsewhere + "/photo.png");   // the same picture again: its copy is used
    EXPECT_EQ(form->TRecettes.asString("Image"), "photo(1).png");
    AnswerNextMessage(log, "BtnOui");
    form->BtnEnregistrer->click();
    EXPECT_EQ(RowsOf("SELECT Image FROM t_recettes WHERE IdRecette = 2"), Rows{{"photo(1).png"}});

    appState().ImagesDirectory = elsewhere + "/photo.png";   // not a folder: nothing can be copied there
    choose(elsewhere + "/photo.png", true);
    EXPECT_EQ(log.captions.last(), "Photo de la recette");
    EXPECT_TRUE(log.texts.last().contains("n'a pu être copiée")) << log.texts.last().toStdString();
    EXPECT_EQ(form->TRecettes.asString("Image"), "photo(1).png");
    EXPECT_FALSE(TFEditionRecettes::ChangesPending());
}

// A save refused by a theme chosen twice leaves the record as stored: not the values per gram
// computed for the quantity typed, which the refusal undid.
TEST_F(RecipeEditor, ARefusedSaveLeavesTheStoredValuesPerGramInTheRecord) {
    typeQuantity(250);
    form->BtnAjouterCategorie->click();
    form->TCategoriesRecettes.setValue("IdCategorie", 2);   // already a theme of the recipe
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    form->BtnEnregistrer->click();
    ASSERT_EQ(log.captions.last(), "Erreur d'enregistrement");
    const double stored = Query::scalar("SELECT CaloriesGramme FROM t_recettes WHERE IdRecette = 2").toDouble();
    EXPECT_NEAR(stored, (0.77 * 500 + 0.46 * 200) / 700, 1e-9);
    EXPECT_EQ(form->TRecettes.value("CaloriesGramme").toDouble(), stored);
}

}  // namespace
