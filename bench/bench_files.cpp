#include "bench.h"

#include "common/text_file.h"
#include "records/record_line.h"

#include <QFile>
#include <array>
#include <malloc.h>

double HeapInUseMiB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / 1048576.0;
}

void ResetPeakResident()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

void WriteRecordFile(const QString& fileName, int rows)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(rows) * 24);
    for (int k = 0; k < rows; ++k) {
        const int minutes = k * 15;
        const std::array<qint32, ValuesPerRecord> values{1 + (minutes / 1440) % 28,
                                                         1 + (minutes / 40320) % 12,
                                                         (minutes / 60) % 24,
                                                         minutes % 60,
                                                         18 + k % 7,
                                                         k % 10,
                                                         50 + k % 11,
                                                         (k * 7) % 10};
        bytes += FormatRecordLine(values);
        bytes += "\r\n";
    }
    WriteWholeFile(fileName, bytes);
}
