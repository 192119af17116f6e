#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "data/Query.h"
#include "platform/Modal.h"
#include "reference/Uconversion.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "support/OtherProgram.h"

namespace {

// A name with both kinds of quote, a measure of 15 and a density of 0.5; a food without measure.
const QString kQuoted = QStringLiteral("Pâte d'amande \"maison\"");
const QString kNoMeasure = QStringLiteral("Sel de Guérande");

QStringList items(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
    return list;
}

class ConversionVM : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        Query::execute("INSERT INTO t_densites (IdAlimentDensite, NomAlimentFrancais, Densite) VALUES (5, ?, 0.5)",
                       {kQuoted});
        Query::execute("INSERT INTO t_densites_unites_mesures (IdAlimentDensite, IdUnite) VALUES (5, 2)");
        Query::execute("INSERT INTO t_densites (IdAlimentDensite, NomAlimentFrancais, Densite) VALUES (6, ?, 1.2)",
                       {kNoMeasure});
    }
    void TearDown() override {
        dialog.reset();
        FormTest::TearDown();
    }
    TFConversionVM& create() {
        dialog = std::make_unique<TFConversionVM>();
        return *dialog;
    }
    // Shows `d` modally; `steps` run while it is shown and must close it.
    static void showing(TFConversionVM& d, const std::function<void()>& steps) {
        modal::pushHandler([&](modal::Call&) { steps(); });
        modal::exec(&d);
    }
    // Types a quantity and presses "Conversion".
    static void convert(TFConversionVM& d, const QString& quantity) {
        d.EdtQuantite->setText(quantity);
        d.BtnConversion->click();
    }
    FrenchLocaleGuard french;
    std::unique_ptr<TFConversionVM> dialog;
    MessageLog log;
};

}  // namespace

TEST_F(ConversionVM, ListsAndTheConversionFromAGrid) {
    TFConversionVM& d = create();
    // Sorted French order; the first food and its first measure are chosen at creation.
    EXPECT_EQ(items(d.LboxAliments), QStringList({"Farine", "Huile", "Lait", kQuoted, kNoMeasure, "Sucre en poudre"}));
    EXPECT_EQ(d.LboxAliments->currentText(), QStringLiteral("Farine"));
    EXPECT_EQ(items(d.LboxUnites), QStringList({"Cuillère à café", "Cuillère à soupe"}));

    // A grid asks for the food with quotes in its name: it is preselected with its one measure.
    d.CalledFromGrid = 1;
    d.InitialFood = kQuoted;
    showing(d, [&] {
        EXPECT_EQ(d.LboxAliments->currentText(), kQuoted);
        EXPECT_EQ(items(d.LboxUnites), QStringList({"Cuillère à soupe"}));
        convert(d, "3");
        EXPECT_EQ(d.EdtPoids->text(), QStringLiteral("22,50"));
        d.BtnOk->click();
    });
    EXPECT_EQ(d.Validated, 1);
    EXPECT_DOUBLE_EQ(d.ConvertedWeight, 22.5);
    EXPECT_FALSE(d.isVisible());

    // Changing the quantity without converting again returns the last conversion.
    showing(d, [&] {
        convert(d, "1,5");
        EXPECT_DOUBLE_EQ(d.ConvertedWeight, 15 * 0.5 * 1.5);
        d.EdtQuantite->setText("4");
        d.LboxAliments->setCurrentIndex(0);
        d.LboxAliments->activated(0);  // another food chosen: the measures follow it
        EXPECT_EQ(d.LboxUnites->currentText(), QStringLiteral("Cuillère à café"));
        d.BtnOk->click();
    });
    EXPECT_DOUBLE_EQ(d.ConvertedWeight, 11.25);
}

