// The day window agrees with the database and with itself: the objective shown is the one used,
// the list shows what is stored when the window comes back, the day's user follows a rename.
#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "platform/Modal.h"
#include "reference/Ueditionaliments.h"
#include "support/ConsoWindowTest.h"
#include "support/OtherProgram.h"
#include "support/Typing.h"
#include "tracking/Ubesoinsjournaliers.h"
#include "tracking/Uqrafficonsommation.h"
#include "tracking/Useldate.h"

namespace {

// Category 1 lists Banane, Orange, Pomme and the recipe "Salade de fruits" (recipe 1).
class DayFollows : public ConsoWindowTest {
protected:
    void SetUp() override {
        ConsoWindowTest::SetUp();
        appState().SwitchCarbsBelowMinimum = 0;
        appState().SwitchCaloriesAboveObjective = 1;
        needs = std::make_unique<TFBesoinsJournaliers>();
        FBesoinsJournaliers = needs.get();
    }
    void TearDown() override {
        form.reset();
        FBesoinsJournaliers = nullptr;
        needs.reset();
        ConsoWindowTest::TearDown();
    }
    // Shown and active, so that clicks and keys reach it as the user's do.
    TFConsoJournaliere& openOnScreen() {
        TFConsoJournaliere& f = open();
        f.show();
        f.activateWindow();
        QApplication::processEvents();
        return f;
    }
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    void clickListed(const QString& name) {
        QListWidget* list = form->LboxAliments;
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
    }
    // "Estimation des besoins": the user clicked in the dialog's list, then "Ok".
    void estimateFor(const QString& user) {
        modal::pushHandler([this, user](modal::Call&) {
            QListWidget* users = needs->LboxUtilisateurs;
            const auto found = users->findItems(user, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            QTest::mouseClick(users->viewport(), Qt::LeftButton, {}, users->visualItemRect(found[0]).center());
            needs->BtnOk->click();
        });
        click(form->BtnDetBesoinsCal);
    }
    // A category chosen with the mouse in the drop-down list's pop-up.
    void chooseCategory(int index) {
        QComboBox* combo = form->CboxCategories;
        click(combo);
        QAbstractItemView* view = combo->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(index, 0)).center());
        QApplication::processEvents();
    }
    static double storedCalories() {
        return Query::scalar("SELECT SUM(CaloriesGramme * QuantiteGramme) FROM t_consommation").toDouble();
    }
    QString selected() const {
        const QListWidgetItem* item = form->LboxAliments->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }

    std::unique_ptr<TFBesoinsJournaliers> needs;
};

}  // namespace

TEST_F(DayFollows, TheObjectiveShownIsTheObjectiveUsed) {
    TFConsoJournaliere& f = openOnScreen();
    // Jean's estimate (1749) is the objective as soon as "Ok" is pressed: the category picked
    // in the pop-up, a food added, the quantities computed reach it.
    estimateFor("Jean");
    EXPECT_EQ(f.EdtObjectifCal->text(), "1749");
    chooseCategory(0);
    clickListed("Pomme");
    click(f.BtnAjouter);
    click(f.BtnOptimisation);
    EXPECT_NEAR(storedCalories(), 1749, 1);

    // Marie's (1348), then the quantities cleared and computed again: 1348, not 1749.
    estimateFor("Marie");
    chooseCategory(0);
    click(f.BtnEffacer);
    click(f.BtnOptimisation);
    EXPECT_NEAR(storedCalories(), 1348, 1);

    // Typed and left for another window, then used: the text shown is taken.
    Retype(f.EdtObjectifCal, "1500");
    auto other = std::make_unique<QWidget>();
    other->show();
    other->activateWindow();
    QApplication::processEvents();
    f.activateWindow();
    QApplication::processEvents();
    f.BtnEffacer->click();
    f.BtnOptimisation->click();
    EXPECT_NEAR(storedCalories(), 1500, 1);

    // Not a whole number of kcal in range: said when the field is left, and the field shows the
    // objective in force again. Emptied: no objective, so no alert however much is eaten.
    for (const char* bad : {"mille", "-5", "12000", "1500,5"}) {
        Retype(f.EdtObjectifCal, QString::fromUtf8(bad));
        AnswerNextMessage(log);
        QTest::keyClick(f.EdtObjectifCal, Qt::Key_Tab);
        EXPECT_EQ(f.EdtObjectifCal->text(), "1500") << bad;
        EXPECT_EQ(log.texts.last(), Flat(QString::fromUtf8("        Objectif calorique : « %1 » n'est pas un nombre entier "
                                                         "de 0 à 10000 kcal.").arg(bad)));
    }
    EXPECT_EQ(log.captions, QStringList(4, "Erreur de saisie"));
    Retype(f.EdtObjectifCal, "");
    QTest::keyClick(f.EdtObjectifCal, Qt::Key_Tab);
    f.TConsommation.edit();
    f.TConsommation.setValue("QuantiteGramme", 9000);
    f.TConsommation.post();   // 4680 kcal: no alert
    EXPECT_EQ(log.count(), 4);
    f.hide();
}

