#include "tracking/Uqrafficonsommation.h"

#include <stdexcept>

#include "data/AccentFold.h"
#include "data/ReportRows.h"
#include "platform/report/ReportPainter.h"
#include "reference/Uqraffirecette.h"

TFQRAffiConsommation* FQRAffiConsommation = nullptr;

using namespace report;

namespace {

// Colours of the two lines of a food (0xEBF9FB and 0xE1E1E3 in the form's palette).
const QColor kFirstLine(0xFB, 0xF9, 0xEB);
const QColor kSecondLine(0xE3, 0xE1, 0xE1);

constexpr double kWidth = 190;   // A4 less the two 10 mm margins
constexpr double kLine = 4.5;    // one line of a food
constexpr double kText = 4;      // the text of a line, a quarter millimetre below its top
const QString kMask = QStringLiteral("####0.###");
const QString kPerGramMask = QStringLiteral("####0.##");

// Columns at the design's positions (pixels at zoom 100): the food, four nutrients, the quantity.
constexpr double kFoodColumn = 8;
constexpr double kColumn[] = {174, 291, 404, 518, 631};
constexpr double kValueWidth = 60;   // pixels; the unit follows the value
const char* const kNutrientColumns[] = {"CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme"};
const char* const kNutrientNames[] = {"Calories", "Lipides", "Protides", "Glucides"};

QRectF valueRect(int column, double top) { return {px(kColumn[column]), top, px(kValueWidth), kText}; }
QRectF unitRect(int column, double top) {
    return {px(kColumn[column] + kValueWidth) + 1, top, px(kColumn[1] - kColumn[0] - kValueWidth) - 2, kText};
}
Item number(Item item) { return item.aligned(Qt::AlignRight | Qt::AlignVCenter); }

Band groupHeader() {
    Band b;
    b.name = QStringLiteral("QRGroup");
    b.height = 40;
    const QRectF titleLine(px(kFoodColumn), 0, kWidth - px(kFoodColumn), 8);
    b.items << label(QStringLiteral("QRLblConsommationJournee"), QString(), titleLine).withPointSize(16).bold()
            << label(QStringLiteral("QRLblUtilisateur"), QString(), titleLine.translated(0, 8)).withPointSize(16).bold();
    for (int i = 1; i <= 3; ++i)
        b.items << label(QStringLiteral("QRLblCommentaire%1").arg(i), QString(),
                         {px(kFoodColumn), 18 + 4.0 * (i - 1), kWidth - px(kFoodColumn), 4})
                       .withPointSize(8)
                       .italic();
    b.items << label(QStringLiteral("QRLblAliment"), QStringLiteral("Aliment"), {px(kFoodColumn), 32, 40, 5}).bold();
    const QString titles[] = {QStringLiteral("Calories"), QStringLiteral("Lipides"), QStringLiteral("Protides"),
                              QStringLiteral("Glucides"), QStringLiteral("Quantité (g)")};
    const char* const names[] = {"QRLblCalories", "QRLblLipides", "QRLblProtides", "QRLblGlucides", "QRLblQuantite"};
    for (int i = 0; i < 5; ++i)
        b.items << label(QLatin1String(names[i]), titles[i], {px(kColumn[i]), 32, i < 4 ? 29.0 : 23.0, 5}).bold();
    b.items << line(QStringLiteral("QRTraitTitres"), {0, 38.5}, {kWidth, 38.5}, 0.3);
    return b;
}

Band detail() {
    Band b;
    b.name = QStringLiteral("DetailBand1");
    b.height = 2 * kLine;
    b.items << rectangle(QStringLiteral("QRShBande1"), {0, 0, kWidth, kLine}, kFirstLine)
            << rectangle(QStringLiteral("QRShBande2"), {0, kLine, kWidth, kLine}, kSecondLine)
            << field(QStringLiteral("QRDBTxtAliment"), QStringLiteral("NomAliment"),
                     {px(kFoodColumn), 0.25, px(kColumn[0] - kFoodColumn) - 1, kText});
    for (int i = 0; i < 4; ++i) {
        const QString nutrient = QLatin1String(kNutrientColumns[i]);
        const QString name = QLatin1String(kNutrientNames[i]);
        // Line 1: the value per gram through the grid's mask (a recipe's values per gram are
        // computed and carry every digit); line 2: for the quantity eaten.
        b.items << number(field(QStringLiteral("QRDBTxt") + name, nutrient, valueRect(i, 0.25), kPerGramMask))
                << label(QStringLiteral("QRLblParGr%1").arg(i + 1), QStringLiteral("(par g)"), unitRect(i, 0.25))
                << number(expression(QStringLiteral("QRExpr") + name, nutrient + QStringLiteral("*QuantiteGramme"),
                                     valueRect(i, kLine + 0.25), kMask));
    }
    b.items << number(field(QStringLiteral("QRDBTxtQuantite"), QStringLiteral("QuantiteGramme"),
                            valueRect(4, kLine + 0.25), kMask))
            << label(QStringLiteral("QRLblGr"), QStringLiteral("(g)"), unitRect(4, kLine + 0.25));
    return b;
}

// One line of the footer: the sums of the four nutrients (and of the quantity), each through
// `wrap` ("%1" is the sum), followed by its unit.
void footerValues(Band& b, const QString& prefix, double top, const QString& wrap, bool withQuantity) {
    for (int i = 0; i < (withQuantity ? 5 : 4); ++i) {
        const QString sum = i < 4 ? QStringLiteral("SUM(%1*QuantiteGramme)").arg(QLatin1String(kNutrientColumns[i]))
                                  : QStringLiteral("SUM(QuantiteGramme)");
        const QString name = prefix + (i < 4 ? QLatin1String(kNutrientNames[i]) : QLatin1String("Quantite"));
        b.items << number(expression(name, wrap.arg(sum), valueRect(i, top), kMask))
                << label(name + QStringLiteral("Unite"), i == 0 ? QStringLiteral("(kcal)") : QStringLiteral("(g)"),
                         unitRect(i, top));
    }
}

Band groupFooter() {
    Band b;
    b.name = QStringLiteral("QRFinGroup");
    b.height = 20;
    b.items << line(QStringLiteral("QRTraitHaut"), {0, 0.5}, {kWidth, 0.5}, 0.3)
            << label(QStringLiteral("QRLblTotal"), QStringLiteral("Total"), {px(kFoodColumn), 1.5, 40, kText}).bold();
    footerValues(b, QStringLiteral("QRTot"), 1.5, QStringLiteral("%1"), true);
    b.items << label(QStringLiteral("QRLblParKilo1"), QStringLiteral("Par kilo de"), {px(kFoodColumn), 8, 40, kText}).bold()
            << label(QStringLiteral("QRLblParKilo2"), QStringLiteral("poids de corps"),
                     {px(kFoodColumn), 8 + kText, 40, kText})
                   .bold();
    // "-" when the weight is not known.
    footerValues(b, QStringLiteral("QRParKilo"), 10, QStringLiteral("IF(poids_utilisateur >0,(%1/poids_utilisateur),'-')"),
                 false);
    b.items << line(QStringLiteral("QRTraitBas"), {0, 18.5}, {kWidth, 18.5}, 0.3);
    return b;
}

}  // namespace

