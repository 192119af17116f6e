#include <QComboBox>
#include <QLabel>
#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "platform/Modal.h"
#include "reference/Uconversion.h"
#include "support/ConsoWindowTest.h"
#include "support/DataFixture.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "tracking/Ubesoinsjournaliers.h"
#include "tracking/Uconsojournaliere.h"

namespace {

// Category 1 ("Fruits et desserts") lists Banane, Orange, Pomme and the recipe "Salade de fruits".
class ConsoWindow : public ConsoWindowTest {
protected:
    void SetUp() override {
        ConsoWindowTest::SetUp();
        AppState& st = appState();
        st.SwitchCaloriesAboveObjective = 1;
        st.SwitchObjectiveBelowNeeds = 1;
    }
    // Adds a food of category `category` (food category + 27 maps to it one to one).
    static void addFood(int id, const QString& name, int category, double cal = 1, double lip = 0,
                        double prot = 0, double carbs = 0) {
        Query::execute("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                       "ProtidesGramme, GlucidesGramme, IdCatAliment) VALUES (?, ?, ?, ?, ?, ?, ?)",
                       {id, name, cal, lip, prot, carbs, category});
    }
    // Selects a listed item and clicks the add button.
    void add(const QString& name) {
        const auto found = form->LboxAliments->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        form->LboxAliments->setCurrentItem(found[0]);
        form->BtnAjouter->click();
    }
    void showCategory(int index) {
        form->CboxCategories->setCurrentIndex(index);
        form->CboxCategoriesClick();
    }
    // Types a quantity into the current row and posts it, as the grid does.
    void setQuantity(int row, const QVariant& grams) {
        Table& t = form->TConsommation;
        t.moveToRow(row);
        t.edit();
        t.setValue("QuantiteGramme", grams);
        t.post();
    }
    void remove(int row, const char* answer = "BtnOui") {
        form->TConsommation.moveToRow(row);
        AnswerNextMessage(log, answer);
        form->BtnRetirer->click();
    }
    QList<int> numbers() const {
        QList<int> out;
        for (int r = 0; r < form->TConsommation.recordCount(); ++r)
            out << form->TConsommation.rowValue(r, "Numero").toInt();
        return out;
    }
    QStringList listed() const {
        QStringList out;
        for (int i = 0; i < form->LboxAliments->count(); ++i) out << form->LboxAliments->item(i)->text();
        return out;
    }
};

}  // namespace

TEST_F(ConsoWindow, OpeningStartsAnEmptyDayAndListsTheFirstCategory) {
    Query::execute("INSERT INTO t_consommation (NomAliment, QuantiteGramme, Numero) VALUES ('Reste', 10, 0)");
    TFConsoJournaliere& f = open();
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_consommation").toInt(), 0);
    EXPECT_FALSE(f.DBGIngredients->isEnabled());
    for (QPushButton* b : {f.BtnOptimisation, f.BtnEffacer, f.BtnImprimer, f.BtnSauvegarde}) EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(f.CboxCategories->count(), 6);
    EXPECT_EQ(f.CboxCategories->currentText(), "Fruits et desserts");
    EXPECT_EQ(listed(), (QStringList{"Banane", "Orange", "Pomme", "Salade de fruits"}));
    EXPECT_EQ(f.LboxAliments->currentRow(), 0);

    // A category with neither food nor recipe gives an empty list without selection.
    Query::execute("INSERT INTO t_catconsommation (IdCatConsommation, NomCategorieFrancais) VALUES (9, 'Vide')");
    f.TCategories.refresh();
    f.CboxCategories->addItem("Vide");
    showCategory(6);
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(f.LboxAliments->currentRow(), -1);
    f.BtnAjouter->click();   // nothing selected: nothing happens
    EXPECT_TRUE(f.TConsommation.isEmpty());
}