TEST_F(DayFollows, TheListShowsWhatIsStoredWhenTheWindowComesBack) {
    Query::execute("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                   "ProtidesGramme, GlucidesGramme, DroitsModifUtilisateur, IdCatAliment) "
                   "VALUES (40, 'Abricot', 0.45, 0.001, 0.009, 0.09, 1, 1)");
    auto* frame = new TFVivanda();
    appState().SwitchConsumptionInfo = 0;
    appState().SwitchCarbsBelowMinimum = 0;
    auto* day = static_cast<TFConsoJournaliere*>(CreateConsoJournaliere());
    QMdiSubWindow* daySub = frame->mdiArea()->activeSubWindow();
    ASSERT_EQ(daySub->widget(), day);
    day->EditRechAliment->setText("Sal");
    ASSERT_EQ(day->LboxAliments->currentItem()->text(), "Salade de fruits");

    // In the food editor: Abricot 45 -> 60 kcal per 100 g, saved.
    auto* editor = static_cast<TFEditionAliments*>(CreateEditionAliments());
    if (!editor->FoodEditorActivated) editor->FormActivate();
    editor->CboxCatAliments->setCurrentIndex(editor->CboxCatAliments->findText("Fruits"));
    editor->CboxCatAlimentsClick();
    SelectListRow(editor->LboxAliments, FindListItem(editor->LboxAliments, "Abricot"));
    editor->LboxAlimentsClick();
    Retype(editor->EdtCalories, "60");
    AnswerNextMessage(log, "BtnOui");
    editor->BtnEnregistrer->click();
    // Meanwhile the recipe was renamed and given other values, and duplicated.
    Query::execute("UPDATE t_recettes SET NomRecetteFrancais = 'Salade de fruits frais', CaloriesGramme = 0.7 "
                   "WHERE IdRecette = 1");
    Query::execute("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais, CaloriesGramme, LipidesGramme, "
                   "ProtidesGramme, GlucidesGramme) VALUES (9, 'Salade de fruits (copie)', 0.7, 0, 0, 0.1)");
    Query::execute("INSERT INTO t_categories_recettes (IdCategorie, IdRecette) "
                   "SELECT IdCategorie, 9 FROM t_categories_recettes WHERE IdRecette = 1");

    // Back in the day window: what is stored, the search and the item chosen kept (renamed).
    frame->mdiArea()->setActiveSubWindow(daySub);
    EXPECT_EQ(ListItems(day->LboxAliments), (QStringList{"Abricot", "Banane", "Orange", "Pomme",
                                                          "Salade de fruits (copie)", "Salade de fruits frais"}));
    EXPECT_EQ(day->EditRechAliment->text(), "Sal");
    EXPECT_EQ(day->LboxAliments->currentItem()->text(), "Salade de fruits frais");
    day->BtnAjouter->click();
    day->LboxAliments->setCurrentRow(0);
    day->BtnAjouter->click();
    Query rows("SELECT NomAliment, CaloriesGramme FROM t_consommation ORDER BY Numero");
    rows.open();
    EXPECT_EQ(rows.asString(0), "Salade de fruits frais");
    EXPECT_DOUBLE_EQ(rows.asDouble(1), 0.7);
    rows.next();
    EXPECT_EQ(rows.asString(0), "Abricot");
    EXPECT_DOUBLE_EQ(rows.asDouble(1), 0.6);

    // An item gone without the window being left (another program): said, nothing added.
    day->LboxAliments->setCurrentRow(FindListItem(day->LboxAliments, "Salade de fruits (copie)"));
    WriteAsAnotherProgram(folder().dbPath(), "DELETE FROM t_categories_recettes WHERE IdRecette = 9");
    AnswerNextMessage(log);
    day->BtnAjouter->click();
    EXPECT_TRUE(log.texts.last().startsWith(
        QString::fromUtf8("        Cet aliment ou cette recette n'existe plus dans la base de données.")));
    EXPECT_EQ(day->TConsommation.recordCount(), 2);
    EXPECT_EQ(FindListItem(day->LboxAliments, "Salade de fruits (copie)"), -1);

    delete frame;
}

