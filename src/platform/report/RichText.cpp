#include "platform/report/RichText.h"

#include "platform/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <memory>

namespace report {
namespace {

constexpr double kLayoutDpi = 96.0;

QImage& layoutDevice() {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = qRound(kLayoutDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

std::unique_ptr<QTextDocument> makeDocument(const QString& html, const QFont& font, double widthMm) {
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(&layoutDevice());
    doc->setDocumentMargin(0);
    doc->setDefaultFont(font);
    doc->setHtml(html);
    doc->setTextWidth(widthMm * kLayoutDpi / 25.4);
    return doc;
}

}  // namespace

QString richTextHtml(const QString& value, const QFont& font) {
    QTextDocument doc;
    doc.setDefaultFont(font);
    if (rtf::isRtf(value))
        rtf::read(value, &doc);
    else
        doc.setPlainText(value);
    return doc.toHtml();
}

double richTextHeight(const QString& html, const QFont& font, double widthMm) {
    return makeDocument(html, font, widthMm)->size().height() * 25.4 / kLayoutDpi;
}

void paintRichText(QPainter& painter, const QString& html, const QFont& font, const QRectF& deviceRect,
                   double dotsPerMm) {
    const double scale = dotsPerMm * 25.4 / kLayoutDpi;
    auto doc = makeDocument(html, font, deviceRect.width() / dotsPerMm);
    painter.save();
    painter.translate(deviceRect.topLeft());
    painter.scale(scale, scale);
    doc->drawContents(&painter, QRectF(0, 0, deviceRect.width() / scale, deviceRect.height() / scale));
    painter.restore();
}

}  // namespace report
