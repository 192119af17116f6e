#pragma once
// "Sauvegarde de la journée": the date of the day to save, picked in a calendar, and the body
// weight of that day (optional). Created at start-up and kept for the whole run; the caller sets
// the calendar and the weight before showing it modally and reads them, with Validated, after.
#include <QDialog>
#include <cstdint>

class QCalendarWidget;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Ok" may close the dialog only while this is set; a weight just refused clears it until the
// event that left the weight edit is over, so that the click that left the edit does not also
// close the dialog.
extern uint8_t CloseAllowed;

class TFSelDate : public QDialog {
    Q_OBJECT
public:
    explicit TFSelDate(QWidget* parent = nullptr);

    // Components
    QLabel* Image = nullptr;   // background
    QGroupBox* GrpBoxDate = nullptr;
    QLabel* LblSelDate = nullptr;
    QCalendarWidget* MonthCalendar = nullptr;
    QGroupBox* GrpBoxPoids = nullptr;
    QLabel* LblPoids = nullptr;
    QLineEdit* EdtPoids = nullptr;
    QPushButton* BtnOk = nullptr;

    uint8_t Validated = 0;     // 1 when closed by "Ok"

    // Handlers
    void FormShow();
    void FormActivate();
    void EdtPoidsExit();
    void BtnOkClick();
    void FormHelp();

protected:
    void done(int result) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool closing_ = false;   // the dialog is being closed: the weight edit loses the focus
};

extern TFSelDate* FSelDate;
