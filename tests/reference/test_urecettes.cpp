#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "frame/AppState.h"
#include "frame/UVivanda.h"
#include "platform/Modal.h"
#include "reference/RecipeRows.h"
#include "reference/Urecettes.h"
#include "support/DataFixture.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"

namespace {

// The introduction answered with "Ne plus afficher ce message" ticked, then "OK".
void tickNotAgainAndAnswer(MessageLog& log) {
    modal::pushHandler([&log](modal::Call& c) {
        log.captions << c.caption;
        log.texts << Flat(c.dialog->findChild<QLabel*>("LblMessage")->text());
        c.dialog->findChild<QCheckBox*>("ChbAfficheAlerte")->click();
        c.dialog->findChild<QPushButton*>("BtnOk")->click();
    });
}

class RecipeSearchWindow : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        modal::clearHandlers();
        AddSearchRecipes();
        form = new TFRecettes();
        form->FormActivate();   // the message switch is off: no introduction
    }
    void TearDown() override {
        delete form;
        EXPECT_EQ(modal::unexpectedShows(), 0);
        EXPECT_EQ(modal::pendingHandlers(), 0);
        modal::clearHandlers();
        DataTest::TearDown();
    }
    QStringList results() const {
        QStringList names;
        for (int i = 0; i < form->LboxRecettes->count(); ++i) names << form->LboxRecettes->item(i)->text();
        return names;
    }
    TFRecettes* form = nullptr;
};

TEST_F(RecipeSearchWindow, CreationAndActivationFillTheControls) {
    EXPECT_EQ(form->objectName(), "FRecettes");
    EXPECT_EQ(FRecettes, form);
    EXPECT_EQ(form->windowTitle(), "Recettes de cuisine");
    EXPECT_EQ(form->property("HelpContext").toInt(), 130);
    EXPECT_TRUE(form->RBtnRecettes->isChecked());
    EXPECT_EQ(form->CBoxNbParts->count(), 8);
    EXPECT_EQ(form->CBoxNbParts->currentText(), "2");
    EXPECT_EQ(form->CBoxSuppInfLipides->currentIndex(), -1);
    EXPECT_EQ(form->CBoxSuppInfLipides->itemText(0), QString::fromUtf8("Infèrieur"));
    EXPECT_EQ(form->CBoxSuppInfLipides->itemText(1), QString::fromUtf8("Supérieur"));
    EXPECT_FALSE(form->FormCanResize());
    // Themes sorted, "- Tous -" first and chosen.
    QStringList themes;
    for (int i = 0; i < form->CboxCategories->count(); ++i) themes << form->CboxCategories->itemText(i);
    EXPECT_EQ(themes, (QStringList{"- Tous -", "Desserts", QString::fromUtf8("Entrées"), "Plats principaux"}));
    EXPECT_EQ(form->CboxCategories->currentIndex(), 0);
    EXPECT_FALSE(form->BtnAfficher->isEnabled());
}

