// The day's save from the consumption window: checks, alert, date dialog, history rows, messages.
#include <QCalendarWidget>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/Query.h"
#include "platform/WebPage.h"
#include "tracking/ConsoDay.h"
#include "tracking/DaySave.h"
#include "support/ConsoWindowTest.h"
#include "tracking/Ubesoinsjournaliers.h"
#include "tracking/Useldate.h"
#include "tracking/Uqrafficonsommation.h"

namespace {

const char* const kCancelled = "        Annulation de l'enregistrement de la journée !";

class DaySaveWindow : public ConsoWindowTest {
protected:
    void SetUp() override {
        ConsoWindowTest::SetUp();
        appState().SwitchCarbsBelowMinimum = 1;
        FSelDate = new TFSelDate();
        open();
    }
    void TearDown() override {
        delete FSelDate;
        FSelDate = nullptr;
        SetWebPageOpener({});
        ConsoWindowTest::TearDown();
    }
    void addRow(const QString& name, double carbsPerGram, const QVariant& grams) {
        Table& t = form->TConsommation;
        t.append();
        t.setValue("NomAliment", name);
        t.setValue("CaloriesGramme", 1.0);
        t.setValue("LipidesGramme", 0.0);
        t.setValue("ProtidesGramme", 0.0);
        t.setValue("GlucidesGramme", carbsPerGram);
        t.setValue("QuantiteGramme", grams);
        t.setValue("Numero", t.recordCount() - 1);
        t.post();
    }
    // Answers the date dialog: checks the weight it was given, types `weight`, then "Ok" (or its
    // close box when `ok` is false).
    void answerDateDialog(const QDate& day, const QString& weight, bool ok = true, QString* shownWeight = nullptr) {
        modal::pushHandler([=](modal::Call& c) {
            ASSERT_EQ(c.dialog, FSelDate);
            EXPECT_EQ(FSelDate->MonthCalendar->selectedDate(), QDate::currentDate());
            if (shownWeight) *shownWeight = FSelDate->EdtPoids->text();
            FSelDate->MonthCalendar->setSelectedDate(day);
            FSelDate->EdtPoids->setText(weight);
            FSelDate->EdtPoidsExit();
            if (ok) FSelDate->BtnOkClick();
            else FSelDate->reject();
        });
    }
    static QVariantList savedInfo(const QString& user, const QDate& day) {
        Query q(QStringLiteral("SELECT Poids, ObjectifCalorique, COUNT(*) FROM t_histo_infos_utilisateur "
                               "WHERE NomUtilisateur = ? AND DateConso = ?"),
                {user, day});
        q.open();
        return {q.value(0), q.value(1), q.value(2)};
    }
    // The file may not grow by a page any more, and the history's pages are full: the next save
    // needs room that is not there.
    static void fillTheDisk() {
        SaveProgress progress;
        for (int d = 1; d <= 8; ++d) WriteSavedDay({QStringLiteral("Autre"), QDate(2020, 1, d), 0, 0}, progress);
        Query::execute(QStringLiteral("VACUUM"));
        const int pages = Query::scalar(QStringLiteral("PRAGMA page_count")).toInt();
        Query::scalar(QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
    }
    static int savedRows(const QString& user, const QDate& day) {
        return Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_histo_consommation "
                                            "WHERE NomUtilisateur = ? AND DateConso = ?"),
                             {user, day})
            .toInt();
    }

    const QDate day{2026, 5, 2};
};

}  // namespace

