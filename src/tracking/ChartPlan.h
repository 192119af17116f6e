#pragma once
// The balance charts as plans: for a geometry (the window's client area or a printed sheet), the
// axes, the scale, the legend, the day columns and every series' diamonds and lines, in drawing
// order. A thin painter replays a plan on the window, a printer or a picture.
#include <QColor>
#include <QPoint>
#include <QString>
#include <QVector>

#include "tracking/BalanceData.h"

class QPagedPaintDevice;
class QPainter;

// The chart kinds.
enum ChartKindValue { ChartCalories = 0, ChartNutrients = 1, ChartWeight = 2 };

// Series colours.
inline const QColor kChartRed{0xFF, 0x00, 0x00};
inline const QColor kChartGreen{0x00, 0x80, 0x00};
inline const QColor kChartBlue{0x00, 0x00, 0xFF};
inline const QColor kChartGrey{0x80, 0x80, 0x80};
inline const QColor kChartBlack{0x00, 0x00, 0x00};

// Where a chart's pieces go, in device pixels.
struct ChartGeometry {
    int left = 50;            // value axis and first column
    int right = 0;            // end of the time axis
    int top = 100;            // top of the value axis
    int axisY = 0;            // the time axis; value 0 lies here
    int step = 0;             // pixels of one scale step
    int scaleTextX = 20;
    int scaleTextDrop = 5;    // the scale text of a step stands this far above its tick
    int scaleTick = 5;        // half length of a scale tick
    int columnWidth = 70;
    int dateTextDrop = 10;    // date text below the time axis
    int dateTickAbove = 5;    // date tick from axisY - above to axisY + below
    int dateTickBelow = 5;
    int diamond = 4;          // half-diagonal of a marker
    int legendX = 50;         // first legend marker, then every legendSpacing pixels
    int legendSpacing = 200;
    int legendY = 50;
    int legendTextDx = 10;    // legend text from its marker
    int legendTextY = 44;
};

// The window's chart: client width cw and height ch.
ChartGeometry ScreenChartGeometry(int cw, int ch);
// A printed sheet: page width w and height h in device pixels.
ChartGeometry PaperChartGeometry(int w, int h);

// One drawing step. Lines and diamonds are drawn in `colour`; texts in `colour` with their
// top-left corner at `a`, in a smaller face where the font would make them wider than maxWidth
// (a date wider than its column, a scale value reaching its tick).
struct ChartOp {
    enum Kind { Line, Diamond, Text };
    Kind kind = Line;
    QPoint a;          // line start, diamond centre, text corner
    QPoint b;          // line end
    int size = 0;      // diamond half-diagonal
    QColor colour;
    QString text;
    int maxWidth = 0;  // text: the widest it may be drawn (0 = any width)
    QString fitTo;     // text: measured instead of `text`, so that a set of texts shrinks alike
    bool operator==(const ChartOp&) const = default;
};

struct ChartPlan {
    QVector<ChartOp> ops;
    QVector<ChartOp> of(ChartOp::Kind kind) const;
    QVector<ChartOp> of(ChartOp::Kind kind, const QColor& colour) const;
    // The text drawn at exactly that point, or "" when none.
    QString textAt(const QPoint& corner) const;
};

// The chart of `kind` for the days firstDay to firstDay + 14 (or to the last day) of `data`.
// No line enters the plan's first column.
ChartPlan PlanChart(const BalanceData& data, int kind, int firstDay, const ChartGeometry& g);

// Every printed sheet of the day list: one plan per DaysPerPage days, at least one.
QVector<ChartPlan> PlanChartSheets(const BalanceData& data, int kind, int pageWidth, int pageHeight);

// The marker: the filled diamond (x - s, y), (x, y - s), (x + s, y), (x, y + s) in `colour`,
// outline included; the brush is white and the pen black afterwards.
void DrawDiamond(QPainter& painter, int x, int y, const QColor& colour, int s);

// Replays a plan.
void PaintChart(QPainter& painter, const ChartPlan& plan);

// Prints the sheets on a paged device (a printer in landscape, a PDF writer), one page each.
// False when the device cannot be painted on.
bool PrintChartSheets(const BalanceData& data, int kind, QPagedPaintDevice* device);
