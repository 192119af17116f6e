#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

#include "data/Table.h"
#include "frame/AppState.h"
#include "frame/StringTable.h"
#include "frame/UVivanda.h"
#include "frame/Uapropos.h"
#include "frame/Ufastuces.h"
#include "frame/Umessages.h"
#include "frame/WebLinks.h"
#include "platform/HelpViewer.h"
#include "platform/WebPage.h"
#include "reference/EditorFoodTables.h"
#include "support/DataFixture.h"
#include "support/FormTest.h"
#include "support/MessageScript.h"

namespace {

const QString kSite = QStringLiteral("https://www.vivanda.example/");

// The first-steps window over a frame, in a working folder holding the shipped Aide texts.
class FirstStepsTest : public ::testing::Test {
protected:
    void SetUp() override {
        modal::clearHandlers();
        folder = std::make_unique<TestDataFolder>(false);
        frame = new TFVivanda();
        QDir().mkdir("Aide");
        const QDir shipped(QStringLiteral(VIVANDA_SOURCE_DIR "/resources/Aide"));
        for (const QString& name : shipped.entryList({"*.rtf"}, QDir::Files))
            QFile::copy(shipped.filePath(name), QDir("Aide").filePath(name));
        appState().HelpFilePath = QStringLiteral(VIVANDA_SOURCE_DIR "/resources/help");
        SetWebPageOpener([this](const QString& url) {
            opened << url;
            return browserWorks;
        });
        window = new TFAstuces(frame);
        window->show();
    }
    void TearDown() override {
        SetWebPageOpener({});
        FoodEditorFoodTable = RecipeEditorFoodTable = nullptr;
        FoodEditorSettlePending = RecipeEditorSettlePending = nullptr;
        delete frame;
        folder.reset();
        ExpectModalScriptDone();
    }
    QString text() const { return window->RichEdit->toPlainText(); }
    void choose(int module) { window->moduleButton(module)->click(); }

    std::unique_ptr<TestDataFolder> folder;
    TFVivanda* frame = nullptr;
    TFAstuces* window = nullptr;
    QStringList opened;
    bool browserWorks = true;
};

const QString kMissing = QString::fromUtf8("n'a pas été trouvé");

}  // namespace

TEST_F(FirstStepsTest, EveryModuleShowsItsOverviewAndWalksItsTipsWithTheHelpButtonOfItsTable) {
    // What "?" opens by module and tip (0: "?" disabled), and so the number of tips of each module.
    const QString videos = kSite + "Pages_fr/videos-demonstrations-Vivanda.html";
    const QString newsletter = kSite + "Pages_fr/newsletter.html";
    const QString opinion = kSite + "Pages_fr/Donnez_votre_avis_programmes.php?Prog=Vivanda";
    const std::vector<std::vector<QVariant>> help = {
        {videos, 0, newsletter, opinion},    // the program
        {0, 140, 140, 140},                  // recipe search
        {0, 90, 100, 60, 90, 110},           // recipe editor: six tips
        {0, 40, 40, 40},                     // food editor
        {0, 30, 30},                         // user editor: three tips
        {0, 0, 170, 150},                    // daily consumption
    };
    for (int m = 0; m < 6; ++m) {
        SCOPED_TRACE(m);
        if (m > 0) choose(m);
        // The title bar shows the caption whole; the text pane and its buttons stay inside.
        EXPECT_GE(window->width(), CaptionWidth(window->windowTitle(), window->font()) + kTitleBarRoom);
        EXPECT_EQ(window->BtnSuivant->geometry().right(), window->RichEdit->geometry().right());
        const QString overview = text();
        EXPECT_GT(overview.size(), 200);
        EXPECT_FALSE(overview.contains(kMissing));
        EXPECT_EQ(window->BtnDemarrer->isEnabled(), m > 0);
        EXPECT_EQ(window->CbxSelModule->isEnabled(), m > 0);
        EXPECT_FALSE(window->BtnSuivant->isEnabled());
        window->BtnAstuces->click();
        const int tips = int(help[m].size());
        QStringList seen{overview};
        for (int tip = 1; tip <= tips; ++tip) {
            SCOPED_TRACE(tip);
            EXPECT_EQ(window->CurrentTip, tip);
            EXPECT_FALSE(seen.contains(text())) << "the same text twice";
            EXPECT_FALSE(text().contains(kMissing));
            seen << text();
            const QVariant opens = help[m][tip - 1];
            EXPECT_EQ(window->BtnAide->isEnabled(), opens != 0);
            opened.clear();
            QTest::mouseClick(window->BtnAide, Qt::LeftButton);
            if (opens.typeId() == QMetaType::QString) EXPECT_EQ(opened, QStringList{opens.toString()});
            else EXPECT_TRUE(opened.isEmpty());
            if (opens.typeId() == QMetaType::Int && opens != 0)
                EXPECT_TRUE(currentHelpWindow()->browser()->source().path().endsWith(opens.toString() + ".html"));
            EXPECT_EQ(window->BtnPred->isEnabled(), tip > 1);
            EXPECT_EQ(window->BtnSuivant->isEnabled(), tip < tips);
            window->BtnSuivant->click();
        }
        EXPECT_EQ(window->CurrentTip, tips);   // "Astuce suivante" goes no further
        for (int tip = tips; tip > 1; --tip) window->BtnPred->click();
        EXPECT_EQ(text(), seen[1]);
        EXPECT_FALSE(window->BtnPred->isEnabled());
        EXPECT_EQ(window->BtnAide->isEnabled(), help[m][0] != 0);
        window->BtnPred->click();
        EXPECT_EQ(window->CurrentTip, 1);
    }
}

