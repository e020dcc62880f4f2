#pragma once

#include <QDateTime>

// The values the simulated logger holds: consecutive records at the logging period, each
// eight values (day, month, hour, minute, temperature whole/decimal, humidity whole/decimal).
// Temperature swings daily around its mean (21 °C unless told) and humidity around 55 %, with
// a little noise; the same index always gives the same value.
class RecordGenerator
{
public:
    RecordGenerator(QDateTime start, int periodMinutes);

    void setStart(const QDateTime& start) { m_start = start; }
    void setPeriodMinutes(int minutes) { m_periodMinutes = minutes > 0 ? minutes : 1; }
    // Calibration offsets in tenths, added to the measured values.
    void setOffsets(int temperatureTenths, int humidityTenths);
    void setMeanTemperature(double celsius) { m_meanTemperature = celsius; }
    // Decimal parts in hundredths (0..99) instead of tenths (0..9).
    void setTwoDigitDecimals(bool on) { m_decimalScale = on ? 100 : 10; }

    int value(qint64 index) const;

private:
    QDateTime m_start;
    int m_periodMinutes;
    int m_temperatureOffset = 0;
    int m_humidityOffset = 0;
    double m_meanTemperature = 21.0;
    int m_decimalScale = 10;
};
