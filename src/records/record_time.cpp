#include "records/record_time.h"

#include <QDate>
#include <map>

std::optional<qint64> RecordClock::minutes(int day, int month, int hour, int minute)
{
    // A field out of its range (a damaged line) is no time and does not move the year; its
    // month times 100 could also overflow.
    if (day < 1 || day > 31 || month < 1 || month > 12)
        return std::nullopt;
    const int monthDay = month * 100 + day;
    if (m_lastMonthDay >= 0 && monthDay < m_lastMonthDay)
        ++m_year;
    m_lastMonthDay = monthDay;
    const QDate date(m_year, month, day);
    if (!date.isValid() || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return std::nullopt;
    return QDate(2000, 1, 1).daysTo(date) * 1440 + hour * 60 + minute;
}

qint64 UsualStep(const std::vector<std::optional<qint64>>& minutes)
{
    std::map<qint64, int> counts;
    for (size_t i = 1; i < minutes.size(); ++i) {
        if (minutes[i] && minutes[i - 1] && *minutes[i] > *minutes[i - 1])
            ++counts[*minutes[i] - *minutes[i - 1]];
    }
    qint64 step = 0;
    int most = 0;
    for (const auto& [candidate, count] : counts) {
        if (count > most) {
            step = candidate;
            most = count;
        }
    }
    return step;
}
