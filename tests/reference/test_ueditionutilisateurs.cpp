#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/FormWidgets.h"
#include "reference/Ueditionutilisateurs.h"
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

// Every bound of the ranges, and the sex: a refused value leaves nothing stored and stays typed
// for correction; an accepted one is stored and listed.
TEST_F(UserEditor, RangesAndSexAtTheirBounds) {
    const struct { const char *age, *height, *weight, *sex; bool ok; } cases[] = {
        {"125", "170", "70", "M", true},  {"126", "170", "70", "M", false}, {"0", "170", "70", "F", true},
        {"-1", "170", "70", "F", false},  {"30", "40", "70", "M", true},    {"30", "39", "70", "M", false},
        {"30", "272", "70", "M", true},   {"30", "273", "70", "M", false},  {"30", "170", "2", "M", true},
        {"30", "170", "1", "M", false},   {"30", "170", "500", "M", true},  {"30", "170", "501", "M", false},
        {"30", "170", "7x", "M", false},  {"30", "170", "70", "X", false},  {"30", "170", "70", "", false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString name = QString("Utilisateur %1").arg(n++);
        newUser(name, c.age, c.height, c.weight, c.sex);
        saveAnswering(!c.ok);
        EXPECT_EQ(stored(name), c.ok ? 1 : 0) << c.age << " " << c.height << " " << c.weight << " " << c.sex;
        EXPECT_EQ(names().contains(name), c.ok) << name.toStdString();
        if (!c.ok) {
            EXPECT_EQ(log.texts.last(), kInvalid + "        Création annulée !");
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

// The sex shows in upper case as it is typed; one key typed over a value is already a change
// that leaving the user asks about.
TEST_F(UserEditor, SexIsUpperCasedAsTyped) {
    newUser("Zoé", "30", "160", "55", "f");
    EXPECT_EQ(form->DBEdtSexe->text(), "F");
    saveAnswering(false);
    EXPECT_EQ(Query::scalar("SELECT Sexe FROM t_utilisateurs WHERE Nom = 'Zoé'").toString(), "F");

    clickUser("Marie");
    form->DBEdtSexe->selectAll();
    QTest::keyClick(form->DBEdtSexe, Qt::Key_M);
    AnswerNextMessage(log, "BtnNon");
    clickUser("Jean");
    EXPECT_EQ(log.captions.last(), "Modification d'enregistrement");
    EXPECT_EQ(Query::scalar("SELECT Sexe FROM t_utilisateurs WHERE Nom = 'Marie'").toString(), "F");
}

TEST_F(UserEditor, ANewUserNamedLikeAListedOneIsRefused) {
    newUser("Jean", "30", "170", "70", "M");
    saveAnswering(true);
    EXPECT_EQ(log.texts.last(), "Cet utilisateur existe déja !Création annulée !");
    EXPECT_EQ(Query::scalar("SELECT Age FROM t_utilisateurs WHERE Nom = 'Jean'").toInt(), 35);
    EXPECT_EQ(names(), (QStringList{"Jean", "Marie"}));
    AnswerNextMessage(log, "BtnNon");
    form->BtnNouveau->click();   // the question comes back before another new user
    EXPECT_EQ(log.captions.last(), "Création d'enregistrement");
}

// A rename replaces the entry and keeps the user chosen; the history keeps the old name, and a
// deletion leaves it too.
TEST_F(UserEditor, RenameAndDeleteLeaveTheHistory) {
    clickUser("Jean");
    Retype(form->DBEdtNom, "Bob");
    saveAnswering(false);
    EXPECT_EQ(names(), (QStringList{"Bob", "Marie"}));
    EXPECT_EQ(selected(), "Bob");
    EXPECT_EQ(stored("Jean"), 0);
    EXPECT_EQ(Query::scalar("SELECT Age FROM t_utilisateurs WHERE Nom = 'Bob'").toInt(), 35);

    AnswerNextMessage(log, "BtnOui");
    form->BtnSupprimer->click();
    EXPECT_EQ(log.captions.last(), "Suppression d'un utilisateur");
    EXPECT_EQ(names(), QStringList{"Marie"});
    EXPECT_EQ(selected(), "Marie");
    EXPECT_EQ(form->DBEdtNom->text(), "Marie");
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_histo_infos_utilisateur WHERE NomUtilisateur = 'Jean'").toInt(), 1);
}

// A refused change is dropped when another user is clicked; the clicked one is shown.
TEST_F(UserEditor, ARefusedSaveFromTheListMovesAndDropsTheChange) {
    clickUser("Jean");
    Retype(form->DBEdtAge, "300");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    clickUser("Marie");
    EXPECT_EQ(log.captions, (QStringList{"Modification d'enregistrement", "Erreur d'enregistrement"}));
    EXPECT_EQ(form->DBEdtNom->text(), "Marie");
    EXPECT_EQ(selected(), "Marie");
    EXPECT_FALSE(form->UserModified);
    EXPECT_EQ(Query::scalar("SELECT Age FROM t_utilisateurs WHERE Nom = 'Jean'").toInt(), 35);
}

TEST_F(UserEditor, AnEmptyTableShowsTheFirstStepsTipOnce) {
    form.reset();
    Query::execute("DELETE FROM t_utilisateurs");
    AnswerNextMessage(log);
    open();
    EXPECT_EQ(log.captions, QStringList{"Premier pas avec la gestion des utilisateurs"});
    EXPECT_EQ(log.texts.first(), "        Pour créer un nouvel utilisateur cliquez sur \"Nouveau\".");
    form->FormActivate();
    EXPECT_EQ(log.count(), 1);
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

}  // namespace
