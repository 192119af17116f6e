#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "data/Query.h"
#include "frame/AppState.h"
#include "platform/Modal.h"
#include "platform/report/ReportPainter.h"
#include "reference/Uqraffirecette.h"
#include "reference/Urecettes.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"

using report::PlanItem;
using report::ReportPlan;

namespace {

// A recipe of two ingredients whose calories add up to 1234.567 kcal: 150 g of apple at
// 0.52 kcal/g (78 kcal) and 1156.567 g of a food at 1 kcal/g.
class RecipeSheet : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        Query::execute("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                       "ProtidesGramme, GlucidesGramme, Usuel, IdCatAliment) VALUES (15, 'Farine', 1.0, 0.01, 0.1, 0.7, 1, 5)");
        Query::execute("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais, DescRecetteFrancais, TempsPreparation, "
                       "Image) VALUES (8, 'Tarte d''essai', ?, '00:30:00', ?)",
                       {QStringLiteral("{\\rtf1\\ansi {\\b Cr\\'e8me} fouett\\'e9e\\par Cuire 30 minutes.}"),
                        QStringLiteral("absente.jpg")});
        Query::execute("INSERT INTO t_ingredients_recettes VALUES (8, 1, 150), (8, 15, 1156.567)");
        appState().ImagesDirectory = folder().root() + QStringLiteral("/Images");
        sheet = std::make_unique<TFQRAffiRecette>();
        search = std::make_unique<TFRecettes>();
        search->FormActivate();
    }
    void TearDown() override {
        search.reset();
        sheet.reset();
        FormTest::TearDown();
    }
    // Finds the recipe, chooses the servings and shows the sheet; the preview is closed at once.
    void show(const QString& name, int servings) {
        search->EdtDebutNom->setText(name);
        search->BtnRechercher->click();
        ASSERT_EQ(search->LboxRecettes->count(), 1);
        QListWidget* list = search->LboxRecettes;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        search->CBoxNbParts->setCurrentIndex(servings - 1);
        modal::pushHandler([](modal::Call& c) { c.result = 0; });
        search->BtnAfficher->click();
        EXPECT_EQ(modal::pendingHandlers(), 0) << "no preview shown";
    }
    static QStringList texts(const ReportPlan& plan, const QString& name) {
        QStringList out;
        for (const PlanItem& item : plan.named(name)) out << item.text;
        return out;
    }
    std::unique_ptr<TFQRAffiRecette> sheet;
    std::unique_ptr<TFRecettes> search;
};

TEST_F(RecipeSheet, TotalsAndValuesPerPersonForFourServings) {
    show(QStringLiteral("tarte d'ess"), 4);
    const ReportPlan plan = sheet->LayOut(QLocale::c());
    ASSERT_TRUE(plan.errors.isEmpty()) << plan.errors.join(' ').toStdString();
    EXPECT_EQ(texts(plan, "QRDBTxtNomRecette"), QStringList{"Tarte d'essai"});
    // Two lines per ingredient, in the same columns: per gram, then for the quantity.
    const QList<QPair<QString, QStringList>> expected = {
        {"QRDBTxtAliment", {"Pomme", "Farine"}},   {"QRDBTxtCalories", {"0.52", "1"}},
        {"QRExprCalories", {"78", "1156.567"}},    {"QRExprLipides", {"0.3", "11.566"}},
        {"QRDBTxtQuantite", {"150", "1156.567"}},  {"QRTotCalories", {"1234.57"}},
        {"QRParPersCalories", {"308.64"}},         {"QRTotLipides", {"11.87"}},   // 0.3 + 11.56567
        {"QRParPersLipides", {"2.97"}},            {"QRTotQuantite", {"1306.57"}},
        {"QRParPersQuantite", {"326.64"}},
    };
    for (const auto& [name, values] : expected) EXPECT_EQ(texts(plan, name), values) << name.toStdString();
    const PlanItem line1 = plan.named("QRDBTxtCalories")[0];
    const PlanItem line2 = plan.named("QRExprCalories")[0];
    EXPECT_GT(line2.rect.top(), line1.rect.top());
    EXPECT_DOUBLE_EQ(line2.rect.left(), line1.rect.left());
    // The footer follows the last ingredient.
    EXPECT_GT(plan.named("QRLblTot")[0].rect.top(), plan.named("QRShBande2").last().rect.top());

    // The RTF description arrives formatted; the photo file does not exist: the placeholder.
    const QString description = plan.named("QRDBRichTxtDescRecette")[0].text;
    EXPECT_TRUE(description.contains("Crème") && description.contains("font-weight")) << description.toStdString();
    EXPECT_EQ(plan.named("QRImage")[0].image, NoPhotoPicture());

    show(QStringLiteral("tarte"), 2);
    EXPECT_EQ(texts(sheet->LayOut(QLocale::c()), "QRParPersCalories"), QStringList{"617.28"});
}

// The photo file when it loads, else the placeholder: no name, a missing file, a damaged one.
TEST_F(RecipeSheet, PhotoOrPlaceholder) {
    const QString images = appState().ImagesDirectory;
    ASSERT_TRUE(QDir().mkpath(images));
    QImage red(12, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(images + "/tarte.png"));
    QFile bad(images + "/abime.jpg");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("pas une image");
    bad.close();

    EXPECT_FALSE(NoPhotoPicture().isNull());
    for (const QString name : {"", "absente.jpg", "abime.jpg"}) EXPECT_EQ(RecipePhoto(images, name), NoPhotoPicture());
    Query::execute("UPDATE t_recettes SET Image = 'tarte.png' WHERE IdRecette = 8");
    show(QStringLiteral("tarte"), 2);
    EXPECT_EQ(sheet->LayOut().named("QRImage")[0].image.size(), QSize(12, 8));
}

// The printed sheet, read back from the PDF: French numbers, labels and the explanation lines.
TEST_F(RecipeSheet, PdfOfTheSheetInFrench) {
    FrenchLocaleGuard french;
    show(QStringLiteral("tarte"), 4);
    QTemporaryDir dir;
    const QString path = dir.filePath("recette.pdf");
    ASSERT_TRUE(report::writePdf(sheet->LayOut(), path));
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-enc", "UTF-8", "-layout", path, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    ASSERT_EQ(pdftotext.exitCode(), 0);
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    for (const char* expected : {"Tarte d'essai", "Crème fouettée", "Cuire 30 minutes.", "0,52", "(par g)",
                                 "1156,567", "1234,57", "Par personne", "308,64", "kilocalories par gramme"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
}

}  // namespace
