#include "reference/Uconversionmv.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <cmath>

#include "frame/FormWidgets.h"
#include "frame/LongLivedForm.h"
#include "frame/Placement.h"
#include "frame/TextHelpers.h"
#include "platform/Modal.h"

TFConversionMV* FConversionMV = nullptr;

namespace {
constexpr int kHelpContext = 200;
}  // namespace

std::optional<double> GramsToMeasures(double grams, double unitValue, double density) {
    const double measure = unitValue * density;
    if (!(measure > 0)) return std::nullopt;
    const double measures = grams / measure;
    if (!std::isfinite(measures)) return std::nullopt;
    return measures;
}

TFConversionMV::TFConversionMV(QWidget* parent) : MeasureDialog(parent, kHelpContext) {
    setObjectName(QStringLiteral("FConversionMV"));
    quantityRule_ = NumberRules::Grams;   // a weight, turned into measures
    setWindowTitle(QStringLiteral("Conversion en diverses unités de mesure"));

    // Top to bottom: the food, the weight, the measure, Conversion, the result, Ok.
    LblAliment = PlaceLabel(this, "LblAliment", QStringLiteral("Aliment"), {8, 6, 0, 0}, true);
    LboxAliments = PlaceWidget<QComboBox>(this, "LboxAliments", QRect(8, 22, 356, 22));
    LboxAliments->setToolTip(QStringLiteral("Sélection d'un des aliments"));
    LblPoids = PlaceLabel(this, "LblPoids", QStringLiteral("Poids (en g)"), {8, 50, 0, 0}, true);
    EdtQuantite = PlaceEdit(this, "EdtQuantite", {8, 66, 100, 21});
    EdtQuantite->setToolTip(QStringLiteral("Saisie de la quantité (en grammes) de l'aliment sélectionné"));
    LblUnite = PlaceLabel(this, "LblUnite", QStringLiteral("Unité de mesure"), {8, 94, 0, 0}, true);
    LboxUnites = PlaceWidget<QComboBox>(this, "LboxUnites", QRect(8, 110, 356, 22));
    LboxUnites->setToolTip(
        QStringLiteral("Sélection de l'unité de mesure dans laquelle doit être effectuée la conversion"));
    BtnConversion = PlaceButton(this, "BtnConversion", QStringLiteral("Conversion"), {8, 140, 109, 25}, true);
    BtnConversion->setToolTip(QStringLiteral("Conversion de la quantité en grammes dans l'unité de mesure sélectionnée"));
    LblQuantite = PlaceLabel(this, "LblQuantite", QStringLiteral("Quantité"), {8, 172, 0, 0}, true);
    EdtVolume = PlaceEdit(this, "EdtVolume", {8, 188, 100, 21}, true);
    EdtVolume->setToolTip(QStringLiteral("Quantité exprimée dans l'unité de mesure de volume sélectionnée"));
    SetInputColour(EdtVolume, kLockedColour);
    BtnAnnule = PlaceButton(this, "BtnAnnule", QStringLiteral("Annuler"), {204, 186, 75, 25}, true);
    BtnAnnule->setVisible(false);
    BtnOk = PlaceButton(this, "BtnOk", QStringLiteral("Ok"), {289, 186, 75, 25}, true);
    BtnOk->setToolTip(QStringLiteral(
        "Insertion du poids calculé dans la zone quantité de la grille de saisie des aliments"));
    setTabOrder(LboxAliments, EdtQuantite);
    setTabOrder(EdtQuantite, LboxUnites);
    setTabOrder(LboxUnites, BtnConversion);
    setTabOrder(BtnConversion, EdtVolume);
    setTabOrder(EdtVolume, BtnAnnule);
    setTabOrder(BtnAnnule, BtnOk);

    connectControls();
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    FormCreate();
}

TFConversionMV::~TFConversionMV() {
    if (FConversionMV == this) FConversionMV = nullptr;
}

void TFConversionMV::FormCreate() {
    // Wide enough for the whole title (the measure dialog's 245 would cut it); the lists and Ok
    // reach as far right as the dialog's left margin is wide, however much the title widens it.
    MakeFixedDialog(this, 380, 263);
    const int right = width() - LboxAliments->x();
    for (QWidget* list : {static_cast<QWidget*>(LboxAliments), static_cast<QWidget*>(LboxUnites)})
        list->resize(right - list->x(), list->height());
    BtnOk->move(right - BtnOk->width(), BtnOk->y());
    BtnAnnule->move(BtnOk->x() - 10 - BtnAnnule->width(), BtnAnnule->y());
    openLookups();
}

void TFConversionMV::BtnConversionClick() {
    const std::optional<MeasureInput> in = readMeasureInput();
    if (!in) return;
    // A measure or a food whose size is 0 gives no number of measures.
    const std::optional<double> measures = GramsToMeasures(in->quantity, in->unitValue, in->density);
    if (!measures) {
        showError(2);
        return;
    }
    EdtVolume->setText(QuantityToText(*measures));
    ConvertedWeight = *measures;
}

void TFConversionMV::BtnOkClick() {
    Validated = 1;
    done(QDialog::Accepted);
}

void TFConversionMV::FormActivate() {
    EdtQuantite->clear();
    EdtVolume->clear();
}

void TFConversionMV::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    refreshIfStale();
    FormActivate();
}

void TFConversionMV::showError(int message, const QString& detail) {
    MeasureDialog::showError(message, detail);
    FormActivate();
}

void ShowConversionMVFromMenu() {
    placeOverFrame(LongLivedForm(FConversionMV), 14);
    modal::exec(FConversionMV);
}
