#pragma once

#include <QString>

// The four alarm thresholds, held as the texts the user typed; never stored, never sent.
struct TAlarmThresholds {
    QString tempHigh;
    QString tempLow;
    QString humHigh;
    QString humLow;
};
