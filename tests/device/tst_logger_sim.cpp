// The simulated logger's contract, as the other tests rely on it, through the real port.
#include "device/com_port.h"
#include "device/protocol.h"
#include "support/logger_sim_process.h"
#include "support/scripted_services.h"

#include "logger_sim_launcher.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QThread>
#include <QTimer>

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
    // Runs the event loop until count packets have come; false after timeoutMs. QTRY_* would
    // sleep 10 ms between its looks and slow a paced logger down to that.
    bool waitForPackets(int count, int timeoutMs)
    {
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        const auto enough = [&] { return packets.size() >= count; };
        connect(&listener, &TComDataPacket::OnPacket, &loop, [&] {
            if (enough())
                loop.quit();
        });
        if (!enough())
            loop.exec();
        return enough();
    }
    // Asks for count values and waits until the packets stop coming (150 ms without one).
    void download(qint64 count, int expectedPackets)
    {
        port.WriteText(DownloadCommand(count));
        if (waitForPackets(expectedPackets, 10000))
            QTest::qWait(150);
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
    void valuesAsTold_data();
    void valuesAsTold();
    void temperatureAndDecimalParts_data();
    void temperatureAndDecimalParts();
    void serialReplyAfterAFrameHasThreeDigitFields();
    void baudLimitsWhatTheLineCarries();
    void aRejectedOptionIsReportedInTheStartError();
    void argumentsAfterDoubleDashGoToTheSimulator_data();
    void argumentsAfterDoubleDashGoToTheSimulator();

private:
    ScriptedDialogs m_dialogs;
};

void LoggerSimTest::recordsFollowStartAndPeriod()
{
    LoggerSimProcess sim({"--paced", "--start", "2026-01-31 23:50", "--period-min", "20"});
    Link link;
    QVERIFY(link.open(sim));
    link.port.WriteText(DownloadCommand(16));
    QVERIFY(link.waitForPackets(16, 5000));
    QCOMPARE(link.packets.size(), 16);
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
    QVERIFY(link.waitForPackets(records * 8, 20000));
    QCOMPARE(link.packets.size(), records * 8);
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
    QVERIFY(link.waitForPackets(5, 5000));
    QCOMPARE(link.packets.size(), 5);
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
    QVERIFY(link.waitForPackets(1, 5000));
    QCOMPARE(link.packets.size(), 1);
    QCOMPARE(link.packets.first(), QByteArray("201/202/203/204/\r\n"));
    link.packets.clear();
    link.port.WriteText(DownloadCommand(12));
    QVERIFY(link.waitForPackets(12, 5000));
    QCOMPARE(link.packets.size(), 12);
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
    QVERIFY(link.waitForPackets(4, 5000));
    QCOMPARE(link.packets.size(), 4);
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

using Packets = QMap<int, QByteArray>;

void LoggerSimTest::valuesAsTold_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("packetCount");
    QTest::addColumn<Packets>("packets"); // by position; the others as the logger holds them

    // The first record from 2026-12-01 08:00: 1, 12, 8, 0, then the measurements.
    QTest::newRow("set-value above 250")
        << QStringList{"--set-value", "3=251", "--set-value", "9=255"} << 16 << 16
        << Packets{{0, "1"}, {1, "12"}, {2, "8"}, {3, "251"}, {9, "255"}, {10, "8"}};
    QTest::newRow("set-value negative")
        << QStringList{"--set-value", "4=-7"} << 8 << 8 << Packets{{3, "0"}, {4, "-7"}};
    QTest::newRow("memory caps a larger request")
        << QStringList{"--memory", "2"} << 40 << 16 << Packets{{8, "1"}, {11, "15"}};
    QTest::newRow("memory leaves a smaller request")
        << QStringList{"--memory", "3"} << 12 << 12 << Packets{{11, "15"}};
    QTest::newRow("split value in two packets")
        << QStringList{"--set-value", "2=123", "--split-value", "2"} << 4 << 5
        << Packets{{1, "12"}, {2, "1"}, {3, "23"}, {4, "0"}};
    QTest::newRow("one-character value not split")
        << QStringList{"--split-value", "2"} << 4 << 4 << Packets{{2, "8"}, {3, "0"}};
}

void LoggerSimTest::valuesAsTold()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, asked);
    QFETCH(int, packetCount);
    QFETCH(Packets, packets);
    LoggerSimProcess sim(QStringList{"--paced"} + arguments);
    Link link;
    QVERIFY(link.open(sim));
    link.download(asked, packetCount);
    QCOMPARE(link.packets.size(), packetCount);
    for (auto it = packets.cbegin(); it != packets.cend(); ++it)
        QCOMPARE(link.packets[it.key()], it.value());
}

void LoggerSimTest::temperatureAndDecimalParts_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("lowestWhole"); // of the temperature over a day
    QTest::addColumn<int>("highestWhole");
    QTest::addColumn<int>("highestDecimal");

    QTest::newRow("default") << QStringList{} << 17 << 25 << 9;
    QTest::newRow("freezer") << QStringList{"--temperature", "-18"} << -22 << -14 << 9;
    QTest::newRow("hundredths") << QStringList{"--two-digit-decimals"} << 17 << 25 << 99;
    QTest::newRow("freezer in hundredths")
        << QStringList{"--temperature=-18.5", "--two-digit-decimals"} << -23 << -14 << 99;
}

