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
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "support/OtherProgram.h"
#include "support/Typing.h"
#include "reference/Ueditionutilisateurs.h"
#include "tracking/Ucalcimc.h"

TEST(BodyMassIndex, ClassOfTheExactValue) {
    // 72.25 kg at 1.70 m is 25 exactly, although the height is not exact in single precision.
    EXPECT_EQ(BodyMassIndex(72.25f, 1.7f), 25.0);
    EXPECT_FALSE(BodyMassIndex(70, 0));   // nothing taken yet: no division by zero
    const struct { double index; const char* text; } classes[] = {
        {40, "Obésité grade III : Obésité massive ou morbide"}, {39.99, "Obésité grade II : Obésité sévère"},
        {35, "Obésité grade II : Obésité sévère"}, {34.99, "Obésité grade I : Obésité modérée ou commune"},
        {30, "Obésité grade I : Obésité modérée ou commune"}, {29.99, "Surpoids"}, {25, "Surpoids"}, {24.99, "Normal"},
        {18.5, "Normal"}, {18.49, "Dénutrition grade I"}, {17, "Dénutrition grade I"}, {16.99, "Dénutrition grade II"},
        {16, "Dénutrition grade II"}, {15.99, "Dénutrition grade III"}, {13, "Dénutrition grade III"},
        {12.99, "Dénutrition grade IV"}, {10, "Dénutrition grade IV"}, {9.99, "Dénutrition grade V"}};
    for (const auto& c : classes) EXPECT_EQ(BodyMassClass(c.index), QString::fromUtf8(c.text)) << c.index;
}

namespace {

class CalcIMC : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ImcHeight = ImcWeight = 0;
        dialog = std::make_unique<TFCalcIMC>();
        dialog->show();   // runs its activation
        dialog->activateWindow();
        QApplication::processEvents();
    }
    void TearDown() override {
        dialog.reset();
        FormTest::TearDown();
    }
    // Types into an edit and leaves it with Tab.
    void type(QLineEdit* edit, const QString& text) {
        Retype(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }
    void pick(int row) {
        QListWidget* list = dialog->LboxUtilisateurs;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    void expectResult(const char* index, const char* comment) {
        EXPECT_EQ(dialog->EdtIMC->text(), QString::fromUtf8(index));
        EXPECT_EQ(dialog->EdtCommentaire->text(), QString::fromUtf8(comment));
    }
    FrenchLocaleGuard french;
    std::unique_ptr<TFCalcIMC> dialog;
    MessageLog log;
};

}  // namespace

TEST_F(CalcIMC, TypedHeightAndWeightWithTheirBounds) {
    TFCalcIMC& d = *dialog;
    // Before any height: a message, no index.
    AnswerNextMessage(log);
    d.Button1->click();
    EXPECT_TRUE(d.EdtIMC->text().isEmpty());
    EXPECT_EQ(log.captions.last(), "Erreur de saisie");

    d.RbtnAutre->click();
    EXPECT_TRUE(d.EdtTaille->isEnabled());
    EXPECT_FALSE(d.LboxUtilisateurs->isEnabled());
    const struct {
        QLineEdit* edit;
        const char* text;
        bool accepted;
    } inputs[] = {
        {d.EdtTaille, "281", false}, {d.EdtTaille, "cent", false}, {d.EdtTaille, "170", true},
        {d.EdtPoids, "0,5", false}, {d.EdtPoids, "501", false}, {d.EdtPoids, "1", true},
        {d.EdtPoids, "500", true}, {d.EdtPoids, "70", true},
    };
    for (const auto& in : inputs) {
        if (!in.accepted) AnswerNextMessage(log);
        type(in.edit, QString::fromUtf8(in.text));
        EXPECT_EQ(in.edit->text().isEmpty(), !in.accepted) << in.text;
    }
    EXPECT_EQ(log.texts.mid(1), (QStringList{"        Taille non valide !", "        Taille non valide !",
                                             "        Poids non valide !", "        Poids non valide !"}));
    // 70 / 1.70² = 24.22: one decimal, and the class of that value.
    d.Button1->click();
    expectResult("24,2", "Normal");

    // A refused height leaves the last accepted one in force; "Autre" empties the edits only.
    AnswerNextMessage(log);
    type(d.EdtTaille, "281");
    d.RbtnSelectionListe->click();
    d.RbtnAutre->click();
    EXPECT_TRUE(d.EdtTaille->text().isEmpty());
    type(d.EdtPoids, "72,13");   // 24.958: shown cut, so never "25,0" beside "Normal"
    d.Button1->click();
    expectResult("24,9", "Normal");
    d.BtnOk->click();
    EXPECT_FALSE(d.isVisible());
}

