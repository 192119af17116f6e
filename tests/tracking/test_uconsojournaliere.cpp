#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolTip>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "platform/Modal.h"
#include "reference/Uconversion.h"
#include "support/ConsoWindowTest.h"
#include "support/Typing.h"
#include "tracking/Ubesoinsjournaliers.h"
#include "tracking/Uqrafficonsommation.h"
#include "tracking/Useldate.h"

namespace {

// Category 1 ("Fruits et desserts") lists Banane, Orange, Pomme and the recipe "Salade de fruits".
class ConsoWindow : public ConsoWindowTest {
protected:
    void SetUp() override {
        ConsoWindowTest::SetUp();
        appState().SwitchCaloriesAboveObjective = 1;
        appState().SwitchObjectiveBelowNeeds = 1;
    }
    // Adds a food of category `category` (food category + 27 maps to it one to one).
    static void addFood(int id, const QString& name, int category, double cal = 1, double lip = 0,
                        double prot = 0, double carbs = 0) {
        Query::execute("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                       "ProtidesGramme, GlucidesGramme, IdCatAliment) VALUES (?, ?, ?, ?, ?, ?, ?)",
                       {id, name, cal, lip, prot, carbs, category});
    }
    // Selects each listed item in turn and clicks the add button.
    void add(const QStringList& names) {
        for (const QString& name : names) {
            const auto found = form->LboxAliments->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            form->LboxAliments->setCurrentItem(found[0]);
            form->BtnAjouter->click();
        }
    }
    void showCategory(int index) {
        form->CboxCategories->setCurrentIndex(index);
        form->CboxCategoriesClick();
    }
    // Types a quantity into a row and posts it, as the grid does.
    void setQuantity(int row, const QVariant& grams) {
        Table& t = form->TConsommation;
        t.moveToRow(row);
        t.edit();
        t.setValue("QuantiteGramme", grams);
        t.post();
    }
    void setObjective(const QString& text) {
        form->EdtObjectifCal->setText(text);
        form->EdtObjectifCalExit();
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
    QStringList listed() const { return listed(form.get()); }
    static QStringList listed(const TFConsoJournaliere* f) {
        QStringList out;
        for (int i = 0; i < f->LboxAliments->count(); ++i) out << f->LboxAliments->item(i)->text();
        return out;
    }
    // The buttons that need rows in the day, and those that need valid quantities.
    void expectDayButtons(bool rows, bool printable) const {
        EXPECT_EQ(form->BtnOptimisation->isEnabled(), rows);
        EXPECT_EQ(form->BtnEffacer->isEnabled(), rows);
        EXPECT_EQ(form->BtnImprimer->isEnabled(), printable);
        EXPECT_EQ(form->BtnSauvegarde->isEnabled(), printable);
    }
    static int dayRows() { return Query::scalar("SELECT COUNT(*) FROM t_consommation").toInt(); }
};

}  // namespace

TEST_F(ConsoWindow, OpeningStartsAnEmptyDayAndTheListFollowsCategoryAndSearch) {
    TFConsoJournaliere& f = open();
    EXPECT_FALSE(f.DBGIngredients->isEnabled());
    expectDayButtons(false, false);
    EXPECT_EQ(listed(), (QStringList{"Banane", "Orange", "Pomme", "Salade de fruits"}));
    EXPECT_EQ(f.LboxAliments->currentRow(), 0);

    // The search selects the first match; none leaves no selection, and adding does nothing.
    f.EditRechAliment->setText("pom");
    EXPECT_EQ(f.LboxAliments->currentItem()->text(), "Pomme");
    f.EditRechAliment->setText("é");
    EXPECT_EQ(f.LboxAliments->currentRow(), -1);
    f.BtnAjouter->click();
    EXPECT_TRUE(f.TConsommation.isEmpty());
    f.EditRechAliment->clear();   // an empty search selects the first item
    EXPECT_EQ(f.LboxAliments->currentRow(), 0);

    // A category with neither food nor recipe gives an empty list without selection.
    Query::execute("INSERT INTO t_catconsommation (IdCatConsommation, NomCategorieFrancais) VALUES (9, 'Vide')");
    f.TCategories.refresh();
    f.CboxCategories->addItem("Vide");
    showCategory(6);
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(f.LboxAliments->currentRow(), -1);
}

