#include "tracking/Fubilan.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "data/Database.h"
#include "frame/FormWidgets.h"
#include "frame/Umessages.h"
#include "platform/Modal.h"

TFBilan* FBilan = nullptr;

namespace {

// The glyph of a paging button: a triangle pointing left or right, with a bar for first and last.
QIcon pagingGlyph(bool right, bool bar) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    QPolygon triangle = right ? QPolygon({QPoint(5, 3), QPoint(11, 8), QPoint(5, 13)})
                              : QPolygon({QPoint(11, 3), QPoint(5, 8), QPoint(11, 13)});
    p.drawPolygon(triangle);
    if (bar) p.drawRect(right ? QRect(12, 3, 2, 11) : QRect(2, 3, 2, 11));
    return QIcon(pixmap);
}

QPushButton* toolButton(QWidget* parent, const char* name, const QString& text, int width) {
    QPushButton* button = PlaceButton(parent, name, text, {0, 2, width, 25});
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

TFBilan::TFBilan(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FBilan"));
    setWindowTitle(QStringLiteral("Historique des consommations"));
    UseProgramFont(this);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setFrameShape(QFrame::StyledPanel);
    Panel->setGeometry(0, 0, 100, 30);
    BtnImprimer = toolButton(Panel, "BtnImprimer", QStringLiteral("Imprimer"), 80);
    SBtnCalories = toolButton(Panel, "SBtnCalories", QStringLiteral("Calories"), 70);
    SBtnNutriments = toolButton(Panel, "SBtnNutriments", QStringLiteral("Nutriments"), 70);
    SBtnPoids = toolButton(Panel, "SBtnPoids", QStringLiteral("Poids"), 70);
    KindButtons = new QButtonGroup(this);
    KindButtons->setExclusive(true);
    for (QPushButton* b : {SBtnCalories, SBtnNutriments, SBtnPoids}) {
        b->setCheckable(true);
        KindButtons->addButton(b);
    }
    SBtnCalories->setChecked(true);
    BtnPremier = toolButton(Panel, "BtnPremier", QString(), 40);
    BtnPremier->setIcon(pagingGlyph(false, true));
    BtnPrecedant = toolButton(Panel, "BtnPrecedant", QString(), 40);
    BtnPrecedant->setIcon(pagingGlyph(false, false));
    EdtQuantieme = PlaceEdit(Panel, "EdtQuantieme", {0, 4, 45, 21}, true);
    EdtQuantieme->setAlignment(Qt::AlignCenter);
    EdtQuantieme->setFocusPolicy(Qt::NoFocus);
    BtnSuivant = toolButton(Panel, "BtnSuivant", QString(), 40);
    BtnSuivant->setIcon(pagingGlyph(true, false));
    BtnDernier = toolButton(Panel, "BtnDernier", QString(), 40);
    BtnDernier->setIcon(pagingGlyph(true, true));
    BtnFermer = toolButton(Panel, "BtnFermer", QStringLiteral("Fermer"), 80);

    connect(BtnImprimer, &QPushButton::clicked, this, [this] { BtnImprimerClick(); });
    connect(SBtnCalories, &QPushButton::clicked, this, [this] { SBtnCaloriesClick(); });
    connect(SBtnNutriments, &QPushButton::clicked, this, [this] { SBtnNutrimentsClick(); });
    connect(SBtnPoids, &QPushButton::clicked, this, [this] { SBtnPoidsClick(); });
    connect(BtnPremier, &QPushButton::clicked, this, [this] { BtnPremierClick(); });
    connect(BtnPrecedant, &QPushButton::clicked, this, [this] { BtnPrecedantClick(); });
    connect(BtnSuivant, &QPushButton::clicked, this, [this] { BtnSuivantClick(); });
    connect(BtnDernier, &QPushButton::clicked, this, [this] { BtnDernierClick(); });
    connect(BtnFermer, &QPushButton::clicked, this, [this] { BtnFermerClick(); });
    FBilan = this;
    FormCreate();
    showPage();
}

void TFBilan::FormCreate() {
    // The whole width of the screen, and its height but for 20 pixels (title bar and borders
    // included).
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        resize(s.width() - 8, s.height() - 20 - 34);
    }
    FormResize();
}

