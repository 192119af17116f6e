#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/FormWidgets.h"
#include "frame/Umessages.h"
#include "reference/Ueditionutilisateurs.h"
#include "reference/UserNames.h"
#include "support/DataFixture.h"
#include "support/FormTest.h"
#include "support/MessageScript.h"
#include "support/Typing.h"

namespace {

const QString kInvalid = "        Erreur sur un ou plusieurs champs, valeur absente ou non        valide.";

class UserEditor : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        Query::execute("INSERT INTO t_histo_infos_utilisateur VALUES ('Jean', '2024-03-01', 75, 2000)");
        open();
    }
    void TearDown() override {
        form.reset();
        FormTest::TearDown();
    }
    void open() {
        form = std::make_unique<TFEditionUtilisateurs>();
        form->FormActivate();
    }
    QStringList names() const { return ListItems(form->LboxUtilisateurs); }
    QString selected() const {
        auto* item = form->LboxUtilisateurs->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
    static int stored(const QString& name) {
        return Query::scalar("SELECT COUNT(*) FROM t_utilisateurs WHERE Nom = ?", {name}).toInt();
    }
    // "Nouveau", then the five values typed.
    void newUser(const QString& name, const QString& age, const QString& height, const QString& weight,
                 const QString& sex) {
        form->BtnNouveau->click();
        Retype(form->DBEdtNom, name);
        Retype(form->DBEdtAge, age);
        Retype(form->DBEdtTaille, height);
        Retype(form->DBEdtPoids, weight);
        Retype(form->DBEdtSexe, sex);
    }
    // "Enregistrer", answering the question "Oui" and, when refused, the error box.
    void saveAnswering(bool refused) {
        AnswerNextMessage(log, "BtnOui");
        if (refused) AnswerNextMessage(log);
        form->BtnEnregistrer->click();
    }
    void clickUser(const QString& name) {
        SelectListRow(form->LboxUtilisateurs, FindListItem(form->LboxUtilisateurs, name));
        form->LboxUtilisateursClick();
    }

    std::unique_ptr<TFEditionUtilisateurs> form;
    MessageLog log;
};

