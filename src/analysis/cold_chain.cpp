#include "analysis/cold_chain.h"

#include "common/number_text.h"
#include "records/record_table.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <map>

namespace
{

constexpr double KelvinOffset = 273.15;
constexpr int DateColumn = 1;
constexpr int TimeColumn = 2;
constexpr int FirstYear = 2000; // a leap year: 29/2 is a date

// "a<sep>b" as two whole numbers.
std::optional<std::pair<int, int>> SplitPair(QStringView text, QChar separator)
{
    const qsizetype at = text.indexOf(separator);
    if (at < 0)
        return std::nullopt;
    bool okA = false, okB = false;
    const int a = text.left(at).toInt(&okA);
    const int b = text.mid(at + 1).toInt(&okB);
    if (!okA || !okB)
        return std::nullopt;
    return std::pair{a, b};
}

// Minutes from the first record's year, for each row; nullopt where the date or time is not one.
std::vector<std::optional<qint64>> RecordMinutes(const RecordTable& table, int rows)
{
    std::vector<std::optional<qint64>> minutes(static_cast<size_t>(rows));
    const QDate origin(FirstYear, 1, 1);
    int year = FirstYear;
    std::pair<int, int> previousDate{0, 0};
    for (int row = 0; row < rows; ++row) {
        const auto date = SplitPair(table.cellView(DateColumn, row), u'/');
        const auto time = SplitPair(table.cellView(TimeColumn, row), u':');
        if (!date || !time)
            continue;
        const std::pair monthDay{date->second, date->first};
        if (row > 0 && monthDay < previousDate)
            ++year;
        previousDate = monthDay;
        const QDate day(year, date->second, date->first);
        if (!day.isValid() || time->first < 0 || time->first > 23 || time->second < 0 ||
            time->second > 59)
            continue;
        minutes[size_t(row)] = origin.daysTo(day) * 1440 + time->first * 60 + time->second;
    }
    return minutes;
}

// The most frequent positive step between consecutive records.
qint64 UsualPeriod(const std::vector<std::optional<qint64>>& minutes)
{
    std::map<qint64, int> counts;
    for (size_t i = 1; i < minutes.size(); ++i) {
        if (minutes[i] && minutes[i - 1] && *minutes[i] > *minutes[i - 1])
            ++counts[*minutes[i] - *minutes[i - 1]];
    }
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? 0 : most->first;
}

} // namespace

std::optional<double> MeanKineticTemperature(const std::vector<double>& celsius)
{
    if (celsius.empty())
        return std::nullopt;
    double sum = 0;
    for (double t : celsius)
        sum += std::exp(-MeanKineticActivation / (t + KelvinOffset));
    const double kelvin = MeanKineticActivation / -std::log(sum / double(celsius.size()));
    return kelvin - KelvinOffset;
}

ColdChainSummary SummariseColdChain(const RecordTable& table, const CurveColumns& columns,
                                    double highThreshold, double lowThreshold)
{
    ColdChainSummary summary;
    const int rows = int(columns.temperature.size());
    const auto minutes = RecordMinutes(table, rows);
    const qint64 period = UsualPeriod(minutes);
    for (int row = 0; row < rows; ++row) {
        const double t = columns.temperature[size_t(row)];
        Excursion* excursion = t > highThreshold  ? &summary.above
                               : t < lowThreshold ? &summary.below
                                                  : nullptr;
        if (!excursion)
            continue;
        ++excursion->records;
        qint64 step = period;
        if (row + 1 < rows && minutes[size_t(row)] && minutes[size_t(row) + 1]) {
            const qint64 next = *minutes[size_t(row) + 1] - *minutes[size_t(row)];
            if (next > 0 && next <= 2 * period)
                step = next;
        }
        excursion->minutes += step;
    }
    summary.meanKineticTemperature = MeanKineticTemperature(columns.temperature);
    return summary;
}

QString DurationText(qint64 minutes)
{
    const qint64 days = minutes / 1440;
    const qint64 hours = minutes % 1440 / 60;
    const QString rest = QStringLiteral("%1 min").arg(minutes % 60, 2, 10, QLatin1Char('0'));
    if (days > 0)
        return QStringLiteral("%1 j %2 h %3").arg(days).arg(hours).arg(rest);
    if (hours > 0)
        return QStringLiteral("%1 h %2").arg(hours).arg(rest);
    return QStringLiteral("%1 min").arg(minutes % 60);
}

QString ColdChainText(const ColdChainSummary& summary, const QString& highText,
                      const QString& lowText)
{
    const auto part = [](const QString& side, const QString& threshold, const Excursion& e) {
        const QString head = QStringLiteral("%1 de %2 °C : ").arg(side, threshold.trimmed());
        if (e.records == 0)
            return head + QStringLiteral("aucun enregistrement");
        return head + QStringLiteral("%1 enregistrement%2, %3")
                          .arg(e.records)
                          .arg(e.records > 1 ? QStringLiteral("s") : QString())
                          .arg(DurationText(e.minutes));
    };
    QString text = part(QStringLiteral("Au-dessus"), highText, summary.above) + QLatin1Char('\n') +
                   part(QStringLiteral("Au-dessous"), lowText, summary.below);
    if (summary.meanKineticTemperature)
        text += QStringLiteral("\nTempérature cinétique moyenne : %1 °C")
                    .arg(FixedTwoDecimalText(*summary.meanKineticTemperature));
    return text;
}
