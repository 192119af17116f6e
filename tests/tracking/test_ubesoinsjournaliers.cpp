#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "platform/Modal.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "tracking/Ubesoinsjournaliers.h"

TEST(BasalNeeds, AgeBandsAndSexes) {
    EXPECT_EQ(BasalNeeds(10, 1, 'M'), 1100);
    EXPECT_EQ(BasalNeeds(10, 0, 'F'), 1100);
    // Age 2 rounds up: 12 x 386 / 4.185 = 1106.8; 12 x 370 / 4.185 = 1060.9.
    EXPECT_EQ(BasalNeeds(12, 2, 'M'), 1107);
    EXPECT_EQ(BasalNeeds(12, 2, 'F'), 1061);
    // Age 3 opens the 3 to 9 band; the others truncate toward zero.
    EXPECT_EQ(BasalNeeds(15, 3, 'M'), 835);   // 835.5
    EXPECT_EQ(BasalNeeds(15, 3, 'F'), 836);   // 836.5
    EXPECT_EQ(BasalNeeds(30, 9, 'M'), 1176);  // 1176
    EXPECT_EQ(BasalNeeds(30, 10, 'M'), 1176); // 17.5 x 30 + 651 = 1176 as well
    EXPECT_EQ(BasalNeeds(40, 17, 'F'), 1234); // 1233.99.. in decimal terms, 1234 exactly here
    EXPECT_EQ(BasalNeeds(75, 29, 'M'), 1826); // 1826.5
    EXPECT_EQ(BasalNeeds(58, 28, 'F'), 1348); // 1348.6
    EXPECT_EQ(BasalNeeds(75, 59, 'M'), 1749);
    EXPECT_EQ(BasalNeeds(55, 30, 'F'), 1307); // 1307.5
    EXPECT_EQ(BasalNeeds(70, 60, 'M'), 1432);
    EXPECT_EQ(BasalNeeds(70, 99, 'F'), 1331);
    EXPECT_EQ(BasalNeeds(70, 40, 'X'), 0);
}

TEST(ActivityCalories, EachActivityTruncated) {
    EXPECT_EQ(ActivityCalories(70, 30, 0.1f, true), 210);
    EXPECT_EQ(ActivityCalories(70, 30, 0.1f, false), 3);
    EXPECT_EQ(ActivityCalories(75, 30, 0.063f, true), 141);  // 141.75
    EXPECT_EQ(ActivityCalories(75, 0, 0.17f, true), 0);
    EXPECT_EQ(ActivityCalories(500, 1000000, 1000.0f, true), INT32_MAX);  // no overflow
}

TEST(NeedsInputs, ConversionsAndRanges) {
    FrenchLocaleGuard french;
    EXPECT_EQ(ParseNeedsAge("1"), 1);
    EXPECT_EQ(ParseNeedsAge("125"), 125);
    EXPECT_FALSE(ParseNeedsAge("0"));
    EXPECT_FALSE(ParseNeedsAge("126"));
    EXPECT_FALSE(ParseNeedsAge("30,5"));
    EXPECT_FALSE(ParseNeedsAge("trente"));
    EXPECT_FALSE(ParseNeedsHeight("25"));   // 0.25 m is not above 0.25
    EXPECT_TRUE(ParseNeedsHeight("25,5"));
    EXPECT_FLOAT_EQ(*ParseNeedsHeight("280"), 2.8f);
    EXPECT_FALSE(ParseNeedsHeight("281"));
    EXPECT_FALSE(ParseNeedsHeight("1.78"));  // not a French number
    EXPECT_FALSE(ParseNeedsWeight("0,5"));
    EXPECT_EQ(ParseNeedsWeight("500,9"), 500);
    EXPECT_EQ(ParseNeedsWeight("1"), 1);
    EXPECT_FALSE(ParseNeedsWeight("501"));
    EXPECT_FALSE(ParseNeedsWeight("-3"));
    EXPECT_FALSE(ParseNeedsWeight("1e300"));
    EXPECT_EQ(ParseNeedsSex("m"), 'M');
    EXPECT_EQ(ParseNeedsSex("femme"), 'F');
    EXPECT_FALSE(ParseNeedsSex("x"));
    EXPECT_FALSE(ParseNeedsSex(""));
}

