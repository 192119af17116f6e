#include "frame/Uapropos.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "frame/FormWidgets.h"
#include "frame/LongLivedForm.h"
#include "frame/Placement.h"
#include "frame/StringTable.h"
#include "platform/Modal.h"

TFApropos* FApropos = nullptr;

namespace {
// 13553365, a light grey.
const QColor kBoxColour(0xD5, 0xCE, 0xCE);
}  // namespace

QPixmap VivandaLogo() {
    QPixmap logo(32, 32);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    // A green leaf on a plate.
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    QPainterPath leaf;
    leaf.moveTo(9, 24);
    leaf.cubicTo(8, 12, 16, 7, 25, 7);
    leaf.cubicTo(25, 17, 19, 25, 9, 24);
    p.setPen(QPen(QColor(0x1E, 0x6B, 0x2A), 1));
    p.setBrush(QColor(0x3C, 0xA0, 0x46));
    p.drawPath(leaf);
    p.setPen(QPen(QColor(0xE8, 0xF5, 0xE0), 1.4));
    p.drawLine(QPointF(10, 23), QPointF(21, 11));
    return logo;
}

TFApropos::TFApropos(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FApropos"));
    UseProgramFont(this);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBoxColour);
    setPalette(colours);
    setAutoFillBackground(true);

    Image = PlaceWidget<QLabel>(this, "Image", QRect(0, 0, 270, 125));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(8, 6, 254, 69);
    LblRens = PlaceLabel(Panel1, "LblRens", QString(), QRect(9, 9, 0, 0));
    LblRens->setTextFormat(Qt::PlainText);
    Logo = PlaceWidget<QLabel>(Panel1, "Logo", QRect(218, 3, 32, 32));
    Logo->setScaledContents(true);
    Logo->setPixmap(VivandaLogo());

    BtnOk = PlaceButton(this, "BtnOk", QStringLiteral("Ok"), QRect(91, 88, 89, 25), true);
    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &TFApropos::BtnOkClick);
    FormCreate();
}

TFApropos::~TFApropos() {
    if (FApropos == this) FApropos = nullptr;
}

void TFApropos::FormCreate() {
    MakeFixedDialog(this, 278, 159);
    // The French texts: the box reads them as it did when every long-lived form was built at
    // start, before the frame first read Langue.dat.
    setWindowTitle(LoadString(65).left(100));
    LblRens->setText(LoadString(66).left(100));
    LblRens->adjustSize();
}

void TFApropos::BtnOkClick() { accept(); }

void ShowAproposFromMenu() {
    placeOverFrame(LongLivedForm(FApropos), 14);
    modal::exec(FApropos);
}
