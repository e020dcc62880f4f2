#pragma once

#include "common/errors.h"
#include "records/record_check.h"

#include <QByteArray>
#include <QList>
#include <vector>

// What a download brought, for the words of the dialog.
struct DownloadReport {
    int recordsWanted = 0;     // the user's count
    int recordsAsked = 0;      // one more, as the request asks
    qint32 valuesExpected = 0; // every value of the request, the extra record's included
    qint32 valuesReceived = 0; // every value packet, those beyond the request included
    bool ended = false;        // the line fell quiet after the values, or the user chose
    int malformed = 0;         // packets that were no whole number
    qint32 firstMalformed = 0; // its value number, from 1
    QByteArray firstMalformedPacket;
    int recordsArrived = 0; // records whose eight values arrived, at most recordsWanted
    int recordsSent = 0;    // whole records the logger sent, the extra one included
    RecordCheck check;      // over the records sent
    // The first record whose values are not in their places or not the logger's (from 0), -1
    // when none is found: where a join or a split was located, else the check's first suspect.
    int firstWrongRecord = -1;

    qint32 extraValues() const { return qMax(0, valuesReceived - valuesExpected); }
    // Fewer values than asked, and not whole records: some were joined or lost.
    bool valuesMissing() const;
    // The logger sent whole records but fewer than the user asked for: its memory held no more.
    bool fewerRecords() const;
    bool clean() const;
};

// The download of records from the logger, without its window. A download is judged on every
// value the logger sends for the request, the extra record's included, once the line has
// fallen quiet: a value too many or too few anywhere, joined or split, makes it suspect.
// Each download starts from nothing: no value of an earlier one is left to enter it.
class RecordDownload
{
public:
    // The most records a user may ask for; the request is for one more.
    static constexpr int MaxRecords = 500000;
    // Values beyond the request that are kept for locating a split; the rest are only counted.
    static constexpr int ExtraValuesKept = 8;
    // Places of unreadable packets kept for locating a join or a split.
    static constexpr int UnreadableKept = 64;

    // Complete: whole and clean. NeedsDecision: with values missing, extra, unreadable, or
    // records the check found wrong; nothing is written until the user decides.
    enum class Step { Ignored, Stored, Complete, NeedsDecision };

    RecordDownload();

    // Whether a request of this many records is possible: the user's count (1 to MaxRecords)
    // plus one.
    static bool AcceptableRecordCount(qint64 records);

    // A new download of `records` records, the user's count plus one (acceptable, see above).
    void begin(int records);
    // The running download stops; what it stored is not written.
    void abandon();

    bool running() const { return m_running; }
    int records() const { return m_records; }
    // The records written: the user's count. The one more asked for is never written.
    int recordsWanted() const { return m_records - 1; }
    qint32 expectedValues() const;
    qint32 receivedCount() const { return m_received; }

    // One received packet. Outside a download, and for the logger's "g" reply, it is ignored.
    // Within one it is stored (a packet that is no whole number is stored as 0 and noted), also
    // beyond the values asked for: those are counted as extra.
    Step accept(const QByteArray& packet);
    // The line has been quiet after at least one value: the download ends and is judged on
    // all that came. The lines of the records wanted are made when it is clean.
    Step finish();

    // What arrived so far, for the dialog's words.
    DownloadReport report() const;

    // The record lines to write, at most the user's count ("Memo1" before the first download).
    const QList<QByteArray>& lines() const { return m_lines; }
    // Ends the download and makes the lines of the records whose eight values arrived, for a
    // download saved although it is not clean.
    void takeWhatArrived();
    // Writes the lines as the record file, whole, after keeping the file in place as
    // <name>.bak (one generation); raises EFCreateError.
    void save(const QString& fileName) const;

private:
    int recordsArrived() const;
    void makeLines(int records);

    std::vector<qint32> m_values;
    qint32 m_received = 0;
    int m_records = 0;
    bool m_running = false;
    bool m_ended = false;
    int m_malformed = 0;
    qint32 m_firstMalformed = 0; // 1-based value number
    QByteArray m_firstMalformedPacket;
    std::vector<qint32> m_malformedAt; // the first of them, in order
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
