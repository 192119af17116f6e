#pragma once
// "Historique des consommations": one user's calories against the objective, nutrients or weight
// over a period, day by day, fifteen calendar days a page, on screen and on paper. One window
// for the whole run, modeless; the history display fills its members and shows it, "Fermer"
// hides it. Every activation reads the period again and goes back to page 1 of the calories.
#include <QDate>
#include <QString>
#include <QWidget>

#include "data/Query.h"
#include "tracking/BalanceData.h"
#include "tracking/ChartPlan.h"

class QButtonGroup;
class QFrame;
class QLineEdit;
class QPushButton;

class TFBilan : public QWidget {
    Q_OBJECT
public:
    explicit TFBilan(QWidget* parent = nullptr);

    // Set by the caller before the window is shown
    QDate DateDebut;
    QDate DateFin;
    QString NomUtilisateur;

    // Components
    QFrame* Panel = nullptr;
    QPushButton* BtnImprimer = nullptr;
    QPushButton* SBtnCalories = nullptr;
    QPushButton* SBtnNutriments = nullptr;
    QPushButton* SBtnPoids = nullptr;
    QPushButton* BtnPremier = nullptr;
    QPushButton* BtnPrecedant = nullptr;
    QLineEdit* EdtQuantieme = nullptr;
    QPushButton* BtnSuivant = nullptr;
    QPushButton* BtnDernier = nullptr;
    QPushButton* BtnFermer = nullptr;
    QButtonGroup* KindButtons = nullptr;
    ::Query Query;

    // The period read, the page shown and the chart kind
    BalanceData Data;
    BalancePager Pager;
    int ChartKind = ChartCalories;

    // Handlers
    void FormCreate();
    void FormResize();
    void FormActivate();
    void SBtnCaloriesClick();
    void SBtnNutrimentsClick();
    void SBtnPoidsClick();
    void BtnSuivantClick();
    void BtnPrecedantClick();
    void BtnPremierClick();
    void BtnDernierClick();
    void BtnImprimerClick();
    void BtnFermerClick();
    void FormPaint(QPainter& painter);

    // The chart of the page shown, for the window's client size.
    ChartPlan PagePlan() const;
    // Shows the window at the front; its activation reads the period.
    void Open();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void showPage();
    // Reads the day sums of the days given; on a failure says so and hides the window.
    bool readSums(int firstDay, int lastDay);
    void cannotRead();

    // The print dialog and the print's message are the window's own: coming back from them is no
    // return from another window and keeps the page and chart shown. Set while such a box is up
    // and until the activation that follows it (or a second later, when none comes).
    bool ownModal_ = false;
};

extern TFBilan* FBilan;