TEST_F(ConsoWindow, ListFollowsTheLanguage) {
    appState().LanguageCode = 200;
    Query::execute("UPDATE t_recettes SET NomRecetteAnglais = '' WHERE IdRecette = 1");
    open();
    // English food names; the sample recipe has no English name, so recipes stay French.
    EXPECT_EQ(listed(), (QStringList{"Apple", "Banana", "Orange", "Salade de fruits"}));
}

TEST_F(ConsoWindow, RowsKeepTheirNumbersAcrossRemovals) {
    TFConsoJournaliere& f = open();
    add({"Banane", "Orange", "Pomme"});
    EXPECT_TRUE(f.DBGIngredients->isEnabled());
    expectDayButtons(true, false);   // nothing to print before the quantities are typed
    EXPECT_EQ(numbers(), (QList<int>{0, 1, 2}));

    // "Non" changes nothing.
    remove(1, "BtnNon");
    EXPECT_EQ(numbers(), (QList<int>{0, 1, 2}));
    EXPECT_EQ(log.texts.last(), Flat("        Voulez-vous vraiment supprimer cet enregistrement ?"));

    // Removing the middle row: the next row repeats the last number. Removing the last row
    // gives no repeat.
    remove(1);
    add({"Salade de fruits"});
    EXPECT_EQ(numbers(), (QList<int>{0, 2, 2}));
    remove(2);
    add({"Orange"});
    EXPECT_EQ(numbers(), (QList<int>{0, 2, 2}));

    // Removing every row brings the counter back to 0 and disables the day's buttons.
    for (int i = 0; i < 3; ++i) remove(0);
    expectDayButtons(false, false);
    add({"Pomme"});
    EXPECT_EQ(numbers(), (QList<int>{0}));
}

TEST_F(ConsoWindow, TheDayHoldsFiftyRows) {
    QStringList names;
    for (int i = 0; i < 51; ++i) {
        names << QStringLiteral("Aliment %1").arg(i, 2, 10, QLatin1Char('0'));
        addFood(100 + i, names.last(), 3);
    }
    TFConsoJournaliere& f = open();
    showCategory(2);
    add(names.mid(0, 50));
    EXPECT_EQ(log.count(), 0);
    AnswerNextMessage(log);
    add({names.last()});
    EXPECT_EQ(f.TConsommation.recordCount(), 50);
    EXPECT_EQ(log.texts, QStringList{Flat("        Vous ne pouvez pas ajouter plus de 50 aliments")});
}

TEST_F(ConsoWindow, NamesAreNotRepeatedIgnoringCaseAndLength) {
    const QString longName = QStringLiteral("Gratin dauphinois aux trois fromages de Savoie");
    addFood(60, "POMME", 2);
    addFood(61, longName, 2);
    addFood(62, longName + " allégé", 2);
    TFConsoJournaliere& f = open();
    add({"Pomme"});
    showCategory(1);
    AnswerNextMessage(log);
    add({"POMME"});
    EXPECT_EQ(f.TConsommation.recordCount(), 1);
    EXPECT_EQ(log.texts, QStringList{Flat("        Cet aliment a déjà été sélectionné !")});

    // A long name is stored cut to 32 characters; a second name with the same beginning is the
    // same row once stored, so it is refused too.
    add({longName});
    EXPECT_EQ(f.TConsommation.rowValue(1, "NomAliment").toString(), longName.left(32));
    AnswerNextMessage(log);
    add({longName + " allégé"});
    EXPECT_EQ(f.TConsommation.recordCount(), 2);
    EXPECT_EQ(log.count(), 2);
}

