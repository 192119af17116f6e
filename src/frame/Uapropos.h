#pragma once
// The about box: the program's name, version, maker and contact, over a light grey panel.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TFApropos : public QDialog {
    Q_OBJECT
public:
    explicit TFApropos(QWidget* parent = nullptr);
    ~TFApropos() override;

    // Components
    QLabel* Image = nullptr;    // background
    QFrame* Panel1 = nullptr;
    QLabel* LblRens = nullptr;
    QLabel* Logo = nullptr;
    QPushButton* BtnOk = nullptr;

    // Handlers
    void FormCreate();
    void BtnOkClick();
};

extern TFApropos* FApropos;

// The menu item "À propos de Vivanda": places the box over the frame and shows it.
void ShowAproposFromMenu();

// The program's 32 x 32 mark.
QPixmap VivandaLogo();
