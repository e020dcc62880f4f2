#include "record_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace
{

// Deterministic noise in [-1, 1] for one record and one channel.
double noise(qint64 record, int channel)
{
    quint64 x = quint64(record) * 0x9E3779B97F4A7C15ull + quint64(channel) * 0xBF58476D1CE4E5B9ull;
    x ^= x >> 31;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 29;
    return double(x % 2001) / 1000.0 - 1.0;
}

// The sensor's range, in degrees.
constexpr int MinTemperature = -40;
constexpr int MaxTemperature = 125;

// Splits a reading in 1/scale units into the whole and decimal values. Below zero the whole
// part carries the sign and the decimal part the digits after the point: -5.3 gives -5 and 3
// (and -0.3 gives 0 and 3: a whole number has no -0).
int wholePart(int units, int scale)
{
    return units / scale;
}
int decimalPart(int units, int scale)
{
    return std::abs(units % scale);
}

} // namespace

RecordGenerator::RecordGenerator(QDateTime start, int periodMinutes)
    : m_start(std::move(start)), m_periodMinutes(periodMinutes > 0 ? periodMinutes : 1)
{
}

void RecordGenerator::setOffsets(int temperatureTenths, int humidityTenths)
{
    m_temperatureOffset = temperatureTenths;
    m_humidityOffset = humidityTenths;
}

int RecordGenerator::value(qint64 index) const
{
    const qint64 record = index / 8;
    const int field = int(index % 8);
    const QDateTime at = m_start.addSecs(record * m_periodMinutes * 60);
    const double dayFraction = (at.time().hour() * 60 + at.time().minute()) / 1440.0;
    // Warmest mid-afternoon, most humid before dawn.
    const double swing = std::sin(2.0 * std::numbers::pi * (dayFraction - 0.375));
    const int scale = m_decimalScale;
    const int temperature = std::clamp(
        int(std::lround((m_meanTemperature + 3.0 * swing + 0.4 * noise(record, 0)) * scale)) +
            m_temperatureOffset * scale / 10,
        MinTemperature * scale, MaxTemperature * scale);
    const int humidity =
        std::clamp(int(std::lround((55.0 - 8.0 * swing + 1.5 * noise(record, 1)) * scale)) +
                       m_humidityOffset * scale / 10,
                   0, 100 * scale);
    switch (field) {
    case 0:
        return at.date().day();
    case 1:
        return at.date().month();
    case 2:
        return at.time().hour();
    case 3:
        return at.time().minute();
    case 4:
        return wholePart(temperature, scale);
    case 5:
        return decimalPart(temperature, scale);
    case 6:
        return wholePart(humidity, scale);
    default:
        return decimalPart(humidity, scale);
    }
}
