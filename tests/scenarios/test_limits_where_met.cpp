// The limits the windows state, met where the user meets them: a value equal to the limit and
// one step past it, zero, blanks around a number, minutes against a stored time, a date next to
// saved days; with the keys each window answers (Enter, Tab, Escape).
#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "data/DbWidgets.h"
#include "reference/Ueditionrecettes.h"
#include "reference/Urecettes.h"
#include "support/HistoryRows.h"
#include "support/ProgramScenario.h"
#include "tracking/Ubesoinsjournaliers.h"
#include "tracking/Ucalcimc.h"

namespace {

class LimitsWhereMet : public ProgramScenario {
protected:
    // `text` typed into `edit`, which is then left with Tab; a refusal's box answered when
    // `refused`. Returns whether a box came.
    bool leaveWith(QLineEdit* edit, const char* text, bool refused) {
        const int before = log.count();
        if (refused) AnswerNextMessage(log);
        Retype(edit, QString::fromUtf8(text));
        key(edit, Qt::Key_Tab);
        QApplication::processEvents();
        return log.count() > before;
    }
    // A quantity typed in the day grid's quantity cell of `row`, then Enter.
    static void typeQuantity(TFConsoJournaliere& day, int row, const char* grams) {
        DbGrid* grid = day.DBGIngredients;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 5)).center());
        TypeAtFocusAndEnter(grams);
    }
};

}  // namespace

// The day window: the advice at 900 kcal below the needs, the alert at 2 % over the objective,
// a quantity left at 0, and the date dialog's weight (0 to 250 kg) and its Escape.
TEST_F(LimitsWhereMet, TheDayWindowsObjectiveAlertQuantitiesAndSavedWeight) {
    appState().SwitchObjectiveBelowNeeds = 1;
    appState().SwitchCaloriesAboveObjective = 1;
    auto& day = menu<TFConsoJournaliere>("ConsomationJournaliere", "FConsoJournaliere");
    whileUp([](modal::Call&) {
        clickItem(FBesoinsJournaliers->LboxUtilisateurs, "Jean");
        key(FBesoinsJournaliers->LboxUtilisateurs, Qt::Key_Return);   // nothing: Enter is no "Ok" there
        EXPECT_TRUE(FBesoinsJournaliers->isVisible());
        click(FBesoinsJournaliers->BtnOk);
    });
    click(day.BtnDetBesoinsCal);
    EXPECT_FALSE(leaveWith(day.EdtObjectifCal, "849", false));   // 1749 - 900: no advice
    EXPECT_TRUE(leaveWith(day.EdtObjectifCal, "848", true));
    EXPECT_TRUE(log.texts.last().startsWith(QString::fromUtf8("L'estimation de vos besoins caloriques est de 1749 "
                                                              "kilocalories, or votre objectif calorique est de 848 "
                                                              "kilocalories.")))
        << log.texts.last().toStdString();
    EXPECT_FALSE(leaveWith(day.EdtObjectifCal, " 1800 ", false));   // blanks around: 1800, no advice
    EXPECT_EQ(TFConsoJournaliere::CalorieObjective, 1800);

    // 500 kcal: minced beef at 2.5 kcal/g, 204 g is 510 kcal (2 % over, no alert), 205 g alerts.
    EXPECT_TRUE(leaveWith(day.EdtObjectifCal, "500", true));   // the advice again
    choose(day.CboxCategories, QString::fromUtf8("Viandes et œufs"));
    clickItem(day.LboxAliments, QString::fromUtf8("Bœuf haché"));
    click(day.BtnAjouter);
    const int boxes = log.count();
    typeQuantity(day, 0, "204");
    EXPECT_EQ(log.count(), boxes);
    EXPECT_NE(day.EdtTotCalories->palette().color(QPalette::Base), TFConsoJournaliere::kAlertColour);
    AnswerNextMessage(log);
    typeQuantity(day, 0, "205");
    ASSERT_EQ(log.count(), boxes + 1);
    EXPECT_EQ(log.texts.last(), QString::fromUtf8("        Total des calories supérieur à l'objectif calorique !"));
    EXPECT_EQ(day.EdtTotCalories->palette().color(QPalette::Base), TFConsoJournaliere::kAlertColour);

    // Back to 100 g, and a second food left at 0 g: neither printed nor saved until it has a
    // quantity.
    typeQuantity(day, 0, "100");
    clickItem(day.LboxAliments, QString::fromUtf8("Œuf"));
    click(day.BtnAjouter);
    typeQuantity(day, 1, "0");
    EXPECT_FALSE(day.BtnSauvegarde->isEnabled());
    EXPECT_FALSE(day.BtnImprimer->isEnabled());
    typeQuantity(day, 1, "60");
    EXPECT_TRUE(day.BtnSauvegarde->isEnabled());
    EXPECT_EQ(log.count(), boxes + 1);
    log = MessageLog();

    // The weight of the day: 250,5 refused on leaving it, 300 refused by Enter, then Escape
    // gives the save up; nothing is written until 250 is validated.
    const QDate d(2026, 3, 14);
    whileUp([&](modal::Call&) {
        FSelDate->MonthCalendar->setSelectedDate(d);
        EXPECT_EQ(FSelDate->EdtPoids->text(), "75");
        EXPECT_TRUE(leaveWith(FSelDate->EdtPoids, "250,5", true));
        EXPECT_TRUE(FSelDate->EdtPoids->text().isEmpty());
        AnswerNextMessage(log);
        Retype(FSelDate->EdtPoids, "300");
        key(FSelDate->EdtPoids, Qt::Key_Return);
        EXPECT_TRUE(FSelDate->isVisible());
        key(FSelDate->MonthCalendar, Qt::Key_Escape);
    });
    AnswerNextMessage(log);
    click(day.BtnSauvegarde);
    EXPECT_EQ(log.count(), 3);
    EXPECT_EQ(log.captions.last(), QString::fromUtf8("Sauvegarde annulée"));
    EXPECT_EQ(HistoryRowCount("t_histo_infos_utilisateur"), 0);
    whileUp([&](modal::Call&) {
        FSelDate->MonthCalendar->setSelectedDate(d);
        Retype(FSelDate->EdtPoids, "250");
        key(FSelDate->EdtPoids, Qt::Key_Return);
    });
    AnswerNextMessage(log);
    click(day.BtnSauvegarde);
    EXPECT_EQ(column("SELECT Poids || ' ' || ObjectifCalorique FROM t_histo_infos_utilisateur"),
              QStringList{"250.0 500.0"});
    EXPECT_EQ(HistoryRowCount("t_histo_consommation"), 2);
}