TEST_F(RecipeSearchWindow, SearchFillsTheSortedListAndTheShowButtonFollowsTheList) {
    form->BtnRechercher->click();
    EXPECT_EQ(results().size(), 7);
    EXPECT_EQ(results().first(), QString::fromUtf8("Bœuf \"Stroganoff\" d'hiver"));
    EXPECT_EQ(results().at(1), QString::fromUtf8("Crème brûlée"));

    form->RBtnIngredient->setChecked(true);
    form->EdtDebutNom->setText("-oeuf");
    form->ChBoxIngredientsCourant->setChecked(true);
    form->BtnRechercher->click();
    EXPECT_EQ(results(), (QStringList{QString::fromUtf8("Purée de pommes de terre"), "Riz au poulet", "Salade de fruits"}));

    const QRect second = form->LboxRecettes->visualItemRect(form->LboxRecettes->item(1));
    QTest::mouseClick(form->LboxRecettes->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_TRUE(form->BtnAfficher->isEnabled());
    // A new search, or an activation, turns it off again; activation keeps the results.
    form->FormActivate();
    EXPECT_FALSE(form->BtnAfficher->isEnabled());
    EXPECT_EQ(results().size(), 3);
    EXPECT_TRUE(form->LboxRecettes->selectedItems().isEmpty());
}

TEST_F(RecipeSearchWindow, RefusedValuesAreReportedByTheirSubjectAndKeepTheResults) {
    FrenchLocaleGuard french;
    form->EdtDebutNom->setText("tar");
    form->BtnRechercher->click();
    ASSERT_EQ(results(), QStringList{"Tarte aux pommes"});

    form->EdtDureePreparation->setText("1440");
    form->CBoxSuppInfDuree->setCurrentIndex(0);
    MessageLog seen;
    AnswerNextMessage(seen);
    form->BtnRechercher->click();
    EXPECT_EQ(seen.captions.value(0), "Erreur de saisie");
    EXPECT_EQ(seen.texts.value(0), QString::fromUtf8("        Valeur non valide pour le temps de préparation !"));
    EXPECT_EQ(results(), QStringList{"Tarte aux pommes"});

    form->EdtDureePreparation->setText("90");
    form->EdtLipides->setText("12,5");
    AnswerNextMessage(seen);
    form->BtnRechercher->click();
    EXPECT_EQ(seen.texts.value(1), QString::fromUtf8("        Vous n'avez pas séléctionné de type de comparaison pour"
                                           "        la quantité de lipides !"));

    form->CBoxSuppInfLipides->setCurrentIndex(1);   // "Supérieur"
    form->BtnRechercher->click();
    EXPECT_EQ(results(), QStringList{"Tarte aux pommes"});
    form->EdtDebutNom->clear();
    form->BtnRechercher->click();
    EXPECT_EQ(results(), (QStringList{QString::fromUtf8("Crème brûlée"), "Tarte aux pommes"}));
}

TEST_F(RecipeSearchWindow, ResetClearsEveryCriterionAndTheResults) {
    form->RBtnIngredient->setChecked(true);
    form->EdtDebutNom->setText("pomme");
    form->EdtDureePreparation->setText("30");
    form->CBoxSuppInfDuree->setCurrentIndex(1);
    form->CboxCategories->setCurrentIndex(2);
    form->ChBoxIngredientsCourant->setChecked(true);
    form->EdtCalories->setText("100");
    form->CBoxSuppInfCalories->setCurrentIndex(0);
    form->EdtGlucides->setText("20");
    form->CBoxSuppInfGlucides->setCurrentIndex(0);
    form->CBoxNbParts->setCurrentIndex(5);
    form->BtnRechercher->click();
    form->BtnReinitialiser->click();

    EXPECT_TRUE(form->RBtnRecettes->isChecked());
    const RecipeSearchCriteria c = form->Criteria();
    EXPECT_TRUE(c.namePrefix.isEmpty() && c.preparationTime.isEmpty() && c.calories.isEmpty() &&
                c.lipids.isEmpty() && c.proteins.isEmpty() && c.carbs.isEmpty());
    for (int comparator : {c.timeComparator, c.caloriesComparator, c.lipidsComparator, c.proteinsComparator,
                           c.carbsComparator})
        EXPECT_EQ(comparator, kNoComparator);
    EXPECT_EQ(c.theme, kAllThemes);
    EXPECT_FALSE(c.everydayOnly);
    EXPECT_EQ(form->CBoxNbParts->currentText(), "2");
    EXPECT_EQ(form->LboxRecettes->count(), 0);
    form->BtnRechercher->click();
    EXPECT_EQ(results().size(), 7);
}

TEST_F(RecipeSearchWindow, ColumnsFollowTheLanguageAtEveryActivation) {
    appState().LanguageCode = 200;
    form->FormActivate();
    EXPECT_EQ(form->RecipeNameColumn, "NomRecetteAnglais");
    EXPECT_EQ(form->RecipeDescColumn, "DescRecetteAnglais");
    EXPECT_EQ(form->CboxCategories->itemText(2), "Main courses");
    form->RBtnIngredient->setChecked(true);
    form->EdtDebutNom->setText("egg");
    form->CboxCategories->setCurrentIndex(2);
    form->BtnRechercher->click();
    EXPECT_EQ(results(), QStringList{"Plain omelette"});

    // A language without a name on the sample row falls back to the first named column.
    appState().LanguageCode = 400;
    Query::execute("UPDATE t_recettes SET NomRecetteAllemand = NULL WHERE IdRecette = 1");
    form->FormActivate();
    EXPECT_EQ(form->RecipeNameColumn, "NomRecetteFrancais");
    EXPECT_EQ(form->FoodNameColumn, "NomAlimentAllemand");
}

// Through the frame: the recipe search is start-up module 1 and its introduction shows once.
TEST(RecipeSearchModule, OpensAtStartAndShowsItsIntroductionOncePerRun) {
    TestDataFolder folder(false);
    modal::clearHandlers();
    auto* frame = new TFVivanda();
    frame->RegisterModule(1, "RechercheRecettes", CreateRecettes);
    ASSERT_EQ(appState().StartupModule, 1);
    ASSERT_EQ(appState().SwitchRecipeInfo, 1);

    MessageLog seen;
    tickNotAgainAndAnswer(seen);
    // The frame's first activation opens the module; its window activates in the area.
    frame->FormActivate();
    auto* form = qobject_cast<TFRecettes*>(frame->FindChildForm("FRecettes"));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(modal::pendingHandlers(), 0);
    ASSERT_EQ(seen.count(), 1);
    EXPECT_EQ(seen.captions[0], "Premiers pas avec la recherche des recettes de cuisine");
    EXPECT_TRUE(seen.texts[0].startsWith(QString::fromUtf8("        Ce module vous permet d'effectuer des recherches")));
    EXPECT_TRUE(seen.texts[0].contains("\"Aide sur Vivanda\""));
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
    EXPECT_EQ(frame->FindChildForm("FRecettes"), nullptr);
    EXPECT_EQ(modal::unexpectedShows(), 0);
    delete frame;
}

}  // namespace