namespace {

class DailyNeeds : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        Query::execute("INSERT INTO t_utilisateurs (Nom, Age, Taille, Poids, Sexe) VALUES (?, 45, 160, 60, 'F')",
                       {QStringLiteral("O'Neil")});
        Query::execute("INSERT INTO t_utilisateurs (Nom, Age, Taille, Poids, Sexe) VALUES (?, 50, 170, 80, 'X')",
                       {QStringLiteral("Zoé")});
        dialog = std::make_unique<TFBesoinsJournaliers>();
    }
    void TearDown() override {
        dialog.reset();
        FormTest::TearDown();
    }
    // Types minutes for an activity, as the grid does, and posts them.
    void setDuration(int activity, int minutes) {
        TFBesoinsJournaliers& d = *dialog;
        ASSERT_TRUE(d.TActivite.findKey(activity));
        d.TActivite.edit();
        d.TActivite.setValue("Duree", minutes);
        d.TActivite.post();
    }
    static int storedMinutes() { return Query::scalar("SELECT SUM(Duree) FROM t_activites").toInt(); }
    static void type(QLineEdit* edit, const QString& text, void (TFBesoinsJournaliers::*check)(), TFBesoinsJournaliers& d) {
        edit->setText(text);
        (d.*check)();
    }
    static void pick(TFBesoinsJournaliers& d, const QString& name) {
        const auto found = d.LboxUtilisateurs->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        d.LboxUtilisateurs->setCurrentItem(found.first());
    }

    // Window activation arrives through the event queue.
    static void activate(QWidget& w) {
        w.activateWindow();
        QApplication::processEvents();
    }

    FrenchLocaleGuard french;
    std::unique_ptr<TFBesoinsJournaliers> dialog;
    MessageLog log;
};

}  // namespace

TEST_F(DailyNeeds, TypedModeChecksAndMessages) {
    TFBesoinsJournaliers& d = *dialog;
    appState().CurrentUserName = QStringLiteral("Jean");
    appState().CurrentUserWeight = 12;
    modal::pushHandler([&](modal::Call&) {
        EXPECT_TRUE(d.RbtnSelectionListe->isChecked());
        EXPECT_FALSE(d.EdtAge->isEnabled());
        d.RbtnAutre->setChecked(true);
        EXPECT_TRUE(d.EdtAge->isEnabled());
        EXPECT_FALSE(d.LboxUtilisateurs->isEnabled());
        EXPECT_FALSE(d.DBGActivite->isEnabled());

        for (int i = 0; i < 5; ++i) AnswerNextMessage(log);
        type(d.EdtAge, "30,5", &TFBesoinsJournaliers::EdtAgeExit, d);
        EXPECT_TRUE(d.EdtAge->text().isEmpty());
        type(d.EdtAge, "59", &TFBesoinsJournaliers::EdtAgeExit, d);
        type(d.EdtTaille, "25", &TFBesoinsJournaliers::EdtTailleExit, d);
        type(d.EdtTaille, "178", &TFBesoinsJournaliers::EdtTailleExit, d);
        type(d.EdtPoids, "0,5", &TFBesoinsJournaliers::EdtPoidsExit, d);
        type(d.EdtPoids, "75", &TFBesoinsJournaliers::EdtPoidsExit, d);
        EXPECT_EQ(appState().CurrentUserWeight, 12);  // the sex is still missing
        d.EdtSexe->setText("x");                        // checked as it is typed
        EXPECT_TRUE(d.EdtSexe->text().isEmpty());
        EXPECT_TRUE(d.EdtBesoinBasic->text().isEmpty());
        d.EdtSexe->setText("m");
        EXPECT_EQ(d.EdtSexe->text(), QStringLiteral("M"));
        EXPECT_EQ(d.EdtBesoinBasic->text(), QStringLiteral("1749"));
        EXPECT_EQ(d.EdtTotalDepense->text(), QStringLiteral("1749"));
        EXPECT_TRUE(d.DBGActivite->isEnabled());

        // A refused weight never reaches the computation: 30 minutes of walking count 75 kg.
        type(d.EdtPoids, "600", &TFBesoinsJournaliers::EdtPoidsExit, d);
        EXPECT_EQ(d.NeedsWeight, 75);
        setDuration(1, 30);
        EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("141"));
        EXPECT_EQ(d.EdtTotalDepense->text(), QStringLiteral("1890"));

        // A weight checked with the three other inputs filled becomes the user's weight and
        // recomputes the activities.
        type(d.EdtPoids, "80", &TFBesoinsJournaliers::EdtPoidsExit, d);
        EXPECT_EQ(appState().CurrentUserWeight, 80);
        EXPECT_EQ(d.EdtBesoinBasic->text(), QStringLiteral("1807"));     // 11.6 x 80 + 879
        EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("151"));  // 30 x 80 x 0.063
        d.BtnOk->click();
    });
    modal::exec(&d);
    ASSERT_EQ(log.count(), 5);
    const QStringList expected = {"        Age non valide !", "        Taille non valide !", "        Poids non valide !",
                                  Flat(d.MessageTable[4]), "        Poids non valide !"};
    EXPECT_EQ(log.texts, expected);
    for (const QString& caption : log.captions) EXPECT_EQ(caption, QStringLiteral("Erreur de saisie"));
    EXPECT_EQ(d.Validated, 1);
    EXPECT_EQ(d.TotalNeeds, 1807 + 151);
    EXPECT_EQ(appState().CurrentUserName, QStringLiteral("Jean"));  // typed mode never names a user
}

