#include "session.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace
{

using namespace std::chrono_literals;

// Input timing of the protocol.
constexpr auto DigitsComplete = 30ms;
constexpr auto FrameAbandoned = 1s;
constexpr int FrameLength = 17;
// A split reply's second burst follows the first after this long at least.
constexpr auto SplitBurstGap = 50ms;
// How often a paced write looks whether the reader has taken the bytes.
constexpr auto TakenPollInterval = 50us;

std::chrono::steady_clock::duration fromMs(double ms)
{
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double, std::milli>(ms));
}

} // namespace

Session::Session(const SimOptions& options, PseudoTerminal& line)
    : m_options(options), m_line(line), m_frameLog(options.frameLogPath),
      m_records(options.start, options.periodMinutes), m_serial(options.serial.toLatin1())
{
    m_records.setMeanTemperature(options.meanTemperature);
    m_records.setTwoDigitDecimals(options.twoDigitDecimals);
}

int Session::run()
{
    m_started = Clock::now();
    for (;;) {
        const TimePoint now = Clock::now();
        if (m_options.sendGAfterMs && !m_gSent &&
            now >= m_started + fromMs(*m_options.sendGAfterMs)) {
            m_gSent = true;
            enqueueReply(QByteArrayLiteral("g"), false);
        }
        checkInputTimeouts(now);
        stepOutput(now);
        if (!waitForEvents(Clock::now()))
            return 0;
    }
}

// Sleeps until input, room on the line, or the next deadline. False when it is time to exit.
bool Session::waitForEvents(TimePoint now)
{
    pollfd fds[2];
    nfds_t count = 0;
    int lineIndex = -1, stdinIndex = -1;
    if (m_line.isOpen()) {
        lineIndex = int(count);
        fds[count++] = {m_line.masterFd(), short(POLLIN | (m_unsent.isEmpty() ? 0 : POLLOUT)), 0};
    }
    if (m_options.exitOnStdinEof && !m_stdinClosed) {
        stdinIndex = int(count);
        fds[count++] = {STDIN_FILENO, POLLIN, 0};
    }
    timespec timeout{};
    timespec* timeoutPtr = nullptr;
    if (const auto wake = nextWake(now)) {
        const auto wait = std::max(Duration::zero(), *wake - now);
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        timeout.tv_sec = ns / 1000000000;
        timeout.tv_nsec = ns % 1000000000;
        timeoutPtr = &timeout;
    }
    const int ready = ppoll(fds, count, timeoutPtr, nullptr);
    if (ready < 0)
        return errno == EINTR;
    if (stdinIndex >= 0 && fds[stdinIndex].revents) {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            m_stdinClosed = true;
            return false;
        }
    }
    if (lineIndex >= 0 && (fds[lineIndex].revents & POLLIN))
        onInput(m_line.readAvailable(), Clock::now());
    return true;
}

std::optional<Session::TimePoint> Session::nextWake(TimePoint now) const
{
    std::optional<TimePoint> wake;
    auto consider = [&](TimePoint t) {
        if (!wake || t < *wake)
            wake = t;
    };
    if (m_options.sendGAfterMs && !m_gSent)
        consider(m_started + fromMs(*m_options.sendGAfterMs));
    if (m_inputMode == InputMode::Digits)
        consider(m_lastInput + DigitsComplete);
    if (m_inputMode == InputMode::Frame)
        consider(m_lastInput + FrameAbandoned);
    if (!m_line.isOpen())
        return wake;
    if (!m_unsent.isEmpty())
        consider(now + 10ms); // POLLOUT wakes sooner
    else if (m_phase == Phase::Draining)
        consider(std::max(now + TakenPollInterval, m_lineFreeAt)); // not before the line is free
    else if (m_phase == Phase::Waiting)
        consider(m_readyAt);
    else if (!m_jobs.empty() || !m_valueRest.isEmpty())
        consider(now);
    return wake;
}

void Session::onInput(const QByteArray& bytes, TimePoint at)
{
    for (char byte : bytes)
        onByte(byte, at);
}