TEST_F(ConsoWindow, TotalsAndSharesFollowEveryPostAndRemoval) {
    addFood(70, "Essai", 1, 2.0, 0.1, 0.05, 0.2);
    TFConsoJournaliere& f = open();
    add({"Essai"});
    // A row without quantity: everything 0, printing and saving not offered yet.
    EXPECT_EQ(f.EdtTotCalories->text(), "0");
    EXPECT_EQ(f.EdtPcLip->text() + f.EdtPcCal->text(), "00");
    expectDayButtons(true, false);

    setQuantity(0, 150);
    const std::pair<QLineEdit*, const char*> shown[] = {
        {f.EdtTotCalories, "300"}, {f.EdtPcCal, "100"},    {f.EdtTotLipides, "15"},  {f.EdtPcLip, "47,37"},
        {f.EdtTotProtides, "7,50"}, {f.EdtPcProt, "10,53"}, {f.EdtTotGlucides, "30"}, {f.EdtPcGluc, "42,11"},
        {f.EdtTotQuantite, "150"}};
    for (const auto& [edit, text] : shown) EXPECT_EQ(edit->text(), text) << edit->objectName().toStdString();
    EXPECT_FLOAT_EQ(TFConsoJournaliere::NutrientEnergy, 285);

    // A negative quantity is refused after its post: totals shown unchanged, totals kept at 0,
    // printing and saving disabled.
    AnswerNextMessage(log);
    setQuantity(0, -5);
    EXPECT_EQ(log.texts, QStringList{Flat("        Valeur non valide !")});
    EXPECT_EQ(f.EdtTotCalories->text(), "300");
    EXPECT_EQ(f.TotCalories, 0);
    expectDayButtons(true, false);
    setQuantity(0, 150);
    EXPECT_TRUE(f.BtnImprimer->isEnabled());

    // Removing a row recomputes the totals at once.
    add({"Pomme"});
    setQuantity(1, 100);
    ASSERT_GT(f.TotCalories, 300);
    remove(f.TConsommation.rowValue(0, "NomAliment").toString() == "Essai" ? 1 : 0);
    EXPECT_FLOAT_EQ(f.TotGlucides, 30);
    EXPECT_EQ(f.EdtTotCalories->text(), "300");
    EXPECT_EQ(f.EdtTotQuantite->text(), "150");

    // Clearing the quantities posts every row and empties the totals.
    add({"Banane"});
    setQuantity(1, 100);
    f.BtnEffacer->click();
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_consommation WHERE QuantiteGramme IS NULL").toInt(), 2);
    for (const auto& [edit, text] : shown) EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
    expectDayButtons(true, false);
}

TEST_F(ConsoWindow, CaloriesAboveTheObjectiveRaiseTheAlert) {
    addFood(70, "Essai", 1, 1.0);
    TFConsoJournaliere& f = open();
    setObjective("2000");
    add({"Essai"});
    setQuantity(0, 2040);   // within 2 % of the objective
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(baseColour(f.EdtTotCalories), kLockedColour);

    AnswerNextMessage(log);
    setQuantity(0, 2040.5);
    EXPECT_EQ(log.texts, QStringList{Flat("        Total des calories supérieur à l'objectif calorique !")});
    EXPECT_EQ(log.icons, QStringList{"INFORMATION"});
    EXPECT_EQ(baseColour(f.EdtTotCalories), BgrColor(0x0000FF));

    // The colour follows the objective at once, without a message: raised, lowered, emptied.
    const std::pair<const char*, QColor> objectives[] = {
        {"2550", kLockedColour}, {"1500", BgrColor(0x0000FF)}, {"", kLockedColour}, {"2000", BgrColor(0x0000FF)}};
    for (const auto& [objective, colour] : objectives) {
        setObjective(objective);
        EXPECT_EQ(baseColour(f.EdtTotCalories), colour) << objective;
    }
    EXPECT_EQ(log.count(), 1);

    // Switched off: neither message nor colour.
    appState().SwitchCaloriesAboveObjective = 0;
    setQuantity(0, 3000);
    EXPECT_EQ(baseColour(f.EdtTotCalories), kLockedColour);

    // No objective: no alert whatever the total.
    appState().SwitchCaloriesAboveObjective = 1;
    setObjective("");
    setQuantity(0, 5000);
    EXPECT_EQ(log.count(), 1);
}

