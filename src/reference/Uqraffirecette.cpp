#include "reference/Uqraffirecette.h"

#include <QDir>

#include "data/ReportRows.h"
#include "frame/StringTable.h"
#include "platform/report/ReportPainter.h"

TFQRAffiRecette* FQRAffiRecette = nullptr;

using namespace report;

namespace {

// Colours of the two lines of an ingredient, and of the footer (the system's tooltip background
// behind the line names, the scroll-bar colour behind the values).
const QColor kFirstLine(251, 249, 235);    // stored as 15464955
const QColor kSecondLine(227, 225, 225);   // stored as 14803427
const QColor kTooltipBackground(255, 255, 225);
const QColor kScrollBar(200, 200, 200);

constexpr double kWidth = 190;   // A4 less the two 10 mm margins
constexpr double kPhoto = px(140);

// Columns: the food name, then four nutrient columns and the quantity, each a value followed by
// its unit.
constexpr double kNameWidth = 56;
constexpr double kColumn[] = {58, 84, 110, 136, 162};   // Calories, Lipides, Protides, Glucides, Quantité
constexpr double kValueWidth = 15;
constexpr double kUnitWidth = 10;
constexpr double kLine = 5;

const char* const kNutrientColumns[] = {"CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme"};
const char* const kNutrientNames[] = {"Calories", "Lipides", "Protides", "Glucides"};

QRectF valueRect(int column, double top) { return {kColumn[column], top, kValueWidth, kLine - 1}; }
QRectF unitRect(int column, double top) { return {kColumn[column] + kValueWidth + 0.5, top, kUnitWidth, kLine - 1}; }

Item small(Item item, double points = 8) { return item.withPointSize(points); }

Item valueField(const QString& name, const QString& column, int at, double top) {
    return small(field(name, column, valueRect(at, top), QStringLiteral("####0.###")).aligned(Qt::AlignRight | Qt::AlignVCenter));
}
Item valueExpression(const QString& name, const QString& expr, int at, double top, const QString& mask) {
    return small(expression(name, expr, valueRect(at, top), mask).aligned(Qt::AlignRight | Qt::AlignVCenter));
}
Item unit(const QString& name, const QString& text, int at, double top) {
    return small(label(name, text, unitRect(at, top)), 7);
}

Band groupHeader() {
    Band b;
    b.name = QStringLiteral("QRGroup");
    b.height = kPhoto + 3;
    b.items << field(QStringLiteral("QRDBTxtNomRecette"), QString(), {0, 0, kWidth - kPhoto - 4, 9})
                   .withPointSize(16)
                   .bold()
            << richTextField(QStringLiteral("QRDBRichTxtDescRecette"), QString(), {0, 11, kWidth - kPhoto - 4, 6})
            << image(QStringLiteral("QRImage"), QImage(), {kWidth - kPhoto, 0, kPhoto, kPhoto});
    return b;
}

Band columnTitles() {
    Band b;
    b.name = QStringLiteral("ChildBand1");
    b.height = 22;
    b.items << small(label(QStringLiteral("QRLblAliment"), QStringLiteral("Aliment"), {1, 1, kNameWidth, 5}), 9).bold();
    // Each title over its column's value and unit.
    const QString titles[] = {QStringLiteral("Calories"), QStringLiteral("Lipides"), QStringLiteral("Protides"),
                              QStringLiteral("Glucides"), QStringLiteral("Quantité")};
    const QString names[] = {QStringLiteral("QRLblCalories"), QStringLiteral("QRLblLipides"),
                             QStringLiteral("QRLblProtides"), QStringLiteral("QRLblGlucides"),
                             QStringLiteral("QRLblQuantite")};
    for (int i = 0; i < 5; ++i)
        b.items << small(label(names[i], titles[i], {kColumn[i], 1, kValueWidth + kUnitWidth, 5}), 9)
                       .bold()
                       .aligned(Qt::AlignCenter);
    for (int i = 1; i <= 3; ++i)
        b.items << small(label(QStringLiteral("QRLblCommentaire%1").arg(i), QString(), {0, 7.5 + 4 * (i - 1), kWidth, 4}), 7)
                       .italic();
    return b;
}

Band detail() {
    Band b;
    b.name = QStringLiteral("DetailBand");
    b.height = 2 * kLine;
    b.items << rectangle(QStringLiteral("QRShBande1"), {0, 0, kWidth, kLine}, kFirstLine)
            << rectangle(QStringLiteral("QRShBande2"), {0, kLine, kWidth, kLine}, kSecondLine)
            << small(field(QStringLiteral("QRDBTxtAliment"), QString(), {1, 0.5, kNameWidth, kLine - 1}));
    const char* const fieldNames[] = {"QRDBTxtCalories", "QRDBTxtLipides", "QRDBTxtProtides", "QRDBTxtGlucides"};
    for (int i = 0; i < 4; ++i) {
        const QString nutrient = QLatin1String(kNutrientColumns[i]);
        b.items << valueField(QLatin1String(fieldNames[i]), QString(), i, 0.5)
                << unit(QStringLiteral("QRLblParGr%1").arg(i + 1), QStringLiteral("(par g)"), i, 0.5)
                << valueExpression(QStringLiteral("QRExpr") + QLatin1String(kNutrientNames[i]),
                                   nutrient + QStringLiteral("*QuantiteGramme"), i, kLine + 0.5,
                                   QStringLiteral("####0.###"));
    }
    b.items << valueField(QStringLiteral("QRDBTxtQuantite"), QString(), 4, kLine + 0.5)
            << unit(QStringLiteral("QRLblGr"), QStringLiteral("(g)"), 4, kLine + 0.5);
    return b;
}

// One line of the footer: its name on the tooltip colour, the five sums (divided by `divisor`
// when given) on the scroll-bar colour.
void footerLine(Band& b, const QString& prefix, const QString& title, double top, const QString& divisor) {
    b.items << rectangle(QStringLiteral("QRSh") + prefix, {0, top, kNameWidth, kLine}, kTooltipBackground)
            << rectangle(QStringLiteral("QRSh") + prefix + QStringLiteral("Valeurs"),
                         {kColumn[0] - 1, top, kWidth - kColumn[0] + 1, kLine}, kScrollBar)
            << small(label(QStringLiteral("QRLbl") + prefix, title, {1, top + 0.5, kNameWidth - 2, kLine - 1}), 9).bold();
    for (int i = 0; i < 5; ++i) {
        const QString sum = i < 4 ? QStringLiteral("SUM(%1*QuantiteGramme)").arg(QLatin1String(kNutrientColumns[i]))
                                  : QStringLiteral("SUM(QuantiteGramme)");
        const QString name = QStringLiteral("QR%1%2").arg(prefix, i < 4 ? QLatin1String(kNutrientNames[i]) : QLatin1String("Quantite"));
        b.items << valueExpression(name, sum + divisor, i, top + 0.5, QStringLiteral("####0.##"))
                << unit(name + QStringLiteral("Unite"), i == 0 ? QStringLiteral("(kcal)") : QStringLiteral("(g)"), i,
                        top + 0.5);
    }
}

Band groupFooter() {
    Band b;
    b.name = QStringLiteral("QRFinGroup");
    b.height = 2 * kLine + 4;
    b.items << line(QStringLiteral("QRTrait"), {0, 0.5}, {kWidth, 0.5}, 0.3);
    footerLine(b, QStringLiteral("Tot"), QStringLiteral("Total"), 1.5, QString());
    footerLine(b, QStringLiteral("ParPers"), QStringLiteral("Par personne"), 2 + kLine, QStringLiteral("/nb_parts"));
    return b;
}

}  // namespace

