#include "frame/Umessages.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QtMath>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <algorithm>

#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/Placement.h"
#include "platform/Modal.h"

TFMessage* FMessage = nullptr;

namespace {

constexpr int kPanelLeft = 10;
constexpr int kPanelTop = 12;
constexpr int kPanelWidth = 422;
constexpr int kPanelMinHeight = 39;
constexpr int kButtonWidth = 73;
constexpr int kShortBoxHeight = 128;  // outer height of a box with one or two short lines
constexpr int kCheckBoxRoom = 22;
constexpr int kNoticeLeft = 27;    // the "Ne plus afficher ce message" label
constexpr int kIconBottom = 28;    // the icon's mark ends this far below the panel's top
constexpr int kIconBlanks = 8;     // leading blanks that keep the icon's place free
constexpr int kIconRoom = 30;      // how far a text without them moves right, clear of the icon

// Places the check box, its label and the buttons under a panel of the given bottom; `gap` is
// the space between the panel and the check box (the buttons sit two pixels lower still).
void placeUnderPanel(MessageLayout& m, int extra, int gap) {
    const int panelBottom = kPanelTop + m.panelHeight;
    m.checkTop = panelBottom + gap;
    m.noticeTop = panelBottom + gap + 1;
    m.buttonsTop = panelBottom + extra + gap + 2;
}

// The short box: two lines of text at most, at the height of the design.
void sizeShortBox(MessageLayout& m, int extra) {
    m.clientHeight = kShortBoxHeight + extra - kMessageFrameHeight;
    m.panelHeight = kPanelMinHeight;
    placeUnderPanel(m, extra, 6);
}

// Breaks the text so that no line needs more than N average characters; lines end after their
// last blank, a run without a blank is cut at N characters.
void wrap(QString& t, int n, int& lines) {
    int start = 1;
    int seg = std::min(NextSegmentLength(t, 1, n), n);
    auto at = [&t](int pos) { return t.at(pos - 1); };  // 1-based
    while (start + seg - 1 < t.size()) {
        if (at(start + seg - 1) != QLatin1Char(' ') && at(start + seg - 1) != QLatin1Char('\n') && seg == n) {
            int s = seg;
            while (s > 0 && at(start + s - 1) != QLatin1Char(' ')) --s;
            if (s > 0) seg = s;
        }
        const int e = start + seg - 1;
        if (at(e) != QLatin1Char('\n')) {
            t.insert(e, QLatin1Char('\n'));
            ++lines;
        }
        // The next scan starts one character into the next line (two after an existing break).
        start = start + seg + 2;
        seg = std::min(NextSegmentLength(t, start, n), n);
    }
}

// Style code to icon name ("" = keep the icon) and whether it asks "Oui"/"Non".
struct Style {
    const char* icon;
    bool yesNo;
};

Style styleOf(int code) {
    switch (code) {
        case 12: return {"ERREUR", false};
        case 16: return {"ERREUR", true};
        case 32: return {"QUESTION", false};
        case 36: return {"QUESTION", true};
        case 48: return {"EXLAMATION", false};
        case 52: return {"EXLAMATION", true};
        case 64: return {"INFORMATION", false};
        case 68: return {"INFORMATION", true};
        default: return {"", false};
    }
}

// A 32 x 32 icon whose mark, drawn on a 32-unit grid, is scaled into its top-left 26 pixels:
// the eight blanks that open every message are about 28 pixels wide in the message face, so
// the first letter stays clear of the icon.
QPixmap iconCanvas(const std::function<void(QPainter&)>& draw) {
    QPixmap pix(32, 32);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(26.0 / 32.0, 26.0 / 32.0);
    draw(p);
    return pix;
}

// A round badge with a white sign, the look of the four message icons.
QPixmap badge(const QColor& fill, const std::function<void(QPainter&)>& sign) {
    return iconCanvas([&](QPainter& p) {
        p.setPen(QPen(fill.darker(140), 1));
        p.setBrush(fill);
        p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
        sign(p);
    });
}

QPixmap paintIcon(const QString& name) {
    if (name == QLatin1String("ERREUR")) {
        return badge(QColor(0xD0, 0x20, 0x20), [](QPainter& p) {
            p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
            p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
        });
    }
    if (name == QLatin1String("QUESTION")) {
        return badge(QColor(0x20, 0x60, 0xC0), [](QPainter& p) {
            QPainterPath hook;
            hook.moveTo(11, 12.5);
            hook.cubicTo(11, 6.5, 21, 6.5, 21, 12);
            hook.cubicTo(21, 16, 16, 16, 16, 20);
            p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(hook);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 25), 2.2, 2.2);
        });
    }
    if (name == QLatin1String("INFORMATION")) {
        return badge(QColor(0x20, 0x60, 0xC0), [](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 9), 2.5, 2.5);
            p.drawRoundedRect(QRectF(13.5, 13, 5, 13), 1.5, 1.5);
        });
    }
    if (name == QLatin1String("EXLAMATION")) {
        return iconCanvas([](QPainter& p) {
            p.setPen(QPen(QColor(0x90, 0x70, 0x00), 1));
            p.setBrush(QColor(0xF5, 0xC8, 0x00));
            p.drawPolygon(QPolygonF({QPointF(16, 2), QPointF(30.5, 29.5), QPointF(1.5, 29.5)}));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawRoundedRect(QRectF(14, 10, 4, 11), 1.5, 1.5);
            p.drawEllipse(QPointF(16, 25), 2.2, 2.2);
        });
    }
    return QPixmap();
}

