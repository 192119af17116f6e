#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "app/Startup.h"
#include "data/Query.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"
#include "platform/Modal.h"
#include "reference/Uconversionmv.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "support/OtherProgram.h"

TEST(GramsToMeasures, DividesByTheMeasureOfTheFood) {
    EXPECT_DOUBLE_EQ(*GramsToMeasures(100, 20, 1), 5);
    EXPECT_DOUBLE_EQ(*GramsToMeasures(22.5, 15, 0.5), 3);
    EXPECT_DOUBLE_EQ(*GramsToMeasures(0, 20, 1), 0);
    // A measure or a density of 0 makes no number of measures.
    EXPECT_FALSE(GramsToMeasures(100, 0, 1));
    EXPECT_FALSE(GramsToMeasures(100, 20, 0));
}

// Opened from the menu under each of the five languages, the dialog shows its title whole and
// keeps as wide a margin right of its lists and Ok as left of them.
TEST(ConversionMVFromTheMenu, TitleWholeAndEvenMarginsInEveryLanguage) {
    for (const int code : {0, 200, 400, 600, 800}) {
        SCOPED_TRACE(code);
        TestDataFolder folder(false);
        QFile language("Langue.dat");
        ASSERT_TRUE(language.open(QIODevice::WriteOnly) &&
                    language.write(reinterpret_cast<const char*>(&code), 4) == 4);   // little-endian
        language.close();
        modal::clearHandlers();
        CreateLongLivedForms();
        appState().StartupModule = 0;
        FVivanda->FormActivate();
        ASSERT_EQ(appState().LanguageCode, code);
        bool shown = false;
        modal::pushHandler([&](modal::Call& c) {
            auto* d = qobject_cast<TFConversionMV*>(c.dialog);
            ASSERT_NE(d, nullptr);
            shown = true;
            EXPECT_GE(d->width(), CaptionWidth(d->windowTitle(), d->font()) + kTitleBarRoom);
            for (QWidget* w : {static_cast<QWidget*>(d->LboxAliments), static_cast<QWidget*>(d->LboxUnites),
                               static_cast<QWidget*>(d->BtnOk)})
                EXPECT_EQ(d->width() - (w->x() + w->width()), d->LboxAliments->x()) << w->objectName().toStdString();
            c.dialog->reject();
        });
        FVivanda->menuItem("ConversionMV")->trigger();
        EXPECT_TRUE(shown);
        EXPECT_EQ(modal::pendingHandlers(), 0);
        delete FVivanda;
    }
}

namespace {

// "Eau d'Évian" (density 1) has the measure "Flacon 20 ml" (20) and "Dosette vide" (0).
class ConversionMV : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        Query::execute("INSERT INTO t_densites (IdAlimentDensite, NomAlimentFrancais, Densite) VALUES (7, ?, 1)",
                       {QStringLiteral("Eau d'Évian")});
        Query::execute("INSERT INTO t_unites_mesures (IdUnite, NomUnite, ValeurUnite) VALUES (8, 'Flacon 20 ml', 20)");
        Query::execute("INSERT INTO t_unites_mesures (IdUnite, NomUnite, ValeurUnite) VALUES (9, 'Dosette vide', 0)");
        Query::execute("INSERT INTO t_densites_unites_mesures (IdAlimentDensite, IdUnite) VALUES (7, 8), (7, 9)");
        dialog = std::make_unique<TFConversionMV>();
    }
    void TearDown() override {
        dialog.reset();
        FormTest::TearDown();
    }
    void choose(QComboBox* box, const QString& text) {
        box->setCurrentIndex(box->findText(text));
        box->activated(box->currentIndex());
    }
    void convert(const QString& grams) {
        dialog->EdtQuantite->setText(grams);
        dialog->BtnConversion->click();
    }
    FrenchLocaleGuard french;
    std::unique_ptr<TFConversionMV> dialog;
    MessageLog log;
};

}  // namespace

