#pragma once
// The printed sheet of one recipe for a number of servings: name, description and photo, then
// two lines per ingredient (values per gram, then for the quantity used), the recipe's totals and
// the values per person. A form that lives for the whole run and is never shown itself: the
// search window fills its Query and shows the preview of its report QRRecette.
#include <QImage>
#include <QLocale>
#include <QString>
#include <QWidget>

#include "data/Query.h"
#include "platform/report/Report.h"

class TFQRAffiRecette : public QWidget {
    Q_OBJECT
public:
    explicit TFQRAffiRecette(QWidget* parent = nullptr);
    ~TFQRAffiRecette() override;

    // The report's rows, one per ingredient: 0 recipe name, 1 description, 2 food name,
    // 3-6 CaloriesGramme, LipidesGramme, ProtidesGramme, GlucidesGramme (per gram of the food),
    // 7 QuantiteGramme, 8 Image, 9 nb_parts.
    ::Query Query;

    // The report: group QRGroup (name, description, photo) with the column titles in its child
    // band, DetailBand, group footer QRFinGroup. Items are reached by name (QRRecette.item(...)).
    report::Report QRRecette;

    // Handlers
    void FormCreate();
    void QRRecetteBeforePrint();

    // Binds the name, the description, the group and the ingredient columns to the fields of
    // Query at their positions (0 to 7).
    void BindFieldsToQuery();
    // The picture of QRImage.
    void SetPhoto(const QImage& picture);

    // Runs QRRecetteBeforePrint and lays the report out over Query's rows.
    report::ReportPlan LayOut(const QLocale& locale = QLocale());
    // The preview, from which the sheet prints or becomes a PDF.
    int Preview();
};

extern TFQRAffiRecette* FQRAffiRecette;

// The three comment lines QRLblCommentaire1 to 3 that explain a food's two lines (values per
// gram, then for the quantity); the printed day shows them too.
void SetPerGramComments(report::Report& r);

// The bitmap "aucune_photo": what QRImage shows for a recipe without a readable photo.
QImage NoPhotoPicture();

// The photo of a recipe: ImagesDirectory/<file> when the name is given and the file reads as a
// picture, else NoPhotoPicture().
QImage RecipePhoto(const QString& imagesDirectory, const QString& fileName);
