#include "frame/UVivanda.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <optional>
#include <utility>

#include "frame/AppState.h"
#include "data/Database.h"
#include "data/NameColumn.h"
#include "data/RightsFixup.h"
#include "frame/Placement.h"
#include "frame/Settings.h"
#include "frame/StringTable.h"
#include "frame/UpdateCheck.h"
#include "platform/HelpViewer.h"
#include "platform/Modal.h"
#include "platform/StandardBox.h"
#include "reference/RecipeSave.h"
#include "reference/UserNames.h"

TFVivanda* FVivanda = nullptr;

StartupError::StartupError(const QString& message) : std::runtime_error(message.toStdString()) {}

void ReportUnexpectedError(const QString& message) {
    ShowStandardBox(QMessageBox::Critical, QStringLiteral("Vivanda"), message, QMessageBox::Ok, frameWindow());
}

void ReportDatabaseBusy() {
    ShowStandardBox(QMessageBox::Warning, QStringLiteral("Base de données occupée"),
                    QStringLiteral("        La base de données est utilisée par un autre programme.\n"
                                   "        Rien n'a été enregistré : réessayez dans un instant."),
                    QMessageBox::Ok, frameWindow());
}

void ReportError(const std::exception& e) {
    if (IsDatabaseBusy(e))
        ReportDatabaseBusy();
    else
        ReportUnexpectedError(DatabaseFailureText(e));
}

namespace {

// The instance marker: a lock file in the working folder whose result is not looked at. It
// lives as long as the frame.
QLockFile* g_instanceLock = nullptr;
// Whether this run holds the marker: no other instance of the program is running here.
bool g_instanceAlone = false;

}  // namespace

void ReleaseInstanceLock() {
    delete g_instanceLock;  // unlocks, which removes the file
    g_instanceLock = nullptr;
    g_instanceAlone = false;
}

namespace {

struct MenuEntry {
    const char* parent;   // name of the submenu it belongs to ("" = menu bar)
    const char* name;     // component name
    const char* caption;
    bool submenu;
    bool hidden;
};

// The menu tree, in order.
const MenuEntry kMenu[] = {
    {"", "Fichier", "&Fichier", true, false},
    {"Fichier", "Quitter", "&Quitter", false, false},
    {"", "Calories", "&Alimentation", true, false},
    {"Calories", "RechercheRecettes", "&Recettes de cuisine", false, false},
    {"Calories", "ConsomationJournaliere", "Co&nsommation journalière", false, false},
    {"Calories", "Historiquedesconsommations", "Historique des consommations", false, false},
    {"", "G1", "Gestion", true, false},
    {"G1", "Recettes", "Gestion des &recettes", false, false},
    {"G1", "Aliments", "Gestion des &aliments", false, false},
    {"G1", "Utilisateurs", "Gestion des &utilisateurs", false, false},
    {"G1", "Gestiondelhistoriquedesconsommations", "Gestion de l'historique des consommations", false, false},
    {"", "Outils", "O&utils", true, false},
    {"Outils", "Conversiondesmesures", "Conversion des mesures  ", true, false},
    {"Conversiondesmesures", "ConversionVM", "Conversion de diverses unités de &mesure en grammes", false, false},
    {"Conversiondesmesures", "ConversionMV", "Conversion des grammes en d'autres &unités de mesure", false, false},
    {"Outils", "CalculdelIMC", "Calcul de l'IMC", false, false},
    {"", "Options", "&Options", true, false},
    {"Options", "Langue", "&Langue", true, true},
    {"Langue", "Francais", "Français", false, false},
    {"Langue", "Anglais", "Anglais", false, false},
    {"Langue", "Allemand", "Allemand", false, false},
    {"Langue", "Italien", "Italien", false, false},
    {"Langue", "Espagnol", "Espagnol", false, true},
    {"Options", "AfficheMessage", "A&ffichage des messages d'alerte", false, false},
    {"", "Fenetres", "&Fenêtres", true, true},
    {"Fenetres", "Cascade", "Ca&scade", false, true},
    {"Fenetres", "Mosaique", "&Mosaïque", false, false},
    {"Fenetres", "Icones", "&Icônes", false, false},
    {"", "Aide", "&?", true, false},
    {"Aide", "AidesurVivanda", "Ai&de sur Vivanda", false, false},
    {"Aide", "PagePresentationdeVivanda", "Guide d'utilisation de &Vivanda", false, false},
    {"Aide", "VideosDemonstrationVivanda", "Vidéos de démonstration de Vivanda", false, false},
    {"Aide", "SiteInternetAuteur", "Site &Internet de l'auteur", false, false},
    {"Aide", "InformationAstucesVivanda", "Information et astuces sur Vivanda", false, false},
    {"Aide", "AproposdeVivanda", "À &propos de Vivanda", false, false},
};

const char* const kLanguageItems[] = {"Francais", "Anglais", "Allemand", "Italien", "Espagnol"};

// Component names of the module windows, by StartupModule value.
const char* const kModuleNames[] = {"", "FRecettes", "FEditionRecettes", "FEditionAliments",
                                    "FEditionUtilisateurs", "FConsoJournaliere"};

}  // namespace

