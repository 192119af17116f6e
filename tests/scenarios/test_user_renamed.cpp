// A user with saved days renamed (and weighed again) in "Gestion des utilisateurs": the needs
// dialog of the day window, the body-mass index and both history windows know only the new name.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "data/DbWidgets.h"
#include "reference/Ueditionutilisateurs.h"
#include "support/HistoryRows.h"
#include "support/ProgramScenario.h"
#include "tracking/Ubesoinsjournaliers.h"
#include "tracking/Ucalcimc.h"
#include "tracking/Ufaffhistoconso.h"

TEST_F(ProgramScenario, AUserRenamedIsSeenInTheNeedsTheIndexAndTheHistory) {
    const QDate d14(2026, 3, 14), d15(2026, 3, 15);
    SaveHistoryDay("Jean", d14, 75, 1749, 2);
    SaveHistoryDay("Jean", d15, 75, 1749, 1);
    SaveHistoryDay("Marie", d14, 58, 1400, 1);
    const QStringList renamed{"Jean Dupont", "Marie"};

    // Jean's needs taken in the day window first.
    auto& day = menu<TFConsoJournaliere>("ConsomationJournaliere", "FConsoJournaliere");
    whileUp([](modal::Call&) {
        clickItem(FBesoinsJournaliers->LboxUtilisateurs, "Jean");
        EXPECT_EQ(FBesoinsJournaliers->EdtPoids->text(), "75");
        click(FBesoinsJournaliers->BtnOk);
    });
    click(day.BtnDetBesoinsCal);
    EXPECT_EQ(day.EdtObjectifCal->text(), "1749");

    // Renamed and 80 kg, saved; the saved days follow the name.
    auto& users = menu<TFEditionUtilisateurs>("Utilisateurs", "FEditionUtilisateurs");
    clickItem(users.LboxUtilisateurs, "Jean");
    Retype(users.DBEdtNom, "  Jean Dupont ");
    Retype(users.DBEdtPoids, "80");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log, "BtnOui");
    click(users.BtnEnregistrer);
    ASSERT_EQ(log.count(), 2);
    EXPECT_EQ(log.captions[1], QString::fromUtf8("Journées enregistrées"));
    EXPECT_EQ(ListItems(users.LboxUtilisateurs), renamed);
    EXPECT_EQ(column("SELECT Nom || ' ' || Poids FROM t_utilisateurs ORDER BY Nom"),
              (QStringList{"Jean Dupont 80", "Marie 58"}));
    EXPECT_EQ(column("SELECT DISTINCT NomUtilisateur FROM t_histo_consommation ORDER BY 1"), renamed);
    EXPECT_EQ(column("SELECT NomUtilisateur || ' ' || DateConso FROM t_histo_infos_utilisateur ORDER BY 1"),
              (QStringList{"Jean Dupont 2026-03-14", "Jean Dupont 2026-03-15", "Marie 2026-03-14"}));

    // The needs dialog: the new name with the new weight; Escape gives up and the objective stays.
    backTo(&day);
    whileUp([&renamed](modal::Call&) {
        TFBesoinsJournaliers* needs = FBesoinsJournaliers;
        EXPECT_EQ(ListItems(needs->LboxUtilisateurs), renamed);
        clickItem(needs->LboxUtilisateurs, "Jean Dupont");
        EXPECT_EQ(needs->EdtPoids->text(), "80");
        EXPECT_EQ(needs->EdtAge->text(), "35");
        key(needs->LboxUtilisateurs, Qt::Key_Escape);
    });
    click(day.BtnDetBesoinsCal);
    EXPECT_FALSE(FBesoinsJournaliers->isVisible());
    EXPECT_EQ(day.EdtObjectifCal->text(), "1749");
    EXPECT_EQ(appState().CurrentUserName, "Jean Dupont");

    // The body-mass index: 80 kg over 1.78 m squared, 25.2, is overweight; Escape closes.
    menuDialog("CalculdelIMC", [&renamed](QDialog*) {
        TFCalcIMC* imc = FCalcIMC;
        EXPECT_EQ(ListItems(imc->LboxUtilisateurs), renamed);
        clickItem(imc->LboxUtilisateurs, "Jean Dupont");
        EXPECT_EQ(imc->EdtTaille->text(), "178");
        EXPECT_EQ(imc->EdtPoids->text(), "80");
        click(imc->Button1);
        EXPECT_EQ(imc->EdtIMC->text(), "25,2");
        EXPECT_EQ(imc->EdtCommentaire->text(), "Surpoids");
        key(imc->LboxUtilisateurs, Qt::Key_Escape);
        EXPECT_FALSE(imc->isVisible());
    });

    // Both history windows: the new name, with its two days.
    menuDialog("Historiquedesconsommations", [&](QDialog* shown) {
        auto* d = qobject_cast<TFAffHistoConso*>(shown);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(ListItems(d->LBoxUtilisateurs), renamed);
        clickItem(d->LBoxUtilisateurs, "Jean Dupont");
        EXPECT_EQ(ListItems(d->LBoxDates), (QStringList{"14/03/2026", "15/03/2026"}));
        click(d->BtnQuitter);
    });
    menuDialog("Gestiondelhistoriquedesconsommations", [&](QDialog*) {
        TFGestHistoConso* g = FGestHistoConso;
        EXPECT_EQ(ListItems(g->LBoxUtilisateurs), renamed);
        clickItem(g->LBoxUtilisateurs, "Jean Dupont");
        clickItem(g->LBoxDates, "15/03/2026");
        EXPECT_TRUE(g->RBtnSuppJournee->isChecked());
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        click(g->BtnSupprimer);
        EXPECT_EQ(ListItems(g->LBoxDates), QStringList{"14/03/2026"});
        click(g->BtnQuitter);
    });
    EXPECT_EQ(column("SELECT NomUtilisateur || ' ' || DateConso FROM t_histo_infos_utilisateur ORDER BY 1"),
              (QStringList{"Jean Dupont 2026-03-14", "Marie 2026-03-14"}));
    EXPECT_EQ(HistoryRowCount("t_histo_consommation"), 3);
}
