#include "device/protocol.h"

#include "common/errors.h"
#include "common/number_text.h"

#include <cmath>

bool IsCheckReply(const QByteArray& packet)
{
    return packet == Protocol::CheckReply;
}

bool IsResponseReply(const QByteArray& packet)
{
    return packet == Protocol::ResponseReply;
}

quint8 LowByte(qint64 value)
{
    return quint8(quint64(value) & 0xFF);
}

EncodedOffset EncodeOffset(double offset)
{
    const double tenths = offset * 10.0;
    EncodedOffset encoded;
    encoded.sign = tenths < 0.0 ? 1 : 0; // before rounding; -0 is not below zero
    if (!std::isfinite(tenths))
        return encoded;
    // Ties to even in the default rounding mode; the low byte is taken in double so that
    // no offset, however large, overflows an integer.
    double low = std::fmod(std::nearbyint(tenths), 256.0);
    if (low < 0.0)
        low += 256.0;
    encoded.tenths = quint8(low);
    return encoded;
}

namespace
{

quint8 wholeNumberItem(const QString& text)
{
    return LowByte(StrictToInt(text));
}

} // namespace

quint8 ConfigurationFrameItem(int index, const TFrameSources& s)
{
    switch (index) {
    case 0:
        return quint8(Protocol::ConfigurationCommand.at(0));
    case 1:
        return wholeNumberItem(s.hours);
    case 2:
        return wholeNumberItem(s.minutes);
    case 3:
        return wholeNumberItem(s.day);
    case 4:
        return wholeNumberItem(s.month);
    case 5:
        return wholeNumberItem(s.year);
    case 6:
        return wholeNumberItem(s.periodHours);
    case 7:
        return wholeNumberItem(s.periodMinutes);
    case 8:
        return EncodeOffset(ParseLocaleNumber(s.tempOffset)).tenths;
    case 9:
        return EncodeOffset(ParseLocaleNumber(s.tempOffset)).sign;
    case 10:
        return EncodeOffset(ParseLocaleNumber(s.humOffset)).tenths;
    case 11:
        return EncodeOffset(ParseLocaleNumber(s.humOffset)).sign;
    case 12:
    case 13:
    case 14:
    case 15:
        return wholeNumberItem(s.serial[index - 12]);
    case 16:
        return s.restart ? 1 : 0;
    default:
        throw EListError(index);
    }
}

QByteArray DownloadCommand(qint64 valueCount)
{
    return QByteArrayLiteral("r") + QByteArray::number(valueCount);
}

qint32 ReadValuePacket(const QByteArray& packet)
{
    // The packet's bytes are single-byte characters.
    return StrictToInt(QString::fromLatin1(packet));
}

qint32 CleanValue(qint32 value)
{
    return value <= 250 ? value : 0;
}

QByteArray SerialNumberText(const QByteArray& packet)
{
    qsizetype end = packet.size();
    const qsizetype lineBreak = packet.indexOf("\r\n");
    if (lineBreak >= 0)
        end = lineBreak;
    const qsizetype nul = packet.indexOf('\0');
    if (nul >= 0 && nul < end)
        end = nul;
    return packet.left(end);
}

std::optional<QStringList> SplitSerialNumber(const QString& text)
{
    QStringList fields;
    qsizetype from = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype slash = text.indexOf(QLatin1Char('/'), from);
        if (slash < 0)
            return std::nullopt;
        const qsizetype length = slash - from;
        if (length < 1 || length > 3)
            return std::nullopt;
        fields << text.mid(from, length);
        from = slash + 1;
    }
    return fields;
}
