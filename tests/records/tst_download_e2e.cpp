// The download end to end: the real port on a pseudo-terminal, the simulated logger in its
// paced mode (one value per packet), the dialog as the shell wires it.
#include "download_fixture.h"
#include "support/logger_sim_process.h"

#include <QTest>

namespace
{
// Another listener on the same port, as the connection dialog's: counts what the link
// delivers.
class PacketCounter : public QObject
{
public:
    explicit PacketCounter(TComPort* port)
    {
        listener.setComPort(port);
        connect(&listener, &TComDataPacket::OnPacket, this,
                [this](const QByteArray& packet) { packets << packet; });
    }
    TComDataPacket listener;
    QList<QByteArray> packets;
};

QList<QByteArray> Lines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
} // namespace

class DownloadEndToEndTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void threeRecordsFromTheLogger();
    void secondDownloadStartsFromTheFieldsLastValue();
    void malformedValueAbandonsAndTheLinkGoesOn();
};

void DownloadEndToEndTest::threeRecordsFromTheLogger()
{
    LoggerSimProcess sim({"--paced"});
    QVERIFY(sim.start());
    DownloadFixture f;
    // Attached before the dialog's listener, as the connection dialog's is.
    PacketCounter other(&f.port);
    QVERIFY(f.openAndShow(sim.portPath()));

    f.startDownload("2");
    QCOMPARE(f.Edit1()->text(), QStringLiteral("3"));
    QTRY_VERIFY_WITH_TIMEOUT(!f.form.isVisible(), 20000);
    QCOMPARE(f.form.result(), int(QDialog::Accepted));
    QCOMPARE(f.form.download().receivedCount(), 21);
    const QByteArray written = f.recordFile();
    const QList<QByteArray> lines = Lines(written);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(written.endsWith("\r\n") && written.count("\r\n") == 3, written.constData());
    QVERIFY2(lines[0].startsWith("1/12;8:0;"), lines[0].constData());
    QVERIFY2(lines[1].startsWith("1/12;8:15;"), lines[1].constData());
    // The last record's last three values are not awaited; this buffer had zeros there.
    QVERIFY2(lines[2].startsWith("1/12;8:30;") && lines[2].endsWith(".0;0.0\r"),
             lines[2].constData());

    // The logger sends all 24 values it was asked for; the three late ones change nothing.
    QTRY_COMPARE_WITH_TIMEOUT(other.packets.size(), 24, 10000);
    QTest::qWait(200);
    QCOMPARE(f.recordFile(), written);
    QCOMPARE(f.form.download().receivedCount(), 21);
    QCOMPARE(f.dialogs.texts(), QStringList());
}

void DownloadEndToEndTest::secondDownloadStartsFromTheFieldsLastValue()
{
    LoggerSimProcess sim({"--paced"});
    QVERIFY(sim.start());
    DownloadFixture f;
    PacketCounter other(&f.port);
    QVERIFY(f.openAndShow(sim.portPath()));
    f.startDownload("1");
    QTRY_VERIFY_WITH_TIMEOUT(!f.form.isVisible(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(other.packets.size(), 16, 10000);
    QCOMPARE(Lines(f.recordFile()).size(), 2);

    // The field shows 2: pressing again asks for 3 records, r24.
    f.form.show();
    QCOMPARE(f.Edit1()->text(), QStringLiteral("2"));
    f.BitBtn1()->click();
    QCOMPARE(f.Edit1()->text(), QStringLiteral("3"));
    QTRY_VERIFY_WITH_TIMEOUT(!f.form.isVisible(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(other.packets.size(), 16 + 24, 10000);
    const QList<QByteArray> lines = Lines(f.recordFile());
    QCOMPARE(lines.size(), 3);
    // The logger starts each download from its first record.
    QVERIFY2(lines[0].startsWith("1/12;8:0;"), lines[0].constData());
    QVERIFY2(lines[2].startsWith("1/12;8:30;"), lines[2].constData());
    QCOMPARE(f.dialogs.texts(), QStringList());
}

void DownloadEndToEndTest::malformedValueAbandonsAndTheLinkGoesOn()
{
    LoggerSimProcess sim({"--paced", "--malformed-value", "5"});
    QVERIFY(sim.start());
    DownloadFixture f;
    PacketCounter other(&f.port);
    const QByteArray earlier("1/1;0:0;20.0;50.0\r\n1/1;0:15;20.1;50.1\r\n");
    f.writeRecordFile(earlier);
    QVERIFY(f.openAndShow(sim.portPath()));

    f.startDownload("2");
    QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.boxes.size(), 1, 20000);
    const ShownBox box = f.dialogs.boxes.first();
    QCOMPARE(box.kind, MsgKind::Error);
    QVERIFY2(box.text.startsWith(QStringLiteral("Valeur n° 6 illisible : « ")) &&
                 box.text.contains(QStringLiteral("\\r\\n »")),
             qPrintable(box.text));
    QVERIFY(!f.form.download().running());
    QCOMPARE(f.form.download().receivedCount(), 5);

    // The rest of the stream still reaches the other listener; nothing is written.
    QTRY_COMPARE_WITH_TIMEOUT(other.packets.size(), 24, 10000);
    QCOMPARE(f.recordFile(), earlier);
    QVERIFY(f.form.isVisible());
    f.BitBtn2()->click();
    QVERIFY(!f.form.isVisible());
    QCOMPARE(f.dialogs.boxes.size(), 1);
}

QTEST_MAIN(DownloadEndToEndTest)
#include "tst_download_e2e.moc"
