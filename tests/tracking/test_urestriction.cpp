#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "platform/Modal.h"
#include "support/ConsoWindowTest.h"
#include "support/MessageScript.h"
#include "support/Typing.h"
#include "tracking/Urestriction.h"

namespace {

// Category 1 lists Pomme (52 kcal per 100 g), Orange (47), Banane (89) and the recipe "Salade de
// fruits" (61.5); category 2 Carotte (41), Tomate (18) and Pomme de terre (77).
class Restriction : public ConsoWindowTest {
protected:
    void SetUp() override {
        ConsoWindowTest::SetUp();
        dialog = std::make_unique<TFRestriction>();
        FRestriction = dialog.get();
    }
    void TearDown() override {
        ConsoWindowTest::TearDown();
        dialog.reset();
    }
    QStringList listed() const {
        QStringList out;
        for (int i = 0; i < form->LboxAliments->count(); ++i) out << form->LboxAliments->item(i)->text();
        return out;
    }
    // Opens the dialog from the window; `steps` run while it is shown.
    void restrict(const std::function<void(TFRestriction&)>& steps) {
        modal::pushHandler([&](modal::Call&) {
            EXPECT_EQ(TFConsoJournaliere::SkipActivationAfterRestriction, 1);
            steps(*dialog);
        });
        form->BtnLimiterClick();
        EXPECT_EQ(TFConsoJournaliere::SkipActivationAfterRestriction, 0);
    }
    // A bound typed by the user; comparator -1 leaves the box alone.
    static void bound(QComboBox* box, int comparator, QLineEdit* edit, const QString& text) {
        if (comparator >= 0) box->setCurrentIndex(comparator);
        edit->clear();
        if (text.contains(QChar(0)))
            Paste(edit, text);   // a NUL comes from a paste only
        else
            QTest::keyClicks(edit, text);
        if (text.isEmpty()) edit->setModified(true);   // typed, then rubbed out
    }
    std::unique_ptr<TFRestriction> dialog;
};

}  // namespace

