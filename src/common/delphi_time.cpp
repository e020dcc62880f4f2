#include "common/delphi_time.h"

#include <cmath>

namespace
{
constexpr qint64 MsecsPerDay = 24LL * 60 * 60 * 1000;

QDate Epoch()
{
    return QDate(1899, 12, 30);
}
} // namespace

double ToDelphiDateTime(const QDateTime& local)
{
    const double days = double(Epoch().daysTo(local.date()));
    const double fraction = double(local.time().msecsSinceStartOfDay()) / double(MsecsPerDay);
    return days < 0 ? days - fraction : days + fraction;
}

WallClockTime SplitDelphiDateTime(double days)
{
    // Beyond any calendar a record can mean (a damaged file).
    if (!std::isfinite(days) || std::fabs(days) > 1e9)
        return {};
    const double whole = std::trunc(days);
    qint64 dayNumber = qint64(whole);
    qint64 msecs = std::llround(std::fabs(days - whole) * double(MsecsPerDay));
    if (msecs >= MsecsPerDay) {
        msecs -= MsecsPerDay;
        dayNumber += days < 0 ? -1 : 1;
    }
    return {Epoch().addDays(dayNumber), QTime::fromMSecsSinceStartOfDay(int(msecs))};
}

QDateTime FromDelphiDateTime(double days)
{
    const WallClockTime wall = SplitDelphiDateTime(days);
    return QDateTime(wall.date, wall.time);
}
