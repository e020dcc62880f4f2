// The configuration frame, one item per tick: bytes, sources read at every tick, failures.
#include "common/error_handler.h"
#include "common/errors.h"
#include "device/com_port.h"
#include "settings/frame_transfer.h"
#include "support/scripted_services.h"

#include <QSignalSpy>
#include <QtTest>

namespace
{

using Bytes = QList<int>;

TFrameSources Sources(QStringList clock, QString tempOffset, QString humOffset, QStringList serial,
                      bool restart)
{
    TFrameSources s;
    s.hours = clock[0];
    s.minutes = clock[1];
    s.day = clock[2];
    s.month = clock[3];
    s.year = clock[4];
    s.periodHours = clock[5];
    s.periodMinutes = clock[6];
    s.tempOffset = tempOffset;
    s.humOffset = humOffset;
    for (int i = 0; i < 4; ++i)
        s.serial[i] = serial[i];
    s.restart = restart;
    return s;
}

TFrameSources InitialSources()
{
    return Sources({"11", "5", "9", "12", "2026", "0", "15"}, "0", "0", {"0", "0", "0", "0"},
                   false);
}

// A transfer whose bytes are collected; the writer can be told to fail.
struct Harness {
    FrameTransfer transfer;
    TFrameSources sources = InitialSources();
    Bytes written;
    int failOnWrite = -1; // index of the write that fails
    int writeAttempts = 0;

    Harness()
    {
        transfer.setSourcesReader([this] { return sources; });
        transfer.setByteWriter([this](const QByteArray& bytes) {
            if (writeAttempts++ == failOnWrite)
                throw EComPort(EComPort::WriteFailed, 5);
            QCOMPARE(bytes.size(), 1);
            written.append(quint8(bytes[0]));
        });
    }
    // The timer drives the ticks as the dialog does; errors go to the error box.
    void driveByTimer()
    {
        QObject::connect(transfer.timer(), &QTimer::timeout, &transfer,
                         [this] { Guarded([&] { transfer.tick(); }); });
    }
};

} // namespace

class FrameTransferTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void wholeFrame_data();
    void wholeFrame();
    void badSerialFieldFailsBeforeTheCommandLetter_data();
    void badSerialFieldFailsBeforeTheCommandLetter();
    void sourcesAreReadAtEveryTick();
    void fieldThatTurnsBadStopsTheTransferWhereItIs();
    void timerWritesSeventeenItemsThenStops();
    void writeFailureIsReportedOnceAndNothingMoreIsWritten();
    void startInTheMiddleBeginsAgainWithTheCommandLetter();
    void noWriterIsPortNotOpen();

private:
    ScriptedDialogs m_dialogs;
};

void FrameTransferTest::init()
{
    m_dialogs.clear();
    Services::setDialogs(&m_dialogs);
}

void FrameTransferTest::cleanup()
{
    Services::setDialogs(nullptr);
}

