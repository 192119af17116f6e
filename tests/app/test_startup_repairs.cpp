#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <utility>

#include "app/Startup.h"
#include "data/Database.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "platform/Modal.h"
#include "reference/RecipeRows.h"
#include "reference/Urecettes.h"
#include "support/DataFixture.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "support/OtherProgram.h"
#include "support/Typing.h"
#include "tracking/Uconsojournaliere.h"

namespace {

// Writes into the database of `folder` with a connection of its own, as the program stopped
// half-way left it.
void leaveBehind(const TestDataFolder& folder, const char* sql) { WriteAsAnotherProgram(folder.dbPath(), sql); }

// The program started as from its executable, with no start-up module and no introductions.
void startProgram() {
    modal::clearHandlers();
    CreateLongLivedForms();
    appState().StartupModule = 0;
    appState().SwitchRecipeInfo = appState().SwitchConsumptionInfo = 0;
    FVivanda->FormActivate();
}

template <typename Form>
Form* openModule(const char* menuItem, const char* name) {
    FVivanda->menuItem(menuItem)->trigger();
    return qobject_cast<Form*>(FVivanda->FindChildForm(name));
}

}  // namespace

// The program was stopped during two recipe edits: "Salade de fruits" had "Crème fraîche" added
// to it and an orange taken away (its rows as last saved are in the shadow copy), and a new
// recipe had been given a theme but no name yet. From the start on, before the recipe editor is
// ever opened, the day window and the recipe search see the recipes as last saved, and no
// nameless recipe.
TEST(StartupRepairs, AnInterruptedRecipeEditIsUndoneBeforeAnyWindowReadsRecipes) {
    TestDataFolder folder(false);
    FrenchLocaleGuard french;
    leaveBehind(folder,
                "INSERT INTO t_ingredients_recettes_temp SELECT * FROM t_ingredients_recettes WHERE IdRecette = 1;"
                "INSERT INTO t_categories_recettes_temp SELECT * FROM t_categories_recettes WHERE IdRecette = 1;"
                "DELETE FROM t_ingredients_recettes WHERE IdRecette = 1 AND IdAliment = 3;"
                "INSERT INTO t_ingredients_recettes VALUES (1, 8, 500);"
                "INSERT INTO t_recettes (IdRecette, CaloriesGramme, LipidesGramme, ProtidesGramme, GlucidesGramme, "
                "TempsPreparation) VALUES (3, 0, 0, 0, 0, '00:00:00');"
                "INSERT INTO t_categories_recettes VALUES (1, 3);");
    startProgram();

    TFConsoJournaliere::ResetUnitState();
    auto* day = openModule<TFConsoJournaliere>("ConsomationJournaliere", "FConsoJournaliere");
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(ListItems(day->LboxAliments), (QStringList{"Banane", "Orange", "Pomme", "Salade de fruits"}));
    day->LboxAliments->setCurrentRow(3);
    day->BtnAjouter->click();
    EXPECT_DOUBLE_EQ(Query::scalar("SELECT CaloriesGramme FROM t_consommation").toDouble(),
                     (0.52 * 150 + 0.89 * 120 + 0.47 * 130) / 400);

    auto* search = openModule<TFRecettes>("RechercheRecettes", "FRecettes");
    ASSERT_NE(search, nullptr);
    search->BtnRechercher->click();
    EXPECT_EQ(ListItems(search->LboxRecettes), (QStringList{"Purée de pommes de terre", "Salade de fruits"}));
    search->RBtnIngredient->setChecked(true);
    search->EdtDebutNom->setText(QString::fromUtf8("crème"));
    search->BtnRechercher->click();
    EXPECT_EQ(ListItems(search->LboxRecettes), QStringList{});

    EXPECT_EQ(IngredientsOf(1), (Rows{{1, 150.0}, {2, 120.0}, {3, 130.0}}));
    EXPECT_EQ(Query::scalar("SELECT (SELECT COUNT(*) FROM t_ingredients_recettes_temp) + "
                            "(SELECT COUNT(*) FROM t_categories_recettes_temp) + "
                            "(SELECT COUNT(*) FROM t_recettes WHERE IdRecette = 3)").toInt(), 0);
    delete FVivanda;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ExpectModalScriptDone();
}

// Users' names stored with blanks around them lose them at start, with their saved days, unless
// the trimmed name is another user's (" marie ") or its days would clash ("Luc ", whose day of
// 1 March is also one of "Luc"'s). In the user editor a name is compared with the stored ones
// letter case, accents and blanks aside.
TEST(StartupRepairs, UsersNamesStoredWithBlanksAreTrimmedWithTheirDays) {
    TestDataFolder folder(false);
    leaveBehind(folder,
                "INSERT INTO t_utilisateurs VALUES ('  Zoé  ', 30, 165, 60, 'F'), (' marie ', 40, 170, 70, 'F'), "
                "('Luc ', 50, 180, 80, 'M');"
                "INSERT INTO t_histo_infos_utilisateur VALUES ('  Zoé  ', '2024-03-01', 60, 1800), "
                "('Luc ', '2024-03-01', 80, 2200), ('Luc', '2024-03-01', 81, 2300);"
                "INSERT INTO t_histo_consommation (NomUtilisateur, DateConso, NomAliment) VALUES "
                "('  Zoé  ', '2024-03-01', 'Pomme');");
    startProgram();
    EXPECT_EQ(RowsOf("SELECT Nom FROM t_utilisateurs ORDER BY Nom"),
              (Rows{{" marie "}, {"Jean"}, {"Luc "}, {"Marie"}, {"Zoé"}}));
    EXPECT_EQ(RowsOf("SELECT NomUtilisateur, Poids FROM t_histo_infos_utilisateur ORDER BY Poids"),
              (Rows{{"Zoé", 60.0}, {"Luc ", 80.0}, {"Luc", 81.0}}));
    EXPECT_EQ(RowsOf("SELECT NomUtilisateur FROM t_histo_consommation"), Rows{{"Zoé"}});

    FVivanda->menuItem("Utilisateurs")->trigger();
    QWidget* users = FVivanda->FindChildForm("FEditionUtilisateurs");
    ASSERT_NE(users, nullptr);
    MessageLog log;
    for (const char* name : {"zoe", "LUC"}) {
        users->findChild<QPushButton*>("BtnNouveau")->click();
        for (const auto& [edit, text] : {std::pair{"DBEdtNom", name}, {"DBEdtAge", "30"}, {"DBEdtTaille", "170"},
                                         {"DBEdtPoids", "70"}, {"DBEdtSexe", "M"}})
            Retype(users->findChild<QLineEdit*>(edit), QString::fromUtf8(text));
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        users->findChild<QPushButton*>("BtnEnregistrer")->click();
        EXPECT_EQ(log.texts.last(), "Cet utilisateur existe déjà !Création annulée !") << name;
        AnswerNextMessage(log, "BtnNon");   // the refused user given up
    }
    users->findChild<QPushButton*>("BtnQuitter")->click();
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_utilisateurs").toInt(), 5);
    delete FVivanda;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ExpectModalScriptDone();
}
