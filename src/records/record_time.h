#pragma once

#include <QtGlobal>
#include <optional>
#include <vector>

// Records carry day, month, hour and minute but no year. Read in order, the year is carried
// over when the date goes backwards (the turn of December), so that consecutive records can be
// compared across midnight, month and year ends.
class RecordClock
{
public:
    // Minutes since 1 January of the first record's year (taken as a leap year, so that 29/2
    // is a date); nullopt for a date or time that does not exist. A day or month out of its
    // range leaves the year as it was.
    std::optional<qint64> minutes(int day, int month, int hour, int minute);

private:
    int m_year = 2000;
    int m_lastMonthDay = -1; // month * 100 + day of the record before
};

// The most frequent positive step between consecutive known times; 0 when there is none.
qint64 UsualStep(const std::vector<std::optional<qint64>>& minutes);
