// A day composed in "Consommation journalière", its quantities computed, saved for two days in a
// row, then found in "Historique des consommations": the printed day and the balance charts.
#include <QCalendarWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "data/DbWidgets.h"
#include "support/HistoryRows.h"
#include "support/ProgramScenario.h"
#include "tracking/Ubesoinsjournaliers.h"
#include "tracking/Ufaffhistoconso.h"
#include "tracking/Uqrafficonsommation.h"

namespace {

class DayToHistory : public ProgramScenario {
protected:
    TFConsoJournaliere& openDay() { return menu<TFConsoJournaliere>("ConsomationJournaliere", "FConsoJournaliere"); }
    // "Estimation des besoins": the user clicked in the list, then "Ok".
    void estimateFor(TFConsoJournaliere& day, const QString& user) {
        whileUp([user](modal::Call&) {
            clickItem(FBesoinsJournaliers->LboxUtilisateurs, user);
            click(FBesoinsJournaliers->BtnOk);
        });
        click(day.BtnDetBesoinsCal);
    }
    // "Sauvegarder la consommation journalière": the day clicked in the calendar, the weight
    // retyped (unless null), then Enter in the weight; the weight shown at first is kept in `shown`.
    void save(TFConsoJournaliere& day, const QDate& date, const char* weight, QString* shown = nullptr) {
        saveAnswered(day, date, weight, shown);
    }
    // The same, the confirmation answered.
    void saveAnswered(TFConsoJournaliere& day, const QDate& date, const char* weight, QString* shown) {
        whileUp([date, weight, shown](modal::Call&) {
            if (shown) *shown = FSelDate->EdtPoids->text();
            FSelDate->MonthCalendar->setSelectedDate(date);
            if (weight) Retype(FSelDate->EdtPoids, QString::fromUtf8(weight));
            FSelDate->EdtPoids->setFocus();
            key(FSelDate->EdtPoids, Qt::Key_Return);
        });
        AnswerNextMessage(log);
        click(day.BtnSauvegarde);
    }
    // A quantity typed in the grid's quantity cell of `row`, then Enter.
    static void typeQuantity(TFConsoJournaliere& day, int row, const char* grams) {
        DbGrid* grid = day.DBGIngredients;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 5)).center());
        TypeAtFocusAndEnter(grams);
    }
    static QStringList texts(const report::ReportPlan& plan, const char* name) {
        QStringList out;
        for (const report::PlanItem& item : plan.named(QString::fromLatin1(name))) out << item.text;
        return out;
    }
};

}  // namespace