QFont boldFont(QFont f, int pointSize) {
    f.setPointSize(pointSize);
    f.setBold(true);
    return f;
}

QPushButton* makeButton(const QString& text, const char* name, int left, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFont(boldFont(parent->font(), parent->font().pointSize()));
    b->setGeometry(left, 79, kButtonWidth, 25);
    return b;
}

}  // namespace

QString NoticeText() { return QStringLiteral("Ne plus afficher ce message"); }

int CancelAnswer(int style) { return styleOf(style).yesNo ? 7 : 1; }

int NextSegmentLength(const QString& text, int start, int max) {
    if (max < 1) return 0;
    for (int k = 1;; ++k) {
        const int p = start + k - 1;
        if (p < 1 || p > text.size()) return k;
        if (text.at(p - 1) == QLatin1Char('\n')) return k;
        if (k + 1 > max) return k;
    }
}

namespace {

// Lays the text out with its label `indent` pixels further right than the design (the line
// width shrinks by as much; a short line's panel grows by as much).
MessageLayout layoutText(const QString& text, bool withCheckBox, int h, int w, int indent) {
    MessageLayout m;
    const int extra = withCheckBox ? kCheckBoxRoom : 0;
    w = std::max(w, 1);
    const int n = std::max((kPanelWidth - indent) / w, 1);
    m.lineChars = n;
    m.labelLeft = 2 + indent;
    m.text = text;
    m.lines = 1 + static_cast<int>(text.count(QLatin1Char('\n')));
    const int len = static_cast<int>(text.size());

    if (len <= n && m.lines == 1) {
        // One short line: a box just wide enough for it.
        sizeShortBox(m, extra);
        m.labelTop = 10;
        m.panelWidth = len * w + indent;
        m.formWidth = m.panelWidth + 28;
        m.btnNonLeft = m.panelWidth + kPanelLeft - kButtonWidth;
        m.btnOkLeft = m.panelWidth / 2 + kPanelLeft - kButtonWidth / 2;
        return m;
    }

    wrap(m.text, n, m.lines);
    if (m.lines * h + 10 < 35) {
        sizeShortBox(m, extra);
    } else {
        m.panelHeight = std::max(m.lines * h + 10, kPanelMinHeight);
        m.clientHeight = m.panelHeight + extra + 56;
        m.imageHeight = m.clientHeight;
        placeUnderPanel(m, extra, 5);
    }
    if (m.lines == 1) m.labelTop = 10;
    return m;
}

// Whether every line beside the icon starts with the blanks that keep its place free (the
// program's messages open with eight; a text without them would run under the icon).
bool clearsIcon(const MessageLayout& m, int h) {
    const QStringList lines = m.text.split(QLatin1Char('\n'));
    for (int r = 0; r < lines.size() && m.labelTop + r * h < kIconBottom; ++r) {
        const QString& line = lines[r];
        int blanks = 0;
        while (blanks < line.size() && line.at(blanks) == QLatin1Char(' ')) ++blanks;
        if (blanks < line.size() && blanks < kIconBlanks) return false;
    }
    return true;
}

}  // namespace

namespace {

// A wider box: the panel grows with it, "Non" stays right-aligned under it and "OK" centred.
void widen(MessageLayout& m, int by) {
    if (by <= 0) return;
    m.formWidth += by;
    m.panelWidth += by;
    m.btnNonLeft += by;
    m.btnOkLeft += by / 2;
}

}  // namespace

