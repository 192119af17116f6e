#include <gtest/gtest.h>

#include "platform/Modal.h"
#include "platform/report/ReportPainter.h"

#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QToolBar>
#include <QTemporaryDir>

using namespace report;

namespace {

const QColor kCream(251, 249, 235);

ReportPlan sampleFrenchPlan() {
    Report r;
    Group g;
    g.header.height = 15;
    g.header.items << label("Titre", QStringLiteral("Consommation de la journée"), {0, 0, 150, 8}).withPointSize(16).bold();
    g.footer.height = 10;
    g.footer.items << label("LblTotal", "Total", {0, 0, 30, 6})
                   << expression("QRTotQuantite", "SUM(QuantiteGramme)", {60, 0, 40, 6}, "####0.##");
    r.groups << g;
    r.detail.height = 8;
    r.detail.items << rectangle("QRShBande1", {0, 0, 190, 8}, kCream)
                   << field("QRDBTxtAliment", "NomAliment", {2, 1, 60, 6})
                   << field("QRDBTxtQuantite", "QuantiteGramme", {60, 1, 40, 6}, "####0.###").aligned(Qt::AlignRight);
    ReportData d;
    d.columns = {"NomAliment", "QuantiteGramme"};
    for (int i = 0; i < 45; ++i) d.rows << QVariantList{i == 0 ? QStringLiteral("Crème fraîche") : QStringLiteral("Pomme %1").arg(i),
                                                        i == 0 ? 1234.5 : 12.0};
    return layoutReport(r, d, QLocale(QLocale::French, QLocale::France));
}

// What a poppler tool prints for a file; empty when it fails.
QString toolOutput(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

}  // namespace

TEST(ReportPainter, PdfHoldsTheTextsOfEveryPage) {
    const ReportPlan plan = sampleFrenchPlan();
    ASSERT_EQ(plan.pageCount, 2);
    QTemporaryDir dir;
    const QString path = dir.filePath("rapport.pdf");
    ASSERT_TRUE(writePdf(plan, path));

    const QString text = toolOutput("pdftotext", {"-enc", "UTF-8", path, "-"});
    const QStringList pages = text.split(QChar('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2) << text.toStdString();
    for (const char* first : {"Consommation de la journée", "Crème fraîche", "1234,5"})
        EXPECT_TRUE(pages[0].contains(QString::fromUtf8(first))) << first;
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Pomme 44")));
    for (const char* second : {"Pomme 44", "Total", "1762,5"})  // 1234.5 + 44 x 12
        EXPECT_TRUE(pages[1].contains(QString::fromUtf8(second))) << second;
    // The file names the program that wrote it and keeps the report's paper.
    const QString info = toolOutput("pdfinfo", {path});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Creator:\\s+Vivanda\n")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
}

TEST(ReportPainter, PagesPaintAtTheirMillimetrePositions) {
    const ReportPlan plan = sampleFrenchPlan();
    const QImage page = renderPage(plan, 0, 96);
    const PlanItem firstRow = plan.named("QRShBande1").first();
    const double dotsPerMm = 96 / 25.4;
    // Inside the first row's band, away from its text: the band's colour; in the margin: white.
    const QPoint inside(qRound((firstRow.rect.right() - 5) * dotsPerMm), qRound(firstRow.rect.center().y() * dotsPerMm));
    EXPECT_EQ(page.pixelColor(inside).rgb(), kCream.rgb());
    EXPECT_EQ(page.pixelColor(qRound(5 * dotsPerMm), inside.y()).rgb(), QColor(Qt::white).rgb());

    // A picture stretches over its rectangle; a line runs from corner to corner.
    Report r;
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    r.title.height = 60;
    r.title.items << image("QRImage", red, {20, 10, 40, 40}) << line("Trait", {0, 55}, {190, 55}, 1.0);
    const ReportPlan pictured = layoutReport(r, ReportData{});
    const QImage drawn = renderPage(pictured, 0, 96);
    auto at = [&](double xMm, double yMm) { return drawn.pixelColor(qRound(xMm * dotsPerMm), qRound(yMm * dotsPerMm)).rgb(); };
    EXPECT_EQ(at(10 + 20 + 2, 10 + 10 + 2), QColor(Qt::red).rgb());
    EXPECT_EQ(at(10 + 60 - 2, 10 + 50 - 2), QColor(Qt::red).rgb());
    EXPECT_EQ(at(10 + 62, 10 + 30), QColor(Qt::white).rgb());
    EXPECT_EQ(at(100, 10 + 55), QColor(Qt::black).rgb());
}

TEST(ReportPainter, PreviewShowsThroughTheModalSeamWithItsWholeToolBar) {
    const ReportPlan plan = sampleFrenchPlan();
    QWidget frame;
    frame.resize(680, 560);   // the program's frame at its smallest size
    int pages = -1;
    modal::clearHandlers();
    modal::pushHandler([&](modal::Call& call) {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(call.dialog);
        ASSERT_NE(dialog, nullptr);
        auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(preview, nullptr);
        preview->updatePreview();
        pages = preview->pageCount();
        // The print button comes last: it must not hide behind the tool bar's overflow arrow.
        EXPECT_GE(dialog->width(), dialog->findChild<QToolBar*>()->sizeHint().width());
        call.result = 1;
    });
    EXPECT_EQ(showPreview(plan, &frame, QStringLiteral("Aperçu")), 1);
    EXPECT_EQ(pages, plan.pageCount);
}

TEST(ReportPainter, APageTheDeviceRefusesIsReportedAsAFailure) {
    // A writer whose disk fills after the first page.
    struct FullWriter : QPdfWriter {
        using QPdfWriter::QPdfWriter;
        bool newPage() override { return false; }
    };
    const ReportPlan plan = sampleFrenchPlan();
    ASSERT_EQ(plan.pageCount, 2);
    QTemporaryDir dir;
    FullWriter full(dir.filePath("rapport.pdf"));
    EXPECT_FALSE(printPlan(plan, &full));
    QPdfWriter writer(dir.filePath("entier.pdf"));
    EXPECT_TRUE(printPlan(plan, &writer));
}
