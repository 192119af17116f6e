#pragma once
// The balance window's data without a widget: one user's saved days of a period read into
// lists, the calendar days they span, and the paging over those days fifteen at a time.
#include <QDate>
#include <QString>
#include <QVector>

// Days of one chart page or one printed sheet.
constexpr int DaysPerPage = 15;

// One user's saved days of a period. Entry i of every Info* and DaySum* list belongs to the saved
// day InfoDates[i]; DayHasSums[i] is false for a saved day without food rows, whose sums are 0 and
// must not be drawn. The sums are read on demand (SumsRead[i]), a page at a time.
struct BalanceData {
    QString user;
    QVector<QDate> InfoDates;          // ascending
    QVector<double> InfoWeights;       // kg
    QVector<double> InfoObjectives;    // kcal
    QVector<double> DaySumCalories;    // kcal
    QVector<double> DaySumLipids;      // g
    QVector<double> DaySumProteins;    // g
    QVector<double> DaySumCarbs;       // g
    QVector<bool> DayHasSums;
    QVector<bool> SumsRead;
    QVector<QDate> ChartDays;          // every calendar day from the first to the last saved day

    int dayCount() const { return int(ChartDays.size()); }
    // Pages of DaysPerPage calendar days, at least 1.
    int pageCount() const;
};

// Reads the saved days of `user` from `first` to `last` (both included) out of
// t_histo_infos_utilisateur and builds the calendar days; no day sum is read yet. Raises
// DatabaseError when the statement fails.
BalanceData LoadBalanceDays(const QString& user, const QDate& first, const QDate& last);
// Reads the day sums of t_histo_consommation, matched by date, for the saved days among the
// calendar days firstDay to lastDay whose sums are not read yet. Raises DatabaseError.
void ReadDaySums(BalanceData& data, int firstDay, int lastDay);
// LoadBalanceDays with every day sum read.
BalanceData LoadBalance(const QString& user, const QDate& first, const QDate& last);

// Fills ChartDays from the first to the last entry of InfoDates (nothing when there is none).
void BuildChartDays(BalanceData& data);

// Paging over the calendar days, with the enabled state of the four paging buttons. A move whose
// condition fails changes nothing and returns false.
struct BalancePager {
    int PageCount = 1;
    int CurrentPage = 1;
    int PageFirstDay = 0;   // index of the page's first day
    int dayCount = 0;
    bool premierEnabled = false;
    bool precedantEnabled = false;
    bool suivantEnabled = false;
    bool dernierEnabled = false;

    // Back to page 1 over `days` calendar days.
    void reset(int days);
    bool next();
    bool last();
    bool previous();
    bool first();
    // The page indicator: "1\3" for page 1 of 3.
    QString indicator() const;
    // Index of the last day shown on the page (PageFirstDay - 1 when there is no day).
    int pageLastDay() const;
};
