#include "common/fixed_record_file.h"
#include "common/text_file.h"
#include "crash/kill_loop_files.h"
#include "settings/calibration_file.h"
#include "support/test_files.h"
#include "users/audit_log.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>

// kill -9 during saves and appends: after every kill, each file is whole, of the version it had
// before or of one the killed program wrote, never a mixture or a part; quivel.c00.bak is there
// and holds the record file of an earlier save. 30 kills here; set QUIVEL_KILL_LOOPS for more
// (200 and beyond; QUIVEL_KILL_SEED replays a run).

namespace
{

// The versions of one run of save-loop start here; run k writes k * RunSpan onwards.
constexpr qint32 RunSpan = 100000;
constexpr int DefaultKills = 30;
// Kills land from just after start-up to a few saves later, however slow the disk: the
// delays go up to some times what one save of every file takes here, within these bounds.
constexpr int MinMaxDelayMs = 60;
constexpr int MaxMaxDelayMs = 500;

// What the folder held at the last check.
struct Versions {
    qint32 record = 0;
    qint32 backup = 0;
    qint32 calibration = 0;
    qint32 lastAudit = 0;
    qint64 auditRecords = 0;
};

struct Figures {
    int kills = 0;
    int filesChecked = 0;
    int temporariesFound = 0;
    // Kills after the .bak was made and before the record file's rename: both hold the same.
    int backupIsTheRecordFile = 0;
    QList<qint32> savesPerRun;
    // Where the kills fell, told by the versions left: before cal.cfg was saved, before the
    // audit entry was appended, or with all three at one version.
    int beforeCalibration = 0;
    int beforeAudit = 0;
    int allAtOneVersion = 0;
};

} // namespace

class KillLoopTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void everyFileIsWholeAfterEachKill();

private:
    void startAndKill(qint32 firstVersion, int delayMs);
    void runOnce(qint32 version);
    void checkFolder(qint32 firstVersion);
    void checkAuditFile(qint32 firstVersion);
    QStringList temporaries() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    Versions m_versions;
    Figures m_figures;
    QDateTime m_started;
};

void KillLoopTest::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    m_started = QDateTime::currentDateTime();
    // The audit file exists, as after a first sign-in, so save-loop opens it without asking.
    WriteAll(AuditFileName, {});
}

void KillLoopTest::everyFileIsWholeAfterEachKill()
{
    const int kills = qEnvironmentVariableIsSet("QUIVEL_KILL_LOOPS")
                          ? qEnvironmentVariableIntValue("QUIVEL_KILL_LOOPS")
                          : DefaultKills;
    const quint32 seed = qEnvironmentVariableIsSet("QUIVEL_KILL_SEED")
                             ? quint32(qEnvironmentVariableIntValue("QUIVEL_KILL_SEED"))
                             : QRandomGenerator::system()->generate();
    QRandomGenerator random(seed);
    qInfo("%d kills, seed %u (QUIVEL_KILL_SEED replays it)", kills, seed);

    // Two saves first: the second keeps the first as quivel.c00.bak, which from then on must
    // never be missing.
    runOnce(0);
    QElapsedTimer secondSave;
    secondSave.start();
    runOnce(1);
    const int maxDelayMs = qBound(MinMaxDelayMs, 3 * int(secondSave.elapsed()), MaxMaxDelayMs);
    QCOMPARE(ReadAll(KillLoop::BackupFileName), KillLoop::RecordFileBytes(0));
    m_versions = Versions{1, 0, 1, 1, 2};
    for (int run = 1; run <= kills; ++run) {
        startAndKill(run * RunSpan, random.bounded(maxDelayMs + 1));
        if (QTest::currentTestFailed())
            return;
        checkFolder(run * RunSpan);
        if (QTest::currentTestFailed())
            return;
    }
    // The next save of each name removes what the killed ones left.
    const qint32 last = (kills + 1) * RunSpan;
    runOnce(last);
    QCOMPARE(temporaries(), QStringList());
    QCOMPARE(ReadAll(RecordFileName), KillLoop::RecordFileBytes(last));
    QCOMPARE(ReadAll(KillLoop::BackupFileName), KillLoop::RecordFileBytes(m_versions.record));
    QCOMPARE(ReadAll(CalibrationFileName), KillLoop::CalibrationFileBytes(last));

    std::sort(m_figures.savesPerRun.begin(), m_figures.savesPerRun.end());
    qInfo("%d kills (delays up to %d ms), %d files checked, all whole; %d temporary files of "
          "interrupted saves found and removed by the next save; %lld audit records; versions "
          "saved per run: median %d, max %d; kills before cal.cfg was saved %d, before the audit "
          "append %d, with all files at one version %d; between the .bak and the record file's "
          "rename %d",
          m_figures.kills, maxDelayMs, m_figures.filesChecked, m_figures.temporariesFound,
          m_versions.auditRecords, m_figures.savesPerRun.value(m_figures.savesPerRun.size() / 2),
          m_figures.savesPerRun.value(m_figures.savesPerRun.size() - 1),
          m_figures.beforeCalibration, m_figures.beforeAudit, m_figures.allAtOneVersion,
          m_figures.backupIsTheRecordFile);
}

void KillLoopTest::startAndKill(qint32 firstVersion, int delayMs)
{
    QProcess saver;
    saver.start(QStringLiteral(QUIVEL_SAVE_LOOP), {m_dir->path(), QString::number(firstVersion)});
    QVERIFY2(saver.waitForReadyRead(10000), qPrintable(saver.readAllStandardError()));
    QCOMPARE(saver.readAllStandardOutput(), QByteArray(KillLoop::ReadyLine));
    QThread::msleep(delayMs);
    saver.kill(); // SIGKILL
    QVERIFY(saver.waitForFinished(10000));
    QVERIFY2(saver.exitStatus() == QProcess::CrashExit, qPrintable(saver.readAllStandardError()));
    ++m_figures.kills;
}

