#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The data logger's one-letter command protocol: pure functions from texts and flags to
// bytes, and from packets to values. Replies are compared whole, byte for byte.

namespace Protocol
{
inline const QByteArray CheckCommand = QByteArrayLiteral("t");
inline const QByteArray SerialNumberCommand = QByteArrayLiteral("s");
inline const QByteArray ConfigurationCommand = QByteArrayLiteral("c");
inline const QByteArray CheckReply = QByteArrayLiteral("ok\r\n");
inline const QByteArray ResponseReply = QByteArrayLiteral("g");
constexpr int FrameLength = 17;
} // namespace Protocol

bool IsCheckReply(const QByteArray& packet);
bool IsResponseReply(const QByteArray& packet);

struct EncodedOffset {
    quint8 tenths = 0;
    quint8 sign = 0;
};
// Offset (already read as a number) times 10 in double; sign decided before rounding;
// round half to even; the tenths byte is the low byte of the rounded value.
EncodedOffset EncodeOffset(double offset);
quint8 LowByte(qint64 value);

// What the configuration frame is built from, read when each item is written.
struct TFrameSources {
    QString hours, minutes, day, month, year;
    QString periodHours, periodMinutes;
    QString tempOffset, humOffset; // as typed, read with ParseLocaleNumber
    QString serial[4];
    bool restart = false;
};
// The byte of item 0..16. Whole-number fields that are not whole numbers raise
// EConvertError "'%s' is not a valid integer value".
quint8 ConfigurationFrameItem(int index, const TFrameSources& sources);

// "r" followed by the decimal text of the number of values.
QByteArray DownloadCommand(qint64 valueCount);
// The integer a value packet spells (strict whole-number rule); raises EConvertError.
qint32 ReadValuePacket(const QByteArray& packet);
// Values above 250 become 0.
qint32 CleanValue(qint32 value);

// The serial-number text of a reply: the packet up to its first CR LF or NUL.
QByteArray SerialNumberText(const QByteArray& packet);
// Four fields, each 1 to 3 characters followed by "/"; anything after the fourth "/" is
// ignored. Anything else gives nullopt.
std::optional<QStringList> SplitSerialNumber(const QString& text);