// The body-mass index typed by hand: heights 26 to 280 cm, weights 1 to 500 kg, each limit
// itself accepted; the index is the next whole number and its class follows.
TEST_F(LimitsWhereMet, TheBodyMassIndexTakesItsLimitsAndRefusesPastThem) {
    menuDialog("CalculdelIMC", [this](QDialog*) {
        TFCalcIMC* imc = FCalcIMC;
        click(imc->RbtnAutre);
        EXPECT_TRUE(leaveWith(imc->EdtTaille, "25", true));
        EXPECT_TRUE(log.texts.last().startsWith(QString::fromUtf8("        Taille non valide !")));
        EXPECT_TRUE(leaveWith(imc->EdtTaille, "281", true));
        EXPECT_FALSE(leaveWith(imc->EdtTaille, "280", false));
        EXPECT_TRUE(leaveWith(imc->EdtPoids, "0,5", true));
        EXPECT_TRUE(log.texts.last().startsWith(QString::fromUtf8("        Poids non valide !")));
        EXPECT_TRUE(leaveWith(imc->EdtPoids, "501", true));
        EXPECT_FALSE(leaveWith(imc->EdtPoids, " 500 ", false));
        click(imc->Button1);
        EXPECT_EQ(imc->EdtIMC->text(), "63,7");   // 500 / 2.8 / 2.8 = 63.78
        EXPECT_TRUE(imc->EdtCommentaire->text().startsWith(QString::fromUtf8("Obésité grade III")));
        EXPECT_FALSE(leaveWith(imc->EdtPoids, "1", false));
        click(imc->Button1);
        EXPECT_EQ(imc->EdtIMC->text(), "0,1");
        EXPECT_EQ(imc->EdtCommentaire->text(), QString::fromUtf8("Dénutrition grade V"));
        EXPECT_FALSE(leaveWith(imc->EdtPoids, "58", false));
        EXPECT_FALSE(leaveWith(imc->EdtTaille, "175", false));
        click(imc->Button1);
        EXPECT_EQ(imc->EdtIMC->text(), "18,9");   // 18.94: Normal from 18.5
        EXPECT_EQ(imc->EdtCommentaire->text(), "Normal");
        click(imc->BtnOk);
    });
    EXPECT_EQ(log.count(), 4);
}

