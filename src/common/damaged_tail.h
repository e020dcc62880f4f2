#pragma once

#include "common/new_file_access.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The bytes after the last whole record of a record file, moved aside before the file is written
// again: a cut-short record is never overwritten nor silently dropped.
struct SetAsideTail {
    QString fileName;     // the record file
    QString sideFileName; // where its tail went, in the same folder
    qint64 bytes = 0;     // the size of the tail
    qint64 records = 0;   // the whole records the file keeps
};

// "<file>.damaged-2026-12-10-163912": the moment the tail was set aside, local time.
QString DamagedTailFileName(const QString& fileName, const QDateTime& when);

// Writes the tail to a new side file of fileName named for the moment, synced to the disk with its
// folder; an earlier side file is never overwritten (a name taken gets "-2", "-3", ...). Returns
// the side file's name. Raises EFCreateError naming the side file, none of it left behind.
QString SaveDamagedTail(const QString& fileName, const QByteArray& tail, NewFileAccess access,
                        const QDateTime& when);
