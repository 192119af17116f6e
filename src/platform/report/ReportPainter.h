#pragma once
// Puts a laid-out report (ReportPlan, see Report.h) on paper, in a PDF, an image or the preview.
//
//   report::ReportPlan plan = report::layoutReport(definition, data);
//   report::showPreview(plan, this, QStringLiteral("Recette"));   // print and PDF from there
//   report::writePdf(plan, QStringLiteral("/tmp/recette.pdf"));   // straight to a file
#include "platform/report/Report.h"

#include <QImage>
#include <QString>

class QPainter;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace report {

// Paints one page of the plan. The painter's origin is the paper's top-left corner and
// `dotsPerMm` device units make one millimetre.
void paintPage(QPainter& painter, const ReportPlan& plan, int page, double dotsPerMm);

// Sets the paper, orientation and a full-page coordinate system for the plan.
void configurePrinter(QPrinter& printer, const ReportPlan& plan);

// Paints every page on a paged device (a QPrinter or a QPdfWriter). False when the device cannot
// be painted on (a file that cannot be written, for instance).
bool printPlan(const ReportPlan& plan, QPagedPaintDevice* device);

// Writes the whole plan as a PDF file. False when the file cannot be written.
bool writePdf(const ReportPlan& plan, const QString& path);

// One page as a white picture at `dpi` dots per inch.
QImage renderPage(const ReportPlan& plan, int page, double dpi = 96);

// The preview window over the plan (zoom, pages, print, and PDF through the print dialog),
// shown modally through the modal seam. Returns what the dialog's exec() returns.
int showPreview(const ReportPlan& plan, QWidget* parent = nullptr, const QString& caption = QString());

}  // namespace report
