// The download end to end: the real port on a pseudo-terminal, the simulated logger at the
// line's pace, the dialog as the shell wires it; then the same download under each fault the
// logger-sim can make, with what the user is told and what the record file holds.
#include "download_fixture.h"
#include "support/logger_sim_process.h"
#include "support/test_files.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <functional>

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
    for (QByteArray& line : lines)
        line.chop(1); // CR
    return lines;
}

// Waits in a running event loop: the line's packets come as fast as in the program, where a
// test's qWait would take them one per 10 ms sleep.
bool RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done() || waited.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(10);
    loop.exec();
    return done();
}

const QStringList LineRate{"--paced", "--baud", "57600"};
const QByteArray Earlier("1/1;0:0;20.0;50.0\r\n1/1;0:15;20.1;50.1\r\n");

// A download of `typed` records from a simulator started with those options, until the dialog
// closes or shows what went wrong.
struct Download {
    explicit Download(const QStringList& options) : sim(LineRate + options) {}
    bool run(const QString& typed)
    {
        if (!sim.start())
            return false;
        f.writeRecordFile(Earlier);
        if (!f.openAndShow(sim.portPath()))
            return false;
        f.startDownload(typed);
        return QTest::qWaitFor([&] { return !f.form.isVisible() || problemShown(); }, 20000);
    }
    bool problemShown() { return f.control<QLabel>("ProblemLabel")->isVisible(); }
    QString problem() { return f.control<QLabel>("ProblemLabel")->text(); }

    LoggerSimProcess sim;
    DownloadFixture f;
};

} // namespace

class DownloadEndToEndTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanDownloadFromTheLogger();
    void secondDownloadStartsFromTheFieldsLastValue();
    void faults_data();
    void faults();
    void silentLoggerStallsAndCanBeLeft();
    void leftLongDownloadDoesNotEnterTheNextOne();

private:
    // The records a clean download of 6 records writes: what every written file must match.
    QList<QByteArray> m_reference;
};

void DownloadEndToEndTest::initTestCase()
{
    Download d({});
    QVERIFY(d.run("6"));
    QVERIFY(!d.f.form.isVisible());
    m_reference = Lines(d.f.recordFile());
    QCOMPARE(m_reference.size(), 6);
}

void DownloadEndToEndTest::cleanDownloadFromTheLogger()
{
    Download d({});
    // Attached before the dialog's listener, as the connection dialog's is.
    PacketCounter other(&d.f.port);
    QVERIFY(d.run("2"));
    QCOMPARE(d.f.Edit1()->text(), QStringLiteral("3"));
    QCOMPARE(d.f.form.result(), int(QDialog::Accepted));
    QCOMPARE(d.f.form.download().receivedCount(), 24);
    const QByteArray written = d.f.recordFile();
    QVERIFY2(written.endsWith("\r\n") && written.count("\r\n") == 2, written.constData());
    QCOMPARE(Lines(written), m_reference.mid(0, 2));
    QVERIFY2(m_reference[0].startsWith("1/12;8:0;"), m_reference[0].constData());
    QVERIFY2(m_reference[1].startsWith("1/12;8:15;"), m_reference[1].constData());
    // The earlier file is kept, one generation.
    QCOMPARE(ReadAll(RecordFileName + ".bak"), Earlier);

    // Every value the logger sent was part of the download, the extra record's too.
    QCOMPARE(other.packets.size(), 24);
    QCOMPARE(d.f.dialogs.texts(), QStringList());
}

void DownloadEndToEndTest::secondDownloadStartsFromTheFieldsLastValue()
{
    Download d({});
    QVERIFY(d.run("1"));
    QCOMPARE(Lines(d.f.recordFile()), m_reference.mid(0, 1));

    // The field shows 2: pressing again asks for 3 records, r24, and writes two.
    d.f.form.show();
    QCOMPARE(d.f.Edit1()->text(), QStringLiteral("2"));
    d.f.BitBtn1()->click();
    QCOMPARE(d.f.Edit1()->text(), QStringLiteral("3"));
    QTRY_VERIFY2_WITH_TIMEOUT(!d.f.form.isVisible(), qPrintable(d.problem()), 20000);
    // The logger starts each download from its first record.
    QCOMPARE(Lines(d.f.recordFile()), m_reference.mid(0, 2));
    QCOMPARE(d.f.dialogs.texts(), QStringList());
}

