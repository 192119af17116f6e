// Start-up to the first paint: the program started in a working folder holding the scaled
// database (ScaledDatabase.h; --scale=N, 10 by default), against an empty Qt main window of the
// same size started by the same executable, all offscreen. Each iteration starts the processes
// in turn (the first one rotating); a process reports through a pipe when its window has been
// painted, and stops there. The time runs from the process's start to that report.
//
// A third process shows the same window with a one-item menu bar: the least a program with a
// menu pays on top of the empty window (the toolkit's font set-up and the menu bar's pictures).
//
// Counters: the median times of the program, the empty window and the window with a menu, the
// medians of the per-iteration ratios of the program to each, and the peak memory of the program
// and the empty window (resident set up to the first paint). With a start-up module (the
// argument: 0 none, 1 recipe search, 5 daily consumption), `module_ms` is the time to that module
// window's own first paint.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QMetaObject>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "ScaledDatabase.h"
#include "app/Startup.h"

extern char** environ;

namespace {

// ---- Child side --------------------------------------------------------------------------------

int g_reportFd = -1;
QString g_moduleName;   // component name of the start-up module window, or empty
bool g_framePainted = false;
bool g_modulePainted = false;
int g_reports = 0;

bool within(QObject* o, const QString& name) {
    for (; o; o = o->parent())
        if (o->objectName() == name) return true;
    return false;
}

// The process's own peak resident set (its VmHWM), in kB: what the spawner's accounting would
// mix with its own memory.
long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// One report: a letter ('F' frame, 'M' module), then the peak memory so far.
void report(char what) {
    struct {
        char what;
        long kb;
    } message{what, peakKb()};
    if (::write(g_reportFd, &message, sizeof message) != sizeof message) _exit(3);
    ++g_reports;
}

// Watches the paint events; once the window (and the module window when one is expected) has
// been painted, reports after the paint pass (its flush included) and ends the process.
class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Paint || !o->isWidgetType()) return false;
        QWidget* top = static_cast<QWidget*>(o)->window();
        if (!g_framePainted && top && top->isWindow() && top->inherits("QMainWindow")) {
            g_framePainted = true;
            QMetaObject::invokeMethod(qApp, [] { report('F'); finishIfDone(); }, Qt::QueuedConnection);
        }
        if (!g_moduleName.isEmpty() && !g_modulePainted && within(o, g_moduleName)) {
            g_modulePainted = true;
            QMetaObject::invokeMethod(qApp, [] { report('M'); finishIfDone(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    static void finishIfDone() {
        if (g_reports == (g_moduleName.isEmpty() ? 1 : 2)) _exit(0);
    }
};

void installFirstPaint() { qApp->installEventFilter(new FirstPaint); }

int runChild(int argc, char** argv) {
    // argv: exe --child <vivanda|empty|menu> <fd> [module name]
    const std::string kind = argv[2];
    g_reportFd = std::atoi(argv[3]);
    if (argc > 4) g_moduleName = QString::fromLatin1(argv[4]);
    qAddPreRoutine(installFirstPaint);
    int childArgc = 1;
    if (kind == "vivanda") return runVivanda(childArgc, argv);
    QApplication app(childArgc, argv);
    QMainWindow window;
    window.resize(684, 620);
    if (kind == "menu") window.menuBar()->addMenu(QStringLiteral("&Fichier"))->addAction(QStringLiteral("&Quitter"));
    window.show();
    return app.exec();
}

// ---- Parent side -------------------------------------------------------------------------------

struct Run {
    double frameMs = 0;
    double moduleMs = 0;
    long peakKb = 0;
};

std::string g_self;

Run startChild(const char* kind, const char* moduleName) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    const std::string fd = std::to_string(fds[1]);
    std::vector<char*> args = {g_self.data(), const_cast<char*>("--child"), const_cast<char*>(kind),
                               const_cast<char*>(fd.c_str())};
    if (moduleName && *moduleName) args.push_back(const_cast<char*>(moduleName));
    args.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, g_self.c_str(), nullptr, nullptr, args.data(), environ) != 0)
        throw std::runtime_error("spawn");
    ::close(fds[1]);
    Run run;
    struct {
        char what;
        long kb;
    } message{};
    while (::read(fds[0], &message, sizeof message) == sizeof message) {
        const double ms = clock.nsecsElapsed() / 1e6;
        if (message.what == 'F') run.frameMs = ms;
        if (message.what == 'M') run.moduleMs = ms;
        run.peakKb = std::max(run.peakKb, message.kb);
    }
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || run.frameMs == 0)
        throw std::runtime_error(std::string("the ") + kind + " process failed");
    return run;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

ScaledFolder* g_folder = nullptr;

void writeOptions(int module) {
    // The alert switches off (no first-steps message), then the start-up module.
    QByteArray bytes(10, '\0');
    for (int i = 0; i < 4; ++i) bytes[6 + i] = char((module >> (8 * i)) & 0xFF);
    QFile options(QDir(g_folder->path()).filePath(QStringLiteral("Options.dat")));
    if (!options.open(QIODevice::WriteOnly) || options.write(bytes) != bytes.size())
        throw std::runtime_error("Options.dat");
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    const int module = int(state.range(0));
    const char* const names[] = {"", "FRecettes", "", "", "", "FConsoJournaliere"};
    writeOptions(module);
    std::vector<double> program, empty, menu, ratios, menuRatios, modules;
    long programKb = 0, emptyKb = 0;
    int round = 0;
    for (auto _ : state) {
        // The three processes in turn, the first one rotating.
        Run runs[3];
        for (int i = 0; i < 3; ++i) {
            const int which = (round + i) % 3;
            runs[which] = which == 0 ? startChild("vivanda", names[module])
                                     : startChild(which == 1 ? "empty" : "menu", nullptr);
        }
        ++round;
        const Run& p = runs[0];
        program.push_back(p.frameMs);
        empty.push_back(runs[1].frameMs);
        menu.push_back(runs[2].frameMs);
        ratios.push_back(p.frameMs / runs[1].frameMs);
        menuRatios.push_back(p.frameMs / runs[2].frameMs);
        if (p.moduleMs > 0) modules.push_back(p.moduleMs);
        programKb = std::max(programKb, p.peakKb);
        emptyKb = std::max(emptyKb, runs[1].peakKb);
        state.SetIterationTime(p.frameMs / 1000);
    }
    state.counters["program_ms"] = median(program);
    state.counters["empty_ms"] = median(empty);
    state.counters["menu_ms"] = median(menu);
    state.counters["ratio"] = median(ratios);
    state.counters["menu_ratio"] = median(menuRatios);
    if (!modules.empty()) state.counters["module_ms"] = median(modules);
    state.counters["program_MB"] = programKb / 1024.0;
    state.counters["empty_MB"] = emptyKb / 1024.0;
}
BENCHMARK(BM_StartupToFirstPaint)->Arg(0)->Arg(1)->Arg(5)->Iterations(11)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc > 3 && std::strcmp(argv[1], "--child") == 0) return runChild(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const int scale = BenchScale(argc, argv);
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return 2;
    g_self.assign(self, size_t(n));
    QCoreApplication app(argc, argv);   // for the database build only
    ScaledFolder folder(scale);
    g_folder = &folder;
    // The children start in the working folder, as the program does.
    QDir::setCurrent(folder.path());
    benchmark::AddCustomContext("scale", std::to_string(scale));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
