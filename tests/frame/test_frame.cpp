#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <grp.h>
#include <unistd.h>
#include <utility>

#include "app/Startup.h"
#include "data/Database.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "frame/StringTable.h"
#include "frame/UVivanda.h"
#include "frame/Uapropos.h"
#include "frame/UpdateCheck.h"
#include "platform/HelpKey.h"
#include "platform/Modal.h"
#include "reference/Uconversion.h"
#include "support/DataFixture.h"

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
        ShowModuleWindow(w);
        return w;
    }
    QAction* item(const char* name) { return frame->menuItem(name); }
    std::unique_ptr<TestDataFolder> folder;
    TFVivanda* frame = nullptr;
    int created = 0;
};

TEST_F(FrameTest, CreationComputesPathsAndMenus) {
    const AppState& st = appState();
    EXPECT_EQ(QFileInfo(st.DataDirectory).canonicalFilePath(), QFileInfo(folder->dataDir()).canonicalFilePath());
    EXPECT_EQ(QFileInfo(st.ImagesDirectory).fileName(), "Images");
    EXPECT_TRUE(databaseIsOpen());
    EXPECT_EQ(FVivanda, frame);
    // Hidden items stay hidden; a window not in the program yet keeps its item, disabled.
    for (const char* hidden : {"Langue", "Espagnol", "Fenetres", "Cascade"})
        EXPECT_FALSE(item(hidden)->isVisible()) << hidden;
    EXPECT_TRUE(item("Mosaique")->isVisible());
    EXPECT_FALSE(item("CalculdelIMC")->isEnabled());
    EXPECT_TRUE(item("Quitter")->isEnabled());
}

TEST_F(FrameTest, OpenOrRaiseChildRaisesInsteadOfCreatingASecondWindow) {
    frame->RegisterModule(1, "RechercheRecettes", [this] { return makeModule("FRecettes"); });
    EXPECT_TRUE(item("RechercheRecettes")->isEnabled());
    item("RechercheRecettes")->trigger();
    QWidget* first = frame->FindChildForm("FRecettes");
    ASSERT_NE(first, nullptr);
    const QPoint pos = first->parentWidget()->pos();
    makeModule("FConsoJournaliere");
    item("RechercheRecettes")->trigger();
    EXPECT_EQ(created, 2);
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(frame->mdiArea()->activeSubWindow()->widget(), first);
    EXPECT_EQ(first->parentWidget()->pos(), pos);
}

TEST_F(FrameTest, FirstActivationOpensTheStartupModuleOnce) {
    // The module's creation lets the frame be activated again (a message it shows closes).
    bool reentered = false;
    frame->RegisterModule(5, "ConsomationJournaliere", [this, &reentered] {
        if (!std::exchange(reentered, true)) frame->FormActivate();
        return makeModule("FConsoJournaliere");
    });
    for (int module : {0, 6, -3, 5}) {
        appState().MainWindowActivated = 0;
        appState().StartupModule = module;
        frame->FormActivate();
        frame->FormActivate();
        EXPECT_EQ(created, module == 5 ? 1 : 0) << module;
        EXPECT_EQ(appState().MainWindowActivated, 1);
    }
}

