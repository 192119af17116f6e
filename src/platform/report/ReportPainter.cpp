#include "platform/report/ReportPainter.h"

#include "platform/Modal.h"
#include "platform/report/RichText.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>
#include <QWidget>

namespace report {
namespace {

QRectF toDevice(const QRectF& mm, double dotsPerMm) {
    return QRectF(mm.x() * dotsPerMm, mm.y() * dotsPerMm, mm.width() * dotsPerMm, mm.height() * dotsPerMm);
}

QPageLayout pageLayoutOf(const ReportPlan& plan) {
    return QPageLayout(QPageSize(plan.paper), plan.orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

QPen penOf(const PlanItem& item, double dotsPerMm) {
    if (item.penWidth <= 0) return QPen(Qt::NoPen);
    QPen pen(item.color);
    pen.setWidthF(item.penWidth * dotsPerMm);
    return pen;
}

void paintItem(QPainter& painter, const PlanItem& item, double dotsPerMm) {
    const QRectF rect = toDevice(item.rect, dotsPerMm);
    switch (item.kind) {
    case PlanKind::Text:
        if (item.text.isEmpty()) return;
        painter.setFont(item.font);
        painter.setPen(item.color);
        painter.drawText(rect, static_cast<int>(item.alignment) | Qt::TextDontClip, item.text);
        return;
    case PlanKind::Rectangle:
        painter.setPen(penOf(item, dotsPerMm));
        painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
        painter.drawRect(rect);
        return;
    case PlanKind::Line:
        painter.setPen(penOf(item, dotsPerMm));
        painter.drawLine(rect.topLeft(), rect.bottomRight());
        return;
    case PlanKind::Image:
        if (!item.image.isNull()) painter.drawImage(rect, item.image);
        return;
    case PlanKind::RichText:
        paintRichText(painter, item.text, item.font, rect, dotsPerMm);
        return;
    }
}

}  // namespace

void paintPage(QPainter& painter, const ReportPlan& plan, int page, double dotsPerMm) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const PlanItem& item : plan.items)
        if (item.page == page) paintItem(painter, item, dotsPerMm);
    painter.restore();
}

void configurePrinter(QPrinter& printer, const ReportPlan& plan) {
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutOf(plan));
}

bool printPlan(const ReportPlan& plan, QPagedPaintDevice* device) {
    if (!device) return false;
    if (auto* printer = dynamic_cast<QPrinter*>(device))
        printer->setFullPage(true);
    else
        device->setPageLayout(pageLayoutOf(plan));
    QPainter painter;
    if (!painter.begin(device)) return false;
    const double dotsPerMm = device->logicalDpiX() / 25.4;
    for (int page = 0; page < plan.pageCount; ++page) {
        if (page > 0 && !device->newPage()) return false;
        paintPage(painter, plan, page, dotsPerMm);
    }
    return painter.end();
}

bool writePdf(const ReportPlan& plan, const QString& path) {
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("Vivanda"));
    return printPlan(plan, &writer);
}

QImage renderPage(const ReportPlan& plan, int page, double dpi) {
    const double dotsPerMm = dpi / 25.4;
    QImage image(qRound(plan.paperSize.width() * dotsPerMm), qRound(plan.paperSize.height() * dotsPerMm),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, plan, page, dotsPerMm);
    return image;
}

int showPreview(const ReportPlan& plan, QWidget* parent, const QString& caption) {
    QPrinter printer(QPrinter::HighResolution);
    configurePrinter(printer, plan);
    QPrintPreviewDialog dialog(&printer, parent);
    if (!caption.isEmpty()) dialog.setWindowTitle(caption);
    QSize size = parent ? parent->window()->size() : QSize(900, 1000);
    // Wide enough for the whole tool bar: its print and page-setup buttons come last and would
    // otherwise hide behind the overflow arrow of a small window (24: the dialog's margins).
    if (const QToolBar* bar = dialog.findChild<QToolBar*>())
        size.setWidth(std::max(size.width(), bar->sizeHint().width() + 24));
    dialog.resize(size);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&plan](QPrinter* target) { printPlan(plan, target); });
    return modal::exec(&dialog);
}

}  // namespace report