TEST_F(DaySaveWindow, SavesUnderTheUserWithTheTypedWeightAndReplacesAnEarlierSave) {
    appState().CurrentUserName = QStringLiteral("Jean");
    form->EdtObjectifCal->setText(QStringLiteral("1800"));
    addRow(QStringLiteral("Pomme"), 0.1, 150);
    addRow(QStringLiteral("Pain"), 0.5, 80);
    // 55 g of carbohydrates: the alert, then the dialog pre-filled with Jean's weight.
    AnswerNextMessage(log);
    QString shownWeight;
    answerDateDialog(day, QStringLiteral("72,5"), true, &shownWeight);
    AnswerNextMessage(log);
    form->BtnSauvegardeClick();
    EXPECT_EQ(shownWeight, QStringLiteral("75"));
    EXPECT_EQ(log.captions[0], QStringLiteral("Alerte"));
    EXPECT_EQ(log.texts[1], QString::fromUtf8("        Votre consommation a été enregistrée avec succès !"));
    EXPECT_EQ(baseColour(form->EdtTotGlucides), BgrColor(0x0000FF));
    EXPECT_EQ(savedInfo("Jean", day), (QVariantList{72.5, 1800.0, 1}));
    EXPECT_EQ(savedRows("Jean", day), 2);

    // Someone else's save of that day stays whatever Jean saves.
    SaveProgress progress;
    WriteSavedDay({QString::fromUtf8("Zoé d'Arc"), day, 60, 1500}, progress);

    // The same day again, now one row and no objective: one set of rows, one infos row.
    form->TConsommation.first();
    form->TConsommation.remove();
    form->EdtObjectifCal->clear();
    TFConsoJournaliere::OptimisationJustRun = 1;   // no carbohydrate alert after an optimisation
    answerDateDialog(day, QString());
    AnswerNextMessage(log);
    form->BtnSauvegardeClick();
    EXPECT_EQ(log.count(), 3);
    EXPECT_EQ(savedInfo("Jean", day), (QVariantList{0.0, 0.0, 1}));
    EXPECT_EQ(savedRows("Jean", day), 1);
    EXPECT_EQ(savedInfo(QString::fromUtf8("Zoé d'Arc"), day), (QVariantList{60.0, 1500.0, 1}));
    EXPECT_EQ(savedRows(QString::fromUtf8("Zoé d'Arc"), day), 2);
    form->BtnQuitter->click();   // saved as it stands: no question
}

TEST_F(DaySaveWindow, WithoutAKnownUserTheWeightBoxKeepsItsText) {
    // No user: the day goes under "Utilisateur", the weight box as it was.
    appState().SwitchCarbsBelowMinimum = 0;
    addRow(QStringLiteral("Riz"), 0.8, 200);
    FSelDate->EdtPoids->setText(QStringLiteral("64"));
    QString shownWeight;
    answerDateDialog(day, QStringLiteral("64"), true, &shownWeight);
    AnswerNextMessage(log);
    form->BtnSauvegardeClick();
    EXPECT_EQ(shownWeight, QStringLiteral("64"));
    EXPECT_EQ(savedInfo(QStringLiteral("Utilisateur"), day), (QVariantList{64.0, 0.0, 1}));
    EXPECT_EQ(savedRows("Utilisateur", day), 1);

    // A user deleted since the needs were estimated: said, and a user asked for; none given,
    // the save is cancelled and nothing is written under the name gone.
    appState().CurrentUserName = QStringLiteral("Parti");
    auto needs = std::make_unique<TFBesoinsJournaliers>();
    FBesoinsJournaliers = needs.get();
    log = {};
    AnswerNextMessage(log);
    modal::pushHandler([&needs](modal::Call&) { needs->BtnAnnule->click(); });
    AnswerNextMessage(log);
    form->BtnSauvegardeClick();
    FBesoinsJournaliers = nullptr;
    EXPECT_TRUE(log.texts[0].contains(QString::fromUtf8("L'utilisateur « Parti » n'existe plus")));
    EXPECT_EQ(log.texts[1], QString::fromUtf8(kCancelled));
    EXPECT_EQ(savedRows("Parti", day), 0);
}

