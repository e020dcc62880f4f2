// The configuration frame end to end: the dialog writes through the real serial link to the
// simulated logger on a pseudo-terminal, which logs every frame it receives.
#include "common/windows1252.h"
#include "device/com_port.h"
#include "settings/serial_number_form.h"
#include "settings/time_config_form.h"
#include "support/logger_sim_process.h"
#include "support/scripted_services.h"
#include "users/audit_log.h"

#include <QCheckBox>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace
{

using Bytes = QList<int>;

const QString Question =
    QStringLiteral("Etes vous sure de vouloire modifier les paramètres du DATALOGGER ");
const QString CompletionText = QStringLiteral(" configurations Términer avec succee");

QList<int> Numbers(const QString& commaSeparated)
{
    QList<int> numbers;
    for (const QString& part : commaSeparated.split(QLatin1Char(','), Qt::SkipEmptyParts))
        numbers.append(part.toInt());
    return numbers;
}

} // namespace

class ConfigurationTransferTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void frameReachesTheLoggerOneByteEvery50Ms();
    void modalShowingEndsAndTheTransferGoesOn();
    void secondEnregistrerRestartsWithTheCommandLetter();

private:
    // The dialog wired as the shell wires it, on an open port to the simulator.
    struct Fixture {
        LoggerSimProcess sim;
        TComPort port;
        Tserialnumber serial;
        Ttimeconfigform form;
        TCalibrationOffsets offsets{"-1,5", "2.5"};

        bool start()
        {
            if (!sim.start())
                return false;
            port.setPort(sim.portPath());
            port.OpenPort();
            serial.setFields({"101", "102", "103", "104"});
            form.setComPort(&port);
            form.setOffsetsSource([this] { return offsets; });
            form.setSerialNumberSource([this] { return serial.SerialNumber(); });
            return true;
        }
        void enregistrer() { form.findChild<QPushButton*>("BitBtn1")->click(); }
        int progress() { return form.findChild<QProgressBar*>("ProgressBar1")->value(); }
    };

    int completions() const { return int(m_dialogs.texts().count(CompletionText)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
    FixedClock m_clock;
};

void ConfigurationTransferTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    m_dialogs.onBox = nullptr;
    m_clock = FixedClock();
    Services::setDialogs(&m_dialogs);
    Services::setClock(&m_clock);
    SetCurrentUserId(1);
    OpenAuditLog();
    m_dialogs.clear();
}

void ConfigurationTransferTest::cleanup()
{
    ResetAuditLog();
    Services::setDialogs(nullptr);
    Services::setClock(nullptr);
    QDir::setCurrent(QDir::tempPath());
    m_dir.reset();
}

