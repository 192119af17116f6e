#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <memory>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/NameColumn.h"
#include "data/Query.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "reference/EditorFoodTables.h"
#include "reference/Ueditionaliments.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "support/Typing.h"

// Shown without a thousands separator, as the text is read back; decimals that add up to 100
// are not over it.
TEST(FoodValues, ReadableBackAndRoundingAside) {
    FrenchLocaleGuard french;
    EXPECT_EQ(Per100gText(12.345), "1234,5");
    EXPECT_EQ(Per100gText(0.1234567), "12,34567");   // every digit stored
    EXPECT_FALSE(MacrosExceed100g(33.3, 33.3, 33.4));
}

namespace {

const QString kExists = "        Cet aliment existe déjà.";
const QString k100g = "        Les quantités cumulées en grammes des lipides, protides et        glucides dépassent 100 grammes.";

// The shipped fixture foods may not be changed; Kiwi (used by recipe 1), Mangue and Cannelle
// (alone in "Épices") were created by the user.
class FoodEditor : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        Query::execute("INSERT INTO t_cataliments VALUES (6, 'Épices')");
        Query::execute("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                       "ProtidesGramme, GlucidesGramme, PoidsMoyen, Usuel, DroitsModifUtilisateur, IdCatAliment) VALUES "
                       "(20, 'Kiwi', 0.61, 0.005, 0.011, 0.147, 75, 1, 1, 1), "
                       "(21, 'Mangue', 0.6, 0.004, 0.008, 0.15, 300, 0, 1, 1), "
                       "(22, 'Cannelle', 2.47, 0.012, 0.04, 0.81, NULL, 0, 1, 6)");
        Query::execute("INSERT INTO t_ingredients_recettes VALUES (1, 20, 50)");
        form = std::make_unique<TFEditionAliments>();
        form->FormActivate();
        chooseCategory("Fruits");
    }
    void TearDown() override {
        form.reset();
        FormTest::TearDown();
    }
    void chooseCategory(const QString& name) {
        form->CboxCatAliments->setCurrentIndex(form->CboxCatAliments->findText(name));
        form->CboxCatAlimentsClick();
    }
    void clickFood(const QString& name) {
        SelectListRow(form->LboxAliments, FindListItem(form->LboxAliments, name));
        form->LboxAlimentsClick();
    }
    QStringList names() const { return ListItems(form->LboxAliments); }
    QString selected() const {
        auto* item = form->LboxAliments->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
    void typeValues(const QString& cal, const QString& lip, const QString& prot, const QString& gluc) {
        Retype(form->EdtCalories, cal);
        Retype(form->EdtLipides, lip);
        Retype(form->EdtProtides, prot);
        Retype(form->EdtGlucides, gluc);
    }
    void newFood(const QString& name, const QString& cal, const QString& lip, const QString& prot, const QString& gluc) {
        form->BtnNouveau->click();
        Retype(form->DBEdtNomAliment, name);
        typeValues(cal, lip, prot, gluc);
    }
    // "Enregistrer" answered "Oui"; a refusal's box is answered too.
    void save(bool refused) {
        AnswerNextMessage(log, "BtnOui");
        if (refused) AnswerNextMessage(log);
        form->BtnEnregistrer->click();
    }
    static QVariant stored(const char* column, const QString& name) {
        return Query::scalar(QString("SELECT %1 FROM t_aliments WHERE NomAlimentFrancais = ?").arg(column), {name});
    }

    FrenchLocaleGuard french;
    std::unique_ptr<TFEditionAliments> form;
    MessageLog log;
};