TEST_F(ConsoWindow, ListFollowsTheLanguageAndTheRestrictionToFoods) {
    appState().LanguageCode = 200;
    Query::execute("UPDATE t_recettes SET NomRecetteAnglais = '' WHERE IdRecette = 1");
    TFConsoJournaliere& f = open();
    // English food names; the sample recipe has no English name, so recipes stay French.
    EXPECT_EQ(listed(), (QStringList{"Apple", "Banana", "Orange", "Salade de fruits"}));
    EXPECT_EQ(TFConsoJournaliere::ConsoFoodColumnIndex, 2);

    appState().RestrictionFoodType = 1;
    showCategory(0);
    EXPECT_EQ(listed(), (QStringList{"Apple", "Banana", "Orange"}));
    (void)f;
}

TEST_F(ConsoWindow, IncrementalSearchSelectsTheFirstMatch) {
    TFConsoJournaliere& f = open();
    f.EditRechAliment->setText("pom");
    EXPECT_EQ(f.LboxAliments->currentItem()->text(), "Pomme");
    f.EditRechAliment->setText("é");
    EXPECT_EQ(f.LboxAliments->currentRow(), -1);
    f.BtnAjouter->click();
    EXPECT_TRUE(f.TConsommation.isEmpty());
    f.EditRechAliment->clear();
    EXPECT_EQ(f.LboxAliments->currentRow(), 0);
}

TEST_F(ConsoWindow, RowsKeepTheirNumbersAcrossRemovals) {
    TFConsoJournaliere& f = open();
    add("Banane");
    add("Orange");
    add("Pomme");
    EXPECT_TRUE(f.DBGIngredients->isEnabled());
    EXPECT_TRUE(f.BtnOptimisation->isEnabled());
    EXPECT_TRUE(f.BtnEffacer->isEnabled());
    EXPECT_EQ(numbers(), (QList<int>{0, 1, 2}));
    EXPECT_EQ(TFConsoJournaliere::NextRowNumber, 3);

    // "Non" changes nothing.
    remove(1, "BtnNon");
    EXPECT_EQ(numbers(), (QList<int>{0, 1, 2}));
    EXPECT_EQ(log.captions.last(), "Suppression d'un enregistrement");
    EXPECT_EQ(log.texts.last(), Flat("        Voulez-vous vraiment supprimer cet enregistrement ?"));

    // Removing the middle row: the next row repeats the last number.
    remove(1);
    EXPECT_EQ(numbers(), (QList<int>{0, 2}));
    EXPECT_EQ(TFConsoJournaliere::NextRowNumber, 2);
    add("Salade de fruits");
    EXPECT_EQ(numbers(), (QList<int>{0, 2, 2}));

    // Removing every row brings the counter back to 0 and disables the day's buttons.
    for (int i = 0; i < 3; ++i) remove(0);
    EXPECT_EQ(TFConsoJournaliere::NextRowNumber, 0);
    for (QPushButton* b : {f.BtnOptimisation, f.BtnEffacer, f.BtnImprimer, f.BtnSauvegarde}) EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(f.DBGIngredients->isEnabled());
    add("Pomme");
    EXPECT_EQ(numbers(), (QList<int>{0}));
}

TEST_F(ConsoWindow, RemovingTheLastRowGivesNoRepeat) {
    open();
    add("Banane");
    add("Orange");
    add("Pomme");
    remove(2);
    add("Salade de fruits");
    EXPECT_EQ(numbers(), (QList<int>{0, 1, 2}));
}

TEST_F(ConsoWindow, TheDayHoldsFiftyRows) {
    for (int i = 0; i < 51; ++i) addFood(100 + i, QStringLiteral("Aliment %1").arg(i, 2, 10, QLatin1Char('0')), 3);
    TFConsoJournaliere& f = open();
    showCategory(2);
    for (int i = 0; i < 50; ++i) add(QStringLiteral("Aliment %1").arg(i, 2, 10, QLatin1Char('0')));
    EXPECT_EQ(f.TConsommation.recordCount(), 50);
    EXPECT_EQ(log.count(), 0);
    AnswerNextMessage(log);
    add("Aliment 50");
    EXPECT_EQ(f.TConsommation.recordCount(), 50);
    EXPECT_EQ(TFConsoJournaliere::NextRowNumber, 50);
    EXPECT_EQ(log.captions, QStringList{"Erreur"});
    EXPECT_EQ(log.texts, QStringList{Flat("        Vous ne pouvez pas ajouter plus de 50 aliments")});
}