// The recipe search's preparation time in minutes against the times stored: the salad's 15
// minutes, the purée's typed "1:30" in the recipe editor. "At most 15" takes the salad, 14 does
// not; 0 to 1439 minutes are taken.
TEST_F(LimitsWhereMet, TheRecipeSearchComparesMinutesWithTheStoredTimes) {
    auto& recipes = menu<TFEditionRecettes>("Recettes", "FEditionRecettes");
    clickItem(recipes.LboxRecettes, QString::fromUtf8("Purée de pommes de terre"));
    Retype(recipes.DBEdtTempsPrepartion, "1:30");
    AnswerNextMessage(log, "BtnOui");
    click(recipes.BtnEnregistrer);
    EXPECT_EQ(Query::scalar("SELECT TempsPreparation FROM t_recettes WHERE IdRecette = 2").toString(), "01:30:00");
    auto& search = menu<TFRecettes>("RechercheRecettes", "FRecettes");
    choose(search.CBoxSuppInfDuree, QString::fromUtf8("Inférieur"));
    auto found = [&](const char* minutes) {
        Retype(search.EdtDureePreparation, QString::fromLatin1(minutes));
        click(search.BtnRechercher);
        return ListItems(search.LboxRecettes);
    };
    EXPECT_EQ(found("15"), QStringList{"Salade de fruits"});
    EXPECT_EQ(found("89"), QStringList{"Salade de fruits"});
    EXPECT_EQ(found(" 90 "), (QStringList{QString::fromUtf8("Purée de pommes de terre"), "Salade de fruits"}));
    EXPECT_EQ(found("14"), QStringList{});
    EXPECT_EQ(found("0"), QStringList{});
    EXPECT_EQ(found("1439").size(), 2);
    AnswerNextMessage(log);
    found("1440");
    ASSERT_EQ(log.count(), 2);
    EXPECT_TRUE(log.texts[1].contains(QString::fromUtf8("le temps de préparation"))) << log.texts[1].toStdString();
    choose(search.CBoxSuppInfDuree, QString::fromUtf8("Supérieur"));
    EXPECT_EQ(found("90"), QStringList{QString::fromUtf8("Purée de pommes de terre")});
    EXPECT_EQ(found("91"), QStringList{});
    EXPECT_EQ(found("15").size(), 2);
}

// History maintenance: "before a date" set with the keys on a saved day keeps that day and the
// later ones, for the user chosen only; Escape leaves the dialog.
TEST_F(LimitsWhereMet, DeletingBeforeASavedDayKeepsThatDay) {
    for (int i = 0; i < 3; ++i) SaveHistoryDay("Jean", QDate(2026, 3, 14 + i), 75, 1749, 1);
    SaveHistoryDay("Marie", QDate(2026, 3, 14), 58, 1400, 1);
    menuDialog("Gestiondelhistoriquedesconsommations", [this](QDialog*) {
        TFGestHistoConso* g = FGestHistoConso;
        clickItem(g->LBoxUtilisateurs, "Jean");
        click(g->RBtnSuppInfDate);
        ASSERT_TRUE(g->DateTimePicker->isEnabled());
        g->DateTimePicker->setFocus();
        g->DateTimePicker->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(g->DateTimePicker, "15032026");
        EXPECT_EQ(g->DateTimePicker->date(), QDate(2026, 3, 15));
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        click(g->BtnSupprimer);
        EXPECT_EQ(ListItems(g->LBoxDates), (QStringList{"15/03/2026", "16/03/2026"}));
        key(g->LBoxDates, Qt::Key_Escape);
        EXPECT_FALSE(g->isVisible());
    });
    EXPECT_EQ(column("SELECT NomUtilisateur || ' ' || DateConso FROM t_histo_infos_utilisateur ORDER BY 1"),
              (QStringList{"Jean 2026-03-15", "Jean 2026-03-16", "Marie 2026-03-14"}));
    EXPECT_EQ(HistoryRowCount("t_histo_consommation"), 3);
}