// Typed per 100 g, stored per gram and shown per 100 g again; the new id follows the largest;
// the list gains the food, chosen.
TEST_F(FoodEditor, ANewFoodIsStoredPerGramUnderTheNextId) {
    EXPECT_EQ(names(), (QStringList{"Banane", "Kiwi", "Mangue", "Orange", "Pomme"}));
    newFood("Fraise", "250", "0,5", "1", "7,5");
    QTest::keyClicks(form->EdtCalories, "x-");   // refused as typed
    EXPECT_EQ(form->EdtCalories->text(), "250");
    save(false);
    EXPECT_EQ(log.captions, QStringList{"Création d'enregistrement"});
    EXPECT_DOUBLE_EQ(stored("CaloriesGramme", "Fraise").toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(stored("GlucidesGramme", "Fraise").toDouble(), 0.075);
    EXPECT_EQ(stored("IdAliment", "Fraise").toInt(), 23);
    EXPECT_EQ(stored("DroitsModifUtilisateur", "Fraise").toInt(), 1);
    EXPECT_EQ(form->EdtCalories->text(), "250");
    EXPECT_EQ(selected(), "Fraise");
}

// More than 100 g of nutrients is refused and the typing stays; exactly 100 g is stored.
// Unticking "Usuel" is a change: the next food asks, and "Oui" stores it.
TEST_F(FoodEditor, TheEverydayBoxIsAChangeToSave) {
    clickFood("Kiwi");
    QTest::mouseClick(form->DBChboxUsuel, Qt::LeftButton);
    AnswerNextMessage(log, "BtnOui");
    clickFood("Mangue");
    EXPECT_EQ(log.captions, QStringList{"Modification d'enregistrement"});
    EXPECT_EQ(stored("Usuel", "Kiwi").toInt(), 0);
}

TEST_F(FoodEditor, NutrientsOver100gAreRefusedExactly100Accepted) {
    newFood("Noix", "650", "40", "30", "30,5");
    save(true);
    EXPECT_EQ(log.texts.last(), k100g);
    EXPECT_EQ(form->EdtGlucides->text(), "30,5");
    EXPECT_TRUE(stored("IdAliment", "Noix").isNull());
    Retype(form->EdtGlucides, "30");
    save(false);
    EXPECT_DOUBLE_EQ(stored("LipidesGramme", "Noix").toDouble(), 0.4);
}

// A name already used, in any case or accent, is refused for a new food and for a rename.
TEST_F(FoodEditor, DuplicateNamesAreRefusedForNewAndRenamedFoods) {
    for (const char* twin : {"pomme", "POMME", "Pômme"}) {
        newFood(QString::fromUtf8(twin), "50", "0", "0", "12");
        save(true);
        EXPECT_EQ(log.texts.last(), kExists + "        Création annulée !") << twin;
        AnswerNextMessage(log, "BtnNon");
        clickFood("Kiwi");
    }
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_aliments").toInt(), 17);

    Retype(form->DBEdtNomAliment, "Banane");
    save(true);
    EXPECT_EQ(log.texts.last(), kExists + "        Modification annulée !");
    EXPECT_EQ(stored("IdAliment", "Kiwi").toInt(), 20);
    Retype(form->DBEdtNomAliment, "Kiwi jaune");
    save(false);
    EXPECT_EQ(names(), (QStringList{"Banane", "Kiwi jaune", "Mangue", "Orange", "Pomme"}));
    EXPECT_EQ(selected(), "Kiwi jaune");
    EXPECT_EQ(stored("IdAliment", "Kiwi jaune").toInt(), 20);
}

// In English: a rename reaches the other columns that held the old name, a new food is named in
// every language; foods named in one language only get their name everywhere at start-up, so no
// list shows a blank line. A name with a control character is refused.
TEST_F(FoodEditor, NamesReachEveryLanguageAndStayPrintable) {
    form.reset();
    FillEmptyNameColumns("t_aliments", "NomAliment");   // as at start-up
    Query::execute("UPDATE t_aliments SET NomAlimentEspagnol = 'Kiwi (es)' WHERE IdAliment = 20");
    appState().LanguageCode = 200;
    form = std::make_unique<TFEditionAliments>();
    form->FormActivate();
    chooseCategory("Fruits");
    EXPECT_EQ(names(), (QStringList{"Apple", "Banana", "Kiwi", "Mangue", "Orange"}));
    clickFood("Kiwi");
    Retype(form->DBEdtNomAliment, "Golden kiwi");
    save(false);
    EXPECT_EQ(Query::scalar("SELECT NomAlimentFrancais || '|' || NomAlimentAllemand || '|' || NomAlimentEspagnol "
                            "FROM t_aliments WHERE IdAliment = 20").toString(), "Golden kiwi|Golden kiwi|Kiwi (es)");
    newFood("", "39", "0,3", "0,9", "9,5");
    Paste(form->DBEdtNomAliment, "Pe\tch");
    save(true);
    EXPECT_TRUE(log.texts.last().contains("caractère de contrôle")) << log.texts.last().toStdString();
    Retype(form->DBEdtNomAliment, "Peach");
    save(false);
    EXPECT_EQ(Query::scalar("SELECT NomAlimentFrancais || NomAlimentItalien FROM t_aliments WHERE NomAlimentAnglais = 'Peach'")
                  .toString(), "PeachPeach");
}

// A food must have its four values: an empty one is refused with a message, the typing kept.
TEST_F(FoodEditor, AnEmptyValueIsRefusedAndTheTypingKept) {
    form->BtnNouveau->click();
    Retype(form->DBEdtNomAliment, "Litchi");
    Retype(form->EdtCalories, "66");
    save(true);
    EXPECT_EQ(log.texts.last(), "        L'un au moins des champs n'a pas été renseigné.        Création annulée !");
    EXPECT_EQ(form->EdtCalories->text(), "66");
    EXPECT_TRUE(form->NewFood);
    typeValues("66", "0,4", "0,8", "16,5");
    Retype(form->DBEdtPoidsMoyen, "-20");
    save(true);
    EXPECT_EQ(log.texts.last(), "        Poids moyen (g) : « -20 » n'est pas un nombre de 0 à 10000 g."
                                "        Création annulée !");
    Retype(form->DBEdtPoidsMoyen, "20");
    save(false);
    EXPECT_DOUBLE_EQ(stored("ProtidesGramme", "Litchi").toDouble(), 0.008);
}

// The keypad's point is the comma ("1.2" is 1.2, never 12); a huge value per 100 g or a piece
// weight holding a pasted NUL is refused with its field and range, nothing stored.
TEST_F(FoodEditor, NumbersTakeThePointAndStayInTheirRange) {
    newFood("Litchi", "66", "0.4", "0,8", "16.5");
    EXPECT_EQ(form->EdtLipides->text(), "0.4");
    Retype(form->EdtCalories, "1e308");   // letters refused as typed: 1308 kcal is left
    EXPECT_EQ(form->EdtCalories->text(), "1308");
    save(true);
    EXPECT_EQ(log.texts.last(), "        Calories (kcal) : « 1308 » n'est pas un nombre de 0 à 900 kcal."
                                "        Création annulée !");
    form->EdtCalories->clear();
    Paste(form->EdtCalories, "1e308");
    save(true);
    EXPECT_TRUE(log.texts.last().startsWith("        Calories (kcal) : « 1e308 »")) << log.texts.last().toStdString();
    Retype(form->EdtCalories, "66");
    Paste(form->DBEdtPoidsMoyen, QString("2") + QChar(0) + "0");
    save(true);
    EXPECT_TRUE(log.texts.last().startsWith("        Poids moyen (g) : « 2\uFFFD0 » n'est pas un nombre de 0 à 10000 g."))
        << log.texts.last().toStdString();
    EXPECT_TRUE(stored("IdAliment", "Litchi").isNull());
    Retype(form->DBEdtPoidsMoyen, "20.5");
    save(false);
    EXPECT_DOUBLE_EQ(stored("LipidesGramme", "Litchi").toDouble(), 0.004);
    EXPECT_DOUBLE_EQ(stored("GlucidesGramme", "Litchi").toDouble(), 0.165);
    EXPECT_DOUBLE_EQ(stored("PoidsMoyen", "Litchi").toDouble(), 20.5);
}

TEST_F(FoodEditor, ACategoryChosenAfterNouveauReceivesTheFood) {
    form->BtnNouveau->click();
    chooseCategory("Légumes");
    EXPECT_TRUE(names().contains("Kiwi"));   // the list waits for the save
    Retype(form->DBEdtNomAliment, "Poireau");
    typeValues("31", "0,3", "1,5", "7");
    save(false);
    EXPECT_EQ(stored("IdCatAliment", "Poireau").toInt(), 2);
    EXPECT_EQ(names(), (QStringList{"Carotte", "Poireau", "Pomme de terre", "Tomate"}));
}

// Refused from the list: the change is dropped and the clicked food shown. Refused from
// "Enregistrer": the typing stays, and leaving the food asks again.
TEST_F(FoodEditor, ARefusedSaveFromTheListMovesFromEnregistrerKeeps) {
    clickFood("Kiwi");
    typeValues("61", "90", "20", "14");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    clickFood("Mangue");
    EXPECT_EQ(log.texts.last(), k100g);
    EXPECT_EQ(form->DBEdtNomAliment->text(), "Mangue");
    EXPECT_EQ(form->EdtLipides->text(), "0,4");
    EXPECT_DOUBLE_EQ(stored("LipidesGramme", "Kiwi").toDouble(), 0.005);

    typeValues("60", "90", "20", "15");
    save(true);
    EXPECT_EQ(form->EdtLipides->text(), "90");
    EXPECT_TRUE(form->FoodModified);
    AnswerNextMessage(log, "BtnNon");
    clickFood("Kiwi");
    EXPECT_EQ(log.captions.last(), "Modification d'enregistrement");
    EXPECT_DOUBLE_EQ(stored("LipidesGramme", "Mangue").toDouble(), 0.004);
}

// A food a recipe uses stays, with its message; a deletion held off by another program's lock
// says so instead; a shipped food can be neither deleted nor changed.
TEST_F(FoodEditor, RefusedDeletionsAndChangesOfShippedFoods) {
    ASSERT_EQ(openDatabase(folder().dataDir(), 100), QString());
    form->FormActivate();
    clickFood("Mangue");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder().dbPath().toUtf8().constData(), &other), SQLITE_OK);
    sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    form->BtnSupprimer->click();
    sqlite3_close(other);
    EXPECT_TRUE(log.texts.last().contains("utilisée par un autre programme")) << log.texts.last().toStdString();
    EXPECT_EQ(names().size(), 5);

    clickFood("Kiwi");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    form->BtnSupprimer->click();
    EXPECT_EQ(log.captions.last(), "Suppression impossible");
    EXPECT_EQ(log.icons.mid(log.count() - 2), (QStringList{"QUESTION", "EXLAMATION"}));
    EXPECT_TRUE(log.texts.last().startsWith("        Cet aliment est utilisé dans une ou plusieurs recettes"));
    EXPECT_EQ(names().size(), 5);
    EXPECT_EQ(stored("IdAliment", "Kiwi").toInt(), 20);

    clickFood("Pomme");
    AnswerNextMessage(log);
    form->BtnSupprimer->click();
    EXPECT_EQ(log.captions.last(), "Suppression impossible");
    EXPECT_TRUE(log.texts.last().startsWith("        Vous ne pouvez pas supprimer cet aliment !"));
    EXPECT_EQ(log.icons.last(), "EXLAMATION");

    Retype(form->EdtCalories, "60");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    form->BtnEnregistrer->click();
    EXPECT_EQ(log.captions.last(), "Modification impossible");
    EXPECT_EQ(log.icons.mid(log.count() - 2), (QStringList{"QUESTION", "EXLAMATION"}));
    EXPECT_EQ(form->EdtCalories->text(), "52");
    EXPECT_DOUBLE_EQ(stored("CaloriesGramme", "Pomme").toDouble(), 0.52);
}

