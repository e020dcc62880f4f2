#include "session.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

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
        consider(now + TakenPollInterval);
    else if (m_phase == Phase::Waiting)
        consider(m_readyAt);
    else if (!m_jobs.empty())
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
    const qint64 count = m_digits.toLongLong(&ok);
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
    m_serial = QStringLiteral("%1/%2/%3/%4/")
                   .arg(f.serial[0])
                   .arg(f.serial[1])
                   .arg(f.serial[2])
                   .arg(f.serial[3])
                   .toLatin1();
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
    QByteArray text = QByteArray::number(m_records.value(index));
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
            m_readyAt = std::max(m_lastWrite + m_spacing.sinceWrite, now + m_spacing.afterTaken);
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
    m_readyAt = now + m_spacing.sinceWrite;
    return true;
}

// Starts the next write of the first job; false when there is nothing to write.
bool Session::writeNextPiece(TimePoint now)
{
    if (m_jobs.empty())
        return false;
    Job& job = m_jobs.front();
    if (job.valueCount < 0) {
        const bool first = m_nextBurst == 0;
        m_unsent = job.bursts[m_nextBurst++];
        const bool more = m_nextBurst < job.bursts.size();
        // A split reply's second burst goes out once the first was read, 50 ms later at least.
        m_spacing = first && more ? Spacing{true, SplitBurstGap, {}} : Spacing{};
        if (!more) {
            m_jobs.pop_front();
            m_nextBurst = 0;
        }
        flushUnsent(now);
        return true;
    }
    if (m_options.hangupAfter && m_nextValue >= *m_options.hangupAfter) {
        hangUp();
        return false;
    }
    qint64 count = 1;
    if (m_options.joinValues.contains(m_nextValue) && m_nextValue + 1 < job.valueCount)
        count = 2;
    m_unsent = valueText(m_nextValue);
    if (count == 2)
        m_unsent += valueText(m_nextValue + 1);
    m_nextValue += count;
    const Duration gap = fromMs(m_options.gapMs);
    m_spacing = m_options.paced ? Spacing{true, {}, gap} : Spacing{false, gap, {}};
    if (m_nextValue >= job.valueCount) {
        m_jobs.pop_front();
        m_nextValue = 0;
    }
    flushUnsent(now);
    return true;
}

void Session::hangUp()
{
    m_line.close();
    m_jobs.clear();
    m_unsent.clear();
    m_phase = Phase::Ready;
}
