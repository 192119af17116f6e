// Opening each window from its menu item, to its first paint, on the scaled database
// (ScaledDatabase.h: 10 times the shipped one by default, --scale=N otherwise), offscreen, with
// the program's frame and its long-lived forms as the program builds them.
//
// One iteration: the menu item triggered, then the events run until the window (a module window
// in the frame, or the modal dialog) has been painted; the window is then closed, untimed. The
// reported time is the mean of five openings; the counters give their median, the first opening
// (which also builds a window that is built on first use) and the slowest.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QPointer>
#include <QSet>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "ScaledDatabase.h"
#include "app/Startup.h"
#include "frame/AppState.h"
#include "frame/UVivanda.h"
#include "frame/UpdateCheck.h"
#include "platform/Modal.h"

namespace {

// Every widget painted since the last reset.
class PaintWatch : public QObject {
public:
    QSet<QWidget*> painted;
    bool paintedWithin(const QWidget* window) const {
        for (QWidget* w : painted)
            if (w == window || window->isAncestorOf(w)) return true;
        return false;
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && o->isWidgetType()) painted.insert(static_cast<QWidget*>(o));
        return false;
    }
};

PaintWatch* g_watch = nullptr;

// Runs the events until `done` or five seconds.
void runEventsUntil(const std::function<bool()>& done) {
    QElapsedTimer limit;
    limit.start();
    while (!done() && limit.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void flushDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The program as it starts: working folder, frame and long-lived forms, frame shown and active.
struct Program {
    ScaledFolder folder;
    explicit Program(int scale) : folder(scale) {
        QDir::setCurrent(folder.path());
        // The alert switches off (no first-steps message) and no start-up module.
        QFile options(QStringLiteral("Options.dat"));
        if (!options.open(QIODevice::WriteOnly) || options.write(QByteArray(10, '\0')) != 10)
            throw std::runtime_error("Options.dat");
        options.close();
        SetUpdateCheckEnabled(false);
        CreateLongLivedForms();
        FVivanda->show();
        FVivanda->activateWindow();
        runEventsUntil([] { return QApplication::activeWindow() == FVivanda; });
    }
};

// The process's processor time in milliseconds (the figures that hold on a loaded machine).
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The process's peak resident memory (VmHWM) in MiB, or -1.
double peakMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

struct Openings {
    std::vector<double> ms, cpu;
    double cpuStart = 0;
    void start() { cpuStart = cpuMs(); }
    void stop() { cpu.push_back(cpuMs() - cpuStart); }
    void report(benchmark::State& state) {
        if (ms.empty()) return;
        auto median = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        state.counters["first_ms"] = ms.front();
        state.counters["median_ms"] = median(ms);
        state.counters["max_ms"] = *std::max_element(ms.begin(), ms.end());
        if (cpu.empty()) return;
        state.counters["cpu_first_ms"] = cpu.front();
        state.counters["cpu_median_ms"] = median(cpu);
        state.counters["peak_MiB"] = peakMiB();
    }
};

// A module window: the menu item opens it in the frame; it is closed after its first paint.
void openModule(benchmark::State& state, const char* item, const char* formName) {
    Openings openings;
    for (auto _ : state) {
        g_watch->painted.clear();
        QElapsedTimer clock;
        clock.start();
        openings.start();
        FVivanda->menuItem(QString::fromLatin1(item))->trigger();
        QWidget* form = nullptr;
        runEventsUntil([&] {
            form = FVivanda->FindChildForm(QString::fromLatin1(formName));
            return form && g_watch->paintedWithin(form);
        });
        openings.stop();
        const double ms = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        openings.ms.push_back(ms);
        if (!form) {
            state.SkipWithError("the window did not open");
            break;
        }
        CloseModuleWindow(form);
        flushDeletions();
    }
    openings.report(state);
}

// Triggers the menu item and times it until the modal box it shows has been painted, then
// dismisses the box; `after` runs once the box is gone (both untimed). Returns
// the milliseconds, or -1 when no box showed.
double timeToModalPaint(Openings& openings, const QString& item, const std::function<void()>& after = {}) {
    g_watch->painted.clear();
    double ms = -1;
    QElapsedTimer clock;
    modal::pushHandler([&](modal::Call& call) {
        QDialog* dialog = call.dialog;
        runEventsUntil([&] { return dialog && g_watch->paintedWithin(dialog); });
        openings.stop();
        ms = clock.nsecsElapsed() / 1e6;
        if (dialog) dialog->reject();
    });
    clock.start();
    openings.start();
    FVivanda->menuItem(item)->trigger();
    runEventsUntil([&] { return ms >= 0; });
    modal::clearHandlers();
    if (after) after();
    flushDeletions();
    if (ms >= 0) openings.ms.push_back(ms);
    return ms;
}

// A modal dialog: the menu item shows it; once painted it is dismissed.
void openDialog(benchmark::State& state, const char* item) {
    Openings openings;
    for (auto _ : state) {
        const double ms = timeToModalPaint(openings, QString::fromLatin1(item));
        if (ms < 0) {
            state.SkipWithError("the dialog did not show");
            break;
        }
        state.SetIterationTime(ms / 1000);
    }
    openings.report(state);
}

// The day window as a user first meets it: opened with its first-use message box, timed until
// the box has been painted; the box is then dismissed and the window closed, untimed.
void openDayWindowFirstUse(benchmark::State& state) {
    Openings openings;
    for (auto _ : state) {
        appState().SwitchConsumptionInfo = 1;
        appState().ConsumptionInfoShown = 0;
        const double ms = timeToModalPaint(openings, QStringLiteral("ConsomationJournaliere"), [] {
            if (QWidget* form = FVivanda->FindChildForm(QStringLiteral("FConsoJournaliere"))) CloseModuleWindow(form);
        });
        if (ms < 0) {
            state.SkipWithError("the first-use box did not show");
            break;
        }
        state.SetIterationTime(ms / 1000);
    }
    appState().SwitchConsumptionInfo = 0;
    openings.report(state);
}

void registerBenchmarks() {
    benchmark::RegisterBenchmark("BM_Open/DailyConsumptionFirstUse", openDayWindowFirstUse)
        ->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
    struct Module {
        const char* label;
        const char* item;
        const char* form;
    };
    for (const Module& m : {Module{"RecipeSearch", "RechercheRecettes", "FRecettes"},
                            Module{"DailyConsumption", "ConsomationJournaliere", "FConsoJournaliere"},
                            Module{"RecipeEditor", "Recettes", "FEditionRecettes"},
                            Module{"FoodEditor", "Aliments", "FEditionAliments"},
                            Module{"UserEditor", "Utilisateurs", "FEditionUtilisateurs"}}) {
        benchmark::RegisterBenchmark((std::string("BM_Open/") + m.label).c_str(),
                                     [m](benchmark::State& s) { openModule(s, m.item, m.form); })
            ->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    struct Dialog {
        const char* label;
        const char* item;
    };
    for (const Dialog& d : {Dialog{"HistoryDisplay", "Historiquedesconsommations"},
                            Dialog{"HistoryMaintenance", "Gestiondelhistoriquedesconsommations"},
                            Dialog{"MeasureToGrams", "ConversionVM"}, Dialog{"GramsToMeasure", "ConversionMV"},
                            Dialog{"BodyMassIndex", "CalculdelIMC"}, Dialog{"Options", "AfficheMessage"},
                            Dialog{"FirstSteps", "InformationAstucesVivanda"}, Dialog{"About", "AproposdeVivanda"}}) {
        benchmark::RegisterBenchmark((std::string("BM_Open/") + d.label).c_str(),
                                     [d](benchmark::State& s) { openDialog(s, d.item); })
            ->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int scale = BenchScale(argc, argv);
    QApplication app(argc, argv);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSize(8);
    QApplication::setFont(font);
    modal::setScripted(true);
    PaintWatch watch;
    g_watch = &watch;
    app.installEventFilter(&watch);
    auto program = std::make_unique<Program>(scale);
    benchmark::AddCustomContext("scale", std::to_string(scale));
    registerBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Every window chosen has been opened: what the process held at its most.
    std::fprintf(stderr, "peak memory (VmHWM) after the windows opened: %.1f MiB\n", peakMiB());
    delete FVivanda;
    program.reset();
    return 0;
}
