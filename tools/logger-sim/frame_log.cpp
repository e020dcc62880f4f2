#include "frame_log.h"

#include <QFile>
#include <QStringList>

namespace
{

int byteAt(const QByteArray& bytes, int index)
{
    return quint8(bytes.at(index));
}

// The logger knows its century: the year byte is the full year modulo 256, in 2000..2255.
int fullYear(int yearByte)
{
    return 2000 + (yearByte - 2000 % 256 + 256) % 256;
}

// A tenths byte with its sign byte: two's complement when the sign says negative.
int signedTenths(int tenths, int sign)
{
    return sign ? int(qint8(quint8(tenths))) : tenths;
}

QString joined(const QList<qint64>& numbers)
{
    QStringList parts;
    for (qint64 n : numbers)
        parts << QString::number(n);
    return parts.join(QLatin1Char(','));
}

} // namespace

DecodedFrame DecodeFrame(const QByteArray& b)
{
    DecodedFrame f{};
    f.hour = byteAt(b, 1);
    f.minute = byteAt(b, 2);
    f.day = byteAt(b, 3);
    f.month = byteAt(b, 4);
    f.year = fullYear(byteAt(b, 5));
    f.periodHours = byteAt(b, 6);
    f.periodMinutes = byteAt(b, 7);
    f.temperatureSign = byteAt(b, 9);
    f.temperatureTenths = signedTenths(byteAt(b, 8), f.temperatureSign);
    f.humiditySign = byteAt(b, 11);
    f.humidityTenths = signedTenths(byteAt(b, 10), f.humiditySign);
    for (int i = 0; i < 4; ++i)
        f.serial[i] = byteAt(b, 12 + i);
    f.restart = byteAt(b, 16) != 0;
    return f;
}

QString FrameLogLine(const ReceivedFrame& frame)
{
    QList<qint64> bytes;
    for (char c : frame.bytes)
        bytes << quint8(c);
    const QString raw =
        QStringLiteral("bytes=%1 ms=%2").arg(joined(bytes), joined(frame.arrivalMs));
    if (frame.bytes.size() < 17)
        return QStringLiteral("partial ") + raw;
    const DecodedFrame f = DecodeFrame(frame.bytes);
    return raw + QStringLiteral(" hour=%1 minute=%2 day=%3 month=%4 year=%5 period_h=%6 "
                                "period_min=%7 toff=%8 tsign=%9 hoff=%10 hsign=%11 "
                                "serial=%12/%13/%14/%15 restart=%16")
                     .arg(f.hour)
                     .arg(f.minute)
                     .arg(f.day)
                     .arg(f.month)
                     .arg(f.year)
                     .arg(f.periodHours)
                     .arg(f.periodMinutes)
                     .arg(f.temperatureTenths)
                     .arg(f.temperatureSign)
                     .arg(f.humidityTenths)
                     .arg(f.humiditySign)
                     .arg(f.serial[0])
                     .arg(f.serial[1])
                     .arg(f.serial[2])
                     .arg(f.serial[3])
                     .arg(f.restart ? 1 : 0);
}

bool FrameLog::append(const QString& line) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = line.toUtf8() + '\n';
    return file.write(bytes) == bytes.size() && file.flush();
}