TEST_F(Restriction, BoundsRebuildTheListAndStayForEveryCategoryUntilLifted) {
    open();
    // At most Pomme's 52 kcal: Pomme stays; a comparator without a value bounds nothing.
    restrict([](TFRestriction& d) {
        bound(d.CBoxSuppInfCalories, 0, d.EdtCalories, "52");
        d.CBoxSuppInfProtides->setCurrentIndex(0);
        d.BtnOK->click();
    });
    EXPECT_EQ(listed(), (QStringList{"Orange", "Pomme"}));
    EXPECT_EQ(form->LboxAliments->currentRow(), 0);
    form->CboxCategories->setCurrentIndex(1);
    form->CboxCategoriesClick();
    EXPECT_EQ(listed(), (QStringList{"Carotte", "Tomate"}));

    // Simple foods only, no bound: the recipe goes, Banane comes back.
    form->CboxCategories->setCurrentIndex(0);
    form->CboxCategoriesClick();
    restrict([](TFRestriction& d) {
        d.RbtnAlimentsSimples->click();
        d.BtnOK->click();
    });
    EXPECT_EQ(listed(), (QStringList{"Banane", "Orange", "Pomme"}));

    // Escape applies nothing chosen: the next category still leaves the recipes out.
    restrict([](TFRestriction& d) {
        d.RbtnAlimentsEtRecettes->click();
        bound(d.CBoxSuppInfCalories, 1, d.EdtCalories, "500");
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(listed(), (QStringList{"Banane", "Orange", "Pomme"}));
    form->CboxCategoriesClick();
    EXPECT_EQ(listed(), (QStringList{"Banane", "Orange", "Pomme"}));

    // Every showing starts afresh; "OK" with nothing chosen lifts the restriction. The item
    // chosen by the search and the search typed stay.
    form->EditRechAliment->setText("Po");
    restrict([](TFRestriction& d) {
        EXPECT_TRUE(d.RbtnAlimentsEtRecettes->isChecked());
        EXPECT_EQ(d.CBoxSuppInfCalories->currentIndex(), -1);
        EXPECT_TRUE(d.EdtCalories->text().isEmpty());
        d.BtnOK->click();
    });
    EXPECT_EQ(listed(), (QStringList{"Banane", "Orange", "Pomme", "Salade de fruits"}));
    EXPECT_EQ(form->LboxAliments->currentItem()->text(), "Pomme");
    EXPECT_EQ(form->EditRechAliment->text(), "Po");
    EXPECT_TRUE(TFConsoJournaliere::FoodRestrictionClause.isEmpty());
}

TEST_F(Restriction, RefusalsKeepTheDialogOpenAndNeverReachTheList) {
    open();
    const QString comparatorText = "        Vous devez sélectionner un comparateur pour une limitation\n        sur %1 !";
    const QString kCalorieRange = "        Valeur attendue : un nombre entier de 0 à 900 kcal.";
    const struct {
        int comparator;
        QString typed;
        QString message;
    } refusals[] = {
        {-1, "150", Flat(comparatorText.arg("le nombre de calories"))},
        {0, "-5", "Valeur non valide pour le nombre de calories !" + kCalorieRange},
        {0, "12,5", "        Saisie erronée !" + kCalorieRange},
        {1, "", "        Saisie erronée !" + kCalorieRange},
        {0, "2147483648", "Valeur non valide pour le nombre de calories !" + kCalorieRange},
        {0, QString("1") + QChar(0) + "2", "        Saisie erronée !" + kCalorieRange},
    };
    restrict([&](TFRestriction& d) {
        for (const auto& r : refusals) {
            bound(d.CBoxSuppInfCalories, r.comparator, d.EdtCalories, r.typed);
            AnswerNextMessage(log);
            d.BtnOK->click();
            EXPECT_TRUE(d.isVisible()) << r.typed.toStdString();
            EXPECT_EQ(log.texts.last(), r.message) << r.typed.toStdString();
        }
        // A later nutrient is checked too: proteins typed without a comparator.
        bound(d.CBoxSuppInfCalories, 0, d.EdtCalories, "100");
        bound(d.CBoxSuppInfProtides, -1, d.EdtProtides, "1");
        AnswerNextMessage(log);
        d.BtnOK->click();
        EXPECT_EQ(log.texts.last(), Flat(comparatorText.arg("la quantité de protides")));
        // Corrected: the list takes the corrected values only.
        d.CBoxSuppInfProtides->setCurrentIndex(1);
        d.BtnOK->click();
    });
    EXPECT_EQ(log.count(), 7);
    EXPECT_EQ(TFConsoJournaliere::FoodRestrictionClause.values, (QVariantList{100, 1}));
    EXPECT_EQ(listed(), (QStringList{"Banane"}));   // the one with at least 1 g of proteins
}

TEST_F(Restriction, TheDayIsReadAgainWithoutLosingARowBeingTyped) {
    open();
    form->LboxAliments->setCurrentRow(0);
    form->BtnAjouter->click();
    Table& day = form->TConsommation;
    day.edit();
    day.setValue("QuantiteGramme", 120);
    restrict([](TFRestriction& d) { d.BtnOK->click(); });
    EXPECT_FALSE(day.isEditing());
    EXPECT_EQ(Query::scalar("SELECT QuantiteGramme FROM t_consommation").toInt(), 120);
    EXPECT_TRUE(form->DBGIngredients->isEnabled());
}

// The food-kind choice and the nutrient bounds form one column, "OK" centred under it.
TEST_F(Restriction, TheTwoGroupsLineUpWithOkCentredUnderThem) {
    const QRect kind = dialog->RgpTypeAliments->geometry();
    const QRect bounds = dialog->GbxValeurNutritive->geometry();
    EXPECT_EQ(kind.left(), bounds.left());
    EXPECT_EQ(kind.right(), bounds.right());
    EXPECT_LT(kind.bottom(), bounds.top());
    EXPECT_EQ(2 * dialog->BtnOK->x() + dialog->BtnOK->width(), kind.left() + kind.right() + 1);
    EXPECT_GT(dialog->BtnOK->y(), bounds.bottom());
}