TEST_F(ConsoWindow, NamesAreNotRepeatedIgnoringCaseAndLength) {
    const QString longName = QStringLiteral("Gratin dauphinois aux trois fromages de Savoie");
    addFood(60, "POMME", 2);
    addFood(61, longName, 2);
    addFood(62, longName + " allégé", 2);
    TFConsoJournaliere& f = open();
    add("Pomme");
    showCategory(1);
    AnswerNextMessage(log);
    add("POMME");
    EXPECT_EQ(f.TConsommation.recordCount(), 1);
    EXPECT_EQ(log.texts, QStringList{Flat("        Cet aliment à déjà été sélectionné !")});

    // A long name is stored cut to 32 characters; a second name with the same beginning is the
    // same row once stored, so it is refused too.
    add(longName);
    EXPECT_EQ(f.TConsommation.recordCount(), 2);
    EXPECT_EQ(f.TConsommation.rowValue(1, "NomAliment").toString(), longName.left(32));
    AnswerNextMessage(log);
    add(longName + " allégé");
    EXPECT_EQ(f.TConsommation.recordCount(), 2);
    EXPECT_EQ(log.count(), 2);
}

TEST_F(ConsoWindow, TotalsAndSharesFollowEveryPost) {
    addFood(70, "Essai", 1, 2.0, 0.1, 0.05, 0.2);
    TFConsoJournaliere& f = open();
    add("Essai");
    // A row without quantity: everything 0, printing and saving allowed.
    EXPECT_EQ(f.EdtTotCalories->text(), "0");
    EXPECT_EQ(f.EdtPcCal->text(), "0");
    EXPECT_EQ(f.EdtPcLip->text(), "0");
    EXPECT_TRUE(f.BtnImprimer->isEnabled());
    EXPECT_TRUE(f.BtnSauvegarde->isEnabled());
    EXPECT_EQ(f.TConsommation.rowValue(0, "CaloriesGramme").toDouble(), 2.0);

    setQuantity(0, 150);
    EXPECT_EQ(f.EdtTotCalories->text(), "300");
    EXPECT_EQ(f.EdtPcCal->text(), "100");
    EXPECT_EQ(f.EdtTotLipides->text(), "15");
    EXPECT_EQ(f.EdtPcLip->text(), "47,37");
    EXPECT_EQ(f.EdtTotProtides->text(), "7,50");
    EXPECT_EQ(f.EdtPcProt->text(), "10,53");
    EXPECT_EQ(f.EdtTotGlucides->text(), "30");
    EXPECT_EQ(f.EdtPcGluc->text(), "42,11");
    EXPECT_EQ(f.EdtTotQuantite->text(), "150");
    EXPECT_FLOAT_EQ(f.TotGlucides, 30);
    EXPECT_FLOAT_EQ(TFConsoJournaliere::NutrientEnergy, 285);

    // A negative quantity is refused after its post: totals shown unchanged, totals kept at 0,
    // printing and saving disabled.
    AnswerNextMessage(log);
    setQuantity(0, -5);
    EXPECT_EQ(log.captions, QStringList{"Erreur de saisie"});
    EXPECT_EQ(log.texts, QStringList{Flat("        Valeur non valide !")});
    EXPECT_EQ(f.EdtTotCalories->text(), "300");
    EXPECT_EQ(f.TotCalories, 0);
    EXPECT_FALSE(f.BtnImprimer->isEnabled());
    EXPECT_FALSE(f.BtnSauvegarde->isEnabled());
    setQuantity(0, 10);
    EXPECT_EQ(f.EdtTotCalories->text(), "20");
    EXPECT_TRUE(f.BtnImprimer->isEnabled());
}

