#pragma once

#include "common/errors.h"
#include "records/record_check.h"

#include <QByteArray>
#include <QList>
#include <vector>

// A value packet that is not a whole number; the message names the packet.
class EMalformedValue : public QuivelError
{
public:
    EMalformedValue(const QByteArray& packet, qint64 valueNumber);
};

// The download of records from the logger, without its window: the value buffer, the count
// of values received, the line buffer. One instance lives as long as the program; the
// buffer is never cleared, so slots a download does not reach keep earlier values.
class RecordDownload
{
public:
    static constexpr qsizetype BufferSlots = 5000001;
    static constexpr int MaxRecords = 500000;
    // The download counts as complete this many values before all have arrived.
    static constexpr int ValuesNotAwaited = 3;

    enum class Step { Ignored, Stored, Complete };

    RecordDownload();

    // Whether a download of this many records is possible (1 to MaxRecords).
    static bool AcceptableRecordCount(qint64 records);

    // A new download of `records` records (acceptable, see above): the count restarts at 0
    // and the line buffer is emptied.
    void begin(int records);
    // The running download stops; what it stored stays in the buffer.
    void abandon();

    bool running() const { return m_running; }
    int records() const { return m_records; }
    qint32 expectedValues() const;
    qint32 completionCount() const;
    qint32 receivedCount() const { return m_received; }

    // One received packet. Outside a download it is ignored. Within one it is stored; when
    // it completes the download, the values are cleaned and the line buffer holds one
    // record line per record. A packet that is not a whole number abandons the download
    // and raises EMalformedValue.
    Step accept(const QByteArray& packet);

    // The record lines of the last completed download ("Memo1" before the first).
    const QList<QByteArray>& lines() const { return m_lines; }
    // Writes the line buffer as the record file, whole; raises EFCreateError.
    void save(const QString& fileName) const;
    // The date check of the last completed download.
    const RecordCheck& check() const { return m_check; }

    qint32 slot(qsizetype index) const { return m_values.at(size_t(index)); }

private:
    void complete();

    std::vector<qint32> m_values;
    qint32 m_received = 0;
    int m_records = 0;
    bool m_running = false;
    QList<QByteArray> m_lines;
    RecordCheck m_check;
};

// The texts the download dialog shows.
QString RecordCountRefusedMessage(qint64 typed);
QString SuspectRecordsWarning(const RecordCheck& check);
QString ProgressText(qint32 received, qint32 expected);
QString SilenceNote();
