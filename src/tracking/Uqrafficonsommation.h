#pragma once
// The printed day: one day's consumption food by food (values per gram, then for the quantity
// eaten), the day's totals and the totals per kilo of body weight. Either the day being composed
// (TableSource "t_consommation", from the consumption window) or a saved day of the history.
// A form that lives for the whole run and is never shown itself: the caller sets its public
// members and shows the preview of its report QRAffiConso.
#include <QDate>
#include <QLocale>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "data/Query.h"
#include "platform/report/Report.h"
#include "tracking/ConsoDay.h"

// The report's statement for a source: the day being composed with `weight` as
// poids_utilisateur, or the saved day of `user` and `day` with its saved weight. Result columns:
// NomAliment, CaloriesGramme, LipidesGramme, ProtidesGramme, GlucidesGramme, QuantiteGramme,
// Numero, poids_utilisateur.
SqlStatement ConsumptionReportQuery(const QString& tableSource, int32_t weight, const QString& user,
                                  const QDate& day);

// The title line, with the date for a saved day; it stops at "différents" and the user line
// completes it.
QString ConsumptionReportTitle(const QString& tableSource, const QDate& day, const QLocale& locale = QLocale());
// "nutriments de " (or "d'" before a vowel) + the user, or "nutriments" without a user.
QString ConsumptionReportUserLine(const QString& user);

// The report's bands: group header QRGroup (titles, comments, column titles), detail DetailBand1
// (two lines a food), group footer QRFinGroup (totals, per kilo); A4 portrait, 10 mm margins.
report::Report ConsumptionReport();

class TFQRAffiConsommation : public QWidget {
    Q_OBJECT
public:
    explicit TFQRAffiConsommation(QWidget* parent = nullptr);
    ~TFQRAffiConsommation() override;

    // Set by the callers
    QString NomUtilisateur;   // whose day; empty when none
    int32_t Poids = 0;        // kg, the current day's weight (per-kilo values)
    QString TableSource;      // "t_consommation": the current day; otherwise a saved day
    QDate DateConso;          // the saved day

    ::Query Query;
    report::Report QRAffiConso;

    // Handlers
    void FormCreate();
    void QRAffiConsoBeforePrint();   // builds the query and the titles

    // Runs QRAffiConsoBeforePrint and lays the report out over the query's rows. Raises
    // DatabaseError when the query fails, std::runtime_error when the layout reports an error.
    report::ReportPlan LayOut(const QLocale& locale = QLocale());
    // The preview, from which the day prints or becomes a PDF.
    int Preview();
};

extern TFQRAffiConsommation* FQRAffiConsommation;
