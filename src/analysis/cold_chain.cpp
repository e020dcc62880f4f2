#include "analysis/cold_chain.h"

#include "common/number_text.h"
#include "records/record_table.h"
#include "records/record_time.h"

#include <cmath>

namespace
{

constexpr double KelvinOffset = 273.15;
constexpr int DateColumn = 1;
constexpr int TimeColumn = 2;

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

// The time of each row; nullopt where the date or time is not one.
std::vector<std::optional<qint64>> RecordMinutes(const RecordTable& table, int rows)
{
    std::vector<std::optional<qint64>> minutes(static_cast<size_t>(rows));
    RecordClock clock;
    for (int row = 0; row < rows; ++row) {
        const auto date = SplitPair(table.cellView(DateColumn, row), u'/');
        const auto time = SplitPair(table.cellView(TimeColumn, row), u':');
        if (date && time)
            minutes[size_t(row)] =
                clock.minutes(date->first, date->second, time->first, time->second);
    }
    return minutes;
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
    const qint64 period = UsualStep(minutes);
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
    // No-break spaces: a duration is never cut across two lines.
    const qint64 days = minutes / 1440;
    const qint64 hours = minutes % 1440 / 60;
    const QString rest = QStringLiteral("%1\u00A0min").arg(minutes % 60, 2, 10, QLatin1Char('0'));
    if (days > 0)
        return QStringLiteral("%1\u00A0j\u00A0%2\u00A0h\u00A0%3").arg(days).arg(hours).arg(rest);
    if (hours > 0)
        return QStringLiteral("%1\u00A0h\u00A0%2").arg(hours).arg(rest);
    return QStringLiteral("%1\u00A0min").arg(minutes % 60);
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
