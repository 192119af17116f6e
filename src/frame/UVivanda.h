#pragma once
// The main window: MDI parent of the module windows, menu tree, start-up module, settings.
#include <QMainWindow>
#include <functional>
#include <stdexcept>

class QAction;
class QMdiArea;
class QMdiSubWindow;

class TFVivanda : public QMainWindow {
    Q_OBJECT
public:
    explicit TFVivanda(QWidget* parent = nullptr);
    ~TFVivanda() override;

    QMdiArea* mdiArea() const { return MdiArea; }

    // Brings the module window named `name` to the top, or creates it with `create` when there
    // is none. Returns the window's form.
    QWidget* OpenOrRaiseChild(const QString& name, const std::function<QWidget*()>& create);
    // The module window of the given component name, or null.
    QWidget* FindChildForm(const QString& name) const;
    // Creates the module window of a StartupModule value (1 to 5); null when not available.
    QWidget* CreateModule(int module);
    // Brings the window of a module (1 to 5) to the top, or creates it when there is none.
    QWidget* OpenOrRaiseModule(int module);

    // Makes a module window available: its menu item opens or raises it, and the start-up
    // module of that number creates it.
    using ModuleFactory = std::function<QWidget*()>;
    void RegisterModule(int module, const QString& menuItemName, ModuleFactory create);
    // Makes a modal dialog of the menus available: its menu item places and shows it.
    void RegisterMenuAction(const QString& menuItemName, std::function<void()> action);

    // Handlers
    void FormCreate();
    void FormActivate();
    void FormClose();
    void FormHelp();

    // Closes every module window through its own close path, oldest first, and frees those that
    // closed. A module window refuses by ignoring its QCloseEvent (an editor whose save failed);
    // the walk stops there and false is returned, the later windows staying open.
    bool CloseModuleWindows();

    QAction* menuItem(const QString& name) const;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // The program's shut-down: the module windows close first (one that refuses cancels the
    // shut-down and the frame stays); then Options.dat is written, the database closed and the
    // instance lock file removed.
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenus();
    void tickLanguageItems();
    void setLanguage(int code);

    void checkForUpdate();
    void afterFirstPaint();

    QMdiArea* MdiArea = nullptr;
    ModuleFactory Modules[6];
    // The frame shows itself first: the start-up module and the update check of its first
    // activation wait for its first paint.
    bool Painted = false;
    int StartupModuleAfterPaint = 0;
    bool UpdateCheckAfterPaint = false;
};

extern TFVivanda* FVivanda;

// Adds a module form to the frame as a fixed-size child window without minimise and maximise
// boxes, centred in the frame's client area; the window frees itself when closed.
QMdiSubWindow* ShowModuleWindow(QWidget* form);
// ShowModuleWindow, then makes the window the active child (which runs its first activation).
// Returns the form.
QWidget* ShowActiveModuleWindow(QWidget* form);
// Runs `handler` each time `form`'s window becomes the frame's active child window.
void OnModuleActivation(QWidget* form, std::function<void()> handler);
// Closes a module form through its child window of the frame (or the form itself when it stands
// alone), so that its window's close path runs.
void CloseModuleWindow(QWidget* form);

// Raised by the frame's creation when the program cannot start (its database is missing or
// unreadable); the message is French and names the path.
class StartupError : public std::runtime_error {
public:
    explicit StartupError(const QString& message);
};

// Removes the instance marker (MyVivanda.lock) the frame's creation made: at shut-down, and on
// every way out of a start that was refused.
void ReleaseInstanceLock();

// The standard box for an unexpected error that a handler does not map to its own message.
void ReportUnexpectedError(const QString& message);

// The box for a write that another program's lock held off beyond the busy timeout: the
// database is busy and nothing was written.
void ReportDatabaseBusy();

// An error that escaped a handler: the busy box for a database locked by another program, the
// standard box otherwise.
void ReportError(const std::exception& e);

// Runs a handler from a widget signal (where an exception must not reach the toolkit); an error
// it does not handle itself goes to ReportError.
template <typename Fn>
void RunGuarded(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        ReportError(e);
    }
}
