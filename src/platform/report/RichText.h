#pragma once
// Rich-text blocks of the reports: how a value becomes HTML, how tall it lays out, how it paints.
// The layout always happens at 96 dots per inch, whatever the device, so the height measured
// for the plan is the height painted on paper.
#include <QFont>
#include <QString>

class QPainter;
class QRectF;

namespace report {

// RTF ("{\rtf...") through the RTF reader, anything else as plain text (line breaks kept), as
// HTML whose base font is `font`.
QString richTextHtml(const QString& value, const QFont& font);

// Height in mm of the HTML laid out at `widthMm` with `font` as the default font.
double richTextHeight(const QString& html, const QFont& font, double widthMm);

// Paints the HTML into `deviceRect` (device units, `dotsPerMm` of them a millimetre), clipped.
void paintRichText(QPainter& painter, const QString& html, const QFont& font, const QRectF& deviceRect,
                   double dotsPerMm);

}  // namespace report
