// What the logger sends: a value packet of the download, and the reply to "s" that becomes the
// serial number shown on the main window and split into the serial-number dialog's fields.

#include "common/errors.h"
#include "common/windows1252.h"
#include "device/protocol.h"
#include "fuzz_support.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace
{

// Leading spaces, an optional sign, decimal digits and nothing else, within 32 bits.
std::optional<qint32> ReferenceValue(const QByteArray& packet)
{
    qsizetype i = 0;
    while (i < packet.size() && packet[i] == ' ')
        ++i;
    bool negative = false;
    if (i < packet.size() && (packet[i] == '+' || packet[i] == '-'))
        negative = packet[i++] == '-';
    if (i == packet.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < packet.size(); ++i) {
        if (packet[i] < '0' || packet[i] > '9')
            return std::nullopt;
        magnitude = std::min<qint64>(magnitude * 10 + (packet[i] - '0'), 1LL << 40);
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

void checkValuePacket(const QByteArray& packet)
{
    const std::optional<qint32> expected = ReferenceValue(packet);
    try {
        const qint32 value = ReadValuePacket(packet);
        FUZZ_CHECK(expected && value == *expected);
        const qint32 clean = CleanValue(value);
        FUZZ_CHECK(clean == (value > 250 ? 0 : value));
    } catch (const EConvertError& e) {
        FUZZ_CHECK(!expected);
        FUZZ_CHECK(e.message().endsWith(QStringLiteral("' is not a valid integer value")));
    }
}

void checkSerialNumber(const QByteArray& packet)
{
    const QByteArray text = SerialNumberText(packet);
    // The reply up to its first CR LF or NUL.
    FUZZ_CHECK(packet.startsWith(text));
    FUZZ_CHECK(!text.contains('\0') && !text.contains("\r\n"));
    if (text.size() < packet.size()) {
        const QByteArray rest = packet.mid(text.size());
        FUZZ_CHECK(rest.startsWith('\0') || rest.startsWith("\r\n"));
    }

    // As the connection dialog takes it: the label's text, then its four fields.
    const QString shown = DecodeWindows1252(text);
    const std::optional<QStringList> fields = SplitSerialNumber(shown);
    if (!fields) {
        // Four fields of 1 to 3 characters before anything else would have been taken.
        const QStringList parts = shown.split(u'/');
        bool fourFields = parts.size() >= 5;
        for (int i = 0; fourFields && i < 4; ++i)
            fourFields = parts[i].size() >= 1 && parts[i].size() <= 3;
        FUZZ_CHECK(!fourFields);
        return;
    }
    FUZZ_CHECK(fields->size() == 4);
    QString prefix;
    for (const QString& field : *fields) {
        FUZZ_CHECK(field.size() >= 1 && field.size() <= 3);
        FUZZ_CHECK(!field.contains(u'/'));
        prefix += field + u'/';
    }
    FUZZ_CHECK(shown.startsWith(prefix));

    // The fields go into the configuration frame as whole numbers, or are refused.
    TFrameSources sources;
    for (int i = 0; i < 4; ++i)
        sources.serial[i] = fields->at(i);
    for (int i = 0; i < 4; ++i) {
        const auto expected = ReferenceValue(fields->at(i).toLatin1());
        try {
            const quint8 item = ConfigurationFrameItem(12 + i, sources);
            FUZZ_CHECK(expected && item == LowByte(*expected));
        } catch (const EConvertError&) {
            FUZZ_CHECK(!expected);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray packet = FuzzBytes(data, size);
    checkValuePacket(packet);
    checkSerialNumber(packet);
    return 0;
}