TEST_F(DailyNeeds, ListedUsersAndTheirActivities) {
    TFBesoinsJournaliers& d = *dialog;
    modal::pushHandler([&](modal::Call&) {
        ASSERT_EQ(d.LboxUtilisateurs->count(), 4);
        EXPECT_EQ(d.LboxUtilisateurs->item(0)->text(), QStringLiteral("Jean"));
        EXPECT_EQ(d.LboxUtilisateurs->item(3)->text(), QStringLiteral("Zoé"));
        pick(d, "Jean");
        EXPECT_EQ(d.EdtAge->text(), QStringLiteral("35"));
        EXPECT_EQ(d.EdtSexe->text(), QStringLiteral("M"));
        EXPECT_FALSE(d.EdtAge->isEnabled());
        EXPECT_EQ(d.EdtBesoinBasic->text(), QStringLiteral("1749"));
        EXPECT_EQ(d.TotalNeeds, 1749);
        EXPECT_EQ(appState().CurrentUserName, QStringLiteral("Jean"));
        EXPECT_EQ(appState().CurrentUserWeight, 75);
        EXPECT_TRUE(d.DBGActivite->isEnabled());

        setDuration(2, 10);  // running: trunc(10 x 75 x 0.17) = 127
        EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("127"));
        EXPECT_EQ(d.TotalNeeds, 1876);
        // The same user again keeps the activities and the total they give.
        d.LboxUtilisateursClick();
        EXPECT_EQ(storedMinutes(), 10);
        EXPECT_EQ(d.TotalNeeds, 1876);
        EXPECT_EQ(d.EdtTotalDepense->text(), QStringLiteral("1876"));

        // Another user starts from no activity.
        pick(d, "Marie");
        EXPECT_EQ(storedMinutes(), 0);
        EXPECT_TRUE(d.EdtActiviteCalorie->text().isEmpty());
        EXPECT_EQ(d.TotalNeeds, 1348);
        setDuration(1, 30);
        EXPECT_EQ(d.TotalNeeds, 1348 + 109);
        setDuration(1, 0);  // back to nothing: the basal needs alone
        EXPECT_TRUE(d.EdtActiviteCalorie->text().isEmpty());
        EXPECT_EQ(d.EdtTotalDepense->text(), QStringLiteral("1348"));

        pick(d, "O'Neil");  // a name with a quote
        EXPECT_EQ(d.TotalNeeds, 1351);
        EXPECT_EQ(appState().CurrentUserName, QStringLiteral("O'Neil"));

        // A stored sex that is neither M nor F is refused: no estimate, nothing changes.
        AnswerNextMessage(log);
        pick(d, "Zoé");
        EXPECT_EQ(d.EdtSexe->text(), QStringLiteral("X"));
        EXPECT_TRUE(d.EdtBesoinBasic->text().isEmpty());
        EXPECT_FALSE(d.DBGActivite->isEnabled());
        EXPECT_EQ(d.TotalNeeds, 1351);
        EXPECT_EQ(appState().CurrentUserName, QStringLiteral("O'Neil"));
        EXPECT_EQ(appState().CurrentUserWeight, 60);
        d.BtnOk->click();
    });
    modal::exec(&d);
    ASSERT_EQ(log.count(), 1);
    EXPECT_EQ(log.texts[0], Flat(d.MessageTable[4]));
    EXPECT_EQ(d.Validated, 1);
    EXPECT_EQ(d.TotalNeeds, 1351);

    // Every opening starts in list mode with empty inputs, a locked grid and no activity;
    // "Annuler" keeps the last estimate.
    Query::execute("UPDATE t_activites SET Duree = 20");
    modal::pushHandler([&](modal::Call&) {
        EXPECT_EQ(storedMinutes(), 0);
        EXPECT_EQ(d.LboxUtilisateurs->currentRow(), -1);
        EXPECT_TRUE(d.EdtSexe->text().isEmpty());
        EXPECT_TRUE(d.EdtTotalDepense->text().isEmpty());
        EXPECT_FALSE(d.DBGActivite->isEnabled());
        d.BtnAnnule->click();
    });
    modal::exec(&d);
    EXPECT_EQ(d.Validated, 0);
    EXPECT_EQ(d.TotalNeeds, 1351);
}