TEST_F(DayFollows, AUserGoneFromTheNeedsListIsSaid) {
    modal::pushHandler([this](modal::Call&) {
        WriteAsAnotherProgram(folder().dbPath(), "DELETE FROM t_utilisateurs WHERE Nom = 'Marie'");
        QListWidget* users = needs->LboxUtilisateurs;
        AnswerNextMessage(log);
        QTest::mouseClick(users->viewport(), Qt::LeftButton, {},
                          users->visualItemRect(users->findItems("Marie", Qt::MatchExactly)[0]).center());
        EXPECT_EQ(ListItems(users), QStringList{"Jean"});
        EXPECT_TRUE(needs->EdtBesoinBasic->text().isEmpty());
        EXPECT_TRUE(appState().CurrentUserName.isEmpty());
        needs->BtnAnnule->click();
    });
    modal::exec(needs.get());
    ASSERT_EQ(log.count(), 1);
    EXPECT_TRUE(log.texts[0].startsWith(QString::fromUtf8("        Cet utilisateur n'existe plus dans la base de données.")));
}

TEST_F(DayFollows, TheDayFollowsItsUsersRenameAndAsksForAnotherWhenDeleted) {
    auto date = std::make_unique<TFSelDate>();
    FSelDate = date.get();
    TFConsoJournaliere& f = openOnScreen();
    estimateFor("Jean");
    clickListed("Pomme");
    click(f.BtnAjouter);
    Retype(f.EdtObjectifCal, "1800");
    f.TConsommation.edit();
    f.TConsommation.setValue("QuantiteGramme", 200);
    f.TConsommation.post();
    // Renamed (and heavier) in the users' editor: its row keeps its place.
    Query::execute("UPDATE t_utilisateurs SET Nom = 'Jean Dupont', Poids = 80 WHERE Nom = 'Jean'");
    f.FormActivate();   // back in the day window
    auto report = std::make_unique<TFQRAffiConsommation>();
    modal::pushHandler([](modal::Call&) {});   // the preview, closed at once
    click(f.BtnImprimer);
    EXPECT_EQ(report->NomUtilisateur, "Jean Dupont");
    EXPECT_EQ(report->Poids, 80);
    const QDate day(2026, 5, 2);
    QString shownWeight;
    auto answerDate = [&] {
        modal::pushHandler([&](modal::Call&) {
            shownWeight = date->EdtPoids->text();
            date->MonthCalendar->setSelectedDate(day);
            date->BtnOkClick();
        });
    };
    answerDate();
    AnswerNextMessage(log);   // saved
    click(f.BtnSauvegarde);
    EXPECT_EQ(shownWeight, "80");
    auto saved = [&day](const char* user) {
        return Query::scalar("SELECT Poids FROM t_histo_infos_utilisateur WHERE NomUtilisateur = ? AND DateConso = ?",
                             {QString::fromUtf8(user), day});
    };
    EXPECT_EQ(saved("Jean Dupont").toDouble(), 80);
    EXPECT_TRUE(saved("Jean").isNull());

    // Deleted: said at the save, which asks for a user (Marie) and saves under her name.
    Query::execute("DELETE FROM t_utilisateurs WHERE Nom = 'Jean Dupont'");
    AnswerNextMessage(log);
    modal::pushHandler([this](modal::Call&) {
        QListWidget* users = needs->LboxUtilisateurs;
        QTest::mouseClick(users->viewport(), Qt::LeftButton, {},
                          users->visualItemRect(users->findItems("Marie", Qt::MatchExactly)[0]).center());
        needs->BtnOk->click();
    });
    answerDate();
    AnswerNextMessage(log);
    click(f.BtnSauvegarde);
    EXPECT_EQ(log.texts[1], Flat(QString::fromUtf8("        L'utilisateur « Jean Dupont » n'existe plus dans la base de données.\n"
                                                   "        Choisissez l'utilisateur de cette journée.")));
    EXPECT_EQ(shownWeight, "58");
    EXPECT_EQ(saved("Marie").toDouble(), 58);
    EXPECT_EQ(f.EdtObjectifCal->text(), "1800");   // only the user was taken
    EXPECT_EQ(Query::scalar("SELECT ObjectifCalorique FROM t_histo_infos_utilisateur WHERE NomUtilisateur = 'Marie'")
                  .toDouble(), 1800);
    f.hide();
    FSelDate = nullptr;
}