void KillLoopTest::runOnce(qint32 version)
{
    QProcess saver;
    saver.start(QStringLiteral(QUIVEL_SAVE_LOOP),
                {m_dir->path(), QString::number(version), QStringLiteral("--once")});
    QVERIFY(saver.waitForFinished(10000));
    QVERIFY2(saver.exitStatus() == QProcess::NormalExit && saver.exitCode() == 0,
             qPrintable(saver.readAllStandardError()));
}

// Each run keeps the record file as the .bak, saves the record file, cal.cfg, then appends, at
// one version after the other: a kill leaves each file at the version of the file saved before
// it, or one behind.
void KillLoopTest::checkFolder(qint32 firstVersion)
{
    const auto record = KillLoop::RecordFileVersion(ReadAll(RecordFileName));
    const auto backup = KillLoop::RecordFileVersion(ReadAll(KillLoop::BackupFileName));
    const auto calibration = KillLoop::CalibrationFileVersion(ReadAll(CalibrationFileName));
    m_figures.filesChecked += 3;
    QVERIFY2(record, "quivel.c00 is not whole");
    QVERIFY2(QFileInfo::exists(KillLoop::BackupFileName), "quivel.c00.bak is missing");
    QVERIFY2(backup, "quivel.c00.bak is not whole");
    QVERIFY2(calibration, "cal.cfg is not whole");
    // The version saved before v: v - 1 within the run, else what the folder held before.
    const auto before = [&](qint32 v, qint32 earlier) {
        return v > firstVersion ? v - 1 : earlier;
    };
    const bool recordNew = *record >= firstVersion;
    QVERIFY(recordNew || *record == m_versions.record);
    // The record file before its last save; or, killed before the first .bak of this run was
    // made, the .bak as it was.
    QVERIFY2(*backup == *record || *backup == before(*record, m_versions.record) ||
                 (!recordNew && *backup == m_versions.backup),
             qPrintable(QStringLiteral("quivel.c00.bak %1, quivel.c00 %2, before the run %3 and %4")
                            .arg(*backup)
                            .arg(*record)
                            .arg(m_versions.backup)
                            .arg(m_versions.record)));
    QVERIFY(*calibration == *record || *calibration == before(*record, m_versions.calibration));
    const qint32 auditBefore = m_versions.lastAudit;
    checkAuditFile(firstVersion);
    if (QTest::currentTestFailed())
        return;
    const qint32 audit = m_versions.lastAudit;
    QVERIFY(audit == *calibration || audit == before(*calibration, auditBefore));

    const QStringList left = temporaries();
    m_figures.temporariesFound += int(left.size());
    // Earlier leftovers went at the next save of their name: at most the one of this kill.
    for (const QString& name : {RecordFileName, KillLoop::BackupFileName, CalibrationFileName}) {
        const auto ofName = [&](const QString& entry) {
            return entry.startsWith(name + QStringLiteral(".tmp-"));
        };
        QVERIFY2(std::count_if(left.begin(), left.end(), ofName) <= 1, qPrintable(left.join(' ')));
    }
    m_figures.savesPerRun.append(recordNew ? *record - firstVersion + 1 : 0);
    if (*calibration != *record)
        ++m_figures.beforeCalibration;
    else if (audit != *calibration)
        ++m_figures.beforeAudit;
    else
        ++m_figures.allAtOneVersion;
    if (*backup == *record)
        ++m_figures.backupIsTheRecordFile;
    m_versions.record = *record;
    m_versions.backup = *backup;
    m_versions.calibration = *calibration;
}

// A whole number of records, each as AppendAuditEntry wrote it, versions in order: the
// records of earlier checks, then those of this run.
void KillLoopTest::checkAuditFile(qint32 firstVersion)
{
    const QByteArray bytes = ReadAll(AuditFileName);
    ++m_figures.filesChecked;
    QCOMPARE(bytes.size() % AuditRecord::Size, 0);
    const qint64 count = bytes.size() / AuditRecord::Size;
    QVERIFY(count >= m_versions.auditRecords);
    qint32 previous = -1;
    for (qint64 n = 0; n < count; ++n) {
        const QByteArray raw = bytes.mid(n * AuditRecord::Size, AuditRecord::Size);
        const AuditRecord record = AuditRecord::fromBytes(raw);
        QCOMPARE(record.toBytes(), raw);
        QCOMPARE(record.userId, KillLoop::UserId);
        QCOMPARE(record.action, KillLoop::Action.toLatin1());
        const QDateTime at = FromDelphiDateTime(record.time);
        QVERIFY(at >= m_started.addSecs(-60) && at <= QDateTime::currentDateTime().addSecs(60));
        QVERIFY(record.details.startsWith(KillLoop::DetailsPrefix.toLatin1()));
        bool ok = false;
        const qint32 version = record.details.mid(KillLoop::DetailsPrefix.size()).toInt(&ok);
        QVERIFY(ok);
        // One after the other within a run; a new run starts at its own first version.
        QVERIFY2(version == previous + 1 || version % RunSpan == 0, record.details.constData());
        QVERIFY(version > previous);
        QVERIFY(n < m_versions.auditRecords || version >= firstVersion);
        previous = version;
    }
    m_versions.auditRecords = count;
    m_versions.lastAudit = previous;
}

QStringList KillLoopTest::temporaries() const
{
    return QDir::current().entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden);
}

QTEST_GUILESS_MAIN(KillLoopTest)
#include "tst_kill_loop.moc"