TEST_F(CalcIMC, AUserOfTheList) {
    TFCalcIMC& d = *dialog;
    Query::execute("INSERT INTO t_utilisateurs VALUES ('Paul', 30, 0, 80, 'M'), ('Zoé', 30, 160, 0, 'F')");
    d.hide();
    d.show();
    ASSERT_EQ(d.LboxUtilisateurs->count(), 4);
    EXPECT_FALSE(d.EdtTaille->isEnabled());
    pick(1);   // Marie, 165 cm, 58 kg: 21.30
    EXPECT_EQ(d.EdtTaille->text(), "165");
    EXPECT_EQ(d.EdtPoids->text(), "58");
    d.Button1->click();
    expectResult("21,3", "Normal");

    // A user without height or weight: said so, and no result left from the one before.
    for (int row : {2, 3}) {
        AnswerNextMessage(log);
        pick(row);
        d.Button1->click();
        expectResult("", "");
        pick(1);
        d.Button1->click();
    }
    EXPECT_EQ(log.texts, (QStringList{Flat(d.MessageTable[4]), Flat(d.MessageTable[5])}));
    EXPECT_TRUE(log.texts[0].contains("La taille de cet utilisateur n'est pas renseignée"));

    // The next showing starts in list mode with empty edits and no index (none was computed
    // from them).
    d.BtnOk->click();
    modal::pushHandler([&](modal::Call&) {
        EXPECT_TRUE(d.RbtnSelectionListe->isChecked());
        EXPECT_TRUE(d.EdtPoids->text().isEmpty());
        EXPECT_TRUE(d.EdtCommentaire->text().isEmpty());
        EXPECT_EQ(d.EdtIMC->text(), "");
        d.BtnOk->click();
    });
    modal::exec(&d);
}

// A result goes as soon as the inputs it was computed from change: "Autre", a value typed, another
// user chosen.
TEST_F(CalcIMC, NoResultBesideOtherInputs) {
    TFCalcIMC& d = *dialog;
    const auto computed = [&] {
        d.Button1->click();
        EXPECT_FALSE(d.EdtIMC->text().isEmpty());
    };
    // A click on a radio button's circle.
    const auto choose = [](QRadioButton* mode) { QTest::mouseClick(mode, Qt::LeftButton, {}, QPoint(6, 8)); };
    pick(1);   // Marie
    computed();
    choose(d.RbtnAutre);
    expectResult("", "");
    type(d.EdtTaille, "170");
    type(d.EdtPoids, "70");
    computed();
    d.EdtPoids->setFocus();
    QTest::keyClick(d.EdtPoids, Qt::Key_Backspace);   // 7 kg
    expectResult("", "");
    choose(d.RbtnSelectionListe);
    pick(0);   // Jean
    computed();
    pick(1);
    expectResult("", "");
}

// Active again after the users changed, the list shows them as stored; a user renamed or deleted
// meanwhile takes the figures shown for them away, and a click on one says so and changes nothing.
TEST_F(CalcIMC, UsersFollowTheDatabase) {
    TFCalcIMC& d = *dialog;
    pick(1);   // Marie
    d.Button1->click();
    // Marie renamed in the user editor, her weight changed by another program.
    TFEditionUtilisateurs editor;
    editor.show();
    editor.FormActivate();
    QApplication::setActiveWindow(&editor);
    editor.LboxUtilisateurs->setCurrentRow(1);
    editor.LboxUtilisateursClick();
    Retype(editor.DBEdtNom, "Léa");
    AnswerNextMessage(log, "BtnOui");
    editor.BtnEnregistrer->click();
    QApplication::setActiveWindow(&d);
    EXPECT_EQ(d.LboxUtilisateurs->item(1)->text(), QStringLiteral("Léa"));
    EXPECT_TRUE(d.LboxUtilisateurs->selectedItems().isEmpty());
    EXPECT_EQ(d.EdtTaille->text(), "");
    expectResult("", "");

    pick(0);   // Jean, 75 kg
    d.Button1->click();
    WriteAsAnotherProgram(folder().dbPath(), "UPDATE t_utilisateurs SET Poids = 80 WHERE Nom = 'Jean'");
    QApplication::setActiveWindow(&editor);
    QApplication::setActiveWindow(&d);
    EXPECT_EQ(d.EdtPoids->text(), "80");
    expectResult("", "");

    // Léa deleted while the dialog is active: a click on her is refused, Jean stays chosen.
    WriteAsAnotherProgram(folder().dbPath(), "DELETE FROM t_utilisateurs WHERE Nom = 'Léa'");
    AnswerNextMessage(log);
    pick(1);
    EXPECT_EQ(d.LboxUtilisateurs->count(), 1);
    EXPECT_EQ(d.LboxUtilisateurs->currentItem()->text(), "Jean");
    EXPECT_EQ(d.EdtPoids->text(), "80");
    EXPECT_EQ(log.texts.last(), Flat("        Cet utilisateur n'existe plus dans la base de données.\n"
                                     "        Rien n'a été fait ; la liste montre maintenant ce qui est enregistré."));
}