TFQRAffiRecette::TFQRAffiRecette(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FQRAffiRecette"));
    setWindowTitle(QStringLiteral("Recette"));
    FQRAffiRecette = this;
    // Never shown itself, also when its owner is.
    hide();
    Group group;
    group.header = groupHeader();
    group.header.children << columnTitles();
    group.footer = groupFooter();
    QRRecette.groups << group;
    QRRecette.detail = detail();
    FormCreate();
}

TFQRAffiRecette::~TFQRAffiRecette() {
    if (FQRAffiRecette == this) FQRAffiRecette = nullptr;
}

void TFQRAffiRecette::FormCreate() {
    QRRecette.item(QStringLiteral("QRShBande1"))->fill = kFirstLine;
    QRRecette.item(QStringLiteral("QRShBande2"))->fill = kSecondLine;
}

void SetPerGramComments(Report& r) {
    r.item(QStringLiteral("QRLblCommentaire1"))->text = QStringLiteral(
        "Les valeurs en calories et en nutriments sont données pour un gramme de l'aliment (kilocalories et "
        "grammes de nutriment");
    r.item(QStringLiteral("QRLblCommentaire2"))->text = QStringLiteral(
        "par gramme d'aliment) et pour la quantité (en grammes) de l'aliment (kilocalories par gramme multipliée "
        "par quantité et");
    r.item(QStringLiteral("QRLblCommentaire3"))->text =
        QStringLiteral("valeur de nutriment par gramme multipliée par quantité)");
}

void TFQRAffiRecette::QRRecetteBeforePrint() { SetPerGramComments(QRRecette); }

void TFQRAffiRecette::BindFieldsToQuery() {
    const QStringList& fields = Query.columnNames();
    auto bind = [this, &fields](const char* item, int position) {
        QRRecette.item(QLatin1String(item))->column = fields.value(position);
    };
    QRRecette.groups[0].expression = fields.value(0);
    bind("QRDBTxtNomRecette", 0);
    bind("QRDBRichTxtDescRecette", 1);
    bind("QRDBTxtAliment", 2);
    bind("QRDBTxtCalories", 3);
    bind("QRDBTxtLipides", 4);
    bind("QRDBTxtProtides", 5);
    bind("QRDBTxtGlucides", 6);
    bind("QRDBTxtQuantite", 7);
}

void TFQRAffiRecette::SetPhoto(const QImage& picture) { QRRecette.item(QStringLiteral("QRImage"))->image = picture; }

ReportPlan TFQRAffiRecette::LayOut(const QLocale& locale) {
    QRRecetteBeforePrint();
    return layoutReport(QRRecette, ReportDataOf(Query), locale);
}

int TFQRAffiRecette::Preview() { return showPreview(LayOut(), parentWidget(), windowTitle()); }

QImage NoPhotoPicture() {
    EnsureVivandaResources();
    static const QImage picture(QStringLiteral(":/aucune_photo.png"));
    return picture;
}

QImage RecipePhoto(const QString& imagesDirectory, const QString& fileName) {
    if (fileName.isEmpty()) return NoPhotoPicture();
    const QImage photo(QDir(imagesDirectory).filePath(fileName));
    return photo.isNull() ? NoPhotoPicture() : photo;
}
