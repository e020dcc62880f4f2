#pragma once

#include <QByteArray>
#include <QString>
#include <span>

// The file the download writes and the curve view loads, in the working directory.
inline const QString RecordFileName = QStringLiteral("quivel.c00");
// The largest record file read: 500 000 records take about 12 MiB; room to spare beyond.
constexpr qint64 MaxRecordFileBytes = 64 * 1024 * 1024;

constexpr int ValuesPerRecord = 8;

// One record as a line of the record file, without a line end: day/month;hour:minute;
// temperature whole.decimals;humidity whole.decimals, each value in plain decimal
// (5/3;14:7;23.5;61.0). The point never follows the regional settings.
QByteArray FormatRecordLine(std::span<const qint32, ValuesPerRecord> values);
