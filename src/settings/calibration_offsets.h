#pragma once

#include <QString>

// The two calibration offsets, held as the texts the user typed; each reader converts them
// with ParseLocaleNumber when it uses them.
struct TCalibrationOffsets {
    QString temperature;
    QString humidity;
};
