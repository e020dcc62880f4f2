#pragma once

#include "settings/calibration_offsets.h"

#include <QString>

inline const QString CalibrationFileName = QStringLiteral("cal.cfg");
// Two short lines; a larger file is no calibration file and is not read.
constexpr qint64 MaxCalibrationFileBytes = 64 * 1024;

// The offset lines: the stored calibration offsets, mirrored in cal.cfg in the working
// directory (line 1 temperature, line 2 humidity). They hold "0" and "0" until loaded and
// change only when loaded or saved.
class CalibrationStore
{
public:
    TCalibrationOffsets offsetLines() const { return m_lines; }

    // Reads cal.cfg (CR LF, CR or LF line ends); lines beyond the second are ignored and a
    // missing line reads as the empty text. A file that cannot be read raises
    // "Cannot open file ..." and leaves the offset lines as they were.
    void LoadCalibrationFile();

    // Makes the offsets the offset lines, then writes cal.cfg as exactly two CR LF lines,
    // replaced whole. Raises "Cannot create file ..." when it cannot be written; the offset
    // lines hold the new texts all the same.
    void SaveCalibrationFile(const TCalibrationOffsets& offsets);

private:
    TCalibrationOffsets m_lines{QStringLiteral("0"), QStringLiteral("0")};
};