TEST_F(ConsoWindow, NeedsObjectiveAndAdvice) {
    TFConsoJournaliere& f = open();
    setObjective("100");   // without a validated estimate no advice
    EXPECT_EQ(log.count(), 0);

    auto needs = std::make_unique<TFBesoinsJournaliers>();
    FBesoinsJournaliers = needs.get();
    auto estimate = [&f](int total, uint8_t validated) {
        modal::pushHandler([=](modal::Call& c) {
            auto* d = static_cast<TFBesoinsJournaliers*>(c.dialog);
            d->TotalNeeds = total;
            d->Validated = validated;
            d->hide();
        });
        f.BtnDetBesoinsCalClick();
    };
    estimate(2500, 1);
    EXPECT_EQ(f.EdtBesoins->text(), "2500");
    EXPECT_EQ(f.EdtObjectifCal->text(), "2500");
    setObjective("1600");   // 900 kcal below the needs: no advice yet
    EXPECT_EQ(log.count(), 0);
    AnswerNextMessage(log);
    setObjective("1500");
    ASSERT_EQ(log.count(), 1);
    EXPECT_TRUE(log.texts[0].contains("L'estimation de vos besoins caloriques est de 2500 kilocalories, "
                                      "or votre objectif calorique est de 1500 kilocalories."));
    EXPECT_TRUE(log.texts[0].endsWith("par rapport à ses besoins."));

    // Letters: refused with a word, and the edit shows the objective in force again; an empty
    // text is no objective.
    AnswerNextMessage(log);
    setObjective("mille");
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 1500);
    EXPECT_EQ(f.EdtObjectifCal->text(), "1500");
    EXPECT_EQ(log.captions.last(), "Erreur de saisie");
    setObjective("1800");
    setObjective("");
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 0);

    // A cancelled second estimate changes neither the needs shown nor the advice's figure.
    estimate(900, 0);
    EXPECT_EQ(f.EdtBesoins->text(), "2500");
    AnswerNextMessage(log);
    setObjective("1000");
    ASSERT_EQ(log.count(), 3);
    EXPECT_TRUE(log.texts[2].contains("est de 2500 kilocalories"));
    FBesoinsJournaliers = nullptr;
}

TEST_F(ConsoWindow, ModesLockTheirInputs) {
    TFConsoJournaliere& f = open();
    EXPECT_FALSE(f.CbxNutriment->isEnabled());
    EXPECT_FALSE(f.EdtQuantiteMini->isEnabled());
    auto mode = [&](int index) {
        f.CbxTypeOptimisation->setCurrentIndex(index);
        f.CbxTypeOptimisationClick();
    };
    auto minimum = [&](const char* text) {
        f.EdtQuantiteMini->setText(text);
        f.EdtQuantiteMiniExit();
        return TFConsoJournaliere::MinimumQuantity;
    };
    mode(1);
    EXPECT_FALSE(f.CbxNutriment->isEnabled());
    EXPECT_EQ(baseColour(f.EdtQuantiteMini), kEditableColour);
    EXPECT_EQ(minimum("50"), 50);

    // Back to mode 0 empties and locks the minimum.
    mode(0);
    EXPECT_TRUE(f.EdtQuantiteMini->text().isEmpty());
    EXPECT_EQ(baseColour(f.EdtQuantiteMini), kLockedColour);
    mode(1);
    EXPECT_EQ(TFConsoJournaliere::MinimumQuantity, 0);

    // Modes 2 and 3 unlock the nutrient; without a choice it stays -1.
    mode(2);
    EXPECT_TRUE(f.CbxNutriment->isEnabled());
    EXPECT_EQ(TFConsoJournaliere::OptimisedNutrient, -1);
    f.CbxNutriment->setCurrentIndex(2);
    f.CbxNutrimentClick();
    mode(3);
    EXPECT_EQ(TFConsoJournaliere::OptimisedNutrient, 2);
    // Not a whole number of grams from 0 to 10000: said, and the minimum in force shown again.
    EXPECT_EQ(minimum("40"), 40);
    for (const char* bad : {"-10", "1,5", "1e308"}) {
        AnswerNextMessage(log);
        EXPECT_EQ(minimum(bad), 40) << bad;
        EXPECT_EQ(f.EdtQuantiteMini->text(), "40") << bad;
        EXPECT_TRUE(log.texts.last().contains(QString::fromUtf8("Quantité minimum : « %1 »").arg(bad))) << bad;
    }

    // A new window starts from the creation resets.
    form = std::make_unique<TFConsoJournaliere>();
    EXPECT_EQ(TFConsoJournaliere::OptimisationMode, 0);
    EXPECT_EQ(TFConsoJournaliere::OptimisedNutrient, -1);
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 0);
}