TEST_F(ConversionVM, QuantityRefusals) {
    TFConversionVM& d = create();
    d.InitialFood = QStringLiteral("Lait");
    showing(d, [&] {
        for (const char* bad : {"", "abc", "-2", "1e308", "inf"}) {
            AnswerNextMessage(log);
            convert(d, QString::fromUtf8(bad));
        }
        convert(d, "1.5");  // the keypad's point reads as the comma
        EXPECT_DOUBLE_EQ(d.ConvertedWeight, 1.5 * 15 * 1.03);
        convert(d, "2");  // Lait, Cuillère à soupe: 2 x 15 x 1.03
        EXPECT_DOUBLE_EQ(d.ConvertedWeight, 2 * 15 * 1.03);
        // A refused conversion leaves both edits and the weight as they were.
        AnswerNextMessage(log);
        convert(d, "x");
        EXPECT_EQ(d.EdtQuantite->text(), QStringLiteral("x"));
        EXPECT_EQ(d.EdtPoids->text(), QStringLiteral("30,90"));
        EXPECT_DOUBLE_EQ(d.ConvertedWeight, 2 * 15 * 1.03);
        d.BtnOk->click();
    });
    const QString invalid = "        Valeur non valide pour la quantité !        Valeur attendue : un nombre de 0 à 1000.";
    EXPECT_EQ(log.texts, QStringList({"        Vous devez saisir une quantité !", invalid, invalid, invalid, invalid,
                                      invalid}));
    EXPECT_EQ(log.captions, QStringList(6, "Erreur de saisie !"));
}

TEST_F(ConversionVM, GridProtocolAndMenu) {
    TFConversionVM& d = create();
    d.CalledFromGrid = 1;
    d.InitialFood = QStringLiteral("Huile");
    // From a grid, Ok needs a positive weight of this showing: none yet, then 0.
    showing(d, [&] {
        AnswerNextMessage(log);
        d.BtnOk->click();
        EXPECT_TRUE(d.isVisible());
        convert(d, "0");
        EXPECT_EQ(d.EdtPoids->text(), QStringLiteral("0"));
        AnswerNextMessage(log);
        d.BtnOk->click();
        EXPECT_TRUE(d.isVisible());
        convert(d, "1");
        d.BtnOk->click();
    });
    EXPECT_EQ(d.Validated, 1);
    EXPECT_DOUBLE_EQ(d.ConvertedWeight, 5 * 0.92);  // Cuillère à café comes first
    ASSERT_EQ(log.count(), 2);
    EXPECT_EQ(log.texts[0], Flat("        Vous devez saisir une quantité et cliquer sur le bouton\n        conversion !"));

    // The next showing starts over: empty edits, no weight, and Annuler answers 0.
    showing(d, [&] {
        EXPECT_TRUE(d.EdtQuantite->text().isEmpty());
        EXPECT_TRUE(d.EdtPoids->text().isEmpty());
        EXPECT_EQ(d.ConvertedWeight, 0);
        AnswerNextMessage(log);
        d.BtnOk->click();
        d.BtnAnnule->click();
    });
    EXPECT_EQ(d.Validated, 0);
    EXPECT_EQ(log.count(), 3);

    // An initial food that differs in letter case preselects nothing: the last food stays.
    d.InitialFood = QStringLiteral("lait");
    // The menu: a free conversion, Annuler disabled, Ok closes even without a weight.
    FConversionVM = &d;
    modal::pushHandler([&](modal::Call&) {
        EXPECT_FALSE(d.BtnAnnule->isEnabled());
        EXPECT_EQ(d.LboxAliments->currentText(), QStringLiteral("Huile"));
        d.BtnOk->click();
    });
    ShowConversionFromMenu();
    EXPECT_EQ(d.CalledFromGrid, 0);
    EXPECT_EQ(d.Validated, 1);
    EXPECT_EQ(d.ConvertedWeight, 0);
}

