// A food created, put in a recipe, then renamed and given other values in "Gestion des aliments",
// with the day window, the recipe editor and the recipe search open beside: each shows the food
// as stored when the user comes back to it.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "data/DbWidgets.h"
#include "reference/Ueditionaliments.h"
#include "reference/Ueditionrecettes.h"
#include "reference/Uqraffirecette.h"
#include "reference/Urecettes.h"
#include "support/ProgramScenario.h"

namespace {

class FoodChanged : public ProgramScenario {
protected:
    TFEditionAliments& foods() { return menu<TFEditionAliments>("Aliments", "FEditionAliments"); }
    TFEditionRecettes& recipes() { return menu<TFEditionRecettes>("Recettes", "FEditionRecettes"); }
    // The four values per 100 g retyped, then "Enregistrer" answered "Oui".
    void saveFood(TFEditionAliments& f, const char* name, const char* kcal, const char* lipids, const char* proteins,
                  const char* carbs) {
        Retype(f.DBEdtNomAliment, QString::fromUtf8(name));
        Retype(f.EdtCalories, QString::fromLatin1(kcal));
        Retype(f.EdtLipides, QString::fromLatin1(lipids));
        Retype(f.EdtProtides, QString::fromLatin1(proteins));
        Retype(f.EdtGlucides, QString::fromLatin1(carbs));
        AnswerNextMessage(log, "BtnOui");
        click(f.BtnEnregistrer);
    }
    static QStringList dayRows() {
        return column("SELECT NomAliment || ' ' || CaloriesGramme FROM t_consommation ORDER BY Numero");
    }
    // The recipe sheet's ingredient lines of the recipe clicked in the search's results.
    QStringList sheetOf(TFRecettes& search, const QString& recipe) {
        clickItem(search.LboxRecettes, recipe);
        QStringList lines;
        whileUp([&lines](modal::Call&) {
            const report::ReportPlan plan = FQRAffiRecette->LayOut();
            const auto names = plan.named(QStringLiteral("QRDBTxtAliment"));
            const auto kcal = plan.named(QStringLiteral("QRDBTxtCalories"));
            for (int i = 0; i < names.size() && i < kcal.size(); ++i) lines << names[i].text + ' ' + kcal[i].text;
        });
        // The click gave "Afficher" the focus: Enter shows the sheet.
        EXPECT_EQ(QApplication::focusWidget(), search.BtnAfficher);
        key(search.BtnAfficher, Qt::Key_Return);
        return lines;
    }
    QStringList searchIngredient(TFRecettes& search, const QString& text) {
        click(search.RBtnIngredient);
        Retype(search.EdtDebutNom, text);
        click(search.BtnRechercher);
        return ListItems(search.LboxRecettes);
    }
};

}  // namespace

