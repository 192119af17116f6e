#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "frame/AppState.h"
#include "frame/UVivanda.h"
#include "platform/Modal.h"
#include "reference/RecipeRows.h"
#include "reference/Uqraffirecette.h"
#include "reference/Urecettes.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"

namespace {

class RecipeSearchWindow : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        AddSearchRecipes();
        form = std::make_unique<TFRecettes>();
        form->FormActivate();   // the message switch is off: no introduction
    }
    void TearDown() override {
        form.reset();
        FormTest::TearDown();
    }
    QStringList results() const {
        QStringList names;
        for (int i = 0; i < form->LboxRecettes->count(); ++i) names << form->LboxRecettes->item(i)->text();
        return names;
    }
    void search() { form->BtnRechercher->click(); }
    std::unique_ptr<TFRecettes> form;
};

// The list is sorted; choosing a result enables the show button; a new activation keeps the
// results and the recipe chosen.
TEST_F(RecipeSearchWindow, SearchFillsTheSortedListAndTheShowButtonFollowsTheList) {
    search();
    EXPECT_EQ(results().size(), 7);
    EXPECT_EQ(results().mid(0, 2), (QStringList{"Bœuf \"Stroganoff\" d'hiver", "Crème brûlée"}));

    form->RBtnIngredient->setChecked(true);
    form->EdtDebutNom->setText("-oeuf");
    form->ChBoxIngredientsCourant->setChecked(true);
    search();
    EXPECT_EQ(results(), (QStringList{"Purée de pommes de terre", "Riz au poulet", "Salade de fruits"}));

    const QRect second = form->LboxRecettes->visualItemRect(form->LboxRecettes->item(1));
    QTest::mouseClick(form->LboxRecettes->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_TRUE(form->BtnAfficher->isEnabled());
    form->FormActivate();
    EXPECT_TRUE(form->BtnAfficher->isEnabled());
    EXPECT_EQ(results().size(), 3);
    EXPECT_EQ(form->LboxRecettes->selectedItems().value(0)->text(), "Riz au poulet");
    form->BtnRechercher->click();
    EXPECT_FALSE(form->BtnAfficher->isEnabled());
}

// From the keyboard: Enter in the name searches, Enter on a focused button presses it, the arrows
// go from recipe to recipe with the focus staying in the list, and Enter there shows the recipe.
TEST_F(RecipeSearchWindow, TheKeyboardSearchesChoosesAndShows) {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form->BtnRechercher, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(results().size(), 7);
    form->LboxRecettes->setFocus();
    QTest::keyClick(form->LboxRecettes, Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    ASSERT_EQ(QApplication::focusWidget(), form->LboxRecettes);
    FQRAffiRecette = new TFQRAffiRecette(form.get());
    modal::pushHandler([](modal::Call&) {});
    QTest::keyClick(form->LboxRecettes, Qt::Key_Return);
    EXPECT_EQ(FQRAffiRecette->Query.asString(0), results()[form->LboxRecettes->currentRow()]);
    delete FQRAffiRecette;
    QTest::keyClicks(form->EdtDebutNom, "tar\r");
    EXPECT_EQ(results(), QStringList{"Tarte aux pommes"});
}

TEST_F(RecipeSearchWindow, RefusedValuesAreReportedByTheirSubjectAndKeepTheResults) {
    FrenchLocaleGuard french;
    form->EdtDebutNom->setText("tar");
    search();
    ASSERT_EQ(results(), QStringList{"Tarte aux pommes"});

    MessageLog seen;
    form->EdtDureePreparation->setText("1440");
    form->CBoxSuppInfDuree->setCurrentIndex(0);
    AnswerNextMessage(seen);
    search();
    form->EdtDureePreparation->setText("90");
    form->EdtLipides->setText("12,5");
    AnswerNextMessage(seen);
    search();
    EXPECT_EQ(seen.captions, (QStringList{"Erreur de saisie", "Erreur de saisie"}));
    EXPECT_EQ(seen.icons, (QStringList{"ERREUR", "ERREUR"}));
    EXPECT_EQ(seen.texts, (QStringList{"        Valeur non valide pour le temps de préparation !"
                                       "        Valeur attendue : un nombre entier de 0 à 1439 min.",
                                       Flat("        Vous n'avez pas sélectionné de type de comparaison pour\n"
                                            "        la quantité de lipides !")}));
    EXPECT_EQ(results(), QStringList{"Tarte aux pommes"});

    form->CBoxSuppInfLipides->setCurrentIndex(1);   // "Supérieur"
    form->EdtDebutNom->clear();
    search();
    EXPECT_EQ(results(), (QStringList{"Crème brûlée", "Tarte aux pommes"}));
}

// Reset: every edit empty, no comparator, any theme, everyday box off, two servings, no result.
TEST_F(RecipeSearchWindow, ResetClearsEveryCriterionAndTheResults) {
    form->RBtnIngredient->setChecked(true);
    for (QLineEdit* edit : {form->EdtDebutNom, form->EdtDureePreparation, form->EdtCalories, form->EdtLipides,
                            form->EdtProtides, form->EdtGlucides})
        edit->setText("5");
    const QList<QComboBox*> comparators = {form->CBoxSuppInfDuree, form->CBoxSuppInfCalories, form->CBoxSuppInfLipides,
                                           form->CBoxSuppInfProtides, form->CBoxSuppInfGlucides};
    for (QComboBox* box : comparators + QList<QComboBox*>{form->CboxCategories, form->CBoxNbParts}) box->setCurrentIndex(1);
    form->ChBoxIngredientsCourant->setChecked(true);
    search();
    form->BtnReinitialiser->click();

    EXPECT_TRUE(form->RBtnRecettes->isChecked());
    for (QComboBox* box : comparators) EXPECT_EQ(box->currentIndex(), -1) << box->objectName().toStdString();
    EXPECT_EQ(form->CBoxNbParts->currentText(), "2");
    EXPECT_EQ(form->LboxRecettes->count(), 0);
    search();   // nothing left to filter
    EXPECT_EQ(results().size(), 7);
}

TEST_F(RecipeSearchWindow, ColumnsFollowTheLanguageAtEveryActivation) {
    appState().LanguageCode = 200;
    form->FormActivate();
    EXPECT_EQ(form->RecipeDescColumn, "DescRecetteAnglais");
    EXPECT_EQ(form->CboxCategories->itemText(2), "Main courses");
    form->RBtnIngredient->setChecked(true);
    form->EdtDebutNom->setText("egg");
    form->CboxCategories->setCurrentIndex(2);
    search();
    EXPECT_EQ(results(), QStringList{"Plain omelette"});

    // A language without a name on the sample row falls back to the first named column.
    appState().LanguageCode = 400;
    Query::execute("UPDATE t_recettes SET NomRecetteAllemand = NULL WHERE IdRecette = 1");
    form->FormActivate();
    EXPECT_EQ(form->RecipeNameColumn, "NomRecetteFrancais");
    EXPECT_EQ(form->FoodNameColumn, "NomAlimentAllemand");
}

// Activated again after recipes were renamed, the results are those of the same search in what is
// stored; showing a recipe deleted since it was listed says so and shows nothing.
TEST_F(RecipeSearchWindow, ResultsFollowTheDatabase) {
    form->show();
    QTest::keyClicks(form->EdtDebutNom, "tar\r");
    ASSERT_EQ(results(), QStringList{"Tarte aux pommes"});
    form->CboxCategories->setCurrentIndex(1);
    const QString theme = form->CboxCategories->currentText();
    form->LboxRecettes->setCurrentRow(0);
    Query::execute("UPDATE t_recettes SET NomRecetteFrancais = 'Tarte aux poires' WHERE IdRecette = 5");
    Query::execute("UPDATE t_recettes SET NomRecetteFrancais = 'Tartine' WHERE IdRecette = 4");
    form->FormActivate();
    EXPECT_EQ(results(), (QStringList{"Tarte aux poires", "Tartine"}));
    EXPECT_EQ(form->LboxRecettes->currentItem()->text(), "Tarte aux poires");   // renamed, still chosen
    EXPECT_TRUE(form->BtnAfficher->isEnabled());
    EXPECT_EQ(form->CboxCategories->currentText(), theme);
    EXPECT_EQ(form->EdtDebutNom->text(), "tar");

    QTest::mouseClick(form->LboxRecettes->viewport(), Qt::LeftButton, {},
                      form->LboxRecettes->visualItemRect(form->LboxRecettes->item(1)).center());
    Query::execute("DELETE FROM t_ingredients_recettes WHERE IdRecette = 4");
    Query::execute("DELETE FROM t_categories_recettes WHERE IdRecette = 4");
    Query::execute("DELETE FROM t_recettes WHERE IdRecette = 4");
    MessageLog seen;
    AnswerNextMessage(seen);
    QTest::mouseClick(form->BtnAfficher, Qt::LeftButton);
    ASSERT_EQ(seen.count(), 1);
    EXPECT_TRUE(seen.texts[0].startsWith(QString::fromUtf8("        Cette recette a été supprimée"))) << seen.texts[0].toStdString();
    EXPECT_EQ(results(), QStringList{"Tarte aux poires"});
}

// Through the frame: the recipe search is start-up module 1 and its introduction shows once.
TEST(RecipeSearchModule, OpensAtStartAndShowsItsIntroductionOncePerRun) {
    TestDataFolder folder(false);
    modal::clearHandlers();
    auto frame = std::make_unique<TFVivanda>();
    frame->RegisterModule(1, "RechercheRecettes", CreateRecettes);
    ASSERT_EQ(appState().StartupModule, 1);
    ASSERT_EQ(appState().SwitchRecipeInfo, 1);

    // The introduction answered with "Ne plus afficher ce message" ticked, then "OK".
    MessageLog seen;
    modal::pushHandler([&seen](modal::Call& c) {
        seen.captions << c.caption;
        seen.texts << Flat(c.dialog->findChild<QLabel*>("LblMessage")->text());
        c.dialog->findChild<QCheckBox*>("ChbAfficheAlerte")->click();
        c.dialog->findChild<QPushButton*>("BtnOk")->click();
    });
    frame->FormActivate();   // the first activation opens the module
    auto* form = qobject_cast<TFRecettes*>(frame->FindChildForm("FRecettes"));
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(seen.count(), 1);
    EXPECT_EQ(seen.captions[0], "Premiers pas avec la recherche des recettes de cuisine");
    EXPECT_TRUE(seen.texts[0].startsWith("        Ce module vous permet d'effectuer des recherches"));
    EXPECT_EQ(appState().RecipeInfoShown, 1);
    EXPECT_EQ(appState().SwitchRecipeInfo, 0);
    EXPECT_EQ(appState().OptionsDirty, 1);

    // Later activations and a second opening from the menu show nothing and create no window.
    form->FormActivate();
    frame->menuItem("RechercheRecettes")->trigger();
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
    form->BtnQuitter->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FRecettes, nullptr);
    ExpectModalScriptDone();
}

}  // namespace