TEST_F(ConsoWindow, CaloriesAboveTheObjectiveRaiseTheAlert) {
    addFood(70, "Essai", 1, 1.0);
    TFConsoJournaliere& f = open();
    f.EdtObjectifCal->setText("2000");
    f.EdtObjectifCalExit();
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 2000);
    add("Essai");
    setQuantity(0, 2040);
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(baseColour(f.EdtTotCalories), kLockedColour);

    AnswerNextMessage(log);
    setQuantity(0, 2040.5);
    EXPECT_EQ(log.captions, QStringList{"Alerte"});
    EXPECT_EQ(log.texts, QStringList{Flat("        Total des calories supérieur à l'objectif calorique !")});
    EXPECT_EQ(baseColour(f.EdtTotCalories), BgrColor(0x0000FF));

    // Switched off: neither message nor colour.
    appState().SwitchCaloriesAboveObjective = 0;
    setQuantity(0, 3000);
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(baseColour(f.EdtTotCalories), kLockedColour);

    // No objective: no alert whatever the total.
    appState().SwitchCaloriesAboveObjective = 1;
    f.EdtObjectifCal->setText("abc");
    f.EdtObjectifCalExit();
    setQuantity(0, 5000);
    EXPECT_EQ(log.count(), 1);
}

TEST_F(ConsoWindow, RemovalRecomputesTheTotalsAtOnce) {
    addFood(70, "Essai", 1, 2.0, 0.1, 0.05, 0.2);
    TFConsoJournaliere& f = open();
    add("Essai");
    add("Pomme");
    setQuantity(0, 150);
    setQuantity(1, 100);
    ASSERT_GT(f.TotCalories, 300);
    const int essai = f.TConsommation.rowValue(0, "NomAliment").toString() == "Essai" ? 0 : 1;
    remove(1 - essai);
    EXPECT_FLOAT_EQ(f.TotCalories, 300);
    EXPECT_FLOAT_EQ(f.TotGlucides, 30);
    EXPECT_EQ(f.EdtTotCalories->text(), "300");
    EXPECT_EQ(f.EdtTotQuantite->text(), "150");
}

TEST_F(ConsoWindow, ClearingTheQuantitiesPostsEveryRow) {
    TFConsoJournaliere& f = open();
    add("Banane");
    add("Orange");
    add("Pomme");
    for (int r = 0; r < 3; ++r) setQuantity(r, 100 + r);
    f.BtnEffacer->click();
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_consommation WHERE QuantiteGramme IS NULL").toInt(), 3);
    for (QLineEdit* e : {f.EdtTotCalories, f.EdtPcCal, f.EdtTotLipides, f.EdtPcLip, f.EdtTotProtides, f.EdtPcProt,
                         f.EdtTotGlucides, f.EdtPcGluc, f.EdtTotQuantite})
        EXPECT_TRUE(e->text().isEmpty());
    EXPECT_FALSE(f.BtnImprimer->isEnabled());
    EXPECT_FALSE(f.BtnSauvegarde->isEnabled());
    EXPECT_TRUE(f.BtnOptimisation->isEnabled());
    EXPECT_TRUE(f.BtnEffacer->isEnabled());
}