// Every bound of the ranges, and the sex: a refused value leaves nothing stored, stays typed
// for correction and is named in the message ("6O" is not read as 6); an accepted one is stored
// and listed.
TEST_F(UserEditor, RangesAndSexAtTheirBounds) {
    const struct { const char *age, *height, *weight, *sex; bool ok; } cases[] = {
        {"125", "170", "70", "M", true},  {"126", "170", "70", "M", false}, {"0", "170", "70", "F", true},
        {"-1", "170", "70", "F", false},  {"30", "40", "70", "M", true},    {"30", "39", "70", "M", false},
        {"30", "272", "70", "M", true},   {"30", "273", "70", "M", false},  {"30", "170", "2", "M", true},
        {"30", "170", "1", "M", false},   {"30", "170", "500", "M", true},  {"30", "170", "501", "M", false},
        {"30", "170", "7x", "M", false},  {"30", "170", "70", "X", false},  {"30", "170", "70", "", false},
        {"6O", "170", "70", "M", false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString name = QString("Utilisateur %1").arg(n++);
        newUser(name, c.age, c.height, c.weight, c.sex);
        saveAnswering(!c.ok);
        EXPECT_EQ(stored(name), c.ok ? 1 : 0) << c.age << " " << c.height << " " << c.weight << " " << c.sex;
        EXPECT_EQ(names().contains(name), c.ok) << name.toStdString();
        if (!c.ok) {
            EXPECT_TRUE(log.texts.last().startsWith(kInvalid) && log.texts.last().endsWith("Création annulée !"));
            if (QString(c.age) == "6O") EXPECT_TRUE(log.texts.last().contains("Âge : « 6O »"));
            EXPECT_EQ(form->DBEdtNom->text(), name);
            EXPECT_EQ(form->DBEdtPoids->text(), c.weight);
            EXPECT_TRUE(form->NewUser);
            // Given up: the question is asked again and "Non" drops the new user.
            AnswerNextMessage(log, "BtnNon");
            clickUser("Marie");
            EXPECT_EQ(form->DBEdtNom->text(), "Marie");
        }
    }
}

// A NUL pasted into the age, or a number no field could hold, is refused with the field and its
// range named; nothing is stored.
TEST_F(UserEditor, PastedControlCharactersAndHugeNumbersAreRefused) {
    const struct { QString age, height, weight, named; } cases[] = {
        {QString("1") + QChar(0) + "2", "170", "70", "Âge : « 1\uFFFD2 » n'est pas un nombre entier de 0 à 125."},
        {"30", "1e308", "70", "Taille (cm) : « 1e308 » n'est pas un nombre entier de 40 à 272."},
        {"30", "170", "2147483648", "Poids (kg) : « 2147483648 » n'est pas un nombre entier de 2 à 500."}};
    for (const auto& c : cases) {
        newUser("Zoé", "", c.height, c.weight, "F");
        Paste(form->DBEdtAge, c.age);
        saveAnswering(true);
        EXPECT_TRUE(log.texts.last().contains(c.named)) << log.texts.last().toStdString();
        EXPECT_EQ(stored("Zoé"), 0);
        AnswerNextMessage(log, "BtnNon");
        clickUser("Marie");
    }
}

// Names are stored without their surrounding blanks, unique letter case and accents aside (a
// new user or a rename to a taken name says it exists), and without control characters.
TEST_F(UserEditor, NamesAreTrimmedUniqueAndPrintable) {
    for (const char* twin : {" jean ", "JÉAN"}) {
        // From the second on, the question about the refused one comes back first.
        if (log.count() > 0) AnswerNextMessage(log, "BtnNon");
        newUser(QString::fromUtf8(twin), "30", "170", "70", "M");
        saveAnswering(true);
        EXPECT_EQ(log.texts.last(), "Cet utilisateur existe déjà !Création annulée !") << twin;
    }
    AnswerNextMessage(log, "BtnNon");
    clickUser("Marie");
    Retype(form->DBEdtNom, "jéan");
    saveAnswering(true);
    EXPECT_EQ(log.texts.last(), "Cet utilisateur existe déjà !Modification annulée !");
    Retype(form->DBEdtNom, "");
    Paste(form->DBEdtNom, QString("Ma") + QChar(0) + "rie");
    saveAnswering(true);
    EXPECT_TRUE(log.texts.last().contains("caractère de contrôle")) << log.texts.last().toStdString();
    Retype(form->DBEdtNom, " MARIE ");   // her own name in capitals
    saveAnswering(false);
    EXPECT_EQ(names(), (QStringList{"Jean", "MARIE"}));
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_utilisateurs").toInt(), 2);
}

// A name typed with blanks around it and left for the next field, as the user goes on to the
// age, is stored and listed trimmed.
TEST_F(UserEditor, NameLeftWithBlanksIsStoredTrimmed) {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    newUser(QString::fromUtf8("  Zoé  "), "25", "165", "55", "F");
    ASSERT_EQ(QApplication::focusWidget(), form->DBEdtSexe);
    saveAnswering(false);
    EXPECT_EQ(stored(QString::fromUtf8("Zoé")), 1);
    EXPECT_EQ(stored(QString::fromUtf8("  Zoé  ")), 0);
    EXPECT_EQ(names(), (QStringList{"Jean", "Marie", QString::fromUtf8("Zoé")}));
    EXPECT_EQ(form->DBEdtNom->text(), QString::fromUtf8("Zoé"));
}

// Renaming a user who has saved days says so: "Oui" moves the days with the name, "Non" leaves
// them under the old one. A deletion leaves the history.
TEST_F(UserEditor, RenamingAUserWithSavedDaysOffersToMoveThem) {
    Query::execute("INSERT INTO t_histo_consommation (NomUtilisateur, DateConso, NomAliment) VALUES ('Jean', '2024-03-01', 'Pomme')");
    Query::execute("INSERT INTO t_histo_infos_utilisateur VALUES ('Marie', '2024-03-02', 58, 1800)");
    const QString days = "SELECT COUNT(*) FROM t_histo_infos_utilisateur WHERE NomUtilisateur = ?";
    clickUser("Marie");
    Retype(form->DBEdtNom, "Léa");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log, "BtnNon");
    form->BtnEnregistrer->click();
    EXPECT_EQ(log.captions.last(), "Journées enregistrées");
    EXPECT_EQ(Query::scalar(days, {"Marie"}).toInt(), 1);

    clickUser("Jean");
    Retype(form->DBEdtNom, "Bob");
    // The days' move failing after the rename was written: both undone, the typing kept.
    Query::execute("CREATE TRIGGER held BEFORE UPDATE ON t_histo_infos_utilisateur BEGIN SELECT RAISE(ABORT, 'x'); END");
    for (const char* answer : {"BtnOui", "BtnOui", "BtnOk", "BtnOui", "BtnOui"}) AnswerNextMessage(log, answer);
    form->BtnEnregistrer->click();
    EXPECT_EQ(log.captions.last(), "Erreur d'enregistrement");
    EXPECT_EQ(form->DBEdtNom->text(), "Bob");
    EXPECT_EQ(stored("Jean"), 1);
    Query::execute("DROP TRIGGER held");
    form->BtnEnregistrer->click();
    EXPECT_TRUE(log.texts.last().contains("Jean a une journée enregistrée")) << log.texts.last().toStdString();
    EXPECT_EQ(Query::scalar(days, {"Bob"}).toInt(), 1);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_histo_consommation WHERE NomUtilisateur = 'Bob'").toInt(), 1);
    EXPECT_EQ(Query::scalar(days, {"Jean"}).toInt(), 0);
    EXPECT_EQ(names(), (QStringList{"Bob", "Léa"}));
    EXPECT_EQ(selected(), "Bob");

    AnswerNextMessage(log, "BtnOui");
    form->BtnSupprimer->click();
    EXPECT_EQ(log.captions.last(), "Suppression d'un utilisateur");
    EXPECT_EQ(log.icons.last(), "QUESTION");
    EXPECT_EQ(names(), QStringList{"Léa"});
    EXPECT_EQ(form->DBEdtNom->text(), "Léa");
    EXPECT_EQ(Query::scalar(days, {"Bob"}).toInt(), 1);
}