TEST_F(DailyNeeds, GridEnterAndOkWriteThePendingDuration) {
    TFBesoinsJournaliers& d = *dialog;
    modal::pushHandler([&](modal::Call&) {
        pick(d, "Jean");
        ASSERT_TRUE(d.TActivite.findKey(2));
        d.TActivite.edit();
        d.TActivite.setValue("Duree", 20);  // running: trunc(20 x 75 x 0.17) = 255
        d.DBGActivite->pressEnter();
        EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("255"));
        ASSERT_TRUE(d.TActivite.findKey(3));
        d.TActivite.edit();
        d.TActivite.setValue("Duree", 10);  // cycling, still pending when Ok is clicked
        d.BtnOk->click();
    });
    modal::exec(&d);
    EXPECT_EQ(d.TotalNeeds, 1749 + 255 + 75);
    EXPECT_EQ(storedMinutes(), 30);

    // Without any activity Ok adds no row to the table.
    Query::execute("DELETE FROM t_activites");
    modal::pushHandler([&](modal::Call&) {
        pick(d, "Marie");
        d.BtnOk->click();
    });
    modal::exec(&d);
    EXPECT_EQ(d.TotalNeeds, 1348);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_activites").toInt(), 0);
}

TEST_F(DailyNeeds, EnterChecksAndMovesOnLeavingChecksOnce) {
    TFBesoinsJournaliers& d = *dialog;
    modal::pushHandler([&](modal::Call&) {
        d.RbtnAutre->setChecked(true);
        activate(d);
        d.EdtAge->setFocus();
        QTest::keyClicks(d.EdtAge, "200");
        AnswerNextMessage(log);
        QTest::keyClick(d.EdtAge, Qt::Key_Return);  // checked, refused, then the next input
        EXPECT_TRUE(d.EdtAge->text().isEmpty());
        EXPECT_EQ(d.focusWidget(), d.EdtTaille);
        QTest::keyClicks(d.EdtTaille, "170");
        QTest::keyClick(d.EdtTaille, Qt::Key_Return);
        EXPECT_EQ(d.focusWidget(), d.EdtPoids);
        EXPECT_FLOAT_EQ(d.NeedsHeight, 1.7f);
        QTest::keyClicks(d.EdtPoids, "abc");
        AnswerNextMessage(log);
        activate(d);           // back from the message box: coming back is not entering
        d.EdtAge->setFocus();  // leaving the weight checks it
        EXPECT_TRUE(d.EdtPoids->text().isEmpty());
        d.BtnAnnule->click();
    });
    modal::exec(&d);
    EXPECT_EQ(log.texts, QStringList({"        Age non valide !", "        Poids non valide !"}));
}