TEST_F(FirstStepsTest, ABrowserFailureIsSaidAndTheWindowKeepsItsPlace) {
    // No browser: the connection message, and the window stays on the tip it was showing.
    browserWorks = false;
    MessageLog log;
    AnswerNextMessage(log);
    choose(0);
    window->BtnAstuces->click();
    window->BtnAide->click();
    ASSERT_EQ(log.count(), 1);
    EXPECT_EQ(log.captions[0], "Erreur de connexion !");
    EXPECT_EQ(window->CurrentTip, 1);
    EXPECT_TRUE(window->BtnSuivant->isEnabled());
}

TEST_F(FirstStepsTest, StartModuleBoxAndTheOverviewsThatTurnTheFirstStepsMessagesOff) {
    AppState& st = appState();
    st.StartupModule = 3;
    st.OptionsDirty = 0;
    choose(3);   // the start module: its box ticks, which sets it again
    EXPECT_TRUE(window->CbxSelModule->isChecked());
    EXPECT_EQ(st.OptionsDirty, 1);
    window->CbxSelModule->click();   // unticking changes nothing
    EXPECT_EQ(st.StartupModule, 3);
    choose(2);
    EXPECT_FALSE(window->CbxSelModule->isChecked());
    QTest::mouseClick(window->LblDemarrer, Qt::LeftButton);   // its text ticks it too
    EXPECT_EQ(st.StartupModule, 2);

    // Choosing the module already shown reloads nothing.
    window->RichEdit->setPlainText("marque");
    choose(2);
    EXPECT_EQ(text(), "marque");

    // An overview turns its module's message off for good; a first tip only for this run.
    for (int m : {1, 5}) {
        uint8_t& shown = m == 1 ? st.SwitchRecipeInfo : st.SwitchConsumptionInfo;
        choose(0);
        EXPECT_FALSE(window->BtnDemarrer->isEnabled() || window->CbxSelModule->isEnabled());
        shown = 1;
        st.OptionsDirty = 0;
        choose(m);
        EXPECT_EQ(shown, 0) << m;
        EXPECT_EQ(st.OptionsDirty, 1) << m;
        shown = 1;
        st.OptionsDirty = 0;
        window->BtnAstuces->click();
        EXPECT_EQ(shown, 0) << m;
        EXPECT_EQ(st.OptionsDirty, 0) << m;
    }
    // A new showing starts again on the program's overview.
    window->hide();
    window->show();
    EXPECT_EQ(window->SelectedModule, 0);
    EXPECT_TRUE(window->RbtnVivanda->isChecked());
    EXPECT_FALSE(window->BtnDemarrer->isEnabled());
    EXPECT_FALSE(window->BtnAide->isEnabled());
    EXPECT_EQ(window->windowTitle(), "Premiers pas avec Vivanda");
}

TEST_F(FirstStepsTest, StartingAnEditorFirstTakesTheOtherEditorsFoodTable) {
    QStringList events;
    Table otherFoods("t_aliments");
    otherFoods.open();
    bool saved = false;
    for (int m : {2, 3}) {
        frame->RegisterModule(m, m == 2 ? "Recettes" : "Aliments", [&events, &otherFoods, m] {
            events << QStringLiteral("module %1, other table %2").arg(m).arg(otherFoods.isActive() ? "open" : "closed");
            auto* w = new QWidget;
            w->setObjectName(m == 2 ? "FEditionRecettes" : "FEditionAliments");
            ShowModuleWindow(w);
            return w;
        });
    }
    FoodEditorFoodTable = &otherFoods;
    FoodEditorSettlePending = [&saved] { return saved; };
    // The food editor keeps edits it cannot save: the recipe editor does not start.
    choose(2);
    window->BtnDemarrer->click();
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(otherFoods.isActive());
    saved = true;
    window->BtnDemarrer->click();
    EXPECT_EQ(events, QStringList{"module 2, other table closed"});
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->BtnSuivant->isEnabled());
}

