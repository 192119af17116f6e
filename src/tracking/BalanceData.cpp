#include "tracking/BalanceData.h"

#include <QHash>
#include <algorithm>

#include "data/Query.h"

int BalanceData::pageCount() const { return std::max(1, (dayCount() + DaysPerPage - 1) / DaysPerPage); }

void BuildChartDays(BalanceData& data) {
    data.ChartDays.clear();
    if (data.InfoDates.isEmpty()) return;
    for (QDate d = data.InfoDates.first(); d <= data.InfoDates.last(); d = d.addDays(1)) data.ChartDays.append(d);
}

BalanceData LoadBalanceDays(const QString& user, const QDate& first, const QDate& last) {
    BalanceData data;
    data.user = user;
    // Dates are stored 'YYYY-MM-DD', so BETWEEN and ORDER BY follow the calendar.
    Query infos(QStringLiteral("SELECT DateConso, Poids, ObjectifCalorique FROM t_histo_infos_utilisateur "
                               "WHERE NomUtilisateur = ? AND DateConso BETWEEN ? AND ? ORDER BY DateConso;"),
                {user, first, last});
    infos.open();
    for (const auto& row : infos.takeRows()) {
        const QDate day = QDate::fromString(row[0].toString(), Qt::ISODate);
        if (!day.isValid()) continue;
        data.InfoDates.append(day);
        data.InfoWeights.append(row[1].toDouble());
        data.InfoObjectives.append(row[2].toDouble());
    }
    const int n = int(data.InfoDates.size());
    for (QVector<double>* sums : {&data.DaySumCalories, &data.DaySumLipids, &data.DaySumProteins, &data.DaySumCarbs})
        sums->fill(0, n);
    data.DayHasSums.fill(false, n);
    data.SumsRead.fill(false, n);
    BuildChartDays(data);
    return data;
}

void ReadDaySums(BalanceData& data, int firstDay, int lastDay) {
    firstDay = std::max(firstDay, 0);
    lastDay = std::min(lastDay, data.dayCount() - 1);
    if (firstDay > lastDay) return;
    const QDate first = data.ChartDays[firstDay];
    const QDate last = data.ChartDays[lastDay];
    const int from = int(std::lower_bound(data.InfoDates.begin(), data.InfoDates.end(), first) - data.InfoDates.begin());
    const int to = int(std::upper_bound(data.InfoDates.begin(), data.InfoDates.end(), last) - data.InfoDates.begin());
    if (std::all_of(data.SumsRead.begin() + from, data.SumsRead.begin() + to, [](bool read) { return read; })) return;

    struct Sums { double calories, lipids, proteins, carbs; };
    QHash<QDate, Sums> byDay;
    Query sums(QStringLiteral("SELECT DateConso, SUM(CaloriesGramme * QuantiteGramme), SUM(LipidesGramme * QuantiteGramme), "
                              "SUM(ProtidesGramme * QuantiteGramme), SUM(GlucidesGramme * QuantiteGramme) "
                              "FROM t_histo_consommation WHERE NomUtilisateur = ? AND DateConso BETWEEN ? AND ? "
                              "GROUP BY DateConso;"),
               {data.user, first, last});
    sums.open();
    for (const auto& row : sums.takeRows())
        byDay.insert(QDate::fromString(row[0].toString(), Qt::ISODate),
                     {row[1].toDouble(), row[2].toDouble(), row[3].toDouble(), row[4].toDouble()});

    // Each saved day takes the sums of its own date; a day without food rows gets none.
    for (int i = from; i < to; ++i) {
        const auto it = byDay.constFind(data.InfoDates[i]);
        const bool found = it != byDay.constEnd();
        const Sums s = found ? *it : Sums{0, 0, 0, 0};
        data.DaySumCalories[i] = s.calories;
        data.DaySumLipids[i] = s.lipids;
        data.DaySumProteins[i] = s.proteins;
        data.DaySumCarbs[i] = s.carbs;
        data.DayHasSums[i] = found;
        data.SumsRead[i] = true;
    }
}

BalanceData LoadBalance(const QString& user, const QDate& first, const QDate& last) {
    BalanceData data = LoadBalanceDays(user, first, last);
    ReadDaySums(data, 0, data.dayCount() - 1);
    return data;
}

void BalancePager::reset(int days) {
    dayCount = days;
    PageCount = std::max(1, (days + DaysPerPage - 1) / DaysPerPage);
    CurrentPage = 1;
    PageFirstDay = 0;
    premierEnabled = precedantEnabled = false;
    suivantEnabled = dernierEnabled = PageCount > 1;
}

bool BalancePager::next() {
    if (PageFirstDay + DaysPerPage >= dayCount) return false;
    PageFirstDay += DaysPerPage;
    ++CurrentPage;
    if (CurrentPage == PageCount) {
        suivantEnabled = dernierEnabled = false;
        premierEnabled = precedantEnabled = true;
    } else if (CurrentPage < PageCount) {
        premierEnabled = precedantEnabled = suivantEnabled = dernierEnabled = true;
    }
    return true;
}

bool BalancePager::last() {
    while (PageFirstDay + DaysPerPage < dayCount) PageFirstDay += DaysPerPage;
    CurrentPage = PageCount;
    suivantEnabled = dernierEnabled = false;
    premierEnabled = precedantEnabled = true;
    return true;
}

bool BalancePager::previous() {
    if (PageFirstDay < DaysPerPage) return false;
    PageFirstDay -= DaysPerPage;
    --CurrentPage;
    if (CurrentPage == 1) premierEnabled = precedantEnabled = false;
    if (CurrentPage < PageCount) suivantEnabled = dernierEnabled = true;
    return true;
}

bool BalancePager::first() {
    PageFirstDay = 0;
    CurrentPage = 1;
    premierEnabled = precedantEnabled = false;
    suivantEnabled = dernierEnabled = true;
    return true;
}

QString BalancePager::indicator() const { return QStringLiteral("%1\\%2").arg(CurrentPage).arg(PageCount); }

int BalancePager::pageLastDay() const { return std::min(PageFirstDay + DaysPerPage, dayCount) - 1; }
