#pragma once

#include "records/record_line.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// What save-loop writes at each version, so that the test can tell a whole file of some
// version from anything else. Shared by save-loop and the test.

namespace KillLoop
{

// save-loop prints this once its files are open, then saves until it is killed.
inline constexpr char ReadyLine[] = "ready\n";
// The audit entries it appends; their details end with the version.
inline const QString Action = QStringLiteral("kill loop ");
inline const QString DetailsPrefix = QStringLiteral("version ");
inline constexpr qint32 UserId = 7;
// The record file of the version before the last save, kept as a download keeps it.
inline const QString BackupFileName = RecordFileName + QStringLiteral(".bak");

// Some thousands of record lines, more or fewer from one version to the next, so that a save
// cut short or mixed with the earlier file never looks whole. The first record's temperature
// carries the version.
inline QList<QByteArray> RecordLines(qint32 version)
{
    const int count = 2000 + version % 1000;
    QList<QByteArray> lines;
    lines.reserve(count);
    for (int k = 0; k < count; ++k) {
        const std::array<qint32, ValuesPerRecord> values{1 + k % 28,
                                                         1 + k % 12,
                                                         k % 24,
                                                         (k * 15) % 60,
                                                         k == 0 ? version : 15 + (version + k) % 10,
                                                         (version * 7 + k) % 10,
                                                         40 + k % 50,
                                                         k % 10};
        lines.append(FormatRecordLine(values));
    }
    return lines;
}

inline QByteArray RecordFileBytes(qint32 version)
{
    QByteArray bytes;
    for (const QByteArray& line : RecordLines(version))
        bytes += line + "\r\n";
    return bytes;
}

inline QStringList CalibrationLines(qint32 version)
{
    return {QString::number(version), QStringLiteral("-%1,5").arg(version % 97)};
}

inline QByteArray CalibrationFileBytes(qint32 version)
{
    const QStringList lines = CalibrationLines(version);
    return lines[0].toLatin1() + "\r\n" + lines[1].toLatin1() + "\r\n";
}

// The version a file's bytes are exactly the file of, if any.
inline std::optional<qint32> RecordFileVersion(const QByteArray& bytes)
{
    // "d/m;h:m;<version>.<decimals>;..."
    const QList<QByteArray> fields = bytes.left(bytes.indexOf('\r')).split(';');
    bool ok = false;
    const qint32 version = fields.value(2).split('.').value(0).toInt(&ok);
    if (ok && bytes == RecordFileBytes(version))
        return version;
    return std::nullopt;
}

inline std::optional<qint32> CalibrationFileVersion(const QByteArray& bytes)
{
    bool ok = false;
    const qint32 version = bytes.left(bytes.indexOf('\r')).toInt(&ok);
    if (ok && bytes == CalibrationFileBytes(version))
        return version;
    return std::nullopt;
}

} // namespace KillLoop