void FrameTransferTest::wholeFrame_data()
{
    QTest::addColumn<TFrameSources>("sources");
    QTest::addColumn<Bytes>("bytes");

    QTest::newRow("10:05 UTC on 9 December 2026, initial settings")
        << InitialSources() << Bytes{99, 11, 5, 9, 12, 234, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("23:30 UTC on 31 December: 0 h on 1 January 2027")
        << Sources({"0", "30", "1", "1", "2027", "1", "30"}, "0", "0", {"101", "102", "103", "104"},
                   false)
        << Bytes{99, 0, 30, 1, 1, 235, 1, 30, 0, 0, 0, 0, 101, 102, 103, 104, 0};
    QTest::newRow("offsets -1,5 and 2.5, start flag")
        << Sources({"11", "5", "9", "12", "2026", "0", "15"}, "-1,5", "2.5",
                   {"101", "102", "103", "104"}, true)
        << Bytes{99, 11, 5, 9, 12, 234, 0, 15, 241, 1, 25, 0, 101, 102, 103, 104, 1};
    QTest::newRow("offsets read leniently: 12 %, abc, -0,04, 1.25")
        << Sources({"11", "5", "9", "12", "2026", "0", "15"}, "12 %", "abc", {"0", "0", "0", "0"},
                   false)
        << Bytes{99, 11, 5, 9, 12, 234, 0, 15, 120, 0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("empty humidity offset (single-line cal.cfg) sends 0")
        << Sources({"11", "5", "9", "12", "2026", "0", "15"}, "-2", "",
                   {"101", "102", "103", "104"}, false)
        << Bytes{99, 11, 5, 9, 12, 234, 0, 15, 236, 1, 0, 0, 101, 102, 103, 104, 0};
    QTest::newRow("serial fields modulo 256: 300, 99, -1, leading spaces")
        << Sources({"11", "5", "9", "12", "2026", "255", "59"}, "-0,04", "1.25",
                   {"300", "99", "-1", "  7"}, false)
        << Bytes{99, 11, 5, 9, 12, 234, 255, 59, 0, 1, 12, 0, 44, 99, 255, 7, 0};
}

void FrameTransferTest::wholeFrame()
{
    QFETCH(TFrameSources, sources);
    QFETCH(Bytes, bytes);
    Harness h;
    h.sources = sources;
    h.transfer.start();
    for (int item = 0; item < 17; ++item)
        QCOMPARE(h.transfer.tick(), item);
    QCOMPARE(h.written, bytes);
    QVERIFY(!h.transfer.isRunning());
}

void FrameTransferTest::badSerialFieldFailsBeforeTheCommandLetter_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty field 1") << 0 << "";
    QTest::newRow("letters in field 2") << 1 << "abc";
    QTest::newRow("decimal in field 3") << 2 << "1.5";
    QTest::newRow("trailing space in field 4") << 3 << "104 ";
}

void FrameTransferTest::badSerialFieldFailsBeforeTheCommandLetter()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    Harness h;
    h.sources.serial[field] = text;
    h.transfer.start();
    try {
        h.transfer.tick();
        QFAIL("the tick did not fail");
    } catch (const EConvertError& e) {
        QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    QVERIFY(h.written.isEmpty());
    QCOMPARE(h.transfer.itemCounter(), 0);
    QVERIFY(!h.transfer.isRunning());
}

void FrameTransferTest::sourcesAreReadAtEveryTick()
{
    Harness h;
    h.transfer.start();
    for (int i = 0; i < 9; ++i)
        h.transfer.tick();       // items 0..8
    h.sources.tempOffset = "-1"; // item 9 (its sign) sees it, item 8 is gone already
    h.sources.humOffset = "0,5";
    h.sources.serial[3] = "200";
    h.sources.restart = true;
    while (h.transfer.isRunning())
        h.transfer.tick();
    QCOMPARE(h.written, (Bytes{99, 11, 5, 9, 12, 234, 0, 15, 0, 1, 5, 0, 0, 0, 0, 200, 1}));
}

void FrameTransferTest::fieldThatTurnsBadStopsTheTransferWhereItIs()
{
    Harness h;
    h.transfer.start();
    for (int i = 0; i < 6; ++i)
        h.transfer.tick();
    h.sources.serial[0] = "";
    QVERIFY_THROWS_EXCEPTION(EConvertError, h.transfer.tick());
    QCOMPARE(h.transfer.itemCounter(), 6);
    QVERIFY(!h.transfer.isRunning());
    QCOMPARE(h.written.size(), 6);

    // A new transfer starts from the command letter again.
    h.sources.serial[0] = "101";
    h.transfer.start();
    QCOMPARE(h.transfer.itemCounter(), 0);
    h.transfer.tick();
    QCOMPARE(h.written.last(), 99);
}

void FrameTransferTest::timerWritesSeventeenItemsThenStops()
{
    Harness h;
    h.driveByTimer();
    QTimer* timer = h.transfer.timer();
    QCOMPARE(timer->objectName(), QStringLiteral("SendTimer"));
    QCOMPARE(timer->interval(), 50);
    QVERIFY(!timer->isActive());

    h.transfer.start();
    QVERIFY(h.written.isEmpty()); // the first item goes out one tick later
    QTRY_VERIFY_WITH_TIMEOUT(!h.transfer.isRunning(), 10000);
    QCOMPARE(h.written.size(), 17);
    QTest::qWait(200);
    QCOMPARE(h.written.size(), 17);
    QVERIFY(m_dialogs.boxes.isEmpty());
}

void FrameTransferTest::writeFailureIsReportedOnceAndNothingMoreIsWritten()
{
    Harness h;
    h.failOnWrite = 3;
    h.driveByTimer();
    h.transfer.start();
    QTRY_VERIFY_WITH_TIMEOUT(!h.transfer.isRunning(), 10000);
    QTest::qWait(200);
    QCOMPARE(h.written.size(), 3);
    QCOMPARE(h.writeAttempts, 4);
    QCOMPARE(h.transfer.itemCounter(), 3);
    QCOMPARE(m_dialogs.texts(), QStringList{"WriteFile function failed (Error: 5)"});
}

void FrameTransferTest::startInTheMiddleBeginsAgainWithTheCommandLetter()
{
    Harness h;
    h.transfer.start();
    for (int i = 0; i < 5; ++i)
        h.transfer.tick();
    h.transfer.start();
    QVERIFY(h.transfer.isRunning());
    while (h.transfer.isRunning())
        h.transfer.tick();
    QCOMPARE(h.written.size(), 5 + 17);
    QCOMPARE(h.written.mid(0, 6), (Bytes{99, 11, 5, 9, 12, 99}));
}

void FrameTransferTest::noWriterIsPortNotOpen()
{
    FrameTransfer transfer;
    transfer.setSourcesReader([] { return InitialSources(); });
    transfer.start();
    try {
        transfer.tick();
        QFAIL("the tick did not fail");
    } catch (const EComPort& e) {
        QCOMPARE(e.message(), QStringLiteral("Port Not Open"));
    }
    QCOMPARE(transfer.itemCounter(), 0);
}

QTEST_GUILESS_MAIN(FrameTransferTest)
#include "tst_frame_transfer.moc"