// The recipe editor takes the food table over: the pending change is settled first (asked), and
// the window shows its food again once active.
TEST_F(FoodEditor, HandingTheFoodTableOverSettlesTheChange) {
    clickFood("Mangue");
    Retype(form->EdtCalories, "65");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    Retype(form->EdtLipides, "99");
    Retype(form->EdtProtides, "9");
    EXPECT_FALSE(ReleaseFoodEditorFoodTable());   // refused: the table stays with the typing
    EXPECT_TRUE(form->TAliments.isActive());
    EXPECT_EQ(form->EdtLipides->text(), "99");
    AnswerNextMessage(log, "BtnNon");
    EXPECT_TRUE(ReleaseFoodEditorFoodTable());
    EXPECT_FALSE(form->TAliments.isActive());
    EXPECT_EQ(form->EdtCalories->text(), "");
    form->FormActivate();
    EXPECT_EQ(form->DBEdtNomAliment->text(), "Mangue");
    EXPECT_EQ(form->EdtCalories->text(), "60");
    form.reset();
    EXPECT_EQ(FoodEditorFoodTable, nullptr);
}

// Shutting the program down with a change pending asks about it first; a change that cannot be
// saved keeps the window, and so the program, open.
TEST_F(FoodEditor, ClosingTheFrameWithAPendingChangeAsksFirst) {
    form.reset();
    Query::execute("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                   "ProtidesGramme, GlucidesGramme, DroitsModifUtilisateur, IdCatAliment) "
                   "VALUES (30, 'Avoine', 3.9, 0.07, 0.17, 0.66, 1, 5)");
    auto* frame = new TFVivanda();
    QPointer<TFEditionAliments> editor = static_cast<TFEditionAliments*>(CreateEditionAliments());
    if (!editor->FoodEditorActivated) editor->FormActivate();
    ASSERT_EQ(editor->DBEdtNomAliment->text(), "Avoine");
    Retype(editor->EdtLipides, "95");
    AnswerNextMessage(log, "BtnOui");
    AnswerNextMessage(log);
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(log.captions, (QStringList{"Modification d'enregistrement", "Erreur d'enregistrement"}));
    ASSERT_FALSE(editor.isNull());
    EXPECT_EQ(editor->EdtLipides->text(), "95");
    EXPECT_TRUE(databaseIsOpen());

    AnswerNextMessage(log, "BtnNon");
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(editor.isNull());
    delete frame;
    ASSERT_TRUE(openDatabase(folder().dataDir()).isEmpty());
    EXPECT_DOUBLE_EQ(stored("LipidesGramme", "Avoine").toDouble(), 0.07);
}

}  // namespace

// Each value reads on one line with its label: the label to the left of its edit, its text
// centred on the edit's within 2 pixels, the lines one under the other in the order typed.
TEST_F(FoodEditor, EachValueLabelStandsOnTheLineOfItsEdit) {
    const std::pair<QLabel*, QWidget*> lines[] = {{form->LblCalories, form->EdtCalories}, {form->LblLipides, form->EdtLipides},
                                                  {form->LblProtides, form->EdtProtides}, {form->LblGlucides, form->EdtGlucides},
                                                  {form->LblPoidsMoyen, form->DBEdtPoidsMoyen}};
    int previousBottom = 0;
    for (const auto& [label, edit] : lines) {
        const QRect l(label->mapTo(form.get(), QPoint()), label->size());
        const QRect e(edit->mapTo(form.get(), QPoint()), edit->size());
        EXPECT_LT(l.right(), e.left()) << label->text().toStdString();
        EXPECT_NEAR(l.center().y(), e.center().y(), 2) << label->text().toStdString();
        EXPECT_GT(e.top(), previousBottom) << label->text().toStdString();
        previousBottom = e.bottom();
    }
}
