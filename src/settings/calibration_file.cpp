#include "settings/calibration_file.h"

#include "common/text_file.h"

#include <QDir>

namespace
{

QString CalibrationFilePath()
{
    return QDir::current().absoluteFilePath(CalibrationFileName);
}

} // namespace

void CalibrationStore::LoadCalibrationFile()
{
    const QStringList lines = ReadTextLines(CalibrationFilePath(), MaxCalibrationFileBytes);
    m_lines.temperature = lines.value(0);
    m_lines.humidity = lines.value(1);
}

void CalibrationStore::SaveCalibrationFile(const TCalibrationOffsets& offsets)
{
    m_lines = offsets;
    WriteTextLines(CalibrationFilePath(), {m_lines.temperature, m_lines.humidity});
}