void Session::onByte(char byte, TimePoint at)
{
    switch (m_inputMode) {
    case InputMode::Frame:
        m_frame.bytes.append(byte);
        m_frame.arrivalMs.append(
            std::chrono::duration_cast<std::chrono::milliseconds>(at - m_frameStart).count());
        m_lastInput = at;
        if (m_frame.bytes.size() == FrameLength)
            finishFrame();
        return;
    case InputMode::Digits:
        if (byte >= '0' && byte <= '9') {
            m_digits.append(byte);
            m_lastInput = at;
            return;
        }
        finishDownloadRequest();
        break;
    case InputMode::Idle:
        break;
    }
    handleCommand(byte, at);
}

void Session::handleCommand(char byte, TimePoint at)
{
    switch (byte) {
    case 't':
        if (!m_options.silent)
            enqueueReply(QByteArrayLiteral("ok\r\n"), true);
        break;
    case 's':
        if (!m_options.silent)
            enqueueReply(m_serial + "\r\n", true);
        break;
    case 'r':
        m_inputMode = InputMode::Digits;
        m_digits.clear();
        m_lastInput = at;
        break;
    case 'c':
        m_inputMode = InputMode::Frame;
        m_frame = ReceivedFrame{QByteArray(1, 'c'), {0}};
        m_frameStart = at;
        m_lastInput = at;
        break;
    default:
        break; // anything else is ignored
    }
}

void Session::checkInputTimeouts(TimePoint now)
{
    if (m_inputMode == InputMode::Digits && now >= m_lastInput + DigitsComplete)
        finishDownloadRequest();
    if (m_inputMode == InputMode::Frame && now >= m_lastInput + FrameAbandoned) {
        if (m_frameLog.enabled() && !m_frameLog.append(FrameLogLine(m_frame)))
            std::fprintf(stderr, "logger-sim: cannot write the frame log\n");
        m_inputMode = InputMode::Idle;
    }
}

void Session::finishDownloadRequest()
{
    m_inputMode = InputMode::Idle;
    bool ok = false;
    qint64 count = m_digits.toLongLong(&ok);
    // A logger answers only what its memory holds.
    if (ok && m_options.memoryRecords)
        count = std::min(count, *m_options.memoryRecords * 8);
    if (!ok || count <= 0 || m_options.silent)
        return;
    Job job;
    job.valueCount = count;
    m_jobs.push_back(job);
}

void Session::finishFrame()
{
    m_inputMode = InputMode::Idle;
    if (m_frameLog.enabled() && !m_frameLog.append(FrameLogLine(m_frame)))
        std::fprintf(stderr, "logger-sim: cannot write the frame log\n");
    applyFrame(m_frame.bytes);
}

void Session::applyFrame(const QByteArray& bytes)
{
    const DecodedFrame f = DecodeFrame(bytes);
    const int period = f.periodHours * 60 + f.periodMinutes;
    if (period > 0)
        m_records.setPeriodMinutes(period);
    m_records.setOffsets(f.temperatureTenths, f.humidityTenths);
    // The reply's fields are three digits each, whatever the byte: 44 answers 044.
    m_serial.clear();
    for (int field : f.serial)
        m_serial += QByteArray::number(field).rightJustified(3, '0') + '/';
    const QDateTime clock(QDate(f.year, f.month, f.day), QTime(f.hour, f.minute));
    if (f.restart && clock.isValid())
        m_records.setStart(clock);
}

void Session::enqueueReply(const QByteArray& text, bool splittable)
{
    Job job;
    if (splittable && m_options.splitReplies && text.size() > 1) {
        const qsizetype half = text.size() / 2;
        job.bursts = {text.left(half), text.mid(half)};
    } else {
        job.bursts = {text};
    }
    m_jobs.push_back(job);
}

QByteArray Session::valueText(qint64 index) const
{
    const auto set = m_options.setValues.constFind(index);
    QByteArray text = QByteArray::number(
        set != m_options.setValues.constEnd() ? *set : qint64(m_records.value(index)));
    if (m_options.malformedValues.contains(index))
        text += "\r\n";
    return text;
}

