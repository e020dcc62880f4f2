// The serial link's receive path: packets through a listener into a download-like handler,
// and values from the simulated logger over a pseudo-terminal at several gaps.
#include "bench.h"

#include "device/com_port.h"
#include "device/protocol.h"
#include "logger_sim_launcher.h"
#include "support/logger_sim_process.h"
#include "support/scripted_services.h"

// The simulator's own value generator, so that the bench knows the stream it will receive.
#include "../tools/logger-sim/record_generator.cpp"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <vector>

namespace
{

constexpr int HandlerPackets = 1000000;

// What the download dialog does with each packet: convert, store, count.
struct DownloadLikeHandler {
    std::vector<qint32> values;
    qint64 count = 0;
    void operator()(const QByteArray& packet)
    {
        values[size_t(count % qint64(values.size()))] = ReadValuePacket(packet);
        ++count;
    }
};

// The values a download of logger-sim's records sends, in order.
std::vector<QByteArray> expectedValues(int count)
{
    RecordGenerator generator(QDateTime(QDate(2026, 12, 1), QTime(8, 0)), 15);
    std::vector<QByteArray> expected;
    expected.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        expected.push_back(QByteArray::number(generator.value(i)));
    return expected;
}

} // namespace

QUIVEL_BENCH("serial: handler path, 1 000 000 value packets")
{
    const std::vector<QByteArray> packets = expectedValues(4096);
    DownloadLikeHandler direct{std::vector<qint32>(HandlerPackets)};
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < HandlerPackets; ++i)
        direct(packets[i % packets.size()]);
    const double directSeconds = timer.nsecsElapsed() / 1e9;

    DownloadLikeHandler viaListener{std::vector<qint32>(HandlerPackets)};
    TComDataPacket listener;
    QObject::connect(&listener, &TComDataPacket::OnPacket,
                     [&](const QByteArray& packet) { viaListener(packet); });
    timer.restart();
    for (int i = 0; i < HandlerPackets; ++i)
        listener.deliver(packets[i % packets.size()]);
    const double listenerSeconds = timer.nsecsElapsed() / 1e9;

    std::printf("  through TComDataPacket: %.0f packets/s (%.3f s, %lld stored)\n",
                HandlerPackets / listenerSeconds, listenerSeconds,
                static_cast<long long>(viaListener.count));
    std::printf("  handler called directly: %.0f packets/s (%.3f s)\n",
                HandlerPackets / directSeconds, directSeconds);
    std::printf("  listener overhead: x%.2f\n", listenerSeconds / directSeconds);
}

