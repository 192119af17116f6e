#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "frame/AppState.h"
#include "frame/Settings.h"
#include "frame/Umessages.h"
#include "frame/Uoptions.h"
#include "platform/Modal.h"

namespace {
class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        resetAppState();
        modal::clearHandlers();
        AppState& st = appState();
        st.SwitchReserved = 5;
        st.SwitchRecipeInfo = 1;
        st.SwitchConsumptionInfo = 0;
        st.SwitchCaloriesAboveObjective = 1;
        st.SwitchCarbsBelowMinimum = 0;
        st.SwitchObjectiveBelowNeeds = 9;  // any non-zero byte means "show"
    }
    void TearDown() override {
        EXPECT_EQ(modal::unexpectedShows(), 0);
        EXPECT_EQ(modal::pendingHandlers(), 0);
        modal::clearHandlers();
        resetAppState();
    }
    static QCheckBox* box(modal::Call& c, const char* name) {
        return c.dialog->findChild<QCheckBox*>(QString::fromLatin1(name));
    }
    static void ok(modal::Call& c) { c.dialog->findChild<QPushButton*>("BtnOk")->click(); }
};
}  // namespace

TEST_F(OptionsDialog, ShowsTheSwitchesAndChangesNothingWhenLeftAlone) {
    modal::pushHandler([](modal::Call& c) {
        EXPECT_EQ(c.caption, QStringLiteral("Affichage des messages d'alerte"));
        EXPECT_TRUE(box(c, "ChbxRecettes")->isChecked());
        EXPECT_FALSE(box(c, "ChbxConsoJournaliere")->isChecked());
        EXPECT_TRUE(box(c, "ChbxCalSupObjectif")->isChecked());
        EXPECT_FALSE(box(c, "ChbxGlucidesPasBon")->isChecked());
        EXPECT_TRUE(box(c, "ChbxObjectifPasBon")->isChecked());
        ok(c);
    });
    RunOptionsExchange();
    const AppState& st = appState();
    EXPECT_EQ(st.OptionsDirty, 0);
    EXPECT_EQ(st.SwitchReserved, 5);
    EXPECT_EQ(st.SwitchObjectiveBelowNeeds, 9);
}

TEST_F(OptionsDialog, AClickedBoxStoresEverySwitchAndClearsTheReservedByte) {
    modal::pushHandler([](modal::Call& c) {
        box(c, "ChbxRecettes")->click();          // off
        box(c, "ChbxGlucidesPasBon")->click();    // on
        ok(c);
    });
    RunOptionsExchange();
    const AppState& st = appState();
    EXPECT_EQ(st.OptionsDirty, 1);
    EXPECT_EQ(st.SwitchReserved, 0);
    EXPECT_EQ(st.SwitchRecipeInfo, 0);
    EXPECT_EQ(st.SwitchConsumptionInfo, 0);
    EXPECT_EQ(st.SwitchCaloriesAboveObjective, 1);
    EXPECT_EQ(st.SwitchCarbsBelowMinimum, 1);
    EXPECT_NE(st.SwitchObjectiveBelowNeeds, 0);  // the unclicked box still shows its message
}

TEST_F(OptionsDialog, TickAndUntickStillCounts) {
    modal::pushHandler([](modal::Call& c) {
        box(c, "ChbxCalSupObjectif")->click();
        box(c, "ChbxCalSupObjectif")->click();
        ok(c);
    });
    RunOptionsExchange();
    EXPECT_EQ(appState().OptionsDirty, 1);
    EXPECT_EQ(appState().SwitchCaloriesAboveObjective, 1);
    EXPECT_EQ(appState().SwitchReserved, 0);
}

// From a message box's "Ne plus afficher ce message" and the options dialog to the settings file.
TEST_F(OptionsDialog, SwitchChangesReachTheSettingsFile) {
    QTemporaryDir dir;
    {
        QFile f(dir.filePath("Options.dat"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\x07\x01\x01\x01\x01\x01\x02\x00\x00\x00", 10));
    }
    ReadOptionsFile(dir.path());
    EXPECT_FALSE(WriteOptionsFile(dir.path()));  // nothing changed: the file is left alone

    modal::pushHandler([](modal::Call& c) {
        c.dialog->findChild<QCheckBox*>("ChbAfficheAlerte")->click();
        c.dialog->findChild<QPushButton*>("BtnOk")->click();
    });
    ShowMessageBox("        Trop de calories.", "Alerte", 48, &appState().SwitchCaloriesAboveObjective, true);
    modal::pushHandler([](modal::Call& c) {
        EXPECT_FALSE(box(c, "ChbxCalSupObjectif")->isChecked());
        box(c, "ChbxRecettes")->click();
        ok(c);
    });
    RunOptionsExchange();
    EXPECT_TRUE(WriteOptionsFile(dir.path()));
    QFile f(dir.filePath("Options.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\x00\x00\x01\x00\x01\x01\x02\x00\x00\x00", 10));
}