void Session::stepOutput(TimePoint now)
{
    while (m_line.isOpen()) {
        if (!flushUnsent(now))
            return;
        if (m_phase == Phase::Draining) {
            if (m_line.pendingForReader() > 0)
                return;
            m_readyAt = std::max(
                {m_lastWrite + m_spacing.sinceWrite, now + m_spacing.afterTaken, m_lineFreeAt});
            m_phase = Phase::Waiting;
        }
        if (m_phase == Phase::Waiting) {
            if (now < m_readyAt)
                return;
            m_phase = Phase::Ready;
        }
        if (!writeNextPiece(now))
            return;
    }
}

// Writes what the line did not take yet; true once nothing is left. Completes the spacing
// rule of the piece when its last byte goes out.
bool Session::flushUnsent(TimePoint now)
{
    if (m_unsent.isEmpty())
        return true;
    const qint64 written = m_line.writeSome(m_unsent);
    if (written < 0) {
        hangUp();
        return false;
    }
    m_unsent.remove(0, written);
    if (!m_unsent.isEmpty())
        return false;
    m_lastWrite = now;
    m_phase = m_spacing.waitUntilTaken ? Phase::Draining : Phase::Waiting;
    m_readyAt = std::max(now + m_spacing.sinceWrite, m_lineFreeAt);
    return true;
}

// Starts the next write; false when there is nothing to write.
bool Session::writeNextPiece(TimePoint now)
{
    if (!m_valueRest.isEmpty()) {
        startPiece(std::exchange(m_valueRest, {}), valueSpacing(), now);
        return true;
    }
    if (m_jobs.empty())
        return false;
    if (m_jobs.front().valueCount < 0) {
        writeReplyBurst(now);
        return true;
    }
    return writeValue(now);
}

void Session::writeReplyBurst(TimePoint now)
{
    Job& job = m_jobs.front();
    const bool first = m_nextBurst == 0;
    const QByteArray burst = job.bursts[m_nextBurst++];
    const bool more = m_nextBurst < job.bursts.size();
    if (!more) {
        m_jobs.pop_front();
        m_nextBurst = 0;
    }
    // A split reply's second burst goes out once the first was read, 50 ms later at least.
    startPiece(burst, first && more ? Spacing{true, SplitBurstGap, {}} : Spacing{}, now);
}

// Writes the next value of the download (with the next one when joined, or its first half
// when split); false when the line was hung up instead.
bool Session::writeValue(TimePoint now)
{
    const qint64 valueCount = m_jobs.front().valueCount;
    if (m_options.hangupAfter && m_nextValue >= *m_options.hangupAfter) {
        hangUp();
        return false;
    }
    const qint64 index = m_nextValue++;
    QByteArray text = valueText(index);
    if (m_options.joinValues.contains(index) && m_nextValue < valueCount)
        text += valueText(m_nextValue++);
    if (m_nextValue >= valueCount) {
        m_jobs.pop_front();
        m_nextValue = 0;
    }
    if (m_options.splitValues.contains(index) && text.size() > 1) {
        const qsizetype half = text.size() / 2;
        m_valueRest = text.mid(half);
        // The rest only once the reader took the first half: two packets.
        startPiece(text.left(half), Spacing{true, {}, fromMs(m_options.gapMs)}, now);
    } else {
        startPiece(text, valueSpacing(), now);
    }
    return true;
}

void Session::startPiece(const QByteArray& bytes, Spacing spacing, TimePoint now)
{
    m_unsent = bytes;
    m_spacing = spacing;
    m_lineFreeAt = now + lineTime(bytes.size());
    flushUnsent(now);
}

Session::Spacing Session::valueSpacing() const
{
    const Duration gap = fromMs(m_options.gapMs);
    return m_options.paced ? Spacing{true, {}, gap} : Spacing{false, gap, {}};
}

// How long the bytes take on a line at --baud: 10 bits each (start, 8 data, stop).
Session::Duration Session::lineTime(qsizetype bytes) const
{
    if (m_options.baud <= 0)
        return Duration::zero();
    return std::chrono::duration_cast<Duration>(
        std::chrono::duration<double>(double(bytes) * 10.0 / m_options.baud));
}

void Session::hangUp()
{
    m_line.close();
    m_jobs.clear();
    m_valueRest.clear();
    m_unsent.clear();
    m_phase = Phase::Ready;
}
