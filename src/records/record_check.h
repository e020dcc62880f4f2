#pragma once

#include <QtGlobal>
#include <span>

// Values that arrive joined in one packet read as one number and shift every later record;
// the date and time fields then leave their ranges. This finds such records.
struct RecordCheck {
    int records = 0;       // records looked at
    int suspect = 0;       // records whose day, month, hour or minute is out of range
    int firstSuspect = -1; // index of the first of them, -1 when none
};

// Records k = 0..records-1 at values[8k..8k+3]: day 1-31, month 1-12, hour 0-23, minute 0-59.
RecordCheck CheckRecordDates(std::span<const qint32> values, int records);
