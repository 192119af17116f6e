#pragma once
// A small band-report engine: the definition of a report, its data, and the plan it lays out to.
//
// A report is a page set-up and bands, each band a height and items placed in it (millimetres
// from the band's top-left corner, which sits on the left margin). The engine runs the bands over
// the rows of a ReportData:
//
//   title                       once, at the top of the first page
//   page header                 at the top of every page (under the title on page 1)
//   group headers (+ children)  when a group starts (outer group first); a group with an empty
//                               expression is one group over all the rows
//   detail (+ children)         once per row
//   group footers (+ children)  when a group ends (inner group first)
//   summary                     once, after the last footer
//   page footer                 at the bottom of every page
//
// A report over no rows still prints its title, group headers, group footers and summary (fields
// print empty, SUM gives 0). A band that no longer fits on the page goes to the next page.
//
// Usage (a recipe sheet; positions come from the form's design, px() converts screen pixels at
// zoom 100 to millimetres):
//
//   report::Report r;                                    // A4 portrait, 10 mm margins, 10 pt
//   report::Group g;
//   g.expression = QStringLiteral("NomRecette");         // one group per recipe
//   g.header.height = 60;
//   g.header.items << report::field("QRDBTxtNomRecette", "NomRecette", {0, 0, 120, 8}).withPointSize(16)
//                  << report::richTextField("QRDBRichTxtDescRecette", "DescRecette", {0, 10, 150, 10})
//                  << report::image("QRImage", photo, report::pxRect(578, 0, 140, 140));
//   g.footer.height = 12;
//   g.footer.items << report::label("LblTotal", "Total", {0, 1, 30, 5})
//                  << report::expression("QRTotCalories", "SUM(CaloriesGramme*QuantiteGramme)",
//                                        report::pxRect(174, 4, 100, 17), "####0.##");
//   r.groups << g;
//   r.detail.height = 10;
//   r.detail.items << report::rectangle("QRShBande1", {0, 0, 190, 5}, QColor(251, 249, 235))
//                  << report::field("QRDBTxtAliment", "NomAliment", report::pxRect(8, 1, 160, 15))
//                  << report::field("QRDBTxtCalories", "CaloriesGramme", report::pxRect(174, 1, 60, 15));
//   r.item("QRLblCommentaire1")->text = ...;             // set captions before laying out
//
//   report::ReportData data = ReportDataOf(query);       // data/ReportRows.h, or by hand:
//   data.columns = {"NomRecette", "DescRecette", "NomAliment", "CaloriesGramme", ...};
//   data.rows << QVariantList{...};
//
//   report::ReportPlan plan = report::layoutReport(r, data);   // pages of positioned items
//   if (!plan.errors.isEmpty()) ...                      // a bad expression or column name
//   report::showPreview(plan, parentWidget, caption);    // ReportPainter.h: preview, print, PDF
#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace report {

// Screen pixels of the form designer at zoom 100 (96 per inch) to millimetres.
constexpr double px(double pixels) { return pixels * 25.4 / 96.0; }
inline QRectF pxRect(double x, double y, double w, double h) { return QRectF(px(x), px(y), px(w), px(h)); }

// Rows the report runs over: column names and one QVariant per column in each row.
struct ReportData {
    QStringList columns;
    QList<QVariantList> rows;

    int columnIndex(const QString& name) const;   // case-insensitive; "c.Nom" finds "Nom"; -1 when absent
    QVariant value(int row, int column) const;    // null when out of range
};

// The report's default font: Arial 10 pt, or its metric twin Liberation Sans, else DejaVu Sans.
QFont defaultReportFont(double pointSize = 10);

struct PageSetup {
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{10, 10, 10, 10};   // mm: left, top, right, bottom
    QFont font = defaultReportFont();

    QSizeF paperSize() const;             // mm, oriented
    QRectF printableRect() const;         // mm, inside the margins
};

enum class ItemKind {
    Label,       // fixed text
    Field,       // a column of the current row
    Expression,  // an expression (Expression.h) evaluated when the band prints
    Rectangle,   // a filled and/or outlined rectangle
    Line,        // a line from the rectangle's top-left corner to its bottom-right corner
    Image,       // a picture stretched over the rectangle
    RichText,    // an HTML block, or a column whose text is RTF or plain text
};

