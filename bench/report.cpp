// The printed day: a 50-row consumption report (the day's limit) laid out, painted into a PDF and
// rendered as a preview page.
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "platform/report/ReportPainter.h"

using namespace report;

namespace {

Report dayReport() {
    Report r;
    Group g;
    g.header.height = 40;
    g.header.items << label("QRLblConsommationJournee", QStringLiteral("Consommation de la journée"), pxRect(8, 0, 700, 25))
                          .withPointSize(16)
                          .bold()
                   << label("QRLblUtilisateur", QStringLiteral("nutriments de Jean"), pxRect(8, 26, 700, 25)).withPointSize(16).bold()
                   << line("Trait", {0, 39.5}, {190, 39.5});
    g.footer.height = 20;
    const char* nutrients[] = {"CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme"};
    const double columns[] = {174, 291, 404, 518};
    for (int i = 0; i < 4; ++i) {
        const QString product = QStringLiteral("%1*QuantiteGramme").arg(QLatin1String(nutrients[i]));
        g.footer.items << expression(QStringLiteral("Tot%1").arg(i), QStringLiteral("SUM(%1)").arg(product),
                                     pxRect(columns[i], 4, 80, 17), "####0.###")
                       << expression(QStringLiteral("Kilo%1").arg(i),
                                     QStringLiteral("IF(poids_utilisateur >0,(SUM(%1)/poids_utilisateur),'-')").arg(product),
                                     pxRect(columns[i], 40, 80, 17), "####0.###");
    }
    r.groups << g;
    r.detail.height = 10;
    r.detail.items << rectangle("QRShBande1", {0, 0, 190, 5}, QColor(251, 249, 235))
                   << rectangle("QRShBande2", {0, 5, 190, 5}, QColor(227, 225, 225))
                   << field("NomAliment", "NomAliment", pxRect(8, 1, 160, 16));
    for (int i = 0; i < 4; ++i)
        r.detail.items << field(QStringLiteral("Par%1").arg(i), QLatin1String(nutrients[i]), pxRect(columns[i], 1, 60, 16))
                       << expression(QStringLiteral("Pour%1").arg(i),
                                     QStringLiteral("%1*QuantiteGramme").arg(QLatin1String(nutrients[i])),
                                     pxRect(columns[i], 20, 60, 16), "####0.###");
    r.detail.items << field("Quantite", "QuantiteGramme", pxRect(631, 20, 60, 16), "####0.###");
    return r;
}

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