TEST_F(ConsoWindow, NeedsObjectiveAndAdvice) {
    TFConsoJournaliere& f = open();
    // Without a validated estimate no advice, whatever the objective.
    f.EdtObjectifCal->setText("100");
    f.EdtObjectifCalExit();
    EXPECT_EQ(log.count(), 0);

    auto needs = std::make_unique<TFBesoinsJournaliers>();
    FBesoinsJournaliers = needs.get();
    auto answerNeeds = [](int total, uint8_t validated) {
        modal::pushHandler([=](modal::Call& c) {
            auto* d = static_cast<TFBesoinsJournaliers*>(c.dialog);
            d->TotalNeeds = total;
            d->Validated = validated;
            d->hide();
        });
    };
    answerNeeds(2500, 1);
    f.BtnDetBesoinsCalClick();
    EXPECT_EQ(f.EdtBesoins->text(), "2500");
    EXPECT_EQ(f.EdtObjectifCal->text(), "2500");
    f.EdtObjectifCalExit();
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 2500);
    EXPECT_EQ(log.count(), 0);
    f.EdtObjectifCal->setText("1600");
    f.EdtObjectifCalExit();
    EXPECT_EQ(log.count(), 0);
    AnswerNextMessage(log);
    f.EdtObjectifCal->setText("1500");
    f.EdtObjectifCalExit();
    ASSERT_EQ(log.count(), 1);
    EXPECT_EQ(log.captions[0], "Alerte");
    EXPECT_TRUE(log.texts[0].contains("2500 kilocalories, hors votre objectif calorique est de 1500 kilocalories."));

    // Letters: no objective, silently, the text stays; an empty text keeps the objective.
    f.EdtObjectifCal->setText("mille");
    f.EdtObjectifCalExit();
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 0);
    EXPECT_EQ(f.EdtObjectifCal->text(), "mille");
    f.EdtObjectifCal->setText("1800");
    f.EdtObjectifCalExit();
    f.EdtObjectifCal->clear();
    f.EdtObjectifCalExit();
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 1800);

    // A cancelled second estimate changes neither the needs shown nor the advice's figure.
    answerNeeds(900, 0);
    f.BtnDetBesoinsCalClick();
    EXPECT_EQ(f.EdtBesoins->text(), "2500");
    AnswerNextMessage(log);
    f.EdtObjectifCal->setText("1000");
    f.EdtObjectifCalExit();
    ASSERT_EQ(log.count(), 2);
    EXPECT_TRUE(log.texts[1].contains("est de 2500 kilocalories"));
    FBesoinsJournaliers = nullptr;
}

TEST_F(ConsoWindow, ModesLockTheirInputs) {
    TFConsoJournaliere& f = open();
    EXPECT_FALSE(f.CbxNutriment->isEnabled());
    EXPECT_FALSE(f.EdtQuantiteMini->isEnabled());
    EXPECT_EQ(f.CbxNutriment->currentIndex(), -1);
    EXPECT_EQ(f.LblQuantiteMini->text(), "Quantité minimum");

    auto mode = [&](int index) {
        f.CbxTypeOptimisation->setCurrentIndex(index);
        f.CbxTypeOptimisationClick();
    };
    mode(1);
    EXPECT_FALSE(f.CbxNutriment->isEnabled());
    EXPECT_TRUE(f.EdtQuantiteMini->isEnabled());
    EXPECT_EQ(baseColour(f.EdtQuantiteMini), kEditableColour);
    f.EdtQuantiteMini->setText("50");
    f.EdtQuantiteMiniExit();
    EXPECT_EQ(TFConsoJournaliere::MinimumQuantity, 50);

    mode(0);
    EXPECT_TRUE(f.EdtQuantiteMini->text().isEmpty());
    EXPECT_EQ(TFConsoJournaliere::MinimumQuantity, 0);
    EXPECT_EQ(baseColour(f.EdtQuantiteMini), kLockedColour);
    mode(1);
    EXPECT_EQ(TFConsoJournaliere::MinimumQuantity, 0);

    // Modes 2 and 3 unlock the nutrient; without a choice it stays -1.
    mode(2);
    EXPECT_TRUE(f.CbxNutriment->isEnabled());
    EXPECT_EQ(TFConsoJournaliere::OptimisationMode, 2);
    EXPECT_EQ(TFConsoJournaliere::OptimisedNutrient, -1);
    f.CbxNutriment->setCurrentIndex(2);
    f.CbxNutrimentClick();
    mode(3);
    EXPECT_EQ(TFConsoJournaliere::OptimisedNutrient, 2);
    f.EdtQuantiteMini->setText("-10");
    f.EdtQuantiteMiniExit();
    EXPECT_EQ(TFConsoJournaliere::MinimumQuantity, -10);
    f.EdtQuantiteMini->setText("1,5");
    f.EdtQuantiteMiniExit();
    EXPECT_EQ(TFConsoJournaliere::MinimumQuantity, 0);

    // A new window starts from the creation resets.
    form = std::make_unique<TFConsoJournaliere>();
    EXPECT_EQ(TFConsoJournaliere::OptimisationMode, 0);
    EXPECT_EQ(TFConsoJournaliere::OptimisedNutrient, -1);
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 0);
}