MessageLayout LayoutMessage(const QString& text, bool withCheckBox, int h, int w, int captionWidth,
                            const std::function<int(const QString&)>& lineWidth) {
    MessageLayout m = layoutText(text, withCheckBox, h, w, 0);
    if (!clearsIcon(m, std::max(h, 1))) m = layoutText(text, withCheckBox, h, w, kIconRoom);
    // Lines drawn wider than their count of average characters: the panel takes them whole,
    // with the label's two pixels of margin on the right too.
    if (lineWidth) {
        int widest = 0;
        for (const QString& line : m.text.split(QLatin1Char('\n'))) widest = std::max(widest, lineWidth(line));
        widen(m, m.labelLeft + widest + 2 - m.panelWidth);
        // The check box's notice, which starts 17 pixels right of the panel's edge, shown whole.
        if (withCheckBox) widen(m, kNoticeLeft - kPanelLeft + lineWidth(NoticeText()) + 2 - m.panelWidth);
    }
    // However short the text, "Oui" and "Non" stand apart under it.
    widen(m, 2 * kButtonWidth + kPanelLeft - m.panelWidth);
    // A caption longer than the box is wide: the box grows so that its title bar shows it whole.
    if (captionWidth > 0) widen(m, captionWidth + kTitleBarRoom - m.clientWidth());
    return m;
}

QPixmap MessageIcon(const QString& name) {
    static QHash<QString, QPixmap> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.insert(name, paintIcon(name));
    return it.value();
}

TFMessage::TFMessage(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FMessage"));
    UseProgramFont(this);

    Image = PlaceWidget<QLabel>(this, "Image", QRect(-14, 0, 536, 358));
    BtnNon = makeButton(QStringLiteral("Non"), "BtnNon", 359, this);
    BtnOk = makeButton(QStringLiteral("OK"), "BtnOk", 185, this);
    BtnOui = makeButton(QStringLiteral("Oui"), "BtnOui", 10, this);
    LblNePlusAfficher =
        PlaceLabel(this, "LblNePlusAfficher", NoticeText(), QRect(kNoticeLeft, 56, 0, 0));
    ChbAfficheAlerte = PlaceWidget<QCheckBox>(this, "ChbAfficheAlerte", QRect(10, 55, 14, 14));
    Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel->setLineWidth(1);
    Panel->setAutoFillBackground(true);
    QPalette panelColours = Panel->palette();
    panelColours.setColor(QPalette::Window, panelColours.color(QPalette::HighlightedText));
    Panel->setPalette(panelColours);
    Panel->setGeometry(kPanelLeft, kPanelTop, kPanelWidth, kPanelMinHeight);
    LblMessage = new QLabel(Panel);
    LblMessage->setObjectName(QStringLiteral("LblMessage"));
    LblMessage->setTextFormat(Qt::PlainText);
    LblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A bold face whose average character is 6 pixels wide: about 70 characters
    // fill the panel, the line length the messages' own line feeds were written for.
    QFont messageFont(QStringLiteral("DejaVu Sans"));
    messageFont.setBold(true);
    messageFont.setPixelSize(10);
    LblMessage->setFont(messageFont);
    QPalette black = LblMessage->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    LblMessage->setPalette(black);
    LblMessage->move(2, 2);
    ImageSymbole = PlaceWidget<QLabel>(Panel, "ImageSymbole", QRect(1, 1, 32, 32));

    setTabOrder(ChbAfficheAlerte, BtnOui);
    setTabOrder(BtnOui, BtnOk);
    setTabOrder(BtnOk, BtnNon);
    setTabOrder(BtnNon, Panel);

    connect(BtnOui, &QPushButton::clicked, this, &TFMessage::BtnOuiClick);
    connect(BtnOk, &QPushButton::clicked, this, &TFMessage::BtnOkClick);
    connect(BtnNon, &QPushButton::clicked, this, &TFMessage::BtnNonClick);
    connect(ChbAfficheAlerte, &QCheckBox::toggled, this, &TFMessage::ChbAfficheAlerteClick);
    FormCreate();
    setFixedSize(442, 116);
}

void TFMessage::FormCreate() {
    UseDialogFrame(this);
}

void TFMessage::BtnOuiClick() {
    ButtonResult = 6;
    done(ButtonResult);
}

void TFMessage::BtnOkClick() {
    ButtonResult = 1;
    done(ButtonResult);
}

void TFMessage::BtnNonClick() {
    ButtonResult = 7;
    done(ButtonResult);
}

void TFMessage::closeEvent(QCloseEvent* event) {
    // ButtonResult holds the cancel answer until a button is pressed.
    if (isVisible()) done(ButtonResult);
    event->accept();
}

