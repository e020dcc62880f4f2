// The serial link end to end: the real TComPort on a pseudo-terminal, against the simulated
// logger (or, where the test needs bytes the logger never sends, a terminal of its own).
#include "device/com_port.h"
#include "support/logger_sim_process.h"
#include "support/scripted_services.h"
#include "support/test_terminal.h"

#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace
{

// One listener and what it received, in order.
class Recorder : public QObject
{
public:
    explicit Recorder(TComPort* port, QList<QPair<QString, QByteArray>>* log = nullptr,
                      QString name = {})
        : m_log(log), m_name(std::move(name))
    {
        listener.setComPort(port);
        QObject::connect(&listener, &TComDataPacket::OnPacket, this,
                         [this](const QByteArray& packet) {
                             packets << packet;
                             if (m_log)
                                 m_log->append({m_name, packet});
                             if (onPacket)
                                 onPacket(packet);
                         });
    }
    TComDataPacket listener;
    QList<QByteArray> packets;
    std::function<void(const QByteArray&)> onPacket;

    QByteArray joined() const { return packets.join(); }

private:
    QList<QPair<QString, QByteArray>>* m_log;
    QString m_name;
};

QByteArray valueAt(int index)
{
    // The simulator's first record with its defaults: 1 December, 08:00.
    const int date[] = {1, 12, 8, 0};
    return QByteArray::number(date[index]);
}

} // namespace

class SerialLinkTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void checkReplyIsOnePacket();
    void replyInTwoBurstsGivesTwoPackets();
    void twoValuesInOneBurstGiveOnePacket();
    void pacedValuesArriveOnePerPacket();
    void nulBytesAreKept();
    void everyListenerGetsEveryChunkInAttachmentOrder();
    void aListenerIsAttachedOnce();
    void writeOnAClosedPort();
    void openAndCloseAreIdempotent();
    void openFailureNamesTheSystemError();
    void renamingAnOpenPortReopensIt();
    void anErrorInAHandlerIsReportedAndReceptionGoesOn();
    void handlersNeverRunInsideWriteText();
    void aHandlerWaitingInAnEventLoopGetsNoNestedPacket();
    void aPortInUseCannotBeOpenedASecondTime();
    void hangupMidStreamIsReportedOnceAndALaterOpenWorks();

private:
    bool openOn(TComPort& port, LoggerSimProcess& sim);
    ScriptedDialogs m_dialogs;
};

void SerialLinkTest::init()
{
    m_dialogs.clear();
    Services::setDialogs(&m_dialogs);
}

void SerialLinkTest::cleanup()
{
    QCoreApplication::processEvents(); // posted error boxes land in m_dialogs
    Services::setDialogs(nullptr);
}

bool SerialLinkTest::openOn(TComPort& port, LoggerSimProcess& sim)
{
    if (!sim.start())
        return false;
    port.setPort(sim.portPath());
    port.OpenPort();
    port.ClearBuffers(true, true);
    return port.Connected();
}

void SerialLinkTest::checkReplyIsOnePacket()
{
    LoggerSimProcess sim;
    TComPort port;
    Recorder rec(&port);
    QVERIFY(openOn(port, sim));
    QCOMPARE(port.WriteText("t"), qint64(1));
    QTRY_COMPARE_WITH_TIMEOUT(rec.packets.size(), 1, 5000);
    QCOMPARE(rec.packets.first(), QByteArray("ok\r\n"));
}

void SerialLinkTest::replyInTwoBurstsGivesTwoPackets()
{
    LoggerSimProcess sim({"--split-replies"});
    TComPort port;
    Recorder rec(&port);
    QVERIFY(openOn(port, sim));
    port.WriteText("t");
    QTRY_COMPARE_WITH_TIMEOUT(rec.joined(), QByteArray("ok\r\n"), 5000);
    QCOMPARE(rec.packets, (QList<QByteArray>{"ok", "\r\n"}));
}

void SerialLinkTest::twoValuesInOneBurstGiveOnePacket()
{
    LoggerSimProcess sim({"--paced", "--join-values", "1"});
    TComPort port;
    Recorder rec(&port);
    QVERIFY(openOn(port, sim));
    port.WriteText("r4");
    QTRY_COMPARE_WITH_TIMEOUT(rec.packets.size(), 3, 5000);
    QCOMPARE(rec.packets, (QList<QByteArray>{valueAt(0), valueAt(1) + valueAt(2), valueAt(3)}));
}

