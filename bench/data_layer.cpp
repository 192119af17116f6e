// Data layer: open and scan a food table of 10,000 rows, locate a name, rebuild the model of a
// 50-row day grid.
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "SeedLoader.h"
#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/Query.h"
#include "data/Table.h"
#include "frame/AppState.h"

namespace {

// A working folder with an empty database, then 10,000 foods and a 50-row day.
struct BenchData {
    QTemporaryDir dir;
    BenchData() {
        QDir(dir.path()).mkpath("Data");
        const std::string error = seed::buildDatabase(VIVANDA_SOURCE_DIR "/db/schema.sql", dir.path().toStdString() + "/none",
                                                      (dir.path() + "/Data/vivanda.db").toStdString());
        if (!error.empty()) throw std::runtime_error(error);
        appState().DataDirectory = dir.path() + "/Data";
        const QString problem = openDatabase(appState().DataDirectory);
        if (!problem.isEmpty()) throw std::runtime_error(problem.toStdString());
        Transaction t;
        Query ins("INSERT INTO t_aliments VALUES (?, ?, ?, NULL, NULL, NULL, ?, ?, ?, ?, 100, 1, 0, ?)");
        for (int i = 1; i <= 10000; ++i) {
            ins.clearBindings();
            ins.addBindValue(i).addBindValue(QString("Aliment %1").arg(i, 5, 10, QChar('0')))
                .addBindValue(QString("Food %1").arg(i)).addBindValue(0.01 * (i % 900))
                .addBindValue(0.001 * (i % 100)).addBindValue(0.002 * (i % 50)).addBindValue(0.003 * (i % 30))
                .addBindValue(1 + i % 20);
            ins.exec();
        }
        Query day("INSERT INTO t_consommation SELECT NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                  "ProtidesGramme, GlucidesGramme, 100 + IdAliment, IdAliment - 1 FROM t_aliments WHERE IdAliment <= 50");
        day.exec();
        t.commit();
    }
    ~BenchData() { closeDatabase(); }
};

BenchData& data() {
    static BenchData d;
    return d;
}

void BM_OpenAndScanFoods(benchmark::State& state) {
    data();
    for (auto _ : state) {
        Table foods("t_aliments");
        foods.open();
        double sum = 0;
        for (foods.first(); !foods.eof(); foods.next()) sum += foods.asDouble("CaloriesGramme");
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_OpenAndScanFoods)->Unit(benchmark::kMillisecond);

void BM_LocateFoodName(benchmark::State& state) {
    data();
    Table foods("t_aliments");
    foods.open();
    for (auto _ : state) {
        foods.first();
        benchmark::DoNotOptimize(foods.locate("NomAlimentFrancais", "aliment 0999", {true, true}));
    }
}
BENCHMARK(BM_LocateFoodName)->Unit(benchmark::kMicrosecond);

void BM_RebuildDayGridModel(benchmark::State& state) {
    data();
    Table conso("t_consommation");
    conso.setOrderBy("Numero");
    conso.open();
    DbTableModel model;
    model.setTable(&conso);
    model.setColumns({{"NomAliment", "Aliment", 112}, {"CaloriesGramme", "Calories", 52, "####0.##"},
                      {"ProtidesGramme", "Protides", 52, "####0.##"}, {"LipidesGramme", "Lipides", 52, "####0.##"},
                      {"GlucidesGramme", "Glucides", 52, "####0.##"}, {"QuantiteGramme", "Quantité (gr)", 62, "####0.##"}});
    for (auto _ : state) {
        conso.refresh();
        int chars = 0;
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < model.columnCount(); ++c) chars += model.displayText(r, c).size();
        benchmark::DoNotOptimize(chars);
    }
}
BENCHMARK(BM_RebuildDayGridModel)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
