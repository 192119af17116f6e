#pragma once
// The program's one message box: TFMessage lays itself out for the text (its own word wrap from
// the label font's average character width), shows an icon and "OK" or "Oui"/"Non" from a style
// code, and can offer "Ne plus afficher ce message" bound to one of the alert switches.
#include <QDialog>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// Window frame around the client area, as the layout's outer sizes count it.
constexpr int kMessageFrameWidth = 8;
constexpr int kMessageFrameHeight = 34;

// Geometry of the box for one text, in the units of the label font's metrics.
struct MessageLayout {
    QString text;            // the text with the line feeds the wrap inserted
    int lines = 1;           // number of lines of `text`
    int lineChars = 0;       // characters taken to fill the 422-pixel panel
    int formWidth = 450;     // outer width of the window
    int clientHeight = 0;
    int panelWidth = 422;    // the panel stays at (10, 12)
    int panelHeight = 39;
    int labelTop = 2;        // of the message inside the panel
    int labelLeft = 2;       // 32 when the text would otherwise run under the icon
    int checkTop = 0;        // "Ne plus afficher" check box
    int noticeTop = 0;       // its label
    int buttonsTop = 0;
    int btnNonLeft = 359;
    int btnOkLeft = 185;     // "Oui" stays at 10
    int imageHeight = -1;    // background height; -1 keeps the previous one
    int clientWidth() const { return formWidth - kMessageFrameWidth; }
};

// Characters from `start` (1-based) through the next line feed, or `max`, or one more than the
// characters left when the text ends first; 0 when max < 1.
int NextSegmentLength(const QString& text, int start, int max);

// Wraps and sizes a message for a label font of line height h and average character width w;
// withCheckBox makes room (22 pixels) for the "Ne plus afficher ce message" switch. A text whose
// lines beside the icon do not open with eight blanks is moved right of the icon (and wrapped to
// the narrower width). A caption `captionWidth` pixels wide widens the box until its title bar
// shows it whole. `lineWidth`, when given, measures a line as the label draws it: a line wider
// than the average character width makes it (capitals, a long name) widens the box so that it
// is not cut at the panel's edge; the lines stay where the wrap broke them.
MessageLayout LayoutMessage(const QString& text, bool withCheckBox, int h, int w, int captionWidth = 0,
                            const std::function<int(const QString&)>& lineWidth = {});

// The width a caption takes in a title bar: `font`'s family, bold, 12 pixels.
int CaptionWidth(const QString& caption, const QFont& font);
// What a title bar takes besides its caption: its icon, boxes and margins.
constexpr int kTitleBarRoom = 120;

// The label of the check box that turns a message off: "Ne plus afficher ce message".
QString NoticeText();

// The 32 x 32 icons "ERREUR", "QUESTION", "EXLAMATION" and "INFORMATION"; null for other names.
QPixmap MessageIcon(const QString& name);

// The metrics the wrap works with for a font: width = average character width, height = the
// height of one line of the message label.
QSize MessageLineMetrics(const QFont& font);

class TFMessage : public QDialog {
    Q_OBJECT
public:
    explicit TFMessage(QWidget* parent = nullptr);

    // Components, in member order
    QLabel* Image = nullptr;
    QPushButton* BtnNon = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnOui = nullptr;
    QLabel* LblNePlusAfficher = nullptr;
    QCheckBox* ChbAfficheAlerte = nullptr;
    QFrame* Panel = nullptr;
    QLabel* LblMessage = nullptr;
    QLabel* ImageSymbole = nullptr;

    int32_t ButtonResult = 0;  // 1 "OK", 6 "Oui", 7 "Non"
    uint8_t ShowFlag = 0;      // the caller's switch while the box is shown

    // Handlers
    void FormCreate();
    void BtnOuiClick();
    void BtnOkClick();
    void BtnNonClick();
    void ChbAfficheAlerteClick();

    // Puts the widgets where a layout says.
    void applyLayout(const MessageLayout& layout);

public slots:
    // Escape does not close the box: only its buttons do, or the close box that some window
    // managers add, which answers as the box's cancel button would (see CancelAnswer).
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;
};

extern TFMessage* FMessage;

// The answer of a box that was not answered by a button: "Non" (7) for the styles that ask
// "Oui"/"Non", "OK" (1) for the others.
int CancelAnswer(int style);

// Shows a message and returns 1 ("OK"), 6 ("Oui") or 7 ("Non"). Styles 12, 32, 48, 64 give the
// error, question, exclamation and information icon with "OK"; 16, 36, 52, 68 the same icons with
// "Oui" and "Non"; any other code "OK" and the previous icon. When the user changes the
// "Ne plus afficher ce message" box, *switchByte takes the new value (0 = do not show again) and
// the options are marked dirty. Creates FMessage on first use. Asked for while a box is already
// up, it shows nothing and returns CancelAnswer(style).
int ShowMessageBox(const QString& text, const QString& caption, int style, uint8_t* switchByte,
                   bool withCheckBox);
