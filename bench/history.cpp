// The balance window over ten years of one user's history (3,650 saved days of 20 food rows, and
// another user's year beside it): an activation (the period read again, page 1 of the calories
// painted) and a page change (the next page's sums read and the page painted), offscreen.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <memory>

#include "ShippedDatabase.h"
#include "data/Query.h"
#include "tracking/Fubilan.h"

namespace {

constexpr int kDays = 3650;
constexpr int kRowsPerDay = 20;
const QDate kFirstDay(2016, 1, 1);

void saveHistory(const QString& user, int days) {
    Transaction t;
    Query food(QStringLiteral("INSERT INTO t_histo_consommation VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    Query infos(QStringLiteral("INSERT INTO t_histo_infos_utilisateur VALUES (?, ?, ?, ?)"));
    for (int d = 0; d < days; ++d) {
        const QDate day = kFirstDay.addDays(d);
        for (int n = 0; n < kRowsPerDay; ++n) {
            food.clearBindings();
            for (const QVariant& v : {QVariant(user), QVariant(day), QVariant(QStringLiteral("Aliment %1").arg(n)),
                                      QVariant(0.5 + n * 0.05), QVariant(0.02), QVariant(0.03), QVariant(0.12),
                                      QVariant(50.0 + n * 5), QVariant(n + 1)})
                food.addBindValue(v);
            food.exec();
        }
        infos.clearBindings();
        infos.addBindValue(user).addBindValue(day).addBindValue(80 - d * 0.003).addBindValue(2200);
        infos.exec();
    }
    t.commit();
}

struct Fixture {
    ShippedDatabase db;
    std::unique_ptr<TFBilan> window;
    QImage canvas;
    Fixture() {
        saveHistory(QStringLiteral("Camille"), kDays);
        saveHistory(QStringLiteral("Dominique"), 365);
        window = std::make_unique<TFBilan>();
        window->resize(1272, 970);   // the window on a 1280 x 1024 screen
        window->NomUtilisateur = QStringLiteral("Camille");
        window->DateDebut = kFirstDay;
        window->DateFin = kFirstDay.addDays(kDays - 1);
        canvas = QImage(window->size(), QImage::Format_RGB32);
    }
    void paint() {
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        window->FormPaint(painter);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_BalanceActivationTenYears(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        f.window->FormActivate();
        f.paint();
    }
    state.counters["days"] = f.window->Data.dayCount();
}
BENCHMARK(BM_BalanceActivationTenYears)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BalancePageChangeTenYears(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        // From a fresh activation, so that the next page's sums are read, not found in memory.
        state.PauseTiming();
        f.window->FormActivate();
        f.window->SBtnNutriments->click();
        state.ResumeTiming();
        f.window->BtnSuivantClick();
        f.paint();
    }
}
BENCHMARK(BM_BalancePageChangeTenYears)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