struct Item {
    ItemKind kind = ItemKind::Label;
    QString name;                       // the component's name, kept in the plan
    QRectF rect;                        // mm, from the band's top-left corner
    QString text;                       // Label: the text; Expression: the expression;
                                        // RichText without a column: HTML
    QString column;                     // Field, and RichText fed from the row
    QString mask;                       // Field and Expression: number mask ("####0.###")
    std::optional<QFont> font;          // unset: the page set-up's font
    QColor color = Qt::black;           // text or pen colour
    QColor fill;                        // Rectangle: brush (invalid = none)
    double penWidth = 0.2;              // mm, Rectangle and Line; 0 = no outline
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QImage image;                       // Image
    bool stretch = false;               // RichText: grow to the text's height (the band grows too)

    Item& withFont(const QFont& f) { font = f; return *this; }
    Item& withPointSize(double pt);     // the page font (or the item's) at this size
    Item& bold(bool on = true);
    Item& italic(bool on = true);
    Item& withColor(const QColor& c) { color = c; return *this; }
    Item& aligned(Qt::Alignment a) { alignment = a; return *this; }
};

Item label(const QString& name, const QString& text, const QRectF& rect);
Item field(const QString& name, const QString& column, const QRectF& rect, const QString& mask = QString());
Item expression(const QString& name, const QString& expr, const QRectF& rect, const QString& mask = QString());
Item rectangle(const QString& name, const QRectF& rect, const QColor& fill, double penWidth = 0);
Item line(const QString& name, const QPointF& from, const QPointF& to, double penWidth = 0.2);
Item image(const QString& name, const QImage& picture, const QRectF& rect);
Item richText(const QString& name, const QString& html, const QRectF& rect, bool stretch = true);
Item richTextField(const QString& name, const QString& column, const QRectF& rect, bool stretch = true);

struct Band {
    QString name;
    double height = 0;                  // mm; a band with no height and no items is not printed
    QList<Item> items;
    QColor background;                  // invalid = none
    QColor alternateBackground;         // detail: every second row (invalid = like the others)
    QList<Band> children;               // child bands, printed right after this band

    bool isEmpty() const { return height <= 0 && items.isEmpty() && children.isEmpty(); }
};

struct Group {
    QString expression;                 // break key; empty: one group over all the rows
    Band header;
    Band footer;
    bool repeatHeaderOnNewPage = false; // print the header again at the top of later pages
};

struct Report {
    PageSetup page;
    Band title;
    Band pageHeader;
    QList<Group> groups;                // outer to inner
    Band detail;
    Band summary;
    Band pageFooter;

    Item* item(const QString& name);    // the first item of that name in any band, or null
};

// ---- The plan: what the pages show, in millimetres from each page's top-left corner ----

enum class PlanKind { Text, Rectangle, Line, Image, RichText };

struct PlanItem {
    int page = 0;                       // 0-based
    PlanKind kind = PlanKind::Text;
    QString name;                       // the item's name; a band background: the band's name
    QString band;                       // name of the band that printed it
    QRectF rect;                        // mm on the page
    QString text;                       // Text: the printed text; RichText: HTML
    QFont font;
    QColor color;
    QColor fill;
    double penWidth = 0;
    Qt::Alignment alignment;
    QImage image;
};

struct ReportPlan {
    QSizeF paperSize;                   // mm
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int pageCount = 1;
    QList<PlanItem> items;              // in painting order
    QStringList errors;                 // bad expressions or unknown columns (French)

    QList<PlanItem> onPage(int page) const;
    QList<PlanItem> named(const QString& name) const;   // every printing of an item, in order
    QStringList texts(int page = -1) const;             // printed texts (all pages when -1)
};

// Lays the report out over the rows. Numbers take the locale's decimal separator.
ReportPlan layoutReport(const Report& report, const ReportData& data, const QLocale& locale = QLocale());

}  // namespace report