TEST_F(ConversionMV, GramsBecomeMeasuresAndErrorsEmptyTheEdits) {
    TFConversionMV& d = *dialog;
    EXPECT_FALSE(d.BtnAnnule->isVisibleTo(&d));
    modal::pushHandler([&](modal::Call&) {
        // A name with a quote lists its measures.
        choose(d.LboxAliments, QStringLiteral("Eau d'Évian"));
        EXPECT_EQ(d.LboxUnites->count(), 2);
        choose(d.LboxUnites, "Flacon 20 ml");
        convert("100");
        EXPECT_EQ(d.EdtVolume->text(), "5");
        EXPECT_DOUBLE_EQ(d.ConvertedWeight, 5);
        convert("0");
        EXPECT_EQ(d.EdtVolume->text(), "0");

        // Each refusal shows its message, then both edits are empty.
        const struct {
            const char* measure;
            const char* grams;
            const char* message;
        } refusals[] = {
            {"Flacon 20 ml", "", "        Vous devez saisir une quantité !"},
            {"Flacon 20 ml", "-3", "        Valeur non valide pour la quantité !        Valeur attendue : un nombre de 0 à 10000 g."},
            {"Flacon 20 ml", "dix", "        Valeur non valide pour la quantité !        Valeur attendue : un nombre de 0 à 10000 g."},
            {"Flacon 20 ml", "1e308", "        Valeur non valide pour la quantité !        Valeur attendue : un nombre de 0 à 10000 g."},
            {"Dosette vide", "100", "        Valeur non valide pour la quantité !"},
        };
        for (const auto& r : refusals) {
            choose(d.LboxUnites, "Flacon 20 ml");
            convert("50");
            choose(d.LboxUnites, r.measure);
            AnswerNextMessage(log);
            convert(QString::fromUtf8(r.grams));
            EXPECT_EQ(log.texts.last(), QString::fromUtf8(r.message)) << r.grams;
            EXPECT_TRUE(d.EdtQuantite->text().isEmpty()) << r.grams;
            EXPECT_TRUE(d.EdtVolume->text().isEmpty()) << r.grams;
        }
        EXPECT_EQ(log.captions, QStringList(5, "Erreur de saisie !"));

        // Enter converts; Ok closes whatever the edits hold.
        choose(d.LboxUnites, "Flacon 20 ml");
        d.EdtQuantite->setText("30");
        QTest::keyClick(d.EdtQuantite, Qt::Key_Return);
        EXPECT_EQ(d.EdtVolume->text(), "1,50");
        d.EdtQuantite->setText("30.5");   // the keypad's point reads as the comma
        d.EdtQuantite->setFocus();
        QTest::keyClick(d.EdtQuantite, Qt::Key_Return);
        EXPECT_EQ(d.EdtVolume->text(), "1,53");
        d.EdtQuantite->setText("n'importe quoi");
        d.BtnOk->click();
    });
    modal::exec(&d);
    EXPECT_EQ(d.Validated, 1);

    // The next showing starts with empty edits, on the food and measure of the last use.
    modal::pushHandler([&](modal::Call&) {
        EXPECT_TRUE(d.EdtQuantite->text().isEmpty());
        EXPECT_EQ(d.LboxUnites->currentText(), "Flacon 20 ml");
        d.BtnOk->click();
    });
    modal::exec(&d);
}

// Shown again after another program changed a measure, the dialog lists it and converts with it.
// Each field of the dialog is named by a label in the same bold type as the others.
TEST_F(ConversionMV, EveryLabelIsBold) {
    for (QLabel* label : {dialog->LblAliment, dialog->LblPoids, dialog->LblUnite, dialog->LblQuantite}) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_TRUE(label->font().bold());
    }
}

TEST_F(ConversionMV, MeasuresFollowTheDatabase) {
    TFConversionMV& d = *dialog;
    modal::pushHandler([&](modal::Call&) { d.BtnOk->click(); });
    modal::exec(&d);
    WriteAsAnotherProgram(folder().dbPath(),
                          "UPDATE t_unites_mesures SET NomUnite = 'Flacon 25 ml', ValeurUnite = 25 WHERE IdUnite = 8");
    modal::pushHandler([&](modal::Call&) {
        choose(d.LboxAliments, QStringLiteral("Eau d'Évian"));
        choose(d.LboxUnites, QStringLiteral("Flacon 25 ml"));
        convert("100");
        EXPECT_EQ(d.EdtVolume->text(), QStringLiteral("4"));
        d.BtnOk->click();
    });
    modal::exec(&d);
}