TEST_F(ConsoWindow, ADayComposedFromTheKeyboardAndItsAlerts) {
    appState().SwitchCarbsBelowMinimum = 1;
    TFConsoJournaliere& f = open();
    f.show();   // on screen and active, so that clicks and keys reach it as the user's do
    f.activateWindow();
    QApplication::processEvents();
    // Enter in the search adds the food found: Pomme, 13.8 g of carbohydrates in 100 g.
    f.EditRechAliment->setFocus();
    TypeAtFocusAndEnter("pom");
    DbGrid* grid = f.DBGIngredients;
    auto click = [grid](int column) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, column)).center());
    };
    auto stored = [] { return Query::scalar("SELECT QuantiteGramme FROM t_consommation").toDouble(); };
    // A quantity typed at once after a click on its cell (of the row just added, selected)
    // keeps every digit. The day complete with 69 g of carbohydrates: their total is red.
    click(5);
    TypeAtFocusAndEnter("500");
    EXPECT_EQ(stored(), 500);
    EXPECT_EQ(baseColour(f.EdtTotGlucides), TFConsoJournaliere::kAlertColour);
    // Digits typed on the name go to the quantity, the first one included; above 100 g of
    // carbohydrates the red goes.
    click(0);
    TypeAtFocusAndEnter("800");
    EXPECT_EQ(stored(), 800);
    EXPECT_EQ(baseColour(f.EdtTotGlucides), kLockedColour);
    // Enter in the objective takes it as the focus moves on; on a button it presses it.
    f.EdtObjectifCal->setFocus();
    TypeAtFocusAndEnter("1500");
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 1500);
    EXPECT_NE(QApplication::focusWidget(), f.EdtObjectifCal);
    f.BtnRetirer->setFocus();
    AnswerNextMessage(log, "BtnOui");
    QTest::keyClick(f.BtnRetirer, Qt::Key_Return);
    EXPECT_EQ(dayRows(), 0);
    // In the list, the arrows choose and Enter adds.
    f.LboxAliments->setFocus();
    QTest::keyClick(f.LboxAliments, Qt::Key_Down);
    TypeAtFocusAndEnter("");
    EXPECT_EQ(f.TConsommation.rowValue(0, "NomAliment"), "Salade de fruits");
}