TEST_F(FoodChanged, AFoodChangedIsSeenInTheDayTheRecipeEditorAndTheSearch) {
    auto& day = menu<TFConsoJournaliere>("ConsomationJournaliere", "FConsoJournaliere");
    choose(day.CboxCategories, "Fruits et desserts");
    click(day.EditRechAliment);
    QTest::keyClicks(day.EditRechAliment, "Ab");
    EXPECT_EQ(selected(day.LboxAliments), "");

    // Created in the food editor: 48 kcal per 100 g.
    TFEditionAliments& f = foods();
    choose(f.CboxCatAliments, "Fruits");
    click(f.BtnNouveau);
    saveFood(f, "Abricot", "48", "0,1", "0,9", "9");
    EXPECT_EQ(log.captions, QStringList{QString::fromUtf8("Création d'enregistrement")});

    // Back in the day: listed, chosen by the search still typed, added with its values.
    backTo(&day);
    EXPECT_EQ(ListItems(day.LboxAliments), (QStringList{"Abricot", "Banane", "Orange", "Pomme", "Salade de fruits"}));
    EXPECT_EQ(day.EditRechAliment->text(), "Ab");
    day.EditRechAliment->setFocus();
    QTest::keyClick(day.EditRechAliment, 'r');
    key(day.EditRechAliment, Qt::Key_Return);
    EXPECT_EQ(dayRows(), QStringList{"Abricot 0.48"});

    // Put in the fruit salad from the recipe editor's food picker, 100 g typed in its row.
    TFEditionRecettes& r = recipes();
    clickItem(r.LboxRecettes, "Salade de fruits");
    choose(r.CboxCatAliments, "Fruits");
    clickItem(r.LboxAliments, "Abricot");
    click(r.BtnAjouter);
    DbGrid* grid = r.DBGIngredients;
    const int added = grid->model()->rowCount() - 1;
    EXPECT_EQ(grid->dataModel()->displayText(added, 0), "Abricot");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(added, 1)).center());
    TypeAtFocusAndEnter("100");
    AnswerNextMessage(log, "BtnOui");
    click(r.BtnEnregistrer);
    EXPECT_NEAR(Query::scalar("SELECT CaloriesGramme FROM t_recettes WHERE IdRecette = 1").toDouble(),
                (0.52 * 150 + 0.89 * 120 + 0.47 * 130 + 0.48 * 100) / 500, 1e-9);

    // The search finds the salad by its new ingredient; its sheet shows the food's values.
    auto& search = menu<TFRecettes>("RechercheRecettes", "FRecettes");
    EXPECT_EQ(searchIngredient(search, "abri"), QStringList{"Salade de fruits"});
    EXPECT_TRUE(sheetOf(search, "Salade de fruits").contains(QString::fromUtf8("Abricot 0,48")));

    // Renamed and changed in the food editor.
    TFEditionAliments& f2 = foods();
    EXPECT_EQ(&f2, &f);
    clickItem(f.LboxAliments, "Abricot");
    saveFood(f, "Abricot sec", "241", "0,5", "3,4", "55");
    EXPECT_DOUBLE_EQ(Query::scalar("SELECT CaloriesGramme FROM t_aliments WHERE NomAlimentFrancais = 'Abricot sec'")
                         .toDouble(), 2.41);
    EXPECT_EQ(ListItems(f.LboxAliments), (QStringList{"Abricot sec", "Banane", "Orange", "Pomme"}));

    // The day: the new name listed and added at the new value; the row added before keeps what
    // it copied then.
    backTo(&day);
    EXPECT_EQ(ListItems(day.LboxAliments), (QStringList{"Abricot sec", "Banane", "Orange", "Pomme", "Salade de fruits"}));
    Retype(day.EditRechAliment, "abricot s");
    EXPECT_EQ(selected(day.LboxAliments), "Abricot sec");
    key(day.EditRechAliment, Qt::Key_Return);
    EXPECT_EQ(dayRows(), (QStringList{"Abricot 0.48", "Abricot sec 2.41"}));

    // The recipe editor: the picker and the salad's ingredients under the new name.
    recipes();
    EXPECT_EQ(r.CboxCatAliments->currentText(), "Fruits");
    EXPECT_EQ(ListItems(r.LboxAliments), (QStringList{"Abricot sec", "Banane", "Orange", "Pomme"}));
    EXPECT_EQ(grid->dataModel()->displayText(added, 0), "Abricot sec");

    // The search: by the new name only; the sheet with the new values.
    backTo(&search);
    EXPECT_EQ(searchIngredient(search, "abricot s"), QStringList{"Salade de fruits"});
    EXPECT_EQ(searchIngredient(search, "-abricot"), QStringList{QString::fromUtf8("Purée de pommes de terre")});
    EXPECT_EQ(searchIngredient(search, "abricot "), QStringList{"Salade de fruits"});
    const QStringList sheet = sheetOf(search, "Salade de fruits");
    EXPECT_TRUE(sheet.contains(QString::fromUtf8("Abricot sec 2,41"))) << sheet.join(" | ").toStdString();
    EXPECT_FALSE(sheet.contains(QString::fromUtf8("Abricot 0,48")));
}