void DownloadEndToEndTest::faults_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("told"); // in the problem text; empty for a clean download
    QTest::addColumn<QString>("firstWrong");

    // 6 records asked: 7 requested, 56 values. Value k joined with k + 1, or sent in two.
    const QString shifted = QStringLiteral("Les valeurs sont décalées");
    QTest::newRow("join at the first value")
        << QStringList{"--join-values", "0"} << shifted << "n° 1";
    QTest::newRow("join in the middle") << QStringList{"--join-values", "20"} << shifted << "n° 3";
    QTest::newRow("join at the last written value")
        << QStringList{"--join-values", "47"} << shifted << "n° 6";
    QTest::newRow("split of the last written humidity")
        << QStringList{"--split-value", "46"} << "1 valeur(s) de trop"
        << "n° 6";
    QTest::newRow("split of the first temperature")
        << QStringList{"--split-value", "4"} << "1 valeur(s) de trop"
        << "n° 1";
    // The extra record is checked too: told, with the records wanted said whole.
    QTest::newRow("join in the record not written")
        << QStringList{"--join-values", "50"}
        << "Les 6 enregistrements demandés sont arrivés entiers" << QString();
    QTest::newRow("malformed value")
        << QStringList{"--malformed-value", "9"} << "la première est la valeur n° 10" << QString();
    QTest::newRow("hang-up") << QStringList{"--hangup-after", "20"}
                             << "Le datalogger ne répond plus" << QString();
    QTest::newRow("memory of fewer records")
        << QStringList{"--memory", "4"}
        << "Le datalogger n'a envoyé que 4 enregistrement(s) sur les 6 demandés" << QString();
    QTest::newRow("g during the download")
        << QStringList{"--send-g-after-ms", "150", "--gap-ms", "5"} << QString() << QString();
    // A logger that holds exactly the records asked for sends no extra one.
    QTest::newRow("memory of exactly the records asked")
        << QStringList{"--memory", "6"} << QString() << QString();
}

void DownloadEndToEndTest::faults()
{
    QFETCH(QStringList, options);
    QFETCH(QString, told);
    QFETCH(QString, firstWrong);
    Download d(options);
    QVERIFY2(d.run("6"), qPrintable(d.sim.errorOutput()));
    if (told.isEmpty()) {
        QVERIFY2(!d.f.form.isVisible(), qPrintable(d.problem()));
        QCOMPARE(Lines(d.f.recordFile()), m_reference);
        return;
    }
    // Told, and nothing written: never a silently shifted record.
    QVERIFY(d.problemShown());
    QVERIFY2(d.problem().contains(told), qPrintable(d.problem()));
    if (!firstWrong.isEmpty())
        QVERIFY2(d.problem().contains(QStringLiteral("à partir de l'enregistrement ") + firstWrong),
                 qPrintable(d.problem()));
    QVERIFY(d.problem().contains(QStringLiteral("n'a pas été modifié")));
    QCOMPARE(d.f.recordFile(), Earlier);
    d.f.BitBtn2()->click();
    QCOMPARE(d.f.recordFile(), Earlier);
    QVERIFY(!QFile::exists(RecordFileName + ".bak"));
}

void DownloadEndToEndTest::silentLoggerStallsAndCanBeLeft()
{
    Download d({"--silent"});
    QVERIFY(d.run("6"));
    QVERIFY(d.problemShown());
    QVERIFY2(d.problem().startsWith(QStringLiteral("Aucune valeur n'arrive depuis 5 secondes.")),
             qPrintable(d.problem()));
    QVERIFY(d.problem().contains(QStringLiteral("0 valeurs reçues sur 56")));
    QVERIFY(!d.f.control<QPushButton>("SaveAnywayButton")->isVisible());
    d.f.BitBtn2()->click();
    QVERIFY(!d.f.form.isVisible());
    QCOMPARE(d.f.recordFile(), Earlier);
}

void DownloadEndToEndTest::leftLongDownloadDoesNotEnterTheNextOne()
{
    // 2 000 records asked, the dialog left after a few hundred values: the logger goes on
    // sending them. A download of 6 asked at once waits for the end and gets its own.
    Download d({});
    QVERIFY(d.sim.start());
    QVERIFY(d.f.openAndShow(d.sim.portPath()));
    d.f.startDownload("1999");
    QVERIFY(RunUntil([&] { return d.f.form.download().receivedCount() > 300; }, 10000));
    d.f.BitBtn2()->click();
    d.f.form.show();
    d.f.startDownload("5");
    QVERIFY(d.f.form.requestWaiting());
    QVERIFY2(RunUntil([&] { return !d.f.form.isVisible(); }, 30000),
             qPrintable(d.problem() + d.f.control<QLabel>("ValuesLabel")->text()));
    QCOMPARE(Lines(d.f.recordFile()), m_reference.mid(0, 5));
    QCOMPARE(d.f.dialogs.texts(), QStringList());
}

QTEST_MAIN(DownloadEndToEndTest)
#include "tst_download_e2e.moc"
