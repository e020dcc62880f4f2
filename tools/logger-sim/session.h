#pragma once

#include "frame_log.h"
#include "pseudo_terminal.h"
#include "record_generator.h"
#include "sim_options.h"

#include <QByteArray>
#include <QList>
#include <chrono>
#include <deque>
#include <optional>

// The logger's side of the line: reads commands from the pseudo-terminal, answers them, streams
// values and logs configuration frames. One loop, no threads; sub-millisecond waits use ppoll.
class Session
{
public:
    Session(const SimOptions& options, PseudoTerminal& line);
    // Serves until stdin closes (with --exit-on-stdin-eof) or the process is killed.
    int run();

private:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using Duration = Clock::duration;

    struct Job {
        QList<QByteArray> bursts; // a reply, possibly in two bursts
        qint64 valueCount = -1;   // >= 0 for a download
    };
    enum class Phase { Ready, Draining, Waiting };
    // What must happen between a write and the next one.
    struct Spacing {
        bool waitUntilTaken = false;
        Duration sinceWrite{};
        Duration afterTaken{};
    };

    // Input side.
    void onInput(const QByteArray& bytes, TimePoint at);
    void onByte(char byte, TimePoint at);
    void handleCommand(char byte, TimePoint at);
    void finishDownloadRequest();
    void finishFrame();
    void checkInputTimeouts(TimePoint now);
    void applyFrame(const QByteArray& bytes);

    // Output side.
    void enqueueReply(const QByteArray& text, bool splittable);
    void stepOutput(TimePoint now);
    bool flushUnsent(TimePoint now);
    bool writeNextPiece(TimePoint now);
    void writeReplyBurst(TimePoint now);
    bool writeValue(TimePoint now);
    void startPiece(const QByteArray& bytes, Spacing spacing, TimePoint now);
    Spacing valueSpacing() const;
    Duration lineTime(qsizetype bytes) const;
    QByteArray valueText(qint64 index) const;
    void hangUp();

    std::optional<TimePoint> nextWake(TimePoint now) const;
    bool waitForEvents(TimePoint now);

    SimOptions m_options;
    PseudoTerminal& m_line;
    FrameLog m_frameLog;
    RecordGenerator m_records;
    QByteArray m_serial;
    TimePoint m_started;
    bool m_gSent = false;
    bool m_stdinClosed = false;

    enum class InputMode { Idle, Digits, Frame };
    InputMode m_inputMode = InputMode::Idle;
    QByteArray m_digits;
    TimePoint m_lastInput;
    ReceivedFrame m_frame;
    TimePoint m_frameStart;

    std::deque<Job> m_jobs;
    int m_nextBurst = 0;
    qint64 m_nextValue = 0;
    QByteArray m_valueRest; // the second write of a split value
    QByteArray m_unsent;
    Phase m_phase = Phase::Ready;
    Spacing m_spacing;
    TimePoint m_lastWrite;
    TimePoint m_lineFreeAt; // when the last write's bytes have left the line at --baud
    TimePoint m_readyAt;
};
