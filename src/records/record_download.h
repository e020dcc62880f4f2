#pragma once

#include "common/errors.h"
#include "records/record_check.h"

#include <QByteArray>
#include <QList>
#include <vector>

// What a download brought, for the words of the dialog.
struct DownloadReport {
    int recordsWanted = 0;
    qint32 valuesExpected = 0;
    qint32 valuesReceived = 0;
    bool complete = false;
    int malformed = 0;         // packets that were no whole number
    qint32 firstMalformed = 0; // its value number, from 1
    QByteArray firstMalformedPacket;
    int recordsArrived = 0; // records whose eight values arrived, at most recordsWanted
    RecordCheck check;      // over those records
    bool clean() const { return complete && malformed == 0 && check.suspect == 0; }
};

// The download of records from the logger, without its window: the value buffer, the count
// of values received, the line buffer. One instance lives as long as the program; the
// buffer is never cleared, so slots a download does not reach keep earlier values.
class RecordDownload
{
public:
    static constexpr qsizetype BufferSlots = 5000001;
    // The most records a user may ask for; the request is for one more.
    static constexpr int MaxRecords = 500000;
    // The download counts as complete this many values before all have arrived.
    static constexpr int ValuesNotAwaited = 3;

    // Complete: whole and clean. NeedsDecision: complete, but with values that were no
    // numbers or records the check found wrong; nothing is written until the user decides.
    enum class Step { Ignored, Stored, Complete, NeedsDecision };

    RecordDownload();

    // Whether a request of this many records is possible: the user's count (1 to MaxRecords)
    // plus one.
    static bool AcceptableRecordCount(qint64 records);

    // A new download of `records` records, the user's count plus one (acceptable, see above):
    // the count restarts at 0 and the line buffer is emptied.
    void begin(int records);
    // The running download stops; what it stored stays in the buffer.
    void abandon();

    bool running() const { return m_running; }
    int records() const { return m_records; }
    // The records written: the user's count. The one more asked for completes the download
    // before all its values have come, so it is never written.
    int recordsWanted() const { return m_records - 1; }
    qint32 expectedValues() const;
    qint32 completionCount() const;
    qint32 receivedCount() const { return m_received; }

    // One received packet. Outside a download, and for the logger's "g" reply, it is ignored.
    // Within one it is stored; a packet that is no whole number is stored as 0 and noted.
    // When the download completes, the written records are checked and their lines made.
    Step accept(const QByteArray& packet);

    // What arrived so far, for the dialog's words: checked over the records whose eight
    // values arrived.
    DownloadReport report() const;

    // The record lines of the records whose eight values arrived, at most the user's count
    // ("Memo1" before the first download).
    const QList<QByteArray>& lines() const { return m_lines; }
    // Makes the lines of what arrived so far, for a download saved although incomplete.
    void takeWhatArrived();
    // Writes the lines as the record file, whole, after keeping the file in place as
    // <name>.bak (one generation); raises EFCreateError.
    void save(const QString& fileName) const;

    qint32 slot(qsizetype index) const { return m_values.at(size_t(index)); }

private:
    int recordsArrived() const;
    void makeLines(int records);

    std::vector<qint32> m_values;
    qint32 m_received = 0;
    int m_records = 0;
    bool m_running = false;
    // Values of the last completed download still to come after it.
    qint32 m_tailPending = 0;
    int m_malformed = 0;
    qint32 m_firstMalformed = 0; // 1-based value number
    QByteArray m_firstMalformedPacket;
    QList<QByteArray> m_lines;
};

// The audit details of a download written although the dialog found it wrong.
QString DownloadSavedAnywayDetails(const DownloadReport& report);

// The texts the download dialog shows.
QString RecordCountRefusedMessage(qint64 typed);
// What went wrong, in French, from the first fault on; empty for a clean download.
QString DownloadProblemText(const DownloadReport& report);
QString ProgressText(qint32 received, qint32 expected);
QString SilenceNote();
