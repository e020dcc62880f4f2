#pragma once

#include "common/windows1252.h"
#include "support/test_files.h"

#include <QByteArray>
#include <QStringList>
#include <QtEndian>

// The audit file decoded byte by byte, independently of the program's reader: one line
// "identifier|action|details" per whole 376-byte record, the texts decoded from Windows-1252.
inline QStringList AuditLines(const QString& fileName)
{
    const QByteArray bytes = ReadAll(fileName);
    QStringList lines;
    for (qsizetype at = 0; at + 376 <= bytes.size(); at += 376) {
        const char* record = bytes.constData() + at;
        const qint32 id = qFromLittleEndian<qint32>(record);
        const QByteArray action(record + 5, quint8(record[4]));
        const QByteArray details(record + 121, quint8(record[120]));
        lines << QString::number(id) + QLatin1Char('|') + DecodeWindows1252(action) +
                     QLatin1Char('|') + DecodeWindows1252(details);
    }
    return lines;
}