TFVivanda::TFVivanda(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FVivanda"));
    setWindowTitle(QStringLiteral("Vivanda"));
    setProperty("HelpContext", 10);
    setMinimumSize(680, 560);
    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    MdiArea->setBackground(QColor(0xBF, 0xCD, 0xDB));  // inactive caption colour
    setCentralWidget(MdiArea);
    MdiArea->viewport()->installEventFilter(this);
    buildMenus();
    FVivanda = this;
    setFrameWindow(this);
    try {
        FormCreate();
    } catch (...) {
        // A refused start leaves nothing behind it.
        ReleaseInstanceLock();
        FVivanda = nullptr;
        setFrameWindow(nullptr);
        throw;
    }
}

TFVivanda::~TFVivanda() {
    if (FVivanda == this) {
        FVivanda = nullptr;
        ReleaseInstanceLock();
    }
}

void TFVivanda::buildMenus() {
    QHash<QString, QMenu*> menus;
    for (const MenuEntry& e : kMenu) {
        const QString name = QString::fromUtf8(e.name);
        const QString caption = QString::fromUtf8(e.caption);
        QMenu* parentMenu = menus.value(QString::fromUtf8(e.parent));
        QAction* action = nullptr;
        if (e.submenu) {
            QMenu* menu = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
            menu->setObjectName(name);
            menus.insert(name, menu);
            action = menu->menuAction();
        } else {
            action = parentMenu->addAction(caption);
        }
        action->setObjectName(name);
        action->setVisible(!e.hidden);
    }
    for (const char* lang : kLanguageItems) menuItem(QString::fromUtf8(lang))->setCheckable(true);

    auto on = [this](const char* name, auto&& fn) {
        connect(menuItem(QString::fromUtf8(name)), &QAction::triggered, this, fn);
    };
    on("Quitter", [this] { close(); });
    on("Francais", [this] { setLanguage(0); });
    on("Anglais", [this] { setLanguage(200); });
    on("Allemand", [this] { setLanguage(400); });
    on("Italien", [this] { setLanguage(600); });
    on("Espagnol", [this] { setLanguage(800); });
    on("Cascade", [] {});
    on("Mosaique", [this] { MdiArea->tileSubWindows(); });
    on("Icones", [this] {
        // Lines the minimised children up along the bottom of the client area.
        int x = 0;
        for (QMdiSubWindow* sub : MdiArea->subWindowList()) {
            if (!sub->isMinimized()) continue;
            sub->move(x, MdiArea->viewport()->height() - sub->height());
            x += sub->width();
        }
    });
    on("AidesurVivanda", [this] { FormHelp(); });

    // Module windows and dialogs that are not part of the program yet stay disabled.
    for (const char* name : {"RechercheRecettes", "ConsomationJournaliere", "Historiquedesconsommations",
                             "Recettes", "Aliments", "Utilisateurs", "Gestiondelhistoriquedesconsommations",
                             "ConversionVM", "ConversionMV", "CalculdelIMC", "AfficheMessage",
                             "PagePresentationdeVivanda", "VideosDemonstrationVivanda", "SiteInternetAuteur",
                             "InformationAstucesVivanda", "AproposdeVivanda"})
        menuItem(QString::fromUtf8(name))->setEnabled(false);
}

QAction* TFVivanda::menuItem(const QString& name) const {
    for (QAction* a : findChildren<QAction*>())
        if (a->objectName() == name) return a;
    for (QMenu* m : findChildren<QMenu*>())
        if (m->objectName() == name) return m->menuAction();
    return nullptr;
}

