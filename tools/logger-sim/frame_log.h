#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One configuration frame as received: the bytes ("c" first) and their arrival times in ms
// relative to the "c".
struct ReceivedFrame {
    QByteArray bytes;
    QList<qint64> arrivalMs;
};

// What the logger takes from a complete frame.
struct DecodedFrame {
    int hour, minute, day, month, year;
    int periodHours, periodMinutes;
    int temperatureTenths, temperatureSign, humidityTenths, humiditySign;
    int serial[4];
    bool restart;
};

DecodedFrame DecodeFrame(const QByteArray& bytes17);

// The log line of a complete frame, or of a partial one ("partial bytes=... ms=...").
QString FrameLogLine(const ReceivedFrame& frame);

// Appends lines to the frame log (each line reaches the file before the call returns).
class FrameLog
{
public:
    explicit FrameLog(QString path) : m_path(std::move(path)) {}
    bool enabled() const { return !m_path.isEmpty(); }
    // False when the file cannot be written.
    bool append(const QString& line) const;

private:
    QString m_path;
};