TEST_F(DayToHistory, ADayComposedOptimisedSavedThenPrintedAndChartedFromTheHistory) {
    TFConsoJournaliere& day = openDay();
    estimateFor(day, "Jean");
    EXPECT_EQ(day.EdtBesoins->text(), "1749");
    EXPECT_EQ(day.EdtObjectifCal->text(), "1749");
    EXPECT_EQ(QApplication::focusWidget(), day.EdtObjectifCal) << QApplication::focusWidget()->objectName().toStdString();

    // Composed: a category from the pop-up, a search typed and Enter, the arrows and Enter in the
    // list, a click and the arrow button; the same food again is refused.
    choose(day.CboxCategories, QString::fromUtf8("Légumes et entrées"));
    EXPECT_EQ(ListItems(day.LboxAliments), (QStringList{"Carotte", "Pomme de terre", "Tomate"}));
    EXPECT_EQ(selected(day.LboxAliments), "Carotte");
    click(day.EditRechAliment);
    TypeAtFocusAndEnter("to");
    EXPECT_EQ(selected(day.LboxAliments), "Tomate");
    Retype(day.EditRechAliment, "");
    EXPECT_EQ(selected(day.LboxAliments), "Carotte");
    day.LboxAliments->setFocus();
    key(day.LboxAliments, Qt::Key_Down);
    key(day.LboxAliments, Qt::Key_Return);
    clickItem(day.LboxAliments, "Carotte");
    click(day.BtnAjouter);
    AnswerNextMessage(log);
    key(day.LboxAliments, Qt::Key_Return);
    EXPECT_EQ(log.texts, QStringList{QString::fromUtf8("        Cet aliment a déjà été sélectionné !")});
    EXPECT_EQ(column("SELECT NomAliment || ' ' || Numero || ' ' || CaloriesGramme FROM t_consommation ORDER BY Numero"),
              (QStringList{"Tomate 0 0.18", "Pomme de terre 1 0.77", "Carotte 2 0.41"}));

    // "Calcul des quantités", each food alike: a third of the objective from each, shown and
    // stored alike.
    click(day.BtnOptimisation);
    const QStringList grams = column("SELECT QuantiteGramme FROM t_consommation ORDER BY Numero");
    ASSERT_EQ(grams.size(), 3);
    const double kcal[] = {0.18, 0.77, 0.41};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(grams[i].toDouble() * kcal[i], 1749.0 / 3, 0.1) << i;
        EXPECT_EQ(QLocale().toDouble(day.DBGIngredients->model()->index(i, 5).data().toString()), grams[i].toDouble());
    }
    EXPECT_NEAR(QLocale().toDouble(day.EdtTotCalories->text()), 1749, 0.1);
    EXPECT_NEAR(QLocale().toDouble(day.EdtTotQuantite->text()),
                grams[0].toDouble() + grams[1].toDouble() + grams[2].toDouble(), 0.5);
    EXPECT_TRUE(day.BtnSauvegarde->isEnabled());
    EXPECT_GT(day.DBGIngredients->rowHeight(0), day.DBGIngredients->fontMetrics().height());   // no text cut

    // Saved for the 14th with Jean's stored weight shown, then for the 15th with 250 kg (the
    // highest) typed with blanks around; the 14th's potatoes doubled are then saved again over it.
    const QDate d14(2026, 3, 14), d15(2026, 3, 15);
    QString shown;
    save(day, d14, nullptr, &shown);
    EXPECT_EQ(shown, "75");
    save(day, d15, " 250 ");
    const double potatoes = grams[1].toDouble();
    AnswerNextMessage(log);   // over the objective now
    typeQuantity(day, 1, QString::number(2 * potatoes, 'f', 2).toLatin1().constData());
    save(day, d14, "74,5");
    const QString saved = QString::fromUtf8("        Votre consommation a été enregistrée avec succès !");
    EXPECT_EQ(log.texts.mid(1), (QStringList{saved, saved,
                                             QString::fromUtf8("        Total des calories supérieur à l'objectif calorique !"),
                                             saved}));
    EXPECT_EQ(column("SELECT DateConso || ' ' || Poids || ' ' || ObjectifCalorique FROM t_histo_infos_utilisateur "
                     "WHERE NomUtilisateur = 'Jean' ORDER BY DateConso"),
              (QStringList{"2026-03-14 74.5 1749.0", "2026-03-15 250.0 1749.0"}));
    EXPECT_EQ(column("SELECT COUNT(*) FROM t_histo_consommation GROUP BY DateConso ORDER BY DateConso"),
              (QStringList{"3", "3"}));
    const double potatoes14 = Query::scalar("SELECT QuantiteGramme FROM t_histo_consommation WHERE DateConso = ? AND "
                                            "NomAliment = 'Pomme de terre'", {d14}).toDouble();
    EXPECT_NEAR(potatoes14, 2 * potatoes, 0.01);

    // The history shows the 14th as printed: its foods, quantities and totals as saved.
    const double calories14 = grams[0].toDouble() * 0.18 + grams[2].toDouble() * 0.41 + potatoes14 * 0.77;
    QStringList printedFoods, printedTotal, printedTitle, printedPerKilo;
    menuDialog("Historiquedesconsommations", [&](QDialog* shown) {
        auto* d = qobject_cast<TFAffHistoConso*>(shown);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(ListItems(d->LBoxDates), (QStringList{"14/03/2026", "15/03/2026"}));
        clickItem(d->LBoxDates, "14/03/2026");
        whileUp([&](modal::Call&) {
            const report::ReportPlan plan = FQRAffiConsommation->LayOut();
            printedFoods = texts(plan, "QRDBTxtAliment");
            printedTotal = texts(plan, "QRTotCalories");
            printedTitle = texts(plan, "QRLblConsommationJournee") + texts(plan, "QRLblUtilisateur");
            printedPerKilo = texts(plan, "QRParKiloCalories");
        });
        click(d->BtnAfficher);
        click(d->BtnQuitter);
    });
    EXPECT_EQ(printedFoods, (QStringList{"Tomate", "Pomme de terre", "Carotte"}));
    ASSERT_EQ(printedTotal.size(), 1);
    EXPECT_NEAR(QLocale().toDouble(printedTotal[0]), calories14, 0.02);
    EXPECT_EQ(printedTitle, (QStringList{QString::fromUtf8("Consommation de la journée du 14/03/2026 en calories et différents"),
                                         "nutriments de Jean"}));
    ASSERT_EQ(printedPerKilo.size(), 1);
    EXPECT_NEAR(QLocale().toDouble(printedPerKilo[0]), calories14 / 74.5, 0.002);

    // The balance of both days: the calories of each as saved, one line joining them, the
    // objective level on both days; the weights charted.
    menuDialog("Historiquedesconsommations", [&](QDialog* shown) {
        auto* d = qobject_cast<TFAffHistoConso*>(shown);
        ASSERT_NE(d, nullptr);
        click(d->RBtnAffBilan);
        EXPECT_EQ(d->DTPickerDebut->date(), d14);
        EXPECT_EQ(d->DTPickerFin->date(), d15);
        click(d->BtnAfficher);
    });
    ASSERT_NE(FBilan, nullptr);
    ASSERT_TRUE(FBilan->isVisible());
    EXPECT_EQ(FBilan->NomUtilisateur, "Jean");
    ASSERT_EQ(FBilan->Data.DaySumCalories.size(), 2);
    EXPECT_NEAR(FBilan->Data.DaySumCalories[0], calories14, 0.01);
    EXPECT_NEAR(FBilan->Data.DaySumCalories[1], 1749, 1);
    EXPECT_EQ(FBilan->Data.InfoWeights, (QVector<double>{74.5, 250}));
    ChartPlan plan = FBilan->PagePlan();
    for (const char* date : {"14/03/2026", "15/03/2026"}) {
        bool drawn = false;
        for (const ChartOp& op : plan.of(ChartOp::Text)) drawn = drawn || op.text == QLatin1String(date);
        EXPECT_TRUE(drawn) << date;
    }
    const QVector<ChartOp> calories = plan.of(ChartOp::Diamond, kChartRed);
    const QVector<ChartOp> objective = plan.of(ChartOp::Diamond, kChartGreen);
    ASSERT_EQ(calories.size(), 3);   // the legend's and one a day
    ASSERT_EQ(objective.size(), 3);
    EXPECT_LT(calories[1].a.y(), calories[2].a.y());   // the 14th ate more: drawn higher
    EXPECT_EQ(objective[1].a.y(), objective[2].a.y());
    EXPECT_EQ(plan.of(ChartOp::Line, kChartRed).size(), 1);
    click(FBilan->SBtnPoids);
    plan = FBilan->PagePlan();
    ASSERT_EQ(plan.of(ChartOp::Diamond).size(), 3);
    EXPECT_LT(plan.of(ChartOp::Diamond)[2].a.y(), plan.of(ChartOp::Diamond)[1].a.y());
    click(FBilan->BtnFermer);
    EXPECT_FALSE(FBilan->isVisible());
}

