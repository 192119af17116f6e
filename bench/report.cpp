// The printed day: a 50-row consumption report (the day's limit) laid out, painted into a PDF and
// rendered as a preview page.
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "platform/report/ReportPainter.h"
#include "tracking/Uqrafficonsommation.h"

using namespace report;

namespace {

// The day's report as the program prints it.
Report dayReport() { return ConsumptionReport(); }

ReportData fiftyRows() {
    ReportData d;
    d.columns = {"NomAliment", "CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme",
                 "QuantiteGramme", "Numero", "poids_utilisateur"};
    for (int i = 0; i < 50; ++i)
        d.rows << QVariantList{QStringLiteral("Aliment numéro %1").arg(i), 0.5 + i * 0.01, 0.1, 0.05, 0.3, 100.0 + i, i + 1, 72};
    return d;
}

void BM_LayoutFiftyRowDay(benchmark::State& state) {
    const Report r = dayReport();
    const ReportData d = fiftyRows();
    for (auto _ : state) benchmark::DoNotOptimize(layoutReport(r, d));
}
BENCHMARK(BM_LayoutFiftyRowDay)->Unit(benchmark::kMillisecond);

void BM_PdfOfFiftyRowDay(benchmark::State& state) {
    const ReportPlan plan = layoutReport(dayReport(), fiftyRows());
    QTemporaryDir dir;
    for (auto _ : state) benchmark::DoNotOptimize(writePdf(plan, dir.filePath("jour.pdf")));
}
BENCHMARK(BM_PdfOfFiftyRowDay)->Unit(benchmark::kMillisecond);

void BM_PreviewPageOfFiftyRowDay(benchmark::State& state) {
    const ReportPlan plan = layoutReport(dayReport(), fiftyRows());
    for (auto _ : state) benchmark::DoNotOptimize(renderPage(plan, 0, 96));
}
BENCHMARK(BM_PreviewPageOfFiftyRowDay)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
