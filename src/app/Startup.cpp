#include "app/Startup.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <exception>

#include "data/Database.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "frame/Uapropos.h"
#include "frame/Ufastuces.h"
#include "frame/Uoptions.h"
#include "frame/WebLinks.h"
#include "platform/HelpKey.h"
#include "platform/HelpViewer.h"
#include "reference/EditorFoodTables.h"
#include "reference/Uconversion.h"
#include "reference/Uconversionmv.h"
#include "reference/Ueditionaliments.h"
#include "reference/Ueditionrecettes.h"
#include "reference/Ueditionutilisateurs.h"
#include "reference/Urecettes.h"
#include "tracking/Ucalcimc.h"
#include "tracking/Uconsojournaliere.h"
#include "tracking/Ufaffhistoconso.h"
#include "tracking/Ugesthistoconso.h"

namespace {

// Errors that escape an event handler are shown in a standard box and the program goes on.
class VivandaApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* e) override {
        try {
            return QApplication::notify(receiver, e);
        } catch (const std::exception& ex) {
            ReportError(ex);
        }
        return false;
    }
};

}  // namespace

void CreateLongLivedForms() {
    // The frame comes first: the other forms read the paths it computes. They are built when
    // first needed (LongLivedForm.h) and live on from then.
    new TFVivanda();

    // Menu items of the windows and dialogs.
    FVivanda->RegisterMenuAction(QStringLiteral("ConversionVM"), ShowConversionFromMenu);
    FVivanda->RegisterMenuAction(QStringLiteral("ConversionMV"), ShowConversionMVFromMenu);
    FVivanda->RegisterMenuAction(QStringLiteral("CalculdelIMC"), ShowCalcIMCFromMenu);
    FVivanda->RegisterMenuAction(QStringLiteral("AfficheMessage"), [] { RunOptionsExchange(); });
    FVivanda->RegisterMenuAction(QStringLiteral("Historiquedesconsommations"), ShowAffHistoConso);
    FVivanda->RegisterMenuAction(QStringLiteral("Gestiondelhistoriquedesconsommations"), ShowGestHistoConso);
    FVivanda->RegisterMenuAction(QStringLiteral("PagePresentationdeVivanda"), [] { OpenMenuPage(172); });
    FVivanda->RegisterMenuAction(QStringLiteral("VideosDemonstrationVivanda"), [] { OpenMenuPage(90); });
    FVivanda->RegisterMenuAction(QStringLiteral("SiteInternetAuteur"), [] { OpenMenuPage(171); });
    FVivanda->RegisterMenuAction(QStringLiteral("InformationAstucesVivanda"), ShowAstucesFromMenu);
    FVivanda->RegisterMenuAction(QStringLiteral("AproposdeVivanda"), ShowAproposFromMenu);
    FVivanda->RegisterModule(1, QStringLiteral("RechercheRecettes"), CreateRecettes);
    FVivanda->RegisterModule(2, QStringLiteral("Recettes"), CreateEditionRecettes);
    // The food editor's pending food edits are settled, and its food table closed, before the
    // recipe editor opens; when they cannot be saved, the recipe editor does not open.
    FVivanda->RegisterMenuAction(QStringLiteral("Recettes"), [] {
        if (!ReleaseFoodEditorFoodTable()) return;
        FVivanda->OpenOrRaiseChild(QStringLiteral("FEditionRecettes"), CreateEditionRecettes);
    });
    FVivanda->RegisterModule(3, QStringLiteral("Aliments"), CreateEditionAliments);
    // The recipe editor first settles and gives up its food table; if it cannot, the food
    // editor does not open.
    FVivanda->RegisterMenuAction(QStringLiteral("Aliments"), [] {
        if (!ReleaseRecipeEditorFoodTable()) return;
        FVivanda->OpenOrRaiseChild(QStringLiteral("FEditionAliments"), CreateEditionAliments);
    });
    FVivanda->RegisterModule(4, QStringLiteral("Utilisateurs"), CreateEditionUtilisateurs);
    FVivanda->RegisterModule(5, QStringLiteral("ConsomationJournaliere"), CreateConsoJournaliere);
}

int runVivanda(int argc, char** argv) {
    VivandaApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vivanda"));
    // Every window, child windows included, shows the program's icon rather than the toolkit's.
    QApplication::setWindowIcon(ProgramIcon());
    // The forms were laid out for a small sans-serif face.
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSize(8);
    QApplication::setFont(font);
    // A French program: on a machine left in the neutral "C" locale, dates, months and decimal
    // commas follow French usage; a user's own locale is kept otherwise.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // Qt's own dialogs (print preview, file choosers) in French.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);
    try {
        CreateLongLivedForms();
    } catch (const std::exception& ex) {
        // The start is refused: nothing of this run stays behind, whatever way the box is left.
        ReleaseInstanceLock();
        closeDatabase();
        if (dynamic_cast<const StartupError*>(&ex)) {
            // Also for whoever started the program from a terminal.
            std::fprintf(stderr, "Vivanda :\n%s\n", ex.what());
            ReportUnexpectedError(QString::fromUtf8(ex.what()));
        } else {
            ReportError(ex);
        }
        return 1;
    }
    // The help key opens the help page of the form that has the focus.
    InstallHelpKey([](QWidget* form, int context) {
        OpenHelpTopic(form, appState().HelpFilePath, context);
    });
    FVivanda->show();
    FVivanda->activateWindow();
    return app.exec();
}
