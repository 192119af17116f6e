#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
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

class BusyEditors : public FormTest {};

// Another program holding the database: leaving the row with the change to save says the
// database is busy, and the row stays with its typing, saved once the database is free.
TEST_F(BusyEditors, ASaveWhileAnotherProgramHoldsTheDatabaseSaysSoAndKeepsTheTyping) {
    Query::execute("UPDATE t_aliments SET DroitsModifUtilisateur = 1");
    TFEditionRecettes::ResetUnitState();
    ASSERT_EQ(openDatabase(folder().dataDir(), 100), QString());   // a short wait for the test
    const struct {
        const char* label;
        std::function<Editor()> open;
        const char* typed;
        const char* stored;   // the typed value as read back once saved
    } cases[] = {
        {"food",
         [] {
             auto form = activated<TFEditionAliments>();
             auto* f = form.get();
             const QString other = f->LboxAliments->item(1)->text();
             return Editor{std::move(form), f->DBEdtNomAliment,
                           [f, other] {
                               SelectListRow(f->LboxAliments, FindListItem(f->LboxAliments, other));
                               f->LboxAlimentsClick();
                           },
                           f->BtnEnregistrer};
         },
         "Patate douce", "SELECT COUNT(*) FROM t_aliments WHERE NomAlimentFrancais = 'Patate douce'"},
        {"recipe",
         [] {
             auto form = activated<TFEditionRecettes>();
             auto* f = form.get();
             return Editor{std::move(form), f->DBEdtNom,
                           [f] { f->LboxRecettes->setCurrentRow(1); }, f->BtnEnregistrer};
         },
         "Purée maison", "SELECT COUNT(*) FROM t_recettes WHERE NomRecetteFrancais = 'Purée maison'"},
        {"user",
         [] {
             auto form = activated<TFEditionUtilisateurs>();
             auto* f = form.get();
             return Editor{std::move(form), f->DBEdtAge,
                           [f] {
                               SelectListRow(f->LboxUtilisateurs, FindListItem(f->LboxUtilisateurs, "Marie"));
                               f->LboxUtilisateursClick();
                           },
                           f->BtnEnregistrer};
         },
         "36", "SELECT COUNT(*) FROM t_utilisateurs WHERE Nom = 'Jean' AND Age = 36"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MessageLog log;
        Editor e = c.open();
        Retype(e.edit, QString::fromUtf8(c.typed));
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(folder().dbPath().toUtf8().constData(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        AnswerNextMessage(log, "BtnOui");
        QStringList shown;
        modal::pushHandler([&shown](modal::Call& call) {
            shown << call.caption;
            call.result = QMessageBox::Ok;
        });
        e.leave();
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        EXPECT_EQ(shown, QStringList{QString::fromUtf8("Base de données occupée")});
        EXPECT_EQ(e.edit->text(), QString::fromUtf8(c.typed));

        AnswerNextMessage(log, "BtnOui");
        e.save->click();
        EXPECT_EQ(log.captions.last(), "Modification d'enregistrement");
        EXPECT_EQ(Query::scalar(QString::fromUtf8(c.stored)).toInt(), 1);
        ExpectModalScriptDone();
    }
}

}  // namespace