// Every criterion reads as one line: its label stands at the same height against its edit on
// every line, left of its comparator or edit.
TEST_F(RecipeSearchWindow, EachCriterionLabelStandsOnTheLineOfItsEdit) {
    TFRecettes& f = *form;
    const std::pair<QLabel*, QWidget*> lines[] = {
        {f.LblDebutNom, f.EdtDebutNom}, {f.LblDureePreparation, f.CBoxSuppInfDuree},
        {f.LblCategories, f.CboxCategories}, {f.LblCalories, f.CBoxSuppInfCalories},
        {f.LblLipides, f.CBoxSuppInfLipides}, {f.LblProtides, f.CBoxSuppInfProtides},
        {f.LblGlucides, f.CBoxSuppInfGlucides}};
    const int offset = f.LblDebutNom->y() - f.EdtDebutNom->y();
    int previousBottom = 0;
    for (const auto& [label, edit] : lines) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_EQ(label->parentWidget(), edit->parentWidget());
        EXPECT_EQ(label->y() - edit->y(), offset);
        EXPECT_EQ(label->x(), f.LblDebutNom->x());
        EXPECT_LT(label->x() + label->sizeHint().width(), edit->x());
        EXPECT_GT(edit->y(), previousBottom);
        previousBottom = edit->geometry().bottom();
    }
}