void TFVivanda::FormCreate() {
    AppState& st = appState();
    // Named-instance marker; whether another instance holds it is not looked at.
    if (!g_instanceLock) {
        g_instanceLock = new QLockFile(QDir::current().filePath(QStringLiteral("MyVivanda.lock")));
        g_instanceLock->setStaleLockTime(0);
        g_instanceAlone = g_instanceLock->tryLock(0);
    }
    resize(684, 620);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->geometry();
        move((avail.width() - 684) / 2, (avail.height() - 620) / 2);
    }
    st.ApplicationName = LoadString(0).left(19);
    st.ApplicationVersion = LoadString(1).left(19);
    const QString base = QDir::currentPath() + QLatin1Char('/');
    st.ImagesDirectory = base + QStringLiteral("Images");
    st.DataDirectory = base + QStringLiteral("Data");
    st.BrowserFailureText = LoadString(173);
    st.BrowserFailureCaption = LoadString(174);
    // The program cannot do anything without its database: stop here with a clear message.
    if (!databaseIsOpen()) {
        const QString problem = openDatabase(st.DataDirectory);
        if (!problem.isEmpty()) throw StartupError(problem);
    }
    // Repairs before any window reads the rows. Each is tried; one that fails is not fatal (its
    // rows stay as they are) and the first failure is told once.
    std::optional<DatabaseError> failed;
    auto repair = [&failed](auto&& step) {
        try {
            step();
        } catch (const DatabaseError& e) {
            if (!failed) failed = e;
        }
    };
    repair(FixRecipeRights);
    // A recipe edit that a stop of the program interrupted is undone, and a new recipe never
    // saved removed: the day window and the recipe search never list them half-made. Not while
    // another instance runs here: its edit may be under way.
    if (g_instanceAlone) repair(RecoverInterruptedRecipeEdits);
    // Users' names stored with surrounding blanks lose them, with their saved days.
    repair(TrimStoredUserNames);
    // Foods and recipes named in one language only show under that name in the others.
    repair([] { FillEmptyNameColumns(QStringLiteral("t_aliments"), QStringLiteral("NomAliment")); });
    repair([] { FillEmptyNameColumns(QStringLiteral("t_recettes"), QStringLiteral("NomRecette")); });
    if (failed) ReportError(*failed);
    ReadOptionsFile();
    st.OptionsDirty = 0;
    st.RecipeInfoShown = 0;
    st.ConsumptionInfoShown = 0;
    st.MainWindowActivated = 0;
    st.HelpFilePath = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("help"));
}

void TFVivanda::tickLanguageItems() {
    const int code = appState().LanguageCode;
    for (int i = 0; i < 5; ++i) menuItem(QString::fromUtf8(kLanguageItems[i]))->setChecked(code == i * 200);
}

void TFVivanda::setLanguage(int code) {
    appState().LanguageCode = code;
    tickLanguageItems();
}

void TFVivanda::FormActivate() {
    AppState& st = appState();
    ReadLanguageFile();
    tickLanguageItems();
    if (st.MainWindowActivated == 0) {
        // Marked before the module opens: its introduction message runs a modal loop, and the
        // frame's activation when that message closes must not open a second window.
        st.MainWindowActivated = 1;
        if (st.StartupModule >= 1 && st.StartupModule <= 5) {
            if (isVisible() && !Painted)
                StartupModuleAfterPaint = st.StartupModule;
            else
                CreateModule(st.StartupModule);
        }
    }
    // The check loads the network and its encryption libraries: it starts once the frame has
    // been painted, so that the window never waits for it.
    if (Painted)
        checkForUpdate();
    else
        UpdateCheckAfterPaint = true;
}

void TFVivanda::checkForUpdate() {
    const AppState& st = appState();
    CheckForUpdate(this, UpdateSectionName(st.ApplicationName, st.ApplicationVersion));
}

void TFVivanda::FormClose() { WriteOptionsFile(); }

void TFVivanda::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, 10); }

QWidget* TFVivanda::FindChildForm(const QString& name) const {
    QWidget* found = nullptr;
    for (QMdiSubWindow* sub : MdiArea->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget() && sub->widget()->objectName() == name) found = sub->widget();
    return found;
}

