#include "records/record_check.h"

#include "records/record_line.h"
#include "records/record_time.h"

#include <optional>
#include <vector>

namespace
{

bool InRange(qint32 value, qint32 low, qint32 high)
{
    return value >= low && value <= high;
}

const qint32* RecordAt(std::span<const qint32> values, int k)
{
    return values.data() + size_t(k) * ValuesPerRecord;
}

constexpr qint32 FirstNoMeasureCode = 251;

// Decimal parts of two digits when most of them are above 9.
bool TwoDigitDecimals(std::span<const qint32> values, int records)
{
    qint64 above = 0;
    for (int k = 0; k < records; ++k) {
        const qint32* v = RecordAt(values, k);
        above += (v[5] > 9 && v[5] <= 99) + (v[7] > 9 && v[7] <= 99);
    }
    return above * 2 > qint64(records) * 2;
}

// A measure in its range, or one of the logger's codes above 250 (no measure; read as 0).
bool MeasureInRange(qint32 value, qint32 low, qint32 high)
{
    return InRange(value, low, high) || InRange(value, FirstNoMeasureCode, 255);
}

bool FieldsInRange(const qint32* v, bool twoDigitDecimals)
{
    const qint32 lastDecimal = twoDigitDecimals ? 99 : 9;
    return InRange(v[0], 1, 31) && InRange(v[1], 1, 12) && InRange(v[2], 0, 23) &&
           InRange(v[3], 0, 59) && MeasureInRange(v[4], LowestTemperature, HighestTemperature) &&
           MeasureInRange(v[5], 0, lastDecimal) && MeasureInRange(v[6], 0, 100) &&
           MeasureInRange(v[7], 0, lastDecimal);
}

} // namespace

RecordCheck CheckRecords(std::span<const qint32> values, int records)
{
    RecordCheck check;
    records = int(std::min<size_t>(size_t(qMax(records, 0)), values.size() / ValuesPerRecord));
    check.records = records;
    check.twoDigitDecimals = TwoDigitDecimals(values, records);

    // The time of each record in range; a record out of range has none and does not move the
    // clock (its date may be a shifted field).
    std::vector<std::optional<qint64>> minutes(static_cast<size_t>(records));
    RecordClock clock;
    for (int k = 0; k < records; ++k) {
        const qint32* v = RecordAt(values, k);
        if (FieldsInRange(v, check.twoDigitDecimals))
            minutes[size_t(k)] = clock.minutes(v[0], v[1], v[2], v[3]);
    }
    check.periodMinutes = UsualStep(minutes);
    const qint64 period = check.periodMinutes;
    const auto follows = [&](int k, qint64 from, int fromIndex) {
        return minutes[size_t(k)] && *minutes[size_t(k)] - from == (k - fromIndex) * period;
    };

    // A record is good when it is in range and on the period counted from the last good one.
    // One in range that starts a new run on the period (a gap in the recording) is counted as
    // suspect once, and the run goes on from it.
    std::optional<std::pair<int, qint64>> base; // index and time of the last good record
    for (int k = 0; k < records; ++k) {
        const bool known = minutes[size_t(k)].has_value();
        bool good = known && (period == 0 || (base && follows(k, base->second, base->first)));
        const bool startsRun =
            known && period > 0 && k + 1 < records && follows(k + 1, *minutes[size_t(k)], k);
        if (!good && known && !base && startsRun)
            good = true; // the first run
        if (good || startsRun)
            base = std::pair{k, *minutes[size_t(k)]};
        if (good)
            continue;
        if (check.suspect++ == 0)
            check.firstSuspect = k;
    }
    return check;
}
