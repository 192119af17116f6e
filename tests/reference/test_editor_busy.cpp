#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/FormWidgets.h"
#include "reference/Ueditionaliments.h"
#include "reference/Ueditionrecettes.h"
#include "reference/Ueditionutilisateurs.h"
#include "support/FormTest.h"
#include "support/MessageScript.h"
#include "support/Typing.h"

namespace {

// An editor under test: its window, the edit typed into, a move to another row, its save button.
struct Editor {
    std::unique_ptr<QWidget> form;
    QLineEdit* edit = nullptr;
    std::function<void()> leave;
    QPushButton* save = nullptr;
};

template <typename Form>
std::unique_ptr<Form> activated() {
    auto form = std::make_unique<Form>();
    form->FormActivate();
    return form;
}

// The user editor on its first user (Jean), its age typed into, Marie clicked to leave him.
Editor userEditor() {
    auto form = activated<TFEditionUtilisateurs>();
    auto* f = form.get();
    return Editor{std::move(form), f->DBEdtAge,
                  [f] {
                      SelectListRow(f->LboxUtilisateurs, FindListItem(f->LboxUtilisateurs, "Marie"));
                      f->LboxUtilisateursClick();
                  },
                  f->BtnEnregistrer};
}

class BusyEditors : public FormTest {};

// A write that fails for another reason than the typing (another program holding the database,
// a read-only database): leaving the row says what failed, in French (not that a field is
// missing), the row stays with its typing, and a retry saves it once the fault is gone.
TEST_F(BusyEditors, AFailedWriteSaysWhyAndARetrySavesTheTyping) {
    Query::execute("UPDATE t_aliments SET DroitsModifUtilisateur = 1");
    TFEditionRecettes::ResetUnitState();
    ASSERT_EQ(openDatabase(folder().dataDir(), 100), QString());   // a short wait for the test
    // Immutable: the database's files made immutable while the program runs, where the system
    // allows it (the engine then only says it could not write).
    enum Fault { Busy, ReadOnly, Immutable };
    const struct {
        const char* label;
        std::function<Editor()> open;
        const char* typed;
        Fault fault;
        const char* stored;   // the typed value as read back once saved
    } cases[] = {
        {"new food, read-only",
         [] {
             auto form = activated<TFEditionAliments>();
             auto* f = form.get();
             f->BtnNouveau->click();
             for (QLineEdit* edit : {f->EdtCalories, f->EdtLipides, f->EdtProtides, f->EdtGlucides}) Retype(edit, "1");
             return Editor{std::move(form), f->DBEdtNomAliment,
                           [f] {
                               SelectListRow(f->LboxAliments, 1);
                               f->LboxAlimentsClick();
                           },
                           f->BtnEnregistrer};
         },
         "Patate douce", ReadOnly, "SELECT COUNT(*) FROM t_aliments WHERE NomAlimentAnglais = 'Patate douce'"},
        {"recipe, busy",
         [] {
             auto form = activated<TFEditionRecettes>();
             auto* f = form.get();
             return Editor{std::move(form), f->DBEdtNom,
                           [f] { f->LboxRecettes->setCurrentRow(1); }, f->BtnEnregistrer};
         },
         "Purée maison", Busy, "SELECT COUNT(*) FROM t_recettes WHERE NomRecetteFrancais = 'Purée maison'"},
        {"user, read-only",
         userEditor,
         "36", ReadOnly, "SELECT COUNT(*) FROM t_utilisateurs WHERE Nom = 'Jean' AND Age = 36"},
        {"user, made read-only while running",
         userEditor,
         "37", Immutable, "SELECT COUNT(*) FROM t_utilisateurs WHERE Nom = 'Jean' AND Age = 37"},
    };
    const QStringList files{folder().dbPath(), folder().dbPath() + "-wal"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MessageLog log;
        Editor e = c.open();
        Retype(e.edit, QString::fromUtf8(c.typed));
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(folder().dbPath().toUtf8().constData(), &other), SQLITE_OK);
        if (c.fault == Busy) ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        if (c.fault == ReadOnly) Query::execute("PRAGMA query_only = 1");
        if (c.fault == Immutable) {
            Query::execute("UPDATE t_activites SET Duree = 0");   // the write-ahead log is there
            if (QProcess::execute("chattr", QStringList{"+i"} + files) != 0) GTEST_SKIP() << "no immutable files here";
        }
        AnswerNextMessage(log, "BtnOui");
        QStringList shown;
        modal::pushHandler([&shown](modal::Call& call) {
            auto* label = call.dialog->findChild<QLabel*>("LblMessage");
            auto* box = qobject_cast<QMessageBox*>(call.dialog);
            // The standard box gets its long lines broken beforehand: the words are compared.
            shown << call.caption << (label ? label->text() : box ? box->text() : QString()).simplified();
            call.result = QMessageBox::Ok;
        });
        e.leave();
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        Query::execute("PRAGMA query_only = 0");
        if (c.fault == Immutable) QProcess::execute("chattr", QStringList{"-i"} + files);
        const char* said[] = {"utilisée par un autre programme", "lecture seule", "lecture seule"};
        ASSERT_EQ(shown.size(), 2);
        EXPECT_EQ(shown[0], c.fault == Busy ? QString::fromUtf8("Base de données occupée") : "Erreur d'enregistrement");
        EXPECT_TRUE(shown[1].contains(QString::fromUtf8(said[c.fault]))) << shown[1].toStdString();
        EXPECT_EQ(e.edit->text(), QString::fromUtf8(c.typed));

        AnswerNextMessage(log, "BtnOui");
        e.save->click();
        EXPECT_EQ(log.captions.last(), e.edit->objectName() == "DBEdtNomAliment" ? "Création d'enregistrement"
                                                                                 : "Modification d'enregistrement");
        EXPECT_EQ(Query::scalar(QString::fromUtf8(c.stored)).toInt(), 1);
        ExpectModalScriptDone();
    }
}

// After "Nouveau" and the question it asks about a pending change, the focus is in the name,
// not on the button that the closed box hands it back to.
TEST_F(BusyEditors, NouveauPutsTheFocusInTheName) {
    for (const char* name : {"DBEdtNomAliment", "DBEdtNom"}) {
        std::unique_ptr<QWidget> form(name == QLatin1String("DBEdtNom") ? (QWidget*)activated<TFEditionUtilisateurs>().release()
                                                                         : activated<TFEditionAliments>().release());
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        MessageLog log;
        Retype(form->findChild<QLineEdit*>(name), "Pâtes");
        AnswerNextMessage(log, "BtnNon");
        QTest::mouseClick(form->findChild<QPushButton*>("BtnNouveau"), Qt::LeftButton);
        QApplication::processEvents();   // the box hands the focus back meanwhile
        EXPECT_EQ(form->focusWidget(), form->findChild<QLineEdit*>(name)) << name;
    }
}

}  // namespace