// A quantity typed in the grid keeps within a day's plausible grams: "1e308" or a pasted NUL is
// refused with the column and its range, nothing stored; the keypad's point is the comma.
TEST_F(ConsoWindow, GridQuantitiesAreReadAndBounded) {
    TFConsoJournaliere& f = open();
    f.show();
    f.activateWindow();
    QApplication::processEvents();
    f.EditRechAliment->setFocus();
    TypeAtFocusAndEnter("pom");
    DbGrid* grid = f.DBGIngredients;
    auto stored = [] { return Query::scalar("SELECT QuantiteGramme FROM t_consommation"); };
    const QString refused = "Quantité (g) : « %1 » n'est pas un nombre de 0 à 10000 g.";
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 5)).center());
    for (const QString& typed : {QString("1e308"), QString("2147483648"), QString("1") + QChar(0) + "2"}) {
        // The grid keeps the focus after a refusal: a digit typed opens the cell again.
        if (!qobject_cast<QLineEdit*>(QApplication::focusWidget())) QTest::keyClick(grid, '0');
        auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(cell, nullptr);
        cell->selectAll();
        AnswerNextMessage(log);
        Paste(cell, typed);
        QTest::keyClick(cell, Qt::Key_Return);
        // The box wraps the line where it likes: compared without the wrapping.
        EXPECT_EQ(log.texts.last().simplified(), refused.arg(QString(typed).replace(QChar(0), QChar(0xFFFD))).simplified());
        EXPECT_TRUE(stored().isNull()) << stored().toString().toStdString();
    }
    QTest::keyClick(grid, '1');
    TypeAtFocusAndEnter("2.5");
    EXPECT_EQ(stored().toDouble(), 12.5);
    EXPECT_EQ(log.count(), 3);
}

TEST_F(ConsoWindow, FirstStepsTextOncePerRun) {
    appState().SwitchConsumptionInfo = 1;
    AnswerNextMessage(log);
    open();
    form->FormActivate();
    open();
    EXPECT_EQ(log.captions, QStringList{"Premiers pas avec la gestion quotidienne des apports nutritionnels"});
}

TEST_F(ConsoWindow, QuantityConvertedFromAMeasure) {
    Query::execute("INSERT INTO t_densites VALUES (5, 'Banane', '', '', '', '', 0.9)");
    auto conversion = std::make_unique<TFConversionVM>();
    FConversionVM = conversion.get();
    TFConsoJournaliere& f = open();
    add({"Banane"});
    auto convert = [&f](double grams, uint8_t validated) {
        modal::pushHandler([=](modal::Call& c) {
            auto* d = static_cast<TFConversionVM*>(c.dialog);
            EXPECT_EQ(d->InitialFood, "Banane");
            d->ConvertedWeight = grams;
            d->Validated = validated;
            d->hide();
        });
        f.DBGIngredients->clickEditButton();
    };
    convert(22.5, 1);
    // Posted at once: stored and totalled.
    EXPECT_FALSE(f.TConsommation.isEditing());
    EXPECT_EQ(Query::scalar("SELECT QuantiteGramme FROM t_consommation").toDouble(), 22.5);
    EXPECT_EQ(f.EdtTotQuantite->text(), "22,50");
    EXPECT_TRUE(f.BtnSauvegarde->isEnabled());
    FConversionVM = nullptr;
}

