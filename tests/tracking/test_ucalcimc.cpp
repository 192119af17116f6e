#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>

#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "tracking/Ucalcimc.h"

TEST(BodyMassIndex, RaisedToTheNextWholeNumberAndClassed) {
    // 70 / 1.75² = 22.86; 58 kg gives 18.94 and 56 kg 18.29, both 19.
    EXPECT_EQ(BodyMassIndex(70, 1.75f), 23);
    EXPECT_EQ(BodyMassIndex(58, 1.75f), 19);
    EXPECT_EQ(BodyMassIndex(56, 1.75f), 19);
    EXPECT_EQ(BodyMassIndex(500, 0.26f), 7397);   // 7396.4
    // Nothing taken yet: no index rather than a division by zero.
    EXPECT_FALSE(BodyMassIndex(70, 0));
    EXPECT_FALSE(BodyMassIndex(0, 1.75f));

    const struct {
        int index;
        const char* text;
    } classes[] = {
        {41, "Obésité grade III : Obésité massive ou morbide"}, {40, "Obésité grade III : Obésité massive ou morbide"},
        {39, "Obésité grade II : Obésité sévère"}, {35, "Obésité grade II : Obésité sévère"},
        {34, "Obésité grade I : Obésité modérée ou commune"}, {30, "Obésité grade I : Obésité modérée ou commune"},
        {29, "Surpoids"}, {25, "Surpoids"}, {24, "Normal"}, {19, "Normal"},
        {18, "Dénutrition grade I"}, {17, "Dénutrition grade I"}, {16, "Dénutrition grade II"},
        {15, "Dénutrition grade III"}, {13, "Dénutrition grade III"}, {12, "Dénutrition grade IV"},
        {10, "Dénutrition grade IV"}, {9, "Dénutrition grade V"}, {0, "Dénutrition grade V"},
    };
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
    }
    void TearDown() override {
        dialog.reset();
        FormTest::TearDown();
    }
    void type(QLineEdit* edit, const QString& text) {
        edit->setText(text);
        edit == dialog->EdtTaille ? dialog->EdtTailleExit() : dialog->EdtPoidsExit();
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
        {d.EdtTaille, "281", false}, {d.EdtTaille, "cent", false}, {d.EdtTaille, "175", true},
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
    d.Button1->click();
    EXPECT_EQ(d.EdtIMC->text(), "23");
    EXPECT_EQ(d.EdtCommentaire->text(), "Normal");

    // A refused height leaves the last accepted one in force (281 cm would give 9); "Autre"
    // empties the edits only.
    AnswerNextMessage(log);
    type(d.EdtTaille, "281");
    d.Button1->click();
    EXPECT_EQ(d.EdtIMC->text(), "23");
    d.RbtnSelectionListe->click();
    d.RbtnAutre->click();
    EXPECT_TRUE(d.EdtTaille->text().isEmpty());
    type(d.EdtPoids, "56");
    d.Button1->click();
    EXPECT_EQ(d.EdtIMC->text(), "19");
    d.BtnOk->click();
    EXPECT_FALSE(d.isVisible());
}

TEST_F(CalcIMC, AUserOfTheList) {
    TFCalcIMC& d = *dialog;
    ASSERT_EQ(d.LboxUtilisateurs->count(), 2);
    EXPECT_FALSE(d.EdtTaille->isEnabled());
    d.LboxUtilisateurs->setCurrentRow(1);   // Marie, 165 cm, 58 kg: 21.3
    EXPECT_EQ(d.EdtTaille->text(), "165");
    EXPECT_EQ(d.EdtPoids->text(), "58");
    d.Button1->click();
    EXPECT_EQ(d.EdtIMC->text(), "22");

    // The next showing starts in list mode with empty edits; the index stays on show.
    d.RbtnAutre->click();
    d.BtnOk->click();
    modal::pushHandler([&](modal::Call&) {
        EXPECT_TRUE(d.RbtnSelectionListe->isChecked());
        EXPECT_TRUE(d.EdtPoids->text().isEmpty());
        EXPECT_TRUE(d.EdtCommentaire->text().isEmpty());
        EXPECT_EQ(d.EdtIMC->text(), "22");
        d.BtnOk->click();
    });
    modal::exec(&d);
}
