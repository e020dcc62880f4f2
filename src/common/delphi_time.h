#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// The time stamps of the record files: days since 30 December 1899 00:00 as a double, the
// integer part the date and the fraction the time of day, in local wall-clock time (no zone).
// Before that day the integer part is negative and the fraction still counts forward in the
// day, with the sign of the whole value (-1.25 is 29 December 1899 06:00).

struct WallClockTime {
    QDate date;
    QTime time;
};

double ToDelphiDateTime(const QDateTime& local);
// Rounded to the millisecond. The fields as stored, even for an hour that a change to summer
// time skips on this machine.
WallClockTime SplitDelphiDateTime(double days);
// The same as a local QDateTime.
QDateTime FromDelphiDateTime(double days);