void TFBilan::FormResize() {
    Panel->resize(width(), Panel->height());
    BtnImprimer->move(10, BtnImprimer->y());
    const struct { QWidget* control; int gap; } order[] = {
        {SBtnCalories, 10}, {SBtnNutriments, 10}, {SBtnPoids, 10}, {BtnPremier, 10}, {BtnPrecedant, 1},
        {EdtQuantieme, 2},  {BtnSuivant, 2},      {BtnDernier, 1}, {BtnFermer, 10}};
    QWidget* previous = BtnImprimer;
    for (const auto& o : order) {
        o.control->move(previous->x() + previous->width() + o.gap, o.control->y());
        previous = o.control;
    }
}

void TFBilan::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    FormResize();
}

bool TFBilan::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        if (ownModal_) ownModal_ = false;
        else FormActivate();
    }
    return QWidget::event(e);
}

void TFBilan::showPage() {
    // The page's day sums are read when it is first shown.
    if (!readSums(Pager.PageFirstDay, Pager.pageLastDay())) return;
    EdtQuantieme->setText(Pager.indicator());
    BtnPremier->setEnabled(Pager.premierEnabled);
    BtnPrecedant->setEnabled(Pager.precedantEnabled);
    BtnSuivant->setEnabled(Pager.suivantEnabled);
    BtnDernier->setEnabled(Pager.dernierEnabled);
    update();
}

bool TFBilan::readSums(int firstDay, int lastDay) {
    try {
        ReadDaySums(Data, firstDay, lastDay);
        return true;
    } catch (const DatabaseError&) {
        cannotRead();
        return false;
    }
}

void TFBilan::cannotRead() {
    // Shown empty; the message's own closing would activate the window again and read again, so
    // it is hidden first.
    Data = BalanceData();
    Pager.reset(0);
    hide();
    ShowMessageBox(QStringLiteral("        L'historique de la période n'a pas pu être lu."),
                   QStringLiteral("Bilan de la consommation"), 0x0C, nullptr, false);
}

void TFBilan::FormActivate() {
    try {
        Data = LoadBalanceDays(NomUtilisateur, DateDebut, DateFin);
    } catch (const DatabaseError&) {
        cannotRead();
        return;
    }
    Pager.reset(Data.dayCount());
    ChartKind = ChartCalories;
    SBtnCalories->setChecked(true);
    showPage();
}

void TFBilan::SBtnCaloriesClick() {
    ChartKind = ChartCalories;
    update();
}

void TFBilan::SBtnNutrimentsClick() {
    ChartKind = ChartNutrients;
    update();
}

void TFBilan::SBtnPoidsClick() {
    ChartKind = ChartWeight;
    update();
}

void TFBilan::BtnSuivantClick() {
    if (Pager.next()) showPage();
}

void TFBilan::BtnPrecedantClick() {
    if (Pager.previous()) showPage();
}

void TFBilan::BtnPremierClick() {
    if (Pager.first()) showPage();
}

void TFBilan::BtnDernierClick() {
    if (Pager.last()) showPage();
}

void TFBilan::BtnFermerClick() { hide(); }

ChartPlan TFBilan::PagePlan() const {
    return PlanChart(Data, ChartKind, Pager.PageFirstDay, ScreenChartGeometry(width(), height()));
}

void TFBilan::FormPaint(QPainter& painter) {
    painter.setFont(font());
    PaintChart(painter, PagePlan());
}

void TFBilan::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    FormPaint(painter);
}

void TFBilan::BtnImprimerClick() {
    if (!readSums(0, Data.dayCount() - 1)) return;
    ownModal_ = true;
    struct Over {
        TFBilan* window;
        ~Over() {
            QTimer::singleShot(1000, window, [w = window] { w->ownModal_ = false; });
        }
    } over{this};
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) {
        // No printer to go to: the print dialog, where the sheets can become a PDF file.
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("Impression du bilan"));
        if (modal::exec(&dialog) != QDialog::Accepted) return;
    } else {
        printer.setPrinterName(defaultPrinter.printerName());
    }
    // The sheet's positions are laid out for 600 dots an inch.
    printer.setResolution(600);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!PrintChartSheets(Data, ChartKind, &printer))
        ShowMessageBox(QStringLiteral("        L'impression du bilan n'a pas pu être effectuée."),
                       QStringLiteral("Impression du bilan"), 0x0C, nullptr, false);
}

void TFBilan::Open() {
    show();
    raise();
    activateWindow();
}