TEST_F(ConsoWindow, MenuOpensTheWindowAndEveryNewWindowStartsWhole) {
    Query::execute("INSERT INTO t_consommation (NomAliment, QuantiteGramme, Numero) VALUES ('Reste', 10, 0)");
    auto report = std::make_unique<TFQRAffiConsommation>();
    auto frame = std::make_unique<TFVivanda>();
    appState().SwitchConsumptionInfo = 0;   // the frame read the default settings
    appState().SwitchCarbsBelowMinimum = 0;
    frame->RegisterModule(5, "ConsomationJournaliere", CreateConsoJournaliere);
    QAction* menu = frame->menuItem("ConsomationJournaliere");
    auto current = [&frame] { return static_cast<TFConsoJournaliere*>(frame->FindChildForm("FConsoJournaliere")); };
    // A day changed since its last save is left only once the user says so.
    auto quit = [this](TFConsoJournaliere* f) {
        AnswerNextMessage(log, "BtnOui");
        f->BtnQuitter->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    // Printed with its preview, then refused for a quantity left untyped.
    for (const bool typed : {true, false}) {
        menu->trigger();
        TFConsoJournaliere* f = current();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(dayRows(), 0) << typed;
        f->LboxAliments->setCurrentRow(0);
        f->BtnAjouter->click();
        if (typed) {
            f->TConsommation.edit();
            f->TConsommation.setValue("QuantiteGramme", 120);
            f->TConsommation.post();
            modal::pushHandler([](modal::Call&) {});   // the preview, closed at once
        } else {
            AnswerNextMessage(log);
        }
        f->BtnImprimerClick();
        EXPECT_EQ(TFConsoJournaliere::SkipActivationAfterPrint, 0) << typed;
        if (typed) {
            // Another child window, then back through the menu: the same window, the day kept.
            auto* other = new QWidget;
            other->setObjectName("FAutre");
            frame->mdiArea()->setActiveSubWindow(ShowModuleWindow(other));
            menu->trigger();
            EXPECT_EQ(frame->mdiArea()->activeSubWindow()->widget(), f);
            EXPECT_EQ(dayRows(), 1);
            AnswerNextMessage(log, "BtnNon");
            f->BtnQuitter->click();
            EXPECT_EQ(current(), f);
        }
        quit(f);

        // Opened again: categories, list and an empty day ready for rows.
        menu->trigger();
        f = current();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(listed(f), (QStringList{"Banane", "Orange", "Pomme", "Salade de fruits"})) << typed;
        EXPECT_TRUE(f->TConsommation.isActive()) << typed;
        EXPECT_EQ(dayRows(), 0) << typed;
        EXPECT_FALSE(f->BtnOptimisation->isEnabled()) << typed;
        f->LboxAliments->setCurrentRow(1);
        f->BtnAjouter->click();
        EXPECT_EQ(f->TConsommation.recordCount(), 1) << typed;
        quit(f);
    }
    // A flag left up by someone else does not survive the creation of a window either.
    TFConsoJournaliere::SkipActivationAfterPrint = 1;
    TFConsoJournaliere::SkipActivationAfterRestriction = 1;
    menu->trigger();
    EXPECT_EQ(current()->CboxCategories->count(), 6);
    EXPECT_EQ(log.count(), 6);
    EXPECT_EQ(log.captions.count(QString::fromUtf8("Quitter la consommation journalière")), 5);
}

TEST_F(ConsoWindow, EscapeClosesTheNeedsAndMeasureDialogsAsAnnuler) {
    auto needs = std::make_unique<TFBesoinsJournaliers>();
    Query::execute("INSERT INTO t_densites VALUES (5, 'Banane', '', '', '', '', 0.9)");
    auto conversion = std::make_unique<TFConversionVM>();
    FBesoinsJournaliers = needs.get();
    FConversionVM = conversion.get();
    TFConsoJournaliere& f = open();
    add({"Banane"});
    setQuantity(0, 80);
    struct Case {
        QDialog* dialog;
        uint8_t* validated;
        std::function<void()> show;
    } cases[] = {{needs.get(), &needs->Validated, [&f] { f.BtnDetBesoinsCalClick(); }},
                 {conversion.get(), &conversion->Validated, [&f] { f.DBGIngredients->clickEditButton(); }}};
    for (const Case& c : cases) {
        // Dialog frames: a title, no minimise or maximise box.
        EXPECT_FALSE(c.dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        *c.validated = 1;   // what an earlier "Ok" left
        bool closed = false;
        modal::pushHandler([&](modal::Call& call) {
            QTest::keyClick(call.dialog, Qt::Key_Escape);
            closed = !call.dialog->isVisible();
            call.result = 0;
        });
        c.show();
        EXPECT_TRUE(closed) << c.dialog->objectName().toStdString();
        EXPECT_EQ(*c.validated, 0) << c.dialog->objectName().toStdString();
    }
    // Nothing was handed back: no needs shown, the quantity as it was.
    EXPECT_TRUE(f.EdtBesoins->text().isEmpty());
    f.DBGIngredients->pressEnter();
    EXPECT_EQ(Query::scalar("SELECT QuantiteGramme FROM t_consommation").toDouble(), 80);
    FBesoinsJournaliers = nullptr;
    FConversionVM = nullptr;
}

TEST_F(ConsoWindow, NothingIsCutAtTheDefaultSize) {
    const QString longName = QStringLiteral("Abricots au sirop léger non égouttés");
    addFood(80, longName, 1);
    TFConsoJournaliere& f = open();
    // Every title of the grid whole, and all columns within the grid beside a vertical scroll bar.
    DbGrid* grid = f.DBGIngredients;
    int total = 0;
    for (int c = 0; c < grid->gridColumns().size(); ++c) {
        const QString title = grid->gridColumns()[c].title;
        EXPECT_GE(grid->columnWidth(c), grid->titleWidth(title)) << title.toStdString();
        EXPECT_GT(grid->titleWidth(title), grid->fontMetrics().horizontalAdvance(title)) << title.toStdString();
        total += grid->columnWidth(c);
    }
    EXPECT_LE(total, grid->contentsRect().width() - grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    // The mode list's items whole in its drop-down and in the box, which leaves the nutrient
    // list room for its own and stays clear of it.
    for (int i = 0; i < f.CbxTypeOptimisation->count(); ++i)
        EXPECT_GT(f.CbxTypeOptimisation->view()->minimumWidth(),
                  f.CbxTypeOptimisation->view()->fontMetrics().horizontalAdvance(f.CbxTypeOptimisation->itemText(i)));
    for (QComboBox* combo : {f.CbxTypeOptimisation, f.CbxNutriment})
        EXPECT_GE(combo->width(), combo->sizeHint().width()) << combo->objectName().toStdString();
    EXPECT_LT(f.CbxTypeOptimisation->geometry().right(), f.CbxNutriment->x());
    EXPECT_LT(f.CbxNutriment->geometry().right(), f.EdtQuantiteMini->x());
    // A name too long for the list shows whole in a tool tip; over a short one the list's own
    // tip shows.
    const QString shortName = QStringLiteral("Pomme");
    for (const QString& name : {longName, shortName}) {
        const auto found = f.LboxAliments->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        f.LboxAliments->scrollToItem(found[0]);
        const QPoint at = f.LboxAliments->visualItemRect(found[0]).center();
        QHelpEvent tip(QEvent::ToolTip, at, f.LboxAliments->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(f.LboxAliments->viewport(), &tip);
        EXPECT_EQ(QToolTip::text(), name == longName ? name : f.LboxAliments->toolTip());
        QToolTip::hideText();
    }
    // In the grid a long name goes on over a second line of its row.
    add({longName, shortName});
    for (int row : {0, 1}) EXPECT_EQ(grid->elidedCellText(row, 0), QString()) << row;
    // The totals read in the text colour of an input, not the locked grey.
    EXPECT_EQ(f.EdtTotCalories->palette().color(QPalette::Disabled, QPalette::Text), f.palette().color(QPalette::Text));
}

TEST(DateDialog, TheCalendarsDayNamesFitTheirColumns) {
    FrenchLocaleGuard french;
    TFSelDate dialog;
    QCalendarWidget* calendar = dialog.MonthCalendar;
    const QLocale::FormatType format = calendar->horizontalHeaderFormat() == QCalendarWidget::SingleLetterDayNames
                                           ? QLocale::NarrowFormat
                                           : calendar->horizontalHeaderFormat() == QCalendarWidget::ShortDayNames
                                                 ? QLocale::ShortFormat
                                                 : QLocale::LongFormat;
    const int column = calendar->width() / 7;
    for (int day = 1; day <= 7; ++day) {
        const QString name = calendar->locale().dayName(day, format);
        EXPECT_LT(calendar->fontMetrics().horizontalAdvance(name) + 8, column) << name.toStdString();
    }
}