TEST_F(FirstStepsTest, AMissingTextSaysWhichFileAndTheWindowGoesOn) {
    for (const char* name : {"Presentation_module_gest_profils", "Astuce_module_gest_profils_1", "Astuce_module_gest_profils_3"})
        QFile::remove(QStringLiteral("Aide/%1.rtf").arg(QLatin1String(name)));
    const QString missing = QString::fromUtf8("n'a pas été trouvé !\nSi ce fichier a été déplacé ou supprimé, réinstallez");
    choose(4);
    EXPECT_TRUE(text().startsWith("Le fichier \"Presentation_module_gest_profils.rtf\" " + missing)) << text().toStdString();
    EXPECT_TRUE(window->BtnDemarrer->isEnabled());
    window->BtnAstuces->click();
    EXPECT_TRUE(text().startsWith("Le fichier \"Astuce_module_gest_profils_1.rtf\" " + missing)) << text().toStdString();
    window->BtnSuivant->click();
    EXPECT_FALSE(text().contains(kMissing));
    window->BtnSuivant->click();
    EXPECT_TRUE(text().startsWith("Le fichier Aide/Astuce_module_gest_profils_3.rtf " + missing)) << text().toStdString();
    EXPECT_TRUE(window->BtnAide->isEnabled());
    EXPECT_FALSE(window->BtnSuivant->isEnabled());
}

TEST(AboutBox, ShowsNameVersionMakerAndContactWithinItsPanelAndOkCloses) {
    resetAppState();
    modal::clearHandlers();
    modal::pushHandler([](modal::Call& c) {
        auto& box = *static_cast<TFApropos*>(c.dialog);
        EXPECT_EQ(c.caption, "À propos de Vivanda");
        EXPECT_EQ(box.size() + QSize(kMessageFrameWidth, kMessageFrameHeight), QSize(278, 159));   // outer size
        EXPECT_EQ(box.grab().toImage().pixelColor(box.width() - 3, box.height() - 3), QColor(0xD5, 0xCE, 0xCE));
        EXPECT_EQ(box.LblRens->text().split('\n').size(), 4);
        EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        // The four lines fit beside the logo and above the panel's edge.
        const QRect text = box.LblRens->geometry();
        EXPECT_LE(text.right(), box.Logo->x() - 2);
        EXPECT_LE(text.bottom(), box.Panel1->height() - 2);
        EXPECT_LE(box.Panel1->geometry().bottom(), box.BtnOk->y());
        QTest::mouseClick(box.BtnOk, Qt::LeftButton);
        EXPECT_EQ(box.result(), int(QDialog::Accepted));
    });
    ShowAproposFromMenu();
    delete FApropos;
    ExpectModalScriptDone();
}

TEST(WebLinks, MenuPagesDeriveFromTheSiteAddressAndABrowserFailureIsSaid) {
    resetAppState();
    modal::clearHandlers();
    appState().BrowserFailureText = LoadString(173);
    appState().BrowserFailureCaption = LoadString(174);
    QStringList opened;
    bool works = true;
    SetWebPageOpener([&](const QString& url) {
        opened << url;
        return works;
    });
    for (int id : {172, 90, 171}) OpenMenuPage(id);
    EXPECT_EQ(opened, (QStringList{kSite + "Pages_fr/guide-Vivanda.html",
                                   kSite + "Pages_fr/videos-demonstrations-Vivanda.html", kSite}));
    works = false;
    MessageLog log;
    AnswerNextMessage(log);
    OpenMenuPage(171);
    ASSERT_EQ(log.count(), 1);
    EXPECT_EQ(log.texts[0], QString::fromUtf8("        Impossible de lancer votre navigateur par défaut !"));
    EXPECT_EQ(log.captions[0], "Erreur de connexion !");
    EXPECT_EQ(log.icons[0], "EXLAMATION");
    SetWebPageOpener({});
    ExpectModalScriptDone();
}

TEST(WebLinks, StringTableHoldsEveryTextTheProgramReads) {
    for (int id : {0, 1, 30, 31, 32, 33, 34, 35, 36, 43, 44, 45, 65, 66, 71, 72, 73, 90, 171, 172, 173, 174}) {
        const QString text = LoadString(id);
        EXPECT_FALSE(text.isEmpty()) << id;
        EXPECT_FALSE(text.contains('{')) << id;
        EXPECT_LE(text.size(), id == 71 ? 400 : 200) << id;
    }
    EXPECT_TRUE(LoadString(kMakerSiteId).endsWith('/'));
    EXPECT_EQ(MakerSiteAddress("maj_logiciels/Liste_logiciels.ini"), kSite + "maj_logiciels/Liste_logiciels.ini");
}
