// The simulated logger's contract, as the other tests rely on it, through the real port.
#include "device/com_port.h"
#include "device/protocol.h"
#include "support/logger_sim_process.h"
#include "support/scripted_services.h"

#include <QTest>

namespace
{

// A port opened on a running simulator, with every packet it received.
class Link : public QObject
{
public:
    bool open(LoggerSimProcess& sim)
    {
        if (!sim.start())
            return false;
        listener.setComPort(&port);
        connect(&listener, &TComDataPacket::OnPacket, this,
                [this](const QByteArray& packet) { packets << packet; });
        port.setPort(sim.portPath());
        port.OpenPort();
        port.ClearBuffers(true, true);
        return port.Connected();
    }
    // The configuration frame as the transfer sends it: one byte per write, 50 ms apart.
    void sendFrame(const QList<int>& bytes)
    {
        for (int b : bytes) {
            port.WriteText(QByteArray(1, char(b)));
            QTest::qWait(50);
        }
    }
    QList<int> values() const
    {
        QList<int> result;
        for (const QByteArray& p : packets)
            result << ReadValuePacket(p);
        return result;
    }
    TComPort port;
    TComDataPacket listener;
    QList<QByteArray> packets;
};

const QList<int> SampleFrame{99, 10, 5, 9, 12, 234, 0, 30, 241, 1, 25, 0, 201, 202, 203, 204, 1};

} // namespace

class LoggerSimTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { Services::setDialogs(&m_dialogs); }
    void cleanup() { Services::setDialogs(nullptr); }

    void recordsFollowStartAndPeriod();
    void valuesLookLikeMeasurements();
    void aCountThatIsNotAMultipleOfEightGetsThatMany();
    void aFrameIsLoggedDecodedAndApplied();
    void anUnfinishedFrameIsLoggedAsPartial();
    void aMalformedValueCarriesALineEnd();
    void anUnsolicitedGIsSent();
    void silentNeverAnswers();

private:
    ScriptedDialogs m_dialogs;
};

void LoggerSimTest::recordsFollowStartAndPeriod()
{
    LoggerSimProcess sim({"--paced", "--start", "2026-01-31 23:50", "--period-min", "20"});
    Link link;
    QVERIFY(link.open(sim));
    link.port.WriteText(DownloadCommand(16));
    QTRY_COMPARE_WITH_TIMEOUT(link.packets.size(), 16, 5000);
    const QList<int> v = link.values();
    QCOMPARE(v.mid(0, 4), (QList<int>{31, 1, 23, 50}));
    QCOMPARE(v.mid(8, 4), (QList<int>{1, 2, 0, 10}));
}

void LoggerSimTest::valuesLookLikeMeasurements()
{
    LoggerSimProcess sim({"--paced"});
    Link link;
    QVERIFY(link.open(sim));
    const int records = 96; // one day at 15 minutes
    link.port.WriteText(DownloadCommand(records * 8));
    QTRY_COMPARE_WITH_TIMEOUT(link.packets.size(), records * 8, 20000);
    const QList<int> v = link.values();
    QSet<int> temperatures;
    for (int r = 0; r < records; ++r) {
        const QList<int> rec = v.mid(r * 8, 8);
        const int minutes = 8 * 60 + r * 15;
        QCOMPARE(rec[2], (minutes / 60) % 24);
        QCOMPARE(rec[3], minutes % 60);
        QVERIFY2(rec[4] >= 15 && rec[4] <= 28, qPrintable(QString::number(rec[4])));
        QVERIFY(rec[5] >= 0 && rec[5] <= 9);
        QVERIFY2(rec[6] >= 40 && rec[6] <= 70, qPrintable(QString::number(rec[6])));
        QVERIFY(rec[7] >= 0 && rec[7] <= 9);
        temperatures << rec[4];
    }
    QVERIFY(temperatures.size() >= 4); // a daily swing, not a constant
}

void LoggerSimTest::aCountThatIsNotAMultipleOfEightGetsThatMany()
{
    LoggerSimProcess sim({"--paced"});
    Link link;
    QVERIFY(link.open(sim));
    link.port.WriteText(DownloadCommand(5));
    QTRY_COMPARE_WITH_TIMEOUT(link.packets.size(), 5, 5000);
    QTest::qWait(200);
    QCOMPARE(link.packets.size(), 5);
}

