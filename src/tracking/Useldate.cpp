#include "tracking/Useldate.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "data/TypedNumber.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"
#include "tracking/DaySave.h"

uint8_t CloseAllowed = 0;
TFSelDate* FSelDate = nullptr;

TFSelDate::TFSelDate(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FSelDate"));
    setWindowTitle(QString::fromUtf8("Sauvegarde de la journée"));
    UseDialogFrame(this);   // keeps its close box
    UseProgramFont(this);

    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(0, 0, 344, 276);

    GrpBoxDate = PlaceGroup(this, "GrpBoxDate", QString(), QRect(8, 4, 328, 190));
    LblSelDate = PlaceLabel(GrpBoxDate, "LblSelDate",
                            QString::fromUtf8("Sélectionnez la date de la journée à sauvegarder"), {6, 16, 106, 160});
    // Shown with the line breaks of its text (set at each showing).
    LblSelDate->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    MonthCalendar = new QCalendarWidget(GrpBoxDate);
    MonthCalendar->setObjectName(QStringLiteral("MonthCalendar"));
    MonthCalendar->setMinimumWidth(210);
    MonthCalendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // Seven columns in 210 pixels: a day's initial ("L", "M", ...) fits, "mar." does not.
    MonthCalendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    MonthCalendar->setGeometry(112, 14, 210, 170);
    // The calendar keeps Enter for itself; here it validates the day picked.
    if (auto* days = MonthCalendar->findChild<QAbstractItemView*>()) days->installEventFilter(this);

    GrpBoxPoids = PlaceGroup(this, "GrpBoxPoids", QStringLiteral("Poids (facultatif)"), QRect(8, 198, 328, 42));
    LblPoids = PlaceLabel(GrpBoxPoids, "LblPoids", QString::fromUtf8("Votre poids lors de cette journée (kg)"),
                          {8, 18, 0, 0});
    EdtPoids = PlaceEdit(GrpBoxPoids, "EdtPoids", {232, 15, 81, 21});

    BtnOk = PlaceButton(this, "BtnOk", QStringLiteral("Ok"), {134, 245, 75, 25}, true);
    BtnOk->setDefault(true);

    connect(EdtPoids, &QLineEdit::editingFinished, this, &TFSelDate::EdtPoidsExit);
    connect(BtnOk, &QPushButton::clicked, this, &TFSelDate::BtnOkClick);

    // Fixed border; the dialog keeps its system menu and close box.
    setFixedSize(344, 276);
}

void TFSelDate::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormShow();
    FormActivate();
}

void TFSelDate::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        FormHelp();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TFSelDate::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BtnOk->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TFSelDate::FormShow() { CloseAllowed = 1; }

void TFSelDate::FormActivate() {
    Validated = 0;
    LblSelDate->setText(QString::fromUtf8("Sélectionnez dans le\ncalendrier, la date\ncorrespondant à la\n"
                                          "journée pendant\nlaquelle les aliments\nont été consommés."));
    // A wide desktop font gets one a little smaller, so that no line is cut by the calendar.
    QFont font = LblSelDate->font();
    while (LblSelDate->sizeHint().width() > LblSelDate->width() && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        LblSelDate->setFont(font);
    }
}

void TFSelDate::done(int result) {
    closing_ = true;
    QDialog::done(result);
    closing_ = false;
}

void TFSelDate::EdtPoidsExit() {
    // A weight left half typed in a dialog being closed is given up, not checked.
    if (closing_ || !isVisible()) return;
    if (IsAcceptableDayWeight(EdtPoids->text())) {
        CloseAllowed = 1;
        return;
    }
    ShowMessageBox(QStringLiteral("        Valeur non valide pour un poids !\n") + NumberRangeHint(NumberRules::DayWeightKg),
                   QStringLiteral("Erreur de saisie"), 0x20, nullptr, false);
    EdtPoids->clear();
    CloseAllowed = 0;
    // Only the event that left the edit is barred from closing: a click of "Ok" whose press took
    // the focus loses its release to the message box and never arrives, and the next click must
    // then close. Return in the edit clicks "Ok" at once, inside the same event, and is refused.
    QTimer::singleShot(0, this, [] { CloseAllowed = 1; });
}

void TFSelDate::BtnOkClick() {
    if (CloseAllowed) {
        Validated = 1;
        accept();
    }
    CloseAllowed = 1;
}

void TFSelDate::FormHelp() { OpenHelpPage(this, appState().HelpFilePath, QStringLiteral("index.html")); }