TEST_F(FrameTest, AShownFrameOpensItsStartupModuleOnceItHasBeenPainted) {
    frame->RegisterModule(5, "ConsomationJournaliere", [this] { return makeModule("FConsoJournaliere"); });
    appState().StartupModule = 5;
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    EXPECT_TRUE(QTest::qWaitFor([this] { return created == 1; }));
    EXPECT_NE(frame->FindChildForm("FConsoJournaliere"), nullptr);
    // Every activation of the painted frame reaches the update check, which runs once in the run.
    SetUpdateCheckEnabled(true);
    for (int i = 0; i < 3; ++i) frame->FormActivate();
    SetUpdateCheckEnabled(false);
    EXPECT_EQ(qApp->findChildren<UpdateCheck*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

TEST_F(FrameTest, LanguageItemsFollowTheLanguageCode) {
    auto writeLanguage = [](QByteArray bytes) {
        QFile f("Langue.dat");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    writeLanguage(QByteArray("\x20\x03\x00\x00", 4));  // 800, read at every activation
    frame->FormActivate();
    EXPECT_TRUE(item("Espagnol")->isChecked());
    EXPECT_FALSE(item("Francais")->isChecked());
    item("Anglais")->trigger();
    EXPECT_EQ(appState().LanguageCode, 200);
    EXPECT_TRUE(item("Anglais")->isChecked());
    EXPECT_FALSE(item("Espagnol")->isChecked());
    writeLanguage(QByteArray("\x7b", 1));  // 123: no item for it
    frame->FormActivate();
    for (const char* language : {"Francais", "Anglais", "Allemand", "Italien", "Espagnol"})
        EXPECT_FALSE(item(language)->isChecked()) << language;
}

TEST_F(FrameTest, HelpKeyUsesTheNearestFormNumberWithoutCrossingWindows) {
    auto* module = new QWidget;
    module->setProperty("HelpContext", 130);
    auto* edit = new QLineEdit(module);
    ShowModuleWindow(module);
    EXPECT_EQ(HelpContextFor(edit), 130);
    EXPECT_EQ(HelpContextFor(frame->mdiArea()), 10);
    QWidget lonely;  // a separate window without help
    EXPECT_EQ(HelpContextFor(new QLineEdit(&lonely)), 0);
}

// A module window whose close can be refused, as an editor refuses when its save fails.
class ClosableModule : public QWidget {
public:
    bool refuse = false;
    int closeRequests = 0;

protected:
    void closeEvent(QCloseEvent* e) override {
        ++closeRequests;
        if (refuse) e->ignore();
        else e->accept();
    }
};

TEST_F(FrameTest, ShutDownClosesModulesFirstAndStopsWhenOneRefuses) {
    const QString data = folder->dataDir();
    auto exists = [&](const QString& path) { return QFileInfo::exists(path); };
    QPointer<ClosableModule> modules[3];
    for (auto& m : modules) {
        m = new ClosableModule;
        ShowModuleWindow(m);
    }
    modules[1]->refuse = true;
    appState().OptionsDirty = 1;
    Query::execute("UPDATE t_activites SET Duree = 0");
    ASSERT_TRUE(exists(data + "/vivanda.db-wal"));
    ASSERT_TRUE(exists("MyVivanda.lock"));

    // The second window refuses: the shut-down stops there and nothing of it has happened.
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(modules[0].isNull());
    ASSERT_FALSE(modules[1].isNull());
    ASSERT_FALSE(modules[2].isNull());
    EXPECT_EQ(modules[1]->closeRequests, 1);
    EXPECT_EQ(modules[2]->closeRequests, 0);
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 2);
    EXPECT_TRUE(databaseIsOpen());
    EXPECT_FALSE(exists("Options.dat"));
    EXPECT_TRUE(exists("MyVivanda.lock"));

    // Once it agrees, every window goes, then the settings, the database and the lock file.
    modules[1]->refuse = false;
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(modules[1].isNull());
    EXPECT_TRUE(modules[2].isNull());
    EXPECT_TRUE(frame->mdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(exists("Options.dat"));
    EXPECT_FALSE(databaseIsOpen());
    for (const char* side : {"/vivanda.db-wal", "/vivanda.db-shm"}) EXPECT_FALSE(exists(data + side)) << side;
    EXPECT_FALSE(exists("MyVivanda.lock"));
}

TEST(FrameStartup, EachMenuDialogIsBuiltWhenFirstAskedForAsItWasAtStart) {
    TestDataFolder folder(false);
    QFile language("Langue.dat");   // English from the first activation on
    ASSERT_TRUE(language.open(QIODevice::WriteOnly) && language.write(QByteArray("\xc8\x00\x00\x00", 4)) == 4);
    language.close();
    CreateLongLivedForms();
    appState().StartupModule = 0;
    FVivanda->FormActivate();
    ASSERT_EQ(appState().LanguageCode, 200);
    const std::pair<const char*, const char*> dialogs[] = {
        {"ConversionVM", "FConversionVM"}, {"ConversionMV", "FConversionMV"}, {"CalculdelIMC", "FCalcIMC"},
        {"Gestiondelhistoriquedesconsommations", "FGestHistoConso"}, {"AproposdeVivanda", "FApropos"}};
    QString firstMeasuredFood;
    for (const auto& [item, name] : dialogs) {
        QString shown;
        modal::pushHandler([&](modal::Call& call) {
            shown = call.dialog->objectName();
            if (shown == "FConversionVM") firstMeasuredFood = FConversionVM->LboxAliments->itemText(0);
            call.dialog->reject();
        });
        FVivanda->menuItem(item)->trigger();
        EXPECT_EQ(shown, name) << item;
    }
    // Built after the language was read, they still show what they showed when every one of
    // them was built at start: the French names and texts.
    EXPECT_EQ(firstMeasuredFood, "Farine");
    EXPECT_EQ(FApropos->windowTitle(), LoadString(65).left(100));
    // Each module's item opens its own window.
    appState().SwitchRecipeInfo = appState().SwitchConsumptionInfo = 0;
    const std::pair<const char*, const char*> modules[] = {{"RechercheRecettes", "FRecettes"}, {"Recettes", "FEditionRecettes"},
        {"Aliments", "FEditionAliments"}, {"Utilisateurs", "FEditionUtilisateurs"}, {"ConsomationJournaliere", "FConsoJournaliere"}};
    for (const auto& [item, name] : modules) {
        FVivanda->menuItem(item)->trigger();
        EXPECT_NE(FVivanda->FindChildForm(name), nullptr) << item;
    }
    delete FVivanda;
}

// The staged program started in a folder of its own as an ordinary user (the administrator may
// write anywhere): a start it refuses says why in French, on its error output too, and has left
// no instance marker behind by the time its message shows.
TEST(FrameStartup, ARefusedStartSaysWhyInFrenchAndLeavesNoLockBehind) {
    const QString shipped = QStringLiteral(VIVANDA_BINARY_DIR "/shipped/vivanda.db");
    if (!QFile::exists(shipped)) GTEST_SKIP() << "no staged program in this build";
    const auto all = QFileDevice::Permissions(0x7777), readOnly = all & ~QFileDevice::Permissions(0x2222);
    const struct { QFileDevice::Permissions file, folder; const char* words; } cases[] = {
        {{}, all, "ne peut pas être ouverte"}, {all, readOnly, "lecture seule"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("Data");
        const QString db = dir.filePath("Data/vivanda.db");
        // The program too, where that user may run it whatever the folder of this build.
        const QString program = dir.filePath("vivanda");
        ASSERT_TRUE(QFile::copy(shipped, db) && QFile::copy(VIVANDA_BINARY_DIR "/stage/vivanda", program));
        for (const auto& [path, mode] : {std::pair{dir.path(), all}, {program, all}, {db, c.file},
                                         {dir.filePath("Data"), c.folder}})
            QFile::setPermissions(path, mode);
        QProcess child;
        child.setWorkingDirectory(dir.path());
        child.setReadChannel(QProcess::StandardError);
        child.setChildProcessModifier([] {
            if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        });
        child.start(program, {});
        QString said;   // up to the path the message ends with
        while (!said.contains(db + "\n") && child.waitForReadyRead(10000)) said += child.readAllStandardError();
        if (child.state() == QProcess::NotRunning && child.exitCode() == 99) GTEST_SKIP() << "no ordinary user here";
        EXPECT_TRUE(said.contains(QString::fromUtf8(c.words))) << said.toStdString();
        for (const char* english : {"not a database", "unable to open", "readonly"}) EXPECT_FALSE(said.contains(english));
        EXPECT_EQ(child.state(), QProcess::Running);   // the message is up
        EXPECT_FALSE(QFile::exists(dir.filePath("MyVivanda.lock")));
        child.kill();
        child.waitForFinished();
        QFile::setPermissions(dir.filePath("Data"), all);
    }
}

}  // namespace