// Jean's days on the 1st and the 30th, Marie's on the 15th: Jean's balance spans thirty calendar
// days, two full pages of fifteen, and shows his days alone.
TEST_F(DayToHistory, TheBalancePagesOverOneUsersDaysAlone) {
    SaveHistoryDay("Jean", QDate(2026, 3, 30), 74, 1749, 1, 6);   // saved before the 1st
    SaveHistoryDay("Marie", QDate(2026, 3, 15), 58, 1400, 1, 9);
    SaveHistoryDay("Jean", QDate(2026, 3, 1), 75, 1749, 2, 5);
    menuDialog("Historiquedesconsommations", [](QDialog* shown) {
        auto* d = qobject_cast<TFAffHistoConso*>(shown);
        ASSERT_NE(d, nullptr);
        clickItem(d->LBoxUtilisateurs, "Jean");
        click(d->RBtnAffBilan);
        click(d->BtnAfficher);
    });
    ASSERT_TRUE(FBilan && FBilan->isVisible());
    EXPECT_EQ(FBilan->Data.InfoDates, (QVector<QDate>{QDate(2026, 3, 1), QDate(2026, 3, 30)}));
    // The day drawn on the page shown: its date under the axis and its calorie marker.
    auto drawn = [](const char* date) {
        const ChartPlan plan = FBilan->PagePlan();
        bool dated = false;
        for (const ChartOp& op : plan.of(ChartOp::Text)) dated = dated || op.text == QLatin1String(date);
        return dated ? int(plan.of(ChartOp::Diamond, kChartRed).size()) - 1 : -1;
    };
    EXPECT_EQ(FBilan->EdtQuantieme->text(), "1\\2");
    EXPECT_EQ(drawn("01/03/2026"), 1);
    EXPECT_EQ(drawn("15/03/2026"), 1);   // a calendar day of the page, without Marie's marker
    click(FBilan->BtnDernier);
    EXPECT_EQ(FBilan->EdtQuantieme->text(), "2\\2");
    EXPECT_FALSE(FBilan->BtnSuivant->isEnabled());
    EXPECT_FALSE(FBilan->BtnDernier->isEnabled());
    EXPECT_EQ(drawn("30/03/2026"), 1);
    EXPECT_EQ(drawn("16/03/2026"), 1);
    click(FBilan->BtnPrecedant);
    EXPECT_EQ(FBilan->EdtQuantieme->text(), "1\\2");
    click(FBilan->BtnSuivant);
    EXPECT_EQ(FBilan->EdtQuantieme->text(), "2\\2");
    EXPECT_EQ(drawn("30/03/2026"), 1);
    click(FBilan->BtnFermer);
}
