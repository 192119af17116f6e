#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "data/Query.h"
#include "data/DbWidgets.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/TextHelpers.h"
#include "platform/Modal.h"
#include "support/ConsoWindowTest.h"
#include "tracking/QuantityOptimisation.h"
#include "tracking/Uconsojournaliere.h"

namespace {

// Per-gram values of foods of the fixture seed.
struct Food {
    const char* name;
    double calories, lipids, proteins, carbs;
};
constexpr Food kMilk{"Lait demi-écrémé", 0.46, 0.016, 0.033, 0.048};
constexpr Food kApple{"Pomme", 0.52, 0.002, 0.003, 0.138};
constexpr Food kRice{"Riz blanc cuit", 1.30, 0.003, 0.027, 0.28};
constexpr Food kChicken{"Blanc de poulet", 1.65, 0.036, 0.31, 0.0};
constexpr Food kCream{"Crème fraîche", 2.92, 0.30, 0.024, 0.029};
constexpr Food kPasta{"Pâtes cuites", 1.31, 0.011, 0.05, 0.25};
constexpr Food kEgg{"Œuf", 1.55, 0.11, 0.13, 0.011};
constexpr Food kWater{"Eau", 0, 0, 0, 0};

class ConsoOptimisation : public ConsoWindowTest {
protected:
    void SetUp() override {
        ConsoWindowTest::SetUp();
        appState().SwitchCarbsBelowMinimum = 1;
        open();
    }

    // A row of the day as the add button leaves it (quantity empty unless given), buttons included.
    void addRow(const Food& f, int numero, const QVariant& grams = {}) {
        Query::execute("INSERT INTO t_consommation VALUES (?, ?, ?, ?, ?, ?, ?)",
                       {QString::fromUtf8(f.name), f.calories, f.lipids, f.proteins, f.carbs, grams, numero});
        form->TConsommation.refresh();
        form->DBGIngredients->setEnabled(true);
        form->BtnOptimisation->setEnabled(true);
    }
    void chooseSettings(int objective, int mode, int nutrient = -1, const QString& minimum = {}) {
        form->EdtObjectifCal->setText(QString::number(objective));
        form->EdtObjectifCalExit();
        form->CbxTypeOptimisation->setCurrentIndex(mode);
        form->CbxTypeOptimisationClick();
        form->CbxNutriment->setCurrentIndex(nutrient);
        form->CbxNutrimentClick();
        form->EdtQuantiteMini->setText(minimum);
        form->EdtQuantiteMiniExit();
    }
    QVariant storedQuantity(const Food& f) const {
        return Query::scalar("SELECT QuantiteGramme FROM t_consommation WHERE NomAliment = ?",
                             {QString::fromUtf8(f.name)});
    }
    // The next message box answered "OK" with "Ne plus afficher ce message" ticked.
    void tickNextMessage() {
        modal::pushHandler([this](modal::Call& c) {
            log.captions << c.caption;
            c.dialog->findChild<QCheckBox*>("ChbAfficheAlerte")->setChecked(true);
            c.dialog->findChild<QPushButton*>("BtnOk")->click();
        });
    }
    // Clicks the button and expects one message: the failure's.
    void clickExpectingFailure(int32_t failure) {
        log = {};
        AnswerNextMessage(log);
        form->BtnOptimisation->click();
        ASSERT_EQ(log.count(), 1);
        EXPECT_EQ(log.captions[0], "Erreur optimisation");
        EXPECT_EQ(log.texts[0], Flat(OptimisationFailureText(failure, TFConsoJournaliere::MessageTable)));
    }
};

}  // namespace