void LoggerSimTest::aFrameIsLoggedDecodedAndApplied()
{
    LoggerSimProcess sim({"--paced"});
    Link link;
    QVERIFY(link.open(sim));
    link.sendFrame(SampleFrame);
    QTRY_COMPARE_WITH_TIMEOUT(sim.frameLogLines().size(), 1, 5000);
    const QString line = sim.frameLogLines().first();
    const QMap<QString, QString> f = LoggerSimProcess::frameFields(line);
    QCOMPARE(f["bytes"], QString("99,10,5,9,12,234,0,30,241,1,25,0,201,202,203,204,1"));
    const QStringList ms = f["ms"].split(',');
    QCOMPARE(ms.size(), 17);
    QCOMPARE(ms.first(), QString("0"));
    QVERIFY(ms.last().toInt() >= 16 * 50);
    QCOMPARE(f["hour"], QString("10"));
    QCOMPARE(f["minute"], QString("5"));
    QCOMPARE(f["day"], QString("9"));
    QCOMPARE(f["month"], QString("12"));
    QCOMPARE(f["year"], QString("2026"));
    QCOMPARE(f["period_h"], QString("0"));
    QCOMPARE(f["period_min"], QString("30"));
    QCOMPARE(f["toff"], QString("-15"));
    QCOMPARE(f["tsign"], QString("1"));
    QCOMPARE(f["hoff"], QString("25"));
    QCOMPARE(f["hsign"], QString("0"));
    QCOMPARE(f["serial"], QString("201/202/203/204"));
    QCOMPARE(f["restart"], QString("1"));

    link.port.WriteText(Protocol::SerialNumberCommand);
    QTRY_COMPARE_WITH_TIMEOUT(link.packets.size(), 1, 5000);
    QCOMPARE(link.packets.first(), QByteArray("201/202/203/204/\r\n"));
    link.packets.clear();
    link.port.WriteText(DownloadCommand(12));
    QTRY_COMPARE_WITH_TIMEOUT(link.packets.size(), 12, 5000);
    // Restarted at the frame's clock, at its period.
    QCOMPARE(link.values().mid(0, 4), (QList<int>{9, 12, 10, 5}));
    QCOMPARE(link.values().mid(8, 4), (QList<int>{9, 12, 10, 35}));
}

void LoggerSimTest::anUnfinishedFrameIsLoggedAsPartial()
{
    LoggerSimProcess sim;
    Link link;
    QVERIFY(link.open(sim));
    link.sendFrame({99, 1, 2, 3});
    QTRY_COMPARE_WITH_TIMEOUT(sim.frameLogLines().size(), 1, 5000);
    const QString partial = sim.frameLogLines().first();
    QVERIFY2(partial.startsWith("partial "), qPrintable(partial));
    QCOMPARE(LoggerSimProcess::frameFields(partial)["bytes"], QString("99,1,2,3"));
    QCOMPARE(LoggerSimProcess::frameFields(partial)["ms"].split(',').size(), 4);
    link.sendFrame(SampleFrame);
    QTRY_COMPARE_WITH_TIMEOUT(sim.frameLogLines().size(), 2, 5000);
    QCOMPARE(LoggerSimProcess::frameFields(sim.frameLogLines()[1])["serial"],
             QString("201/202/203/204"));
}

void LoggerSimTest::aMalformedValueCarriesALineEnd()
{
    LoggerSimProcess sim({"--paced", "--malformed-value", "2"});
    Link link;
    QVERIFY(link.open(sim));
    link.port.WriteText(DownloadCommand(4));
    QTRY_COMPARE_WITH_TIMEOUT(link.packets.size(), 4, 5000);
    QCOMPARE(link.packets[2], QByteArray("8\r\n"));
    QVERIFY_THROWS_EXCEPTION(EConvertError, ReadValuePacket(link.packets[2]));
    QCOMPARE(link.packets[3], QByteArray("0"));
}

void LoggerSimTest::anUnsolicitedGIsSent()
{
    LoggerSimProcess sim({"--send-g-after-ms", "300"});
    Link link;
    QVERIFY(link.open(sim));
    QTRY_COMPARE_WITH_TIMEOUT(link.packets, QList<QByteArray>{"g"}, 5000);
    QVERIFY(IsResponseReply(link.packets.first()));
}

void LoggerSimTest::silentNeverAnswers()
{
    LoggerSimProcess sim({"--silent"});
    Link link;
    QVERIFY(link.open(sim));
    link.port.WriteText("ts");
    link.port.WriteText(DownloadCommand(8));
    QTest::qWait(500);
    QVERIFY(link.packets.isEmpty());
}

QTEST_GUILESS_MAIN(LoggerSimTest)
#include "tst_logger_sim.moc"