// A refused change is dropped when another user is clicked; the clicked one is shown.
TEST_F(UserEditor, ARefusedSaveFromTheListMovesAndDropsTheChange) {
    clickUser("Jean");
    Retype(form->DBEdtAge, "300");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    clickUser("Marie");
    EXPECT_EQ(log.captions, (QStringList{"Modification d'enregistrement", "Erreur d'enregistrement"}));
    EXPECT_EQ(log.icons, (QStringList{"QUESTION", "ERREUR"}));
    EXPECT_EQ(form->DBEdtNom->text(), "Marie");
    EXPECT_EQ(selected(), "Marie");
    EXPECT_FALSE(form->UserModified);
    EXPECT_EQ(Query::scalar("SELECT Age FROM t_utilisateurs WHERE Nom = 'Jean'").toInt(), 35);
}

// Enter at the first question of the run saves the new user: the question opens on "Oui".
TEST_F(UserEditor, EnterAtTheSaveQuestionSavesTheNewUser) {
    delete FMessage;
    FMessage = nullptr;
    newUser("Bernard", "40", "180", "80", "M");
    QString focused;
    AnswerNextMessageByKey(log, Qt::Key_Return, &focused);
    form->BtnEnregistrer->click();
    EXPECT_EQ(log.texts, QStringList{"        Voulez-vous enregistrer la création de cet utilisateur ?"});
    EXPECT_EQ(focused, "BtnOui");
    EXPECT_EQ(stored("Bernard"), 1);
}

// An empty table shows the first-steps tip once; typing there without "Nouveau" creates a user
// with every key typed.
TEST_F(UserEditor, AnEmptyTableShowsTheTipOnceAndTypingThereCreates) {
    form.reset();
    Query::execute("DELETE FROM t_utilisateurs");
    AnswerNextMessage(log);
    open();
    EXPECT_EQ(log.captions, QStringList{"Premiers pas avec la gestion des utilisateurs"});
    EXPECT_EQ(log.texts.first(), "        Pour créer un nouvel utilisateur cliquez sur \"Nouveau\".");
    form->FormActivate();
    EXPECT_EQ(log.count(), 1);
    form->DBEdtNom->setFocus();
    QTest::keyClicks(form->DBEdtNom, "Bernard");
    Retype(form->DBEdtAge, "40");
    Retype(form->DBEdtTaille, "180");
    Retype(form->DBEdtPoids, "80");
    Retype(form->DBEdtSexe, "m");
    EXPECT_EQ(form->DBEdtSexe->text(), "M");   // upper-cased as typed
    saveAnswering(false);
    EXPECT_EQ(log.captions.last(), "Création d'enregistrement");
    EXPECT_EQ(names(), QStringList{"Bernard"});
    EXPECT_EQ(Query::scalar("SELECT Age || Sexe FROM t_utilisateurs WHERE Nom = 'Bernard'").toString(), "40M");
}

// A user is picked by a click on the list or by the arrow keys.
TEST_F(UserEditor, UsersArePickedByClickAndKeys) {
    QListWidget* list = form->LboxUtilisateurs;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(form->DBEdtNom->text(), "Marie");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(form->DBEdtNom->text(), "Jean");
    EXPECT_EQ(selected(), "Jean");
}

// Moving a user's saved days writes both history tables or neither, even when no caller's
// transaction surrounds it: a refusal of the second table leaves the first one unchanged.
TEST(UserNames, SavedDaysMoveInBothTablesOrNeither) {
    TestDataFolder folder;
    Query::execute("INSERT INTO t_histo_infos_utilisateur VALUES ('Jean', '2024-03-01', 75, 2000)");
    Query::execute("INSERT INTO t_histo_consommation (NomUtilisateur, DateConso, NomAliment) "
                   "VALUES ('Jean', '2024-03-01', 'Pomme')");
    Query::execute("CREATE TRIGGER refuse_move BEFORE UPDATE ON t_histo_infos_utilisateur "
                   "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(MoveSavedDays("Jean", "Jean-Paul"), DatabaseError);
    EXPECT_EQ(Query::scalar("SELECT NomUtilisateur FROM t_histo_consommation").toString(), "Jean");
    Query::execute("DROP TRIGGER refuse_move");
    MoveSavedDays("Jean", "Jean-Paul");
    EXPECT_EQ(Query::scalar("SELECT NomUtilisateur FROM t_histo_consommation").toString(), "Jean-Paul");
    EXPECT_EQ(Query::scalar("SELECT NomUtilisateur FROM t_histo_infos_utilisateur").toString(), "Jean-Paul");
}

}  // namespace