SqlStatement ConsumptionReportQuery(const QString& tableSource, int32_t weight, const QString& user, const QDate& day) {
    if (tableSource == QLatin1String("t_consommation"))
        return {QStringLiteral("SELECT NomAliment, CaloriesGramme, LipidesGramme, ProtidesGramme, GlucidesGramme, "
                               "QuantiteGramme, Numero, ? as poids_utilisateur FROM t_consommation;"),
                {weight}};
    return {QStringLiteral("SELECT c.NomAliment, c.CaloriesGramme, c.LipidesGramme, c.ProtidesGramme, c.GlucidesGramme, "
                           "c.QuantiteGramme, c.Numero, u.Poids as poids_utilisateur "
                           "FROM t_histo_consommation c, t_histo_infos_utilisateur u "
                           "WHERE c.NomUtilisateur = ? AND c.DateConso = ? "
                           "AND c.NomUtilisateur = u.NomUtilisateur AND c.DateConso = u.DateConso;"),
            {user, day}};
}

QString ConsumptionReportTitle(const QString& tableSource, const QDate& day, const QLocale& locale) {
    const QString date = tableSource == QLatin1String("t_consommation")
                             ? QString()
                             : QStringLiteral(" du ") + locale.toString(day, QLocale::ShortFormat);
    return QStringLiteral("Consommation de la journée") + date + QStringLiteral(" en calories et différents");
}

QString ConsumptionReportUserLine(const QString& user) {
    if (user.isEmpty()) return QStringLiteral("nutriments");
    // "de" is elided before a vowel, as French writes it: "d'Élodie", "d'Utilisateur".
    const QString first = FoldAccents(user.left(1), true);
    const bool vowel = !first.isEmpty() && QStringLiteral("AEIOUY").contains(first.at(0));
    return (vowel ? QStringLiteral("nutriments d'") : QStringLiteral("nutriments de ")) + user;
}

report::Report ConsumptionReport() {
    Report r;   // A4 portrait, 10 mm margins, the report font at 10 points
    Group group;
    group.header = groupHeader();
    group.footer = groupFooter();
    r.groups << group;
    r.detail = detail();
    return r;
}

TFQRAffiConsommation::TFQRAffiConsommation(QWidget* parent) : QWidget(parent), QRAffiConso(ConsumptionReport()) {
    setObjectName(QStringLiteral("FQRAffiConsommation"));
    setWindowTitle(QStringLiteral("Consommation journalière"));
    FQRAffiConsommation = this;
    // Never shown itself, also when its owner is.
    hide();
    FormCreate();
}

TFQRAffiConsommation::~TFQRAffiConsommation() {
    if (FQRAffiConsommation == this) FQRAffiConsommation = nullptr;
}

void TFQRAffiConsommation::FormCreate() {
    QRAffiConso.item(QStringLiteral("QRShBande1"))->fill = kFirstLine;
    QRAffiConso.item(QStringLiteral("QRShBande2"))->fill = kSecondLine;
}

void TFQRAffiConsommation::QRAffiConsoBeforePrint() {
    const SqlStatement statement = ConsumptionReportQuery(TableSource, Poids, NomUtilisateur, DateConso);
    Query.close();
    Query.setSql(statement.sql);
    for (const QVariant& v : statement.values) Query.addBindValue(v);
    Query.open();
    QRAffiConso.item(QStringLiteral("QRLblConsommationJournee"))->text = ConsumptionReportTitle(TableSource, DateConso);
    QRAffiConso.item(QStringLiteral("QRLblUtilisateur"))->text = ConsumptionReportUserLine(NomUtilisateur);
    SetPerGramComments(QRAffiConso);
}

ReportPlan TFQRAffiConsommation::LayOut(const QLocale& locale) {
    QRAffiConsoBeforePrint();
    ReportPlan plan = layoutReport(QRAffiConso, ReportDataOf(Query), locale);
    if (!plan.errors.isEmpty()) throw std::runtime_error(plan.errors.join(QLatin1Char('\n')).toStdString());
    return plan;
}

int TFQRAffiConsommation::Preview() { return showPreview(LayOut(), parentWidget(), windowTitle()); }