TEST_F(ConversionVM, EnterConvertsAndMovesToOk) {
    TFConversionVM& d = create();
    showing(d, [&] {
        d.activateWindow();
        d.EdtQuantite->setFocus();
        d.EdtQuantite->setText("2");
        QTest::keyClick(d.EdtQuantite, Qt::Key_Return);
        EXPECT_DOUBLE_EQ(d.ConvertedWeight, 2 * 5 * 0.55);  // Farine, Cuillère à café
        EXPECT_TRUE(d.isVisible());                          // Enter does not close the dialog
        EXPECT_EQ(d.focusWidget(), d.BtnOk);
        // A failed conversion moves the focus too.
        d.EdtQuantite->setFocus();
        d.EdtQuantite->clear();
        AnswerNextMessage(log);
        QTest::keyClick(d.EdtQuantite, Qt::Key_Enter);
        EXPECT_EQ(d.focusWidget(), d.BtnOk);
        QTest::keyClick(d.BtnOk, Qt::Key_Return);  // Enter on the focused Ok presses it
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(d.Validated, 1);
}

TEST_F(ConversionVM, FoodWithoutMeasureAndNoFoodAtAll) {
    TFConversionVM& d = create();
    d.InitialFood = kNoMeasure;
    showing(d, [&] {
        EXPECT_EQ(d.LboxUnites->count(), 0);
        AnswerNextMessage(log);
        convert(d, "2");
        EXPECT_EQ(d.ConvertedWeight, 0);
        EXPECT_TRUE(d.EdtPoids->text().isEmpty());
        d.BtnOk->click();
    });
    EXPECT_EQ(log.texts, QStringList{"        Aucune unité de mesure n'est disponible pour cet aliment !"});

    // An empty food table: the dialog opens with empty lists and refuses every conversion.
    Query::execute("DELETE FROM t_densites_unites_mesures");
    Query::execute("DELETE FROM t_densites");
    TFConversionVM& empty = create();
    EXPECT_EQ(empty.LboxAliments->count(), 0);
    empty.InitialFood = QStringLiteral("Lait");
    showing(empty, [&] {
        AnswerNextMessage(log);
        convert(empty, "1");
        empty.LboxAliments->activated(0);
        EXPECT_EQ(empty.LboxUnites->count(), 0);
        empty.BtnOk->click();
    });
    ASSERT_EQ(log.count(), 2);
    EXPECT_EQ(log.texts[1], "        Aucun aliment n'est disponible pour la conversion !");
    EXPECT_EQ(empty.ConvertedWeight, 0);
}

// Shown again or active again after another program changed the foods and measures, the dialog
// lists them as stored, keeping the food chosen (renamed or not) and its measure, and converts with
// the stored density; a food picked after it went is refused with a word.
TEST_F(ConversionVM, ListsFollowTheDatabase) {
    TFConversionVM& d = create();
    d.InitialFood = QStringLiteral("Huile");
    showing(d, [&] { d.BtnOk->click(); });
    const QString db = folder().dbPath();
    WriteAsAnotherProgram(db, "UPDATE t_densites SET NomAlimentFrancais = 'Huile d''olive' WHERE IdAlimentDensite = 4; "
                              "INSERT INTO t_densites (IdAlimentDensite, NomAlimentFrancais, Densite) VALUES (8, 'Miel', 1.4); "
                              "INSERT INTO t_densites_unites_mesures VALUES (8, 1)");
    QWidget elsewhere;
    elsewhere.show();
    showing(d, [&] {
        EXPECT_EQ(items(d.LboxAliments), QStringList({"Farine", "Huile d'olive", "Lait", "Miel", kQuoted, kNoMeasure,
                                                      "Sucre en poudre"}));
        EXPECT_EQ(d.LboxAliments->currentText(), QStringLiteral("Huile d'olive"));
        QApplication::setActiveWindow(&d);
        WriteAsAnotherProgram(db, "UPDATE t_densites SET Densite = 1 WHERE IdAlimentDensite = 4");
        QApplication::setActiveWindow(&elsewhere);
        QApplication::setActiveWindow(&d);
        convert(d, "2");   // Cuillère à café
        EXPECT_DOUBLE_EQ(d.ConvertedWeight, 2 * 5 * 1.0);
        // Farine loses its measures while the dialog is up, then is picked from the keyboard.
        WriteAsAnotherProgram(db, "DELETE FROM t_densites_unites_mesures WHERE IdAlimentDensite = 2; "
                                  "DELETE FROM t_densites WHERE IdAlimentDensite = 2");
        AnswerNextMessage(log);
        d.LboxAliments->setFocus();
        QTest::keyClick(d.LboxAliments, Qt::Key_F);
        EXPECT_EQ(d.LboxAliments->currentText(), QStringLiteral("Huile d'olive"));
        EXPECT_EQ(d.LboxAliments->findText(QStringLiteral("Farine")), -1);
        d.BtnOk->click();
    });
    ASSERT_EQ(log.count(), 1);
    EXPECT_TRUE(log.texts[0].startsWith(QStringLiteral("        Cet aliment n'a plus d'unité de mesure")));

    // A grid asks for a food given measures since: it is offered.
    WriteAsAnotherProgram(db, "INSERT INTO t_densites (IdAlimentDensite, NomAlimentFrancais, Densite) "
                              "VALUES (9, 'Cacao', 0.5); INSERT INTO t_densites_unites_mesures VALUES (9, 1)");
    FConversionVM = &d;
    modal::pushHandler([&](modal::Call&) {
        EXPECT_EQ(d.LboxAliments->currentText(), QStringLiteral("Cacao"));
        convert(d, "1");
        d.BtnOk->click();
    });
    EXPECT_EQ(ConvertForGrid(QStringLiteral("Cacao")), std::optional<double>(5 * 0.5));
}
