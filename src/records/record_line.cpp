#include "records/record_line.h"

#include <charconv>

QByteArray FormatRecordLine(std::span<const qint32, ValuesPerRecord> values)
{
    static constexpr char separators[ValuesPerRecord - 1] = {'/', ';', ':', ';', '.', ';', '.'};
    // Eleven characters hold any 32-bit value with its sign.
    char buffer[ValuesPerRecord * 12];
    char* out = buffer;
    char* const end = buffer + sizeof buffer;
    for (int i = 0; i < ValuesPerRecord; ++i) {
        if (i > 0)
            *out++ = separators[i - 1];
        out = std::to_chars(out, end, values[i]).ptr;
    }
    return QByteArray(buffer, out - buffer);
}
