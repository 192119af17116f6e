#include <QAction>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "frame/AppState.h"
#include "frame/UVivanda.h"
#include "platform/HelpKey.h"
#include "data/Database.h"
#include "support/DataFixture.h"
#include <QFile>
#include <QFileInfo>

namespace {

// A frame living in a temporary working folder.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::make_unique<TestDataFolder>(false);
        frame = new TFVivanda();
    }
    void TearDown() override {
        delete frame;
        folder.reset();
    }
    // A module form standing in for a real one; counts its creations.
    QWidget* makeModule(const QString& name) {
        ++created;
        auto* w = new QWidget;
        w->setObjectName(name);
        w->resize(300, 200);
        ShowModuleWindow(w);
        return w;
    }
    std::unique_ptr<TestDataFolder> folder;
    TFVivanda* frame = nullptr;
    int created = 0;
};

TEST_F(FrameTest, CreationComputesPathsAndClearsRunFlags) {
    const AppState& st = appState();
    EXPECT_EQ(QFileInfo(st.DataDirectory).canonicalFilePath(), QFileInfo(folder->dataDir()).canonicalFilePath());
    EXPECT_EQ(QFileInfo(st.ImagesDirectory).fileName(), "Images");
    EXPECT_TRUE(databaseIsOpen());
    // No Options.dat: every message shown and the recipe search at start.
    EXPECT_EQ(st.StartupModule, 1);
    EXPECT_EQ(st.SwitchRecipeInfo, 1);
    EXPECT_EQ(st.SwitchObjectiveBelowNeeds, 1);
    EXPECT_TRUE(st.HelpFilePath.endsWith("/help"));
    EXPECT_EQ(st.ApplicationName, "Vivanda");
    EXPECT_EQ(st.ApplicationVersion, "2.0");
    EXPECT_EQ(st.BrowserFailureCaption, QString::fromUtf8("Erreur de connexion !"));
    EXPECT_EQ(st.MainWindowActivated, 0);
    EXPECT_EQ(frame->size(), QSize(684, 620));
    EXPECT_EQ(FVivanda, frame);
}

TEST_F(FrameTest, MenuTreeHasItsCaptionsAndHiddenItems) {
    EXPECT_EQ(frame->menuItem("ConsomationJournaliere")->text(), QString::fromUtf8("Co&nsommation journalière"));
    EXPECT_EQ(frame->menuItem("Conversiondesmesures")->text(), "Conversion des mesures  ");
    EXPECT_FALSE(frame->menuItem("Langue")->isVisible());
    EXPECT_TRUE(frame->menuItem("Francais")->isVisible());
    EXPECT_FALSE(frame->menuItem("Espagnol")->isVisible());
    EXPECT_FALSE(frame->menuItem("Fenetres")->isVisible());
    EXPECT_FALSE(frame->menuItem("Cascade")->isVisible());
    EXPECT_TRUE(frame->menuItem("Mosaique")->isVisible());
    // A window that is not in the program yet keeps its item present but disabled.
    EXPECT_FALSE(frame->menuItem("CalculdelIMC")->isEnabled());
    EXPECT_TRUE(frame->menuItem("Quitter")->isEnabled());
}

TEST_F(FrameTest, OpenOrRaiseChildRaisesInsteadOfCreatingASecondWindow) {
    auto create = [this] { return makeModule("FRecettes"); };
    frame->RegisterModule(1, "RechercheRecettes", create);
    EXPECT_TRUE(frame->menuItem("RechercheRecettes")->isEnabled());
    frame->menuItem("RechercheRecettes")->trigger();
    QWidget* first = frame->FindChildForm("FRecettes");
    ASSERT_NE(first, nullptr);
    const QPoint pos = first->parentWidget()->pos();
    makeModule("FConsoJournaliere");
    frame->menuItem("RechercheRecettes")->trigger();
    EXPECT_EQ(created, 2);
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(frame->mdiArea()->activeSubWindow()->widget(), first);
    EXPECT_EQ(first->parentWidget()->pos(), pos);
}

TEST_F(FrameTest, FirstActivationOpensTheStartupModuleOnce) {
    frame->RegisterModule(5, "ConsomationJournaliere", [this] { return makeModule("FConsoJournaliere"); });
    for (int module : {0, 6, -3}) {
        appState().MainWindowActivated = 0;
        appState().StartupModule = module;
        frame->FormActivate();
        EXPECT_EQ(created, 0) << module;
        EXPECT_EQ(appState().MainWindowActivated, 1);
    }
    appState().MainWindowActivated = 0;
    appState().StartupModule = 5;
    frame->FormActivate();
    frame->FormActivate();
    EXPECT_EQ(created, 1);
}

TEST_F(FrameTest, LanguageItemsFollowTheLanguageCode) {
    auto writeLanguage = [](QByteArray bytes) {
        QFile f("Langue.dat");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    writeLanguage(QByteArray("\x90\x01\x00\x00", 4));  // 400, read at every activation
    frame->FormActivate();
    EXPECT_TRUE(frame->menuItem("Allemand")->isChecked());
    EXPECT_FALSE(frame->menuItem("Francais")->isChecked());
    frame->menuItem("Anglais")->trigger();
    EXPECT_EQ(appState().LanguageCode, 200);
    EXPECT_TRUE(frame->menuItem("Anglais")->isChecked());
    EXPECT_FALSE(frame->menuItem("Allemand")->isChecked());
    writeLanguage(QByteArray("\x7b", 1));  // 123: no item for it
    frame->FormActivate();
    for (const char* item : {"Francais", "Anglais", "Allemand", "Italien", "Espagnol"})
        EXPECT_FALSE(frame->menuItem(item)->isChecked()) << item;
}

TEST_F(FrameTest, HelpKeyUsesTheNearestFormNumberWithoutCrossingWindows) {
    auto* module = new QWidget;
    module->setProperty("HelpContext", 130);
    auto* edit = new QLineEdit(module);
    new QVBoxLayout(module);
    module->setObjectName("FConsoJournaliere");
    ShowModuleWindow(module);
    EXPECT_EQ(HelpContextFor(edit), 130);
    EXPECT_EQ(HelpContextFor(frame->mdiArea()), 10);
    QWidget lonely;  // a separate window without help
    auto* inner = new QLineEdit(&lonely);
    EXPECT_EQ(HelpContextFor(inner), 0);
}

TEST_F(FrameTest, ClosingWritesTheOptionsOnlyWhenSomethingChanged) {
    frame->FormClose();
    EXPECT_FALSE(QFile::exists("Options.dat"));
    appState().SwitchCarbsBelowMinimum = 0;
    appState().OptionsDirty = 1;
    frame->close();
    QFile f("Options.dat");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_EQ(bytes.size(), 10);
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[1], 1);
}

TEST(FrameStartup, MissingDatabaseStopsWithAMessageNamingThePath) {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    resetAppState();
    QString message;
    try {
        TFVivanda frame;
    } catch (const StartupError& e) {
        message = QString::fromUtf8(e.what());
    }
    EXPECT_TRUE(message.contains(dir.path() + "/Data")) << message.toStdString();
    EXPECT_FALSE(QDir(dir.path() + "/Data").exists());
    EXPECT_EQ(FVivanda, nullptr);
    closeDatabase();
    QDir::setCurrent(previous);
    resetAppState();
}

}  // namespace