TEST_F(ConsoOptimisation, FailuresReportTheirCodeAndFillNothing) {
    const std::vector<std::pair<Food, QVariant>> threeOpen = {{kRice, {}}, {kChicken, {}}, {kCream, {}}};
    const struct {
        std::vector<std::pair<Food, QVariant>> rows;
        int objective, mode, nutrient;
        const char* minimum;
        int32_t failure;
        float typedCalories;
    } cases[] = {
        {{{kRice, {}}}, 0, 0, -1, "", OptimisationNoObjective, 0},
        {{{kRice, {}}}, 2000, 2, -1, "20", OptimisationNoNutrient, 0},
        {{{kRice, 100}, {kWater, {}}}, 2000, 0, -1, "", OptimisationNoCaloricRow, 130},
        // Every quantity typed: the objective already reached, or nothing left to compute.
        {{{kRice, 2000}}, 2000, 0, -1, "", OptimisationNothingLeft, 2600},
        {{{kRice, 100}}, 2000, 0, -1, "", OptimisationNoOpenRow, 130},
        // 300 kcal missing; 100 g of each brings 587 kcal.
        {threeOpen, 300, 1, 0, "100", OptimisationInfeasible, 0},
        {threeOpen, 300, 2, 0, "100", OptimisationInfeasible, 0},
    };
    for (const auto& c : cases) {
        Query::execute("DELETE FROM t_consommation");
        for (size_t i = 0; i < c.rows.size(); ++i) addRow(c.rows[i].first, static_cast<int>(i), c.rows[i].second);
        chooseSettings(c.objective, c.mode, c.nutrient, c.minimum);
        SetInputColour(form->EdtTotCalories, BgrColor(0x0000FF));
        TFConsoJournaliere::OptimisationJustRun = 0;
        clickExpectingFailure(c.failure);
        EXPECT_EQ(TFConsoJournaliere::OptimisationJustRun, 1);
        for (const auto& [food, grams] : c.rows)
            if (grams.isNull()) EXPECT_TRUE(storedQuantity(food).isNull()) << food.name << " " << c.failure;
        // The settings' checks change nothing but the flag; a failed computation leaves the
        // typed rows' totals and the calories' colour reset.
        const bool computed = c.failure >= OptimisationNothingLeft;
        EXPECT_EQ(baseColour(form->EdtTotCalories), computed ? kLockedColour : BgrColor(0x0000FF)) << c.failure;
        if (computed) EXPECT_FLOAT_EQ(form->TotCalories, c.typedCalories) << c.failure;
    }
}

TEST_F(ConsoOptimisation, ARowStillBeingTypedCountsAsTyped) {
    addRow(kRice, 0);
    addRow(kApple, 1);
    // 1000 g of rice (1300 kcal) still being typed when the button is clicked: the objective
    // is reached.
    form->TConsommation.moveToRow(0);
    form->TConsommation.edit();
    form->TConsommation.setValue("QuantiteGramme", 1000);
    chooseSettings(1300, 2, 2, "10");
    clickExpectingFailure(OptimisationNothingLeft);
    EXPECT_TRUE(storedQuantity(kApple).isNull());
    EXPECT_DOUBLE_EQ(storedQuantity(kRice).toDouble(), 1000);
}

TEST_F(ConsoOptimisation, EqualShareSkipsACalorieFreeRowAndSaysSo) {
    addRow(kMilk, 0, 250);   // 115 kcal, 12 g of carbohydrates
    addRow(kWater, 1);
    addRow(kChicken, 1);     // shares its number with the water: filled in its own right
    chooseSettings(1115, 0);
    // The note on the row left at 0, then the carbohydrate alert (the day stays under 100 g).
    AnswerNextMessage(log);
    AnswerNextMessage(log);
    form->BtnOptimisation->click();

    // 1000 kcal missing over two open rows: the chicken gets 500 kcal, the water's half is lost.
    EXPECT_DOUBLE_EQ(storedQuantity(kChicken).toDouble(), RoundedQuantity(500 / 1.65));
    EXPECT_TRUE(storedQuantity(kWater).isNull());
    EXPECT_NEAR(form->TotCalories, 1115 - 500, 1.0);
    EXPECT_EQ(log.texts, (QStringList{Flat(TFConsoJournaliere::MessageTable[17]), Flat(TFConsoJournaliere::MessageTable[12])}));
    EXPECT_EQ(baseColour(form->EdtTotGlucides), BgrColor(0x0000FF));
    EXPECT_FALSE(form->BtnImprimer->isEnabled());   // the water still waits for its quantity

    // Ticking the note's box silences the carbohydrate alert, not the note itself.
    form->TConsommation.moveToRow(2);
    form->TConsommation.edit();
    form->TConsommation.clearField("QuantiteGramme");
    form->TConsommation.post();
    log = {};
    tickNextMessage();
    form->BtnOptimisation->click();
    EXPECT_EQ(log.captions, QStringList{"Alerte"});
    EXPECT_EQ(appState().SwitchCarbsBelowMinimum, 0);
    EXPECT_EQ(baseColour(form->EdtTotGlucides), kLockedColour);
    clickExpectingFailure(OptimisationNoCaloricRow);  // only the water is open now
}