TEST_F(ConsoWindow, FirstStepsTextOncePerRun) {
    appState().SwitchConsumptionInfo = 1;
    AnswerNextMessage(log);
    open();
    ASSERT_EQ(log.count(), 1);
    EXPECT_EQ(log.captions[0], "Premiers pas avec la gestion quotidienne des apports nutritionnels");
    form->FormActivate();
    open();
    EXPECT_EQ(log.count(), 1);
}

TEST_F(ConsoWindow, QuantityConvertedFromAMeasure) {
    auto conversion = std::make_unique<TFConversionVM>();
    FConversionVM = conversion.get();
    TFConsoJournaliere& f = open();
    add("Banane");
    QString initialFood;
    bool cancelEnabled = false;
    modal::pushHandler([&](modal::Call& c) {
        auto* d = static_cast<TFConversionVM*>(c.dialog);
        initialFood = d->InitialFood;
        cancelEnabled = d->BtnAnnule->isEnabled() && d->CalledFromGrid == 1;
        d->ConvertedWeight = 22.5;
        d->Validated = 1;
        d->hide();
    });
    f.DBGIngredients->clickEditButton();
    EXPECT_EQ(initialFood, "Banane");
    EXPECT_TRUE(cancelEnabled);
    // The row waits in edit until Enter, another row or leaving the grid posts it.
    EXPECT_TRUE(f.TConsommation.isEditing());
    EXPECT_TRUE(f.EdtTotQuantite->text() == "0");
    f.DBGIngredients->pressEnter();
    EXPECT_FALSE(f.TConsommation.isEditing());
    EXPECT_EQ(Query::scalar("SELECT QuantiteGramme FROM t_consommation").toDouble(), 22.5);
    EXPECT_EQ(f.EdtTotQuantite->text(), "22,50");

    // "Annuler" changes nothing and posts nothing.
    modal::pushHandler([](modal::Call& c) {
        auto* d = static_cast<TFConversionVM*>(c.dialog);
        d->ConvertedWeight = 99;
        d->Validated = 0;
        d->hide();
    });
    f.DBGIngredients->clickEditButton();
    f.DBGIngredients->leave();
    EXPECT_EQ(Query::scalar("SELECT QuantiteGramme FROM t_consommation").toDouble(), 22.5);
    FConversionVM = nullptr;
}

TEST_F(ConsoWindow, MenuOpensTheWindowAndOnlyTheFirstActivationEmptiesTheDay) {
    Query::execute("INSERT INTO t_consommation (NomAliment, QuantiteGramme, Numero) VALUES ('Reste', 10, 0)");
    auto frame = std::make_unique<TFVivanda>();
    appState().SwitchConsumptionInfo = 0;   // the frame read the default settings
    frame->RegisterModule(5, "ConsomationJournaliere", CreateConsoJournaliere);
    frame->menuItem("ConsomationJournaliere")->trigger();
    auto* f = static_cast<TFConsoJournaliere*>(frame->FindChildForm("FConsoJournaliere"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_consommation").toInt(), 0);
    EXPECT_EQ(f->LboxAliments->count(), 4);
    f->LboxAliments->setCurrentRow(0);
    f->BtnAjouter->click();

    // Another child window, then back: the day stays.
    auto* other = new QWidget;
    other->setObjectName("FAutre");
    frame->mdiArea()->setActiveSubWindow(ShowModuleWindow(other));
    ASSERT_EQ(frame->mdiArea()->activeSubWindow()->widget(), other);
    frame->menuItem("ConsomationJournaliere")->trigger();
    EXPECT_EQ(frame->mdiArea()->activeSubWindow()->widget(), f);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_consommation").toInt(), 1);

    // Closed and opened again: a new empty day.
    f->BtnQuitter->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame->FindChildForm("FConsoJournaliere"), nullptr);
    frame->menuItem("ConsomationJournaliere")->trigger();
    EXPECT_NE(frame->FindChildForm("FConsoJournaliere"), nullptr);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_consommation").toInt(), 0);
}