void LoggerSimTest::temperatureAndDecimalParts()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, lowestWhole);
    QFETCH(int, highestWhole);
    QFETCH(int, highestDecimal);
    LoggerSimProcess sim(QStringList{"--paced", "--period-min", "60"} + arguments);
    Link link;
    QVERIFY(link.open(sim));
    const int records = 24; // one day
    link.port.WriteText(DownloadCommand(records * 8));
    QVERIFY(link.waitForPackets(records * 8, 20000));
    QCOMPARE(link.packets.size(), records * 8);
    const QList<int> v = link.values();
    int largestDecimal = 0;
    for (int r = 0; r < records; ++r) {
        const int whole = v[r * 8 + 4];
        QVERIFY2(whole >= lowestWhole && whole <= highestWhole, qPrintable(QString::number(whole)));
        QVERIFY2(v[r * 8 + 6] >= 40 && v[r * 8 + 6] <= 70, "humidity");
        for (int decimal : {v[r * 8 + 5], v[r * 8 + 7]}) {
            QVERIFY2(decimal >= 0 && decimal <= highestDecimal,
                     qPrintable(QString::number(decimal)));
            largestDecimal = qMax(largestDecimal, decimal);
        }
    }
    // Hundredths show as parts above 9; tenths never do.
    QCOMPARE(largestDecimal > 9, highestDecimal > 9);
}

void LoggerSimTest::serialReplyAfterAFrameHasThreeDigitFields()
{
    LoggerSimProcess sim({"--paced"});
    Link link;
    QVERIFY(link.open(sim));
    QList<int> frame = SampleFrame;
    frame[12] = 44;
    frame[13] = 5;
    frame[14] = 0;
    frame[15] = 255;
    link.sendFrame(frame);
    QTRY_COMPARE_WITH_TIMEOUT(sim.frameLogLines().size(), 1, 5000);
    link.port.WriteText(Protocol::SerialNumberCommand);
    QVERIFY(link.waitForPackets(1, 5000));
    QCOMPARE(link.packets.size(), 1);
    QCOMPARE(link.packets.first(), QByteArray("044/005/000/255/\r\n"));
}

// At 600 baud a byte takes 16.7 ms on the line: while the reader looks away for 300 ms, the
// logger can have written some 18 bytes, not the whole stream it writes at once without
// --baud. What arrives is the same stream, in the same order.
void LoggerSimTest::baudLimitsWhatTheLineCarries()
{
    const int count = 24;
    LoggerSimProcess reference({"--paced"});
    Link whole;
    QVERIFY(whole.open(reference));
    whole.download(count, count);
    const QByteArray stream = whole.packets.join();

    LoggerSimProcess sim({"--baud", "600", "--gap-ms", "0"});
    Link link;
    QVERIFY(link.open(sim));
    link.port.WriteText(DownloadCommand(count));
    QElapsedTimer away;
    away.start();
    QThread::msleep(300);
    QTRY_VERIFY_WITH_TIMEOUT(!link.packets.isEmpty(), 5000);
    const qint64 awayMs = away.elapsed();
    const qint64 mostBytes = 1 + awayMs * 600 / 10 / 1000;
    QVERIFY2(
        link.packets.first().size() <= mostBytes,
        qPrintable(
            QStringLiteral("%1 bytes within %2 ms").arg(link.packets.first().size()).arg(awayMs)));
    QTRY_COMPARE_WITH_TIMEOUT(link.packets.join().size(), stream.size(), 10000);
    QCOMPARE(link.packets.join(), stream);
}

void LoggerSimTest::aRejectedOptionIsReportedInTheStartError()
{
    LoggerSimProcess sim({"--baud", "0"});
    QVERIFY(!sim.start());
    QVERIFY2(sim.startError().contains("--baud : nombre entier de 1"),
             qPrintable(sim.startError()));
    QVERIFY(!sim.isRunning());
}

void LoggerSimTest::argumentsAfterDoubleDashGoToTheSimulator_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("own");
    QTest::addColumn<QStringList>("simulator");

    QTest::newRow("none") << QStringList{} << QStringList{} << QStringList{};
    QTest::newRow("no separator") << QStringList{"-style", "fusion"}
                                  << QStringList{"-style", "fusion"} << QStringList{};
    QTest::newRow("options after it")
        << QStringList{"--", "--join-values", "100", "--hangup-after", "40"} << QStringList{}
        << QStringList{"--join-values", "100", "--hangup-after", "40"};
    QTest::newRow("own options before it")
        << QStringList{"-style", "fusion", "--", "--paced"} << QStringList{"-style", "fusion"}
        << QStringList{"--paced"};
    QTest::newRow("a second one is passed on")
        << QStringList{"--", "--serial", "--", "--"} << QStringList{}
        << QStringList{"--serial", "--", "--"};
    QTest::newRow("separator last")
        << QStringList{"-reverse", "--"} << QStringList{"-reverse"} << QStringList{};
}

void LoggerSimTest::argumentsAfterDoubleDashGoToTheSimulator()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, own);
    QFETCH(QStringList, simulator);
    const SplitArguments split = SplitAtDoubleDash(arguments);
    QCOMPARE(split.own, own);
    QCOMPARE(split.simulator, simulator);
}

QTEST_GUILESS_MAIN(LoggerSimTest)
#include "tst_logger_sim.moc"
