#pragma once
// "Conversion divers unités de mesures": a weight in grams of a food, turned into a number of
// one of its household measures (grams / (ValeurUnite of the measure x Densite of the food)).
// Created at start-up and shown modally from the frame's menu only; nobody reads it back.
#include <optional>

#include "reference/Uconversion.h"

// The number of measures that `grams` make; nothing when the measure or the density is 0 (or
// below), or the result is not a finite number.
std::optional<double> GramsToMeasures(double grams, double unitValue, double density);

class TFConversionMV : public MeasureDialog {
    Q_OBJECT
public:
    explicit TFConversionMV(QWidget* parent = nullptr);
    ~TFConversionMV() override;

    QLabel* LblAliment = nullptr;
    QLabel* LblPoids = nullptr;
    QLabel* LblUnite = nullptr;
    QLabel* LblQuantite = nullptr;
    QLineEdit* EdtVolume = nullptr;   // the result, in measures

    // Handlers (with ConvertedWeight: the number of measures of the last conversion)
    void FormCreate();
    void BtnConversionClick() override;
    void BtnOkClick();
    void FormActivate();

protected:
    void showEvent(QShowEvent* e) override;
    // Coming back from one of its own messages counts as the dialog becoming active again: the
    // weight has to be typed again.
    void showError(int message, const QString& detail = QString()) override;
};

extern TFConversionMV* FConversionMV;

// The frame's menu item "ConversionMV": the dialog placed over the frame and shown modally.
void ShowConversionMVFromMenu();
