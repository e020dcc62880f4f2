#include "records/record_check.h"

#include "records/record_line.h"

namespace
{
bool InRange(qint32 value, qint32 low, qint32 high)
{
    return value >= low && value <= high;
}
} // namespace

RecordCheck CheckRecordDates(std::span<const qint32> values, int records)
{
    RecordCheck check;
    for (int k = 0; k < records && size_t(k + 1) * ValuesPerRecord <= values.size(); ++k) {
        const qint32* v = values.data() + size_t(k) * ValuesPerRecord;
        ++check.records;
        if (InRange(v[0], 1, 31) && InRange(v[1], 1, 12) && InRange(v[2], 0, 23) &&
            InRange(v[3], 0, 59))
            continue;
        if (check.suspect++ == 0)
            check.firstSuspect = k;
    }
    return check;
}