TEST_F(DaySaveWindow, AClosedDateDialogCancelsWithoutAnErrorReport) {
    appState().SwitchCarbsBelowMinimum = 0;
    addRow(QStringLiteral("Pomme"), 0.1, 150);
    answerDateDialog(day, QString(), false);
    AnswerNextMessage(log);
    form->BtnSauvegardeClick();
    EXPECT_EQ(log.texts, QStringList{QString::fromUtf8(kCancelled)});
    EXPECT_EQ(Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_histo_infos_utilisateur")).toInt(), 0);
}

TEST_F(DaySaveWindow, AFailureKeepsTheEarlierSaveAndOffersTheErrorReport) {
    appState().SwitchCarbsBelowMinimum = 0;
    addRow(QStringLiteral("Riz"), 0.8, 200);
    answerDateDialog(day, QStringLiteral("70"));
    AnswerNextMessage(log);
    form->BtnSauvegardeClick();

    Query::execute(QStringLiteral("CREATE TEMP TRIGGER copy_fails BEFORE INSERT ON t_histo_consommation "
                                  "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    addRow(QStringLiteral("Pomme"), 0.1, 100);
    QStringList opened;
    SetWebPageOpener([&opened](const QString& url) {
        opened << url;
        return false;   // no browser
    });
    answerDateDialog(day, QStringLiteral("80"));
    AnswerNextMessage(log);
    QStringList offers;
    for (int i = 0; i < 2; ++i)   // the offer, then the browser failure
        modal::pushHandler([&offers](modal::Call& c) {
            offers << c.caption;
            c.result = QMessageBox::Ok;
        });
    form->BtnSauvegardeClick();
    Query::execute(QStringLiteral("DROP TRIGGER copy_fails"));

    EXPECT_EQ(log.texts.last(), QString::fromUtf8(kCancelled));
    EXPECT_EQ(offers, (QStringList{QStringLiteral("Erreur inattendue"), QStringLiteral("Erreur de connexion !")}));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith(QStringLiteral("Pages_fr/recup-erreurs-Vivanda.php?err=C2.0-9")));
    EXPECT_EQ(savedRows("Utilisateur", day), 1);
    EXPECT_EQ(savedInfo("Utilisateur", day)[0].toDouble(), 70);
}

TEST_F(DaySaveWindow, ALockHeldByAnotherProgramSaysTheDatabaseIsBusy) {
    appState().SwitchCarbsBelowMinimum = 0;
    addRow(QStringLiteral("Riz"), 0.8, 200);
    ASSERT_EQ(openDatabase(folder().dataDir(), 100), QString());   // a short wait for the test
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder().dbPath().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    answerDateDialog(day, QStringLiteral("70"));
    QStringList shown;
    modal::pushHandler([&shown](modal::Call& c) {
        shown << c.caption;
        c.result = QMessageBox::Ok;
    });
    form->BtnSauvegardeClick();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_EQ(shown, QStringList{QString::fromUtf8("Base de données occupée")});
    EXPECT_EQ(savedRows("Utilisateur", day), 0);
}

TEST_F(DaySaveWindow, PrintAndSaveCheckEveryRowWhenTheyRun) {
    appState().SwitchCarbsBelowMinimum = 0;
    auto report = std::make_unique<TFQRAffiConsommation>();
    addRow(QStringLiteral("Pomme"), 0.1, 150);
    const QString quantityMessage = QString::fromUtf8("        Toutes les quantités doivent être saisies !");
    // Refused (and reported) when typed, left empty, or at 0: whatever the buttons show, both
    // clicks stop at the check with nothing written and no preview.
    for (const QVariant& grams : {QVariant(-5.0), QVariant(), QVariant(0.0)}) {
        log = {};
        if (grams.toDouble() < 0) AnswerNextMessage(log);   // "Valeur non valide !" on the post
        addRow(QStringLiteral("Pain"), 0.5, grams);
        EXPECT_FALSE(form->BtnSauvegarde->isEnabled()) << grams.toString().toStdString();
        EXPECT_FALSE(form->BtnImprimer->isEnabled()) << grams.toString().toStdString();
        AnswerNextMessage(log);
        form->BtnSauvegardeClick();
        TFConsoJournaliere::OptimisationJustRun = 1;
        AnswerNextMessage(log);
        form->BtnImprimerClick();
        EXPECT_EQ(TFConsoJournaliere::OptimisationJustRun, 0);
        EXPECT_EQ(log.texts.mid(log.count() - 2), (QStringList{quantityMessage, quantityMessage}));
        EXPECT_EQ(log.captions.mid(log.count() - 2), QStringList(2, QStringLiteral("Erreur optimisation")));
        EXPECT_EQ(log.icons.mid(log.count() - 2), (QStringList{QStringLiteral("EXLAMATION"), QStringLiteral("ERREUR")}));
        EXPECT_EQ(Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_histo_consommation")).toInt(), 0);
        form->TConsommation.moveToRow(1);
        form->TConsommation.remove();
    }
}

TEST_F(DaySaveWindow, AnObjectiveThatIsNotANumberStopsTheSaveWithItsOwnMessage) {
    appState().SwitchCarbsBelowMinimum = 0;
    addRow(QStringLiteral("Riz"), 0.8, 200);
    for (const char* objective : {"abc", "1 500 kcal", "inf"}) {
        form->EdtObjectifCal->setText(QString::fromUtf8(objective));   // typed, the edit not left yet
        log = {};
        AnswerNextMessage(log);   // no date dialog: only the refusal
        form->BtnSauvegardeClick();
        EXPECT_EQ(log.texts, QStringList{Flat(NumberRefusal("Objectif calorique", QString::fromUtf8(objective),
                                                            NumberRules::DayCalories))})
            << objective;
        EXPECT_EQ(form->EdtObjectifCal->text(), QString()) << objective;   // the objective in force: none
    }
    EXPECT_EQ(Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_histo_infos_utilisateur")).toInt(), 0);
    // Corrected, the day saves with it.
    form->EdtObjectifCal->setText(QStringLiteral("1500"));
    answerDateDialog(day, QString());
    AnswerNextMessage(log);
    form->BtnSauvegardeClick();
    EXPECT_EQ(savedInfo("Utilisateur", day), (QVariantList{0.0, 1500.0, 1}));
}

TEST_F(DaySaveWindow, AWriteTheDatabaseRefusesSaysItsCauseWithoutTheErrorReport) {
    appState().SwitchCarbsBelowMinimum = 0;
    for (int i = 0; i < 50; ++i) addRow(QStringLiteral("Aliment numéro %1 de la journée").arg(i), 0.8, 200);
    // A read-only file, then a full disk (the file may not grow by a page).
    const struct {
        const char* fault;
        const char* undo;
        const char* cause;
    } faults[] = {{"PRAGMA query_only = 1", "PRAGMA query_only = 0", "lecture seule"},
                  {"", "PRAGMA max_page_count = 1073741823", "disque est plein"}};
    for (const auto& f : faults) {
        if (*f.fault)
            Query::execute(QString::fromLatin1(f.fault));
        else
            fillTheDisk();
        log = {};
        answerDateDialog(day, QStringLiteral("70"));
        AnswerNextMessage(log);   // the cause, and no offer to send a report after it
        form->BtnSauvegardeClick();
        Query::scalar(QString::fromLatin1(f.undo));
        ASSERT_EQ(log.count(), 1) << f.cause;
        EXPECT_EQ(log.captions[0], QStringLiteral("Erreur d'enregistrement"));
        EXPECT_TRUE(log.texts[0].contains(QString::fromUtf8(f.cause))) << log.texts[0].toStdString();
        EXPECT_TRUE(log.texts[0].contains(QString::fromUtf8("La journée reste à l'écran")));
        EXPECT_EQ(savedRows("Utilisateur", day), 0);
    }
    // The day is still there to be saved.
    answerDateDialog(day, QStringLiteral("70"));
    AnswerNextMessage(log);
    form->BtnSauvegardeClick();
    EXPECT_EQ(savedRows("Utilisateur", day), 50);
}