TEST_F(ConsoOptimisation, RealDayReachesTheObjectiveInEveryMode) {
    const Food open[] = {kApple, kRice, kChicken, kCream, kPasta, kEgg};
    double proteinsMaximised = 0;
    for (int mode = 0; mode <= 3; ++mode) {
        Query::execute("DELETE FROM t_consommation");
        addRow(kMilk, 0, 250);
        for (int i = 0; i < 6; ++i) addRow(open[i], i + 1);
        chooseSettings(2000, mode, 0, "20");
        log = {};
        form->BtnOptimisation->click();   // no message: nothing left open, carbohydrates >= 100 g
        EXPECT_EQ(log.count(), 0) << "mode " << mode;
        for (const Food& f : open) EXPECT_GE(storedQuantity(f).toDouble(), mode > 0 ? 20 : 0.01) << f.name << " mode " << mode;
        EXPECT_GE(form->TotCalories, 2000 - 0.5f) << "mode " << mode;
        EXPECT_FALSE(CaloriesAboveObjective(form->TotCalories, 2000)) << "mode " << mode;
        EXPECT_EQ(baseColour(form->EdtTotCalories), kLockedColour);
        EXPECT_GE(form->TotGlucides, 100) << "mode " << mode;
        if (mode == 1) {
            // The recommended split of the 1885 kcal missing, which the milk's nutrients top up.
            EXPECT_GE(form->LipidEnergy, 0.30 * 1885 - 1);
            EXPECT_GE(form->ProteinEnergy, 0.11 * 1885 - 1);
            EXPECT_GE(form->CarbEnergy, 0.52 * 1885 - 1);
        }
        if (mode == 2) proteinsMaximised = form->TotProtides;
        if (mode == 3) EXPECT_LT(form->TotProtides + 10, proteinsMaximised);
        EXPECT_TRUE(form->BtnSauvegarde->isEnabled());
    }
}

TEST_F(ConsoOptimisation, ARefusedRowKeepsSavingOffAfterTheQuantitiesAreComputed) {
    appState().SwitchCarbsBelowMinimum = 0;
    addRow(kApple, 0, -5);   // refused when it was typed
    addRow(kRice, 1);
    chooseSettings(1000, 0);
    // The rice's quantity is written; its post finds the refused row again.
    AnswerNextMessage(log);
    form->BtnOptimisation->click();
    EXPECT_GT(storedQuantity(kRice).toDouble(), 0);
    EXPECT_FALSE(form->BtnSauvegarde->isEnabled());
    EXPECT_FALSE(form->BtnImprimer->isEnabled());
    AnswerNextMessage(log);
    form->BtnSauvegardeClick();
    EXPECT_EQ(log.texts, (QStringList{Flat(TFConsoJournaliere::MessageTable[16]), Flat(TFConsoJournaliere::MessageTable[13])}));
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_histo_consommation").toInt(), 0);
}

TEST_F(ConsoOptimisation, TheMinimumShownIsTheMinimumUsed) {
    addRow(kRice, 0);
    addRow(kApple, 1);
    chooseSettings(2000, 2, 2, "");
    // Typed, and the edit left for another window rather than for a control of this one.
    form->EdtQuantiteMini->setText("50");
    form->BtnOptimisation->click();
    EXPECT_EQ(TFConsoJournaliere::MinimumQuantity, 50);
    EXPECT_GE(storedQuantity(kRice).toDouble(), 50);
    EXPECT_GE(storedQuantity(kApple).toDouble(), 50);
}
