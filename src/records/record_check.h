#pragma once

#include <QtGlobal>
#include <span>

// Values that arrive joined in one packet read as one number and shift every later record by
// one field. This finds the records that a download of the logger cannot have sent: a field out
// of its range, or a time that does not follow the logging period.
struct RecordCheck {
    int records = 0;          // records looked at
    int suspect = 0;          // records found wrong
    int firstSuspect = -1;    // index of the first of them, -1 when none
    qint64 periodMinutes = 0; // the usual step between records, 0 when unknown
    // The step is seen often enough, and is a period the logger can have, to be named to the
    // user: a step read from shifted values is no interval of the logger's.
    bool periodConfirmed = false;
    bool twoDigitDecimals = false;
};

// The logger's ranges: day 1-31, month 1-12, hour 0-23, minute 0-59, temperature -40..125,
// humidity 0..100, decimal parts of one digit (or two, where most of them have two); a measure
// may also be one of the codes 251..255, which the record file shows as 0.
constexpr int LowestTemperature = -40;
constexpr int HighestTemperature = 125;

// Records k = 0..records-1 at values[8k..8k+7], as received (before values above 250 become 0).
RecordCheck CheckRecords(std::span<const qint32> values, int records);

// The longest logging period the logger can be given: 255 hours and 59 minutes.
constexpr qint64 LongestPeriodMinutes = 255 * 60 + 59;

// A download one value short (two values joined in one packet) or one value long (a value in two
// packets): the record where the values stop being in their places, found as the first position
// from which, put back in place, they are records of the logger again. `received` values stand
// in `values`; `expected` is what the logger was asked for; `unreadable` lists, in order, the
// positions of packets that were no number. -1 when the count is not off by one or no position
// fits.
int LocateOneValueShift(std::span<const qint32> values, qint64 expected,
                        std::span<const qint32> unreadable);