void ConfigurationTransferTest::frameReachesTheLoggerOneByteEvery50Ms()
{
    Fixture f;
    QVERIFY2(f.start(), qPrintable(f.sim.startError()));
    f.form.showModeless(); // 10:05 UTC on 9 December 2026
    f.form.findChild<QCheckBox*>("CheckBox1")->click();
    m_dialogs.clear();

    f.enregistrer();
    QTRY_COMPARE_WITH_TIMEOUT(completions(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(f.sim.frameLogLines().size(), 1, 5000);

    const QString line = f.sim.frameLogLines().at(0);
    const QMap<QString, QString> fields = LoggerSimProcess::frameFields(line);
    QVERIFY2(!line.startsWith("partial"), qPrintable(line));
    QCOMPARE(Numbers(fields["bytes"]),
             (Bytes{99, 11, 5, 9, 12, 234, 0, 15, 241, 1, 25, 0, 101, 102, 103, 104, 1}));
    QCOMPARE(fields["serial"], QStringLiteral("101/102/103/104"));
    QCOMPARE(fields["restart"], QStringLiteral("1"));

    // About 50 ms apart: the items follow the 50 ms ticks, none sent in a burst.
    const QList<int> ms = Numbers(fields["ms"]);
    QCOMPARE(ms.size(), 17);
    QList<int> gaps;
    for (int i = 1; i < ms.size(); ++i)
        gaps.append(ms[i] - ms[i - 1]);
    QList<int> sorted = gaps;
    std::sort(sorted.begin(), sorted.end());
    const int median = sorted[sorted.size() / 2];
    QVERIFY2(median >= 40 && median <= 150, qPrintable(line));
    QVERIFY2(ms.last() >= 16 * 50 - 100, qPrintable(line));

    // Once the last byte is out: one message, the bar full, nothing more on the line.
    QCOMPARE(m_dialogs.texts(), (QStringList{Question, CompletionText}));
    QCOMPARE(m_dialogs.boxes.last().kind, MsgKind::Plain);
    QCOMPARE(m_dialogs.boxes.last().title, QStringLiteral("QUIVEL CONFIG"));
    QCOMPARE(f.progress(), 12);
    QVERIFY(!f.form.TransferRunning());
    QVERIFY(f.form.isVisible());

    // The audit entry states what the logger received, the start from zero first of all.
    const QList<AuditRecord> entries = ReadAuditEntries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(DecodeWindows1252(entries[0].details),
             QStringLiteral("periode H0perdiod min15 départ:ZÉRO, mémoire du datalogger effacée "
                            "horloge 09/12/2026 11:05 offset t-1.5 offset h2.5 sn "
                            "101/102/103/104"));
}

void ConfigurationTransferTest::modalShowingEndsAndTheTransferGoesOn()
{
    Fixture f;
    QVERIFY2(f.start(), qPrintable(f.sim.startError()));
    m_clock.utc = QDateTime(QDate(2026, 12, 31), QTime(23, 30), Qt::UTC);
    f.offsets = {"0", "0"};

    QTimer::singleShot(0, &f.form, [&] { f.enregistrer(); });
    f.form.showModal();
    QVERIFY(!f.form.isVisible());
    QVERIFY(f.form.TransferRunning());

    // A change made after the dialog closed is used by the items written after it.
    f.serial.setFields({"200", "201", "202", "203"});
    QTRY_COMPARE_WITH_TIMEOUT(completions(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(f.sim.frameLogLines().size(), 1, 5000);
    const QMap<QString, QString> fields =
        LoggerSimProcess::frameFields(f.sim.frameLogLines().at(0));
    QCOMPARE(Numbers(fields["bytes"]),
             (Bytes{99, 0, 30, 1, 1, 235, 0, 15, 0, 0, 0, 0, 200, 201, 202, 203, 0}));
    QCOMPARE(ReadAuditEntries().size(), 1);
}

void ConfigurationTransferTest::secondEnregistrerRestartsWithTheCommandLetter()
{
    Fixture f;
    QVERIFY2(f.start(), qPrintable(f.sim.startError()));
    f.offsets = {"0", "0"};
    f.form.showModeless();
    f.enregistrer();
    // Ticks run on this thread: between two of them nothing else is written.
    QTRY_VERIFY_WITH_TIMEOUT(f.progress() >= 5, 10000);
    const int sentBefore = f.progress();
    f.enregistrer();
    QTRY_COMPARE_WITH_TIMEOUT(completions(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(f.sim.frameLogLines().size(), 1, 5000);

    // The logger takes the 16 bytes after the first "c" as its frame: the second "c" is
    // among them, followed by the restarted frame.
    const Bytes frame{99, 11, 5, 9, 12, 234, 0, 15, 0, 0, 0, 0, 101, 102, 103, 104, 0};
    const Bytes expected = frame.mid(0, sentBefore) + frame.mid(0, 17 - sentBefore);
    const QMap<QString, QString> fields =
        LoggerSimProcess::frameFields(f.sim.frameLogLines().at(0));
    QCOMPARE(Numbers(fields["bytes"]), expected);
    QCOMPARE(ReadAuditEntries().size(), 2);
    QCOMPARE(m_dialogs.texts().count(CompletionText), 1);
}

QTEST_MAIN(ConfigurationTransferTest)
#include "tst_configuration_transfer.moc"