void SerialLinkTest::pacedValuesArriveOnePerPacket()
{
    LoggerSimProcess sim({"--paced"});
    TComPort port;
    Recorder rec(&port);
    QVERIFY(openOn(port, sim));
    port.WriteText("r400");
    QTRY_COMPARE_WITH_TIMEOUT(rec.packets.size(), 400, 20000);
    QCOMPARE(rec.packets.mid(0, 4),
             (QList<QByteArray>{valueAt(0), valueAt(1), valueAt(2), valueAt(3)}));
    for (const QByteArray& packet : std::as_const(rec.packets)) {
        bool ok = false;
        const int value = packet.toInt(&ok);
        QVERIFY2(ok && value >= 0 && value <= 250, packet.constData());
    }
}

void SerialLinkTest::nulBytesAreKept()
{
    TestTerminal line;
    QVERIFY(!line.path().isEmpty());
    TComPort port;
    Recorder rec(&port);
    port.setPort(line.path());
    port.OpenPort();
    const QByteArray chunk("1\0\0"
                           "2\0",
                           5);
    QVERIFY(line.write(chunk));
    QTRY_COMPARE_WITH_TIMEOUT(rec.joined().size(), chunk.size(), 5000);
    QCOMPARE(rec.joined(), chunk);
}

void SerialLinkTest::everyListenerGetsEveryChunkInAttachmentOrder()
{
    LoggerSimProcess sim({"--split-replies"});
    TComPort port;
    QList<QPair<QString, QByteArray>> log;
    Recorder first(&port, &log, "first");
    Recorder second(&port, &log, "second");
    QVERIFY(openOn(port, sim));
    port.WriteText("s");
    QTRY_COMPARE_WITH_TIMEOUT(second.joined(), QByteArray("101/102/103/104/\r\n"), 5000);
    QCOMPARE(first.packets, second.packets);
    QCOMPARE(log.size(), 2 * first.packets.size());
    for (int i = 0; i < log.size(); i += 2) {
        QCOMPARE(log[i].first, QString("first"));
        QCOMPARE(log[i + 1].first, QString("second"));
        QCOMPARE(log[i].second, log[i + 1].second);
    }
}

void SerialLinkTest::aListenerIsAttachedOnce()
{
    TComPort port, other;
    TComDataPacket a, b;
    a.setComPort(&port);
    b.setComPort(&port);
    a.setComPort(&port);
    QCOMPARE(port.listeners(), (QList<TComDataPacket*>{&a, &b}));
    a.setComPort(&other);
    QCOMPARE(port.listeners(), (QList<TComDataPacket*>{&b}));
    QCOMPARE(other.listeners(), (QList<TComDataPacket*>{&a}));
    {
        TComDataPacket gone;
        gone.setComPort(&other);
    }
    QCOMPARE(other.listeners(), (QList<TComDataPacket*>{&a}));
}

void SerialLinkTest::writeOnAClosedPort()
{
    TComPort port;
    QCOMPARE(port.WriteText(QByteArray()), qint64(0));
    try {
        port.WriteText("t");
        QFAIL("a write on a closed port must fail");
    } catch (const EComPort& e) {
        QCOMPARE(e.code(), 24);
        QCOMPARE(e.message(), QString("Port Not Open"));
    }
    QVERIFY_THROWS_EXCEPTION(EComPort, port.ClearBuffers(true, true));
}

void SerialLinkTest::openAndCloseAreIdempotent()
{
    LoggerSimProcess sim;
    TComPort port;
    Recorder rec(&port);
    port.ClosePort();
    QVERIFY(!port.Connected());
    QVERIFY(openOn(port, sim));
    port.OpenPort();
    port.setConnected(true);
    QVERIFY(port.Connected());
    port.WriteText("t");
    QTRY_COMPARE_WITH_TIMEOUT(rec.joined(), QByteArray("ok\r\n"), 5000);
    port.ClosePort();
    port.setConnected(false);
    QVERIFY(!port.Connected());
    port.OpenPort();
    QVERIFY(port.Connected());
}

void SerialLinkTest::openFailureNamesTheSystemError()
{
    TComPort port;
    port.setPort(QStringLiteral("/dev/quivel-no-such-port"));
    try {
        port.OpenPort();
        QFAIL("opening a missing device must fail");
    } catch (const EComPort& e) {
        QCOMPARE(e.code(), 1);
        QCOMPARE(e.message(), QString("Unable to open com port (Error: 2)"));
    }
    QVERIFY(!port.Connected());
    QVERIFY_THROWS_EXCEPTION(EComPort, port.WriteText("t"));
}

void SerialLinkTest::renamingAnOpenPortReopensIt()
{
    LoggerSimProcess first;
    LoggerSimProcess second({"--serial", "201/202/203/204/"});
    QVERIFY(second.start());
    TComPort port;
    Recorder rec(&port);
    QVERIFY(openOn(port, first));
    port.setPort(second.portPath());
    QVERIFY(port.Connected());
    QCOMPARE(port.Port(), second.portPath());
    port.WriteText("s");
    QTRY_COMPARE_WITH_TIMEOUT(rec.joined(), QByteArray("201/202/203/204/\r\n"), 5000);
}