namespace
{

struct StreamFigures {
    qint64 separate = 0;      // values that arrived alone in their packet
    qint64 joinedPackets = 0; // packets holding two values or more
    qint64 joinedValues = 0;  // values inside those packets
    qint64 unmatched = 0;     // packets that are not whole values (a value cut in two)
    qint64 bytes = 0;
    double seconds = 0;
    bool complete = false;
};

// Matches the packets against the expected value texts, in order.
class StreamMatcher
{
public:
    StreamMatcher(const std::vector<QByteArray>& expected, StreamFigures& figures)
        : m_expected(expected), m_figures(figures)
    {
    }
    bool done() const { return m_next >= m_expected.size(); }
    void add(const QByteArray& packet)
    {
        m_figures.bytes += packet.size();
        qsizetype offset = 0;
        int values = 0;
        while (offset < packet.size() && m_next < m_expected.size()) {
            const QByteArray& value = m_expected[m_next];
            if (packet.mid(offset, value.size()) != value)
                break;
            offset += value.size();
            ++m_next;
            ++values;
        }
        if (offset != packet.size()) {
            ++m_figures.unmatched;
            return;
        }
        if (values == 1) {
            ++m_figures.separate;
        } else if (values > 1) {
            ++m_figures.joinedPackets;
            m_figures.joinedValues += values;
        }
    }

private:
    const std::vector<QByteArray>& m_expected;
    StreamFigures& m_figures;
    size_t m_next = 0;
};

StreamFigures runStream(const QStringList& simArguments, const std::vector<QByteArray>& expected,
                        double timeoutSeconds)
{
    StreamFigures figures;
    LoggerSimProcess sim(simArguments);
    if (!sim.start()) {
        std::printf("  failed: %s\n", qPrintable(sim.startError()));
        return figures;
    }
    TComPort port;
    TComDataPacket listener;
    listener.setComPort(&port);
    StreamMatcher matcher(expected, figures);
    QEventLoop loop;
    QElapsedTimer timer;
    QObject::connect(&listener, &TComDataPacket::OnPacket, [&](const QByteArray& packet) {
        matcher.add(packet);
        if (matcher.done()) {
            figures.seconds = timer.nsecsElapsed() / 1e9;
            figures.complete = true;
            loop.quit();
        }
    });
    QTimer::singleShot(int(timeoutSeconds * 1000), &loop, &QEventLoop::quit);
    try {
        port.setPort(sim.portPath());
        port.OpenPort();
        port.ClearBuffers(true, true);
        timer.start();
        port.WriteText(DownloadCommand(qint64(expected.size())));
        loop.exec();
    } catch (const QuivelError& e) {
        std::printf("  failed: %s\n", qPrintable(e.message()));
    }
    port.ClosePort();
    return figures;
}

// One row of the table: the slow gaps get fewer values, so that each row takes some 20 s.
struct Mode {
    const char* name;
    QStringList arguments;
    double gapMs;
    int values;
};

const Mode Modes[] = {
    {"gap 5 ms", {"--gap-ms", "5"}, 5.0, 4000},
    {"gap 2 ms", {"--gap-ms", "2"}, 2.0, 10000},
    {"gap 1 ms", {"--gap-ms", "1"}, 1.0, 20000},
    {"gap 0.5 ms", {"--gap-ms", "0.5"}, 0.5, 40000},
    {"paced", {"--paced"}, 0.0, 100000},
    // The demo's pace: 2 000 records (16 008 values) at the real line's rate.
    {"57600 baud", {"--paced", "--baud", "57600"}, 0.0, 16008},
};

// QUIVEL_BENCH_SERIAL_VALUES=N gives every row N values.
int rowValueCount(const Mode& mode)
{
    const int fromEnvironment = qEnvironmentVariableIntValue("QUIVEL_BENCH_SERIAL_VALUES");
    return fromEnvironment > 0 ? fromEnvironment : mode.values;
}

double lineSeconds(const std::vector<QByteArray>& values)
{
    qint64 bytes = 0;
    for (const QByteArray& value : values)
        bytes += value.size();
    return LineSeconds(bytes);
}

} // namespace

QUIVEL_BENCH("serial: end to end from logger-sim over a pseudo-terminal")
{
    ScriptedDialogs dialogs; // a lost line is counted, not shown
    Services::setDialogs(&dialogs);
    std::printf("  bound: the logger's own gaps plus the bytes' time on a 57600-baud line\n");
    std::printf("  %-10s %7s %9s %7s %8s %5s %8s %8s %6s\n", "mode", "values", "separate", "joined",
                "in them", "cut", "wall s", "bound s", "ratio");
    for (const Mode& mode : Modes) {
        const std::vector<QByteArray> expected = expectedValues(rowValueCount(mode));
        const double bound = double(expected.size()) * mode.gapMs / 1000.0 + lineSeconds(expected);
        const StreamFigures f = runStream(mode.arguments, expected, bound * 3 + 60);
        std::printf("  %-10s %7zu %9lld %7lld %8lld %5lld %8.2f %8.2f %6.2f%s\n", mode.name,
                    expected.size(), static_cast<long long>(f.separate),
                    static_cast<long long>(f.joinedPackets), static_cast<long long>(f.joinedValues),
                    static_cast<long long>(f.unmatched), f.seconds, bound, f.seconds / bound,
                    f.complete ? "" : "  (incomplete)");
        std::fflush(stdout);
    }
    Services::setDialogs(nullptr);
}