QWidget* TFVivanda::OpenOrRaiseChild(const QString& name, const std::function<QWidget*()>& create) {
    QMdiSubWindow* match = nullptr;
    for (QMdiSubWindow* sub : MdiArea->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget() && sub->widget()->objectName() == name) match = sub;
    if (match) {
        match->raise();
        MdiArea->setActiveSubWindow(match);
        return match->widget();
    }
    return create ? create() : nullptr;
}

QWidget* TFVivanda::CreateModule(int module) {
    if (module < 1 || module > 5 || !Modules[module]) return nullptr;
    return Modules[module]();
}

QWidget* TFVivanda::OpenOrRaiseModule(int module) {
    if (module < 1 || module > 5) return nullptr;
    return OpenOrRaiseChild(QString::fromUtf8(kModuleNames[module]), [this, module] { return CreateModule(module); });
}

void TFVivanda::RegisterModule(int module, const QString& menuItemName, ModuleFactory create) {
    if (module < 1 || module > 5) return;
    Modules[module] = create;
    const QString name = QString::fromUtf8(kModuleNames[module]);
    RegisterMenuAction(menuItemName, [this, name, create] { OpenOrRaiseChild(name, create); });
}

void TFVivanda::RegisterMenuAction(const QString& menuItemName, std::function<void()> action) {
    QAction* item = menuItem(menuItemName);
    if (!item) return;
    item->disconnect(this);
    connect(item, &QAction::triggered, this, [action] { action(); });
    item->setEnabled(true);
}

bool TFVivanda::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

bool TFVivanda::eventFilter(QObject* watched, QEvent* e) {
    // The client area's first paint: the frame has been painted once the paint pass is over.
    if (e->type() == QEvent::Paint && watched == MdiArea->viewport() && !Painted) {
        Painted = true;
        QTimer::singleShot(0, this, [this] { afterFirstPaint(); });
    }
    return QMainWindow::eventFilter(watched, e);
}

void TFVivanda::afterFirstPaint() {
    if (const int module = std::exchange(StartupModuleAfterPaint, 0)) CreateModule(module);
    if (std::exchange(UpdateCheckAfterPaint, false)) checkForUpdate();
}

bool TFVivanda::CloseModuleWindows() {
    QList<QPointer<QMdiSubWindow>> windows;
    for (QMdiSubWindow* sub : MdiArea->subWindowList(QMdiArea::CreationOrder)) windows << sub;
    bool allClosed = true;
    for (const QPointer<QMdiSubWindow>& sub : windows) {
        if (!sub) continue;
        // The sub-window passes the close to its form and refuses when the form does.
        if (!sub->close()) {
            allClosed = false;
            break;
        }
    }
    // The closed windows free themselves later; free them now, while the database they may
    // still reach in their destructors is open.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return allClosed;
}

void TFVivanda::closeEvent(QCloseEvent* e) {
    if (!CloseModuleWindows()) {
        e->ignore();
        return;
    }
    FormClose();
    closeDatabase();
    ReleaseInstanceLock();
    QMainWindow::closeEvent(e);
}

QMdiSubWindow* ShowModuleWindow(QWidget* form) {
    if (!FVivanda) {
        form->show();
        return nullptr;
    }
    QMdiArea* area = FVivanda->mdiArea();
    const QSize size = form->size();
    QMdiSubWindow* sub = area->addSubWindow(form, Qt::SubWindow | Qt::WindowTitleHint |
                                                      Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    form->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(form->windowTitle());
    sub->adjustSize();
    sub->setFixedSize(sub->sizeHint().expandedTo(size));
    const QSize client = area->viewport()->size();
    sub->move((client.width() - sub->width()) / 2, (client.height() - sub->height()) / 2);
    sub->show();
    return sub;
}

QWidget* ShowActiveModuleWindow(QWidget* form) {
    if (QMdiSubWindow* sub = ShowModuleWindow(form)) sub->mdiArea()->setActiveSubWindow(sub);
    return form;
}

void OnModuleActivation(QWidget* form, std::function<void()> handler) {
    if (!FVivanda) return;
    QObject::connect(FVivanda->mdiArea(), &QMdiArea::subWindowActivated, form,
                     [form, handler = std::move(handler)](QMdiSubWindow* sub) {
                         if (sub && sub->widget() == form) handler();
                     });
}

void CloseModuleWindow(QWidget* form) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        sub->close();
    else
        form->close();
}