void SerialLinkTest::anErrorInAHandlerIsReportedAndReceptionGoesOn()
{
    LoggerSimProcess sim;
    TComPort port;
    Recorder throwing(&port);
    Recorder after(&port);
    throwing.onPacket = [](const QByteArray& packet) {
        if (packet == "ok\r\n")
            throw EConvertError::notAnInteger(QString::fromLatin1(packet));
    };
    QVERIFY(openOn(port, sim));
    port.WriteText("t");
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.boxes.size(), 1, 5000);
    QCOMPARE(m_dialogs.boxes.first().kind, MsgKind::Error);
    QCOMPARE(m_dialogs.boxes.first().text, QString("'ok\r\n' is not a valid integer value."));
    QCOMPARE(after.packets, (QList<QByteArray>{"ok\r\n"}));
    port.WriteText("s");
    QTRY_COMPARE_WITH_TIMEOUT(throwing.packets.size(), 2, 5000);
    QCOMPARE(throwing.packets.last(), QByteArray("101/102/103/104/\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(after.packets.size(), 2, 5000);
    QCOMPARE(m_dialogs.boxes.size(), 1);
}

void SerialLinkTest::handlersNeverRunInsideWriteText()
{
    LoggerSimProcess sim({"--paced"});
    TComPort port;
    Recorder rec(&port);
    bool writing = false;
    int nested = 0;
    rec.onPacket = [&](const QByteArray&) {
        if (writing)
            ++nested;
    };
    QVERIFY(openOn(port, sim));
    port.WriteText("r200");
    // Long writes while the values come in: whatever arrives meanwhile waits for the loop.
    const QByteArray filler(3000, 'x');
    QTRY_VERIFY_WITH_TIMEOUT(!rec.packets.isEmpty(), 5000);
    for (int i = 0; i < 20; ++i) {
        writing = true;
        port.WriteText(filler);
        writing = false;
        QTest::qWait(5);
    }
    QCOMPARE(nested, 0);
}

void SerialLinkTest::aHandlerWaitingInAnEventLoopGetsNoNestedPacket()
{
    LoggerSimProcess sim({"--paced"});
    TComPort port;
    Recorder rec(&port);
    int depth = 0, deepest = 0;
    rec.onPacket = [&](const QByteArray&) {
        ++depth;
        deepest = std::max(deepest, depth);
        if (rec.packets.size() == 1)
            QTest::qWait(300); // the values go on arriving meanwhile
        --depth;
    };
    QVERIFY(openOn(port, sim));
    port.WriteText("r4");
    QTRY_COMPARE_WITH_TIMEOUT(rec.joined(), valueAt(0) + valueAt(1) + valueAt(2) + valueAt(3),
                              5000);
    QCOMPARE(deepest, 1);
    // What came in during the wait is one chunk, handed over once the handler returned.
    QCOMPARE(rec.packets, (QList<QByteArray>{valueAt(0), valueAt(1) + valueAt(2) + valueAt(3)}));
}

void SerialLinkTest::aPortInUseCannotBeOpenedASecondTime()
{
    LoggerSimProcess sim;
    TComPort port, other;
    QVERIFY(openOn(port, sim));
    other.setPort(sim.portPath());
    try {
        other.OpenPort();
        QFAIL("a port in use must not open twice");
    } catch (const EComPort& e) {
        QCOMPARE(e.code(), 1);
        QVERIFY2(e.systemCode() > 0, qPrintable(e.message()));
    }
    QVERIFY(!other.Connected());
    QVERIFY(port.Connected());
}

void SerialLinkTest::hangupMidStreamIsReportedOnceAndALaterOpenWorks()
{
    TComPort port;
    Recorder rec(&port);
    QSignalSpy lost(&port, &TComPort::lost);
    {
        LoggerSimProcess sim({"--paced", "--hangup-after", "5"});
        QVERIFY(openOn(port, sim));
        port.WriteText("r16");
        QVERIFY(lost.wait(10000));
        QCOMPARE(rec.packets.size(), 5);
        QVERIFY(!port.Connected());
        QTest::qWait(200);
        QCOMPARE(lost.size(), 1);
        QCOMPARE(m_dialogs.boxes.size(), 1);
        QVERIFY2(m_dialogs.boxes.first().text.startsWith("ReadFile function failed"),
                 qPrintable(m_dialogs.boxes.first().text));
        QVERIFY_THROWS_EXCEPTION(EComPort, port.WriteText("t"));
    }
    LoggerSimProcess next;
    QVERIFY(openOn(port, next));
    port.WriteText("t");
    QTRY_COMPARE_WITH_TIMEOUT(rec.packets.last(), QByteArray("ok\r\n"), 5000);
}

QTEST_GUILESS_MAIN(SerialLinkTest)
#include "tst_serial_link.moc"