void TFMessage::ChbAfficheAlerteClick() { ShowFlag = ChbAfficheAlerte->isChecked() ? 0 : 1; }

int CaptionWidth(const QString& caption, const QFont& font) {
    // Window managers print captions in a bold face a little larger than the message's.
    QFont title = font;
    title.setBold(true);
    title.setPixelSize(12);
    return QFontMetrics(title).horizontalAdvance(caption);
}

QSize MessageLineMetrics(const QFont& font) {
    // The label steps its lines by the line spacing rounded up, so that is the height of a line.
    return QSize(QFontMetrics(font).averageCharWidth(), qCeil(QFontMetricsF(font).lineSpacing()));
}

void TFMessage::applyLayout(const MessageLayout& m) {
    setFixedSize(m.clientWidth(), m.clientHeight);
    if (m.imageHeight >= 0) Image->resize(Image->width(), m.imageHeight);
    Panel->setGeometry(kPanelLeft, kPanelTop, m.panelWidth, m.panelHeight);
    // The label takes the rest of the panel rather than its own size hint: the lines are already
    // broken and measured, so the text is shaped once more only to paint it. Held at the top, the
    // text draws where a label sized to it would; the panel clips what lies past its edges.
    LblMessage->setText(m.text);
    LblMessage->setGeometry(m.labelLeft, m.labelTop, std::max(m.panelWidth - m.labelLeft, 1),
                            std::max(m.panelHeight - m.labelTop, 1));
    ChbAfficheAlerte->move(ChbAfficheAlerte->x(), m.checkTop);
    LblNePlusAfficher->move(LblNePlusAfficher->x(), m.noticeTop);
    BtnNon->move(m.btnNonLeft, m.buttonsTop);
    BtnOk->move(m.btnOkLeft, m.buttonsTop);
    BtnOui->move(BtnOui->x(), m.buttonsTop);
}

int ShowMessageBox(const QString& text, const QString& caption, int style, uint8_t* switchByte,
                   bool withCheckBox) {
    if (!FMessage) FMessage = new TFMessage();
    TFMessage* box = FMessage;
    const Style s = styleOf(style);
    // A box asked for while one is already up cannot be shown on top of it: the box on screen
    // is left as it is and the caller gets the answer that does nothing, "Non" for a question,
    // never the answer given to the box on screen.
    if (box->isVisible()) return CancelAnswer(style);
    uint8_t scratch = 1;
    if (!switchByte) switchByte = &scratch;

    box->setWindowTitle(caption);
    // Until a button is pressed, the box counts as answered by its cancel answer.
    box->ButtonResult = CancelAnswer(style);
    if (*s.icon) box->ImageSymbole->setPixmap(MessageIcon(QString::fromLatin1(s.icon)));
    box->BtnNon->setVisible(s.yesNo);
    box->BtnOui->setVisible(s.yesNo);
    box->BtnOk->setVisible(!s.yesNo);
    // Each box opens on its first button, whatever was pressed at the previous one: "Oui" for a
    // question (also when the check box comes before it), "OK" otherwise; Enter answers it.
    QPushButton* first = s.yesNo ? box->BtnOui : box->BtnOk;
    box->BtnNon->setDefault(false);
    box->BtnOk->setDefault(first == box->BtnOk);
    box->BtnOui->setDefault(first == box->BtnOui);
    first->setFocus(Qt::OtherFocusReason);
    box->ChbAfficheAlerte->setVisible(withCheckBox);
    box->LblNePlusAfficher->setVisible(withCheckBox);
    // The box starts as the switch stands: ticked only when the message is already turned off.
    box->ChbAfficheAlerte->setChecked(*switchByte == 0);

    const QSize metrics = MessageLineMetrics(box->LblMessage->font());
    const QFontMetrics drawn(box->LblMessage->font());
    box->applyLayout(LayoutMessage(text, withCheckBox, metrics.height(), metrics.width(),
                                   CaptionWidth(caption, box->LblMessage->font()),
                                   [&drawn](const QString& line) { return drawn.horizontalAdvance(line); }));
    box->ShowFlag = *switchByte;
    placeOverFrame(box, 14);

    try {
        modal::exec(box);
    } catch (...) {
        if (box->isVisible()) box->hide();
        return box->ButtonResult;
    }
    if (box->ShowFlag != *switchByte) {
        appState().OptionsDirty = 1;
        *switchByte = box->ShowFlag;
    }
    return box->ButtonResult;
}
