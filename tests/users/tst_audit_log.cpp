#include "common/error_handler.h"
#include "common/errors.h"
#include "support/scripted_services.h"
#include "support/test_files.h"
#include "users/audit_log.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

// A record laid out byte by byte, independently of the writer under test.
QByteArray HandMadeRecord(const QByteArray& userIdLe, const QByteArray& action,
                          const QByteArray& timeLe, const QByteArray& details)
{
    QByteArray bytes(376, '\0');
    bytes.replace(0, 4, userIdLe);
    bytes[4] = char(action.size());
    bytes.replace(5, action.size(), action);
    bytes.replace(112, 8, timeLe);
    bytes[120] = char(details.size());
    bytes.replace(121, details.size(), details);
    return bytes;
}

// 9 December 2026 11:05:00 local time, the fixed clock's default.
const QByteArray FixedClockTimeLe = QByteArray::fromHex("c7711cc7aea3e640");

// Runs an audited action as a handler does: the append first, then the action's own work.
struct AuditedAction {
    bool workDone = false;
    bool run(const QString& action, const QString& details)
    {
        return Guarded([&] {
            AppendAuditEntry(action, details);
            workDone = true;
        });
    }
};
} // namespace

class AuditLogTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void recordBytes_data();
    void recordBytes();
    void appendedRecordMatchesTheFixture();
    void detailsAreCutAt250();
    void actionTexts_data();
    void actionTexts();
    void delphiTime_data();
    void delphiTime();
    void timeStampIsLocalWallClock();

    void firstOpenCreatesTheFileAndSaysSo();
    void appendsGoToTheEndAndSurviveAReopen();
    void appendWithoutAnOpenFileRaises103();
    void unopenableFileStopsTheCaller_data();
    void unopenableFileStopsTheCaller();
    void fullDiskStopsTheCaller();
    void failedWriteLosesNoEarlierRecord();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
    FixedClock m_clock;
};

void AuditLogTest::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    m_dialogs.clear();
    m_clock = FixedClock();
    Services::setDialogs(&m_dialogs);
    Services::setClock(&m_clock);
    SetCurrentUserId(0);
}

void AuditLogTest::cleanup()
{
    ResetAuditLog();
    Services::setDialogs(nullptr);
    Services::setClock(nullptr);
    QDir::setCurrent(QDir::tempPath());
    m_dir.reset();
}

void AuditLogTest::recordBytes_data()
{
    QTest::addColumn<AuditRecord>("record");
    QTest::addColumn<QByteArray>("bytes");

    AuditRecord pdfSave{7, "PDF Save ", 46365.461805555555, "PDF Save"};
    QTest::newRow("PDF Save") << pdfSave
                              << HandMadeRecord(QByteArray::fromHex("07000000"), "PDF Save ",
                                                FixedClockTimeLe, "PDF Save");
    AuditRecord addUser{-2, "Add new user ", 0.25, ""};
    QTest::newRow("add new user, negative id, 30.12.1899 06:00")
        << addUser
        << HandMadeRecord(QByteArray::fromHex("feffffff"), "Add new user ",
                          QByteArray::fromHex("000000000000d03f"), "");
    AuditRecord accents{0x01020304, "alarm modfication ", 1.5, "TL\xe9\x80"};
    QTest::newRow("little-endian id, 8-bit details")
        << accents
        << HandMadeRecord(QByteArray::fromHex("04030201"), "alarm modfication ",
                          QByteArray::fromHex("000000000000f83f"), "TL\xe9\x80");
}

void AuditLogTest::recordBytes()
{
    QFETCH(AuditRecord, record);
    QFETCH(QByteArray, bytes);
    QCOMPARE(record.toBytes().toHex(), bytes.toHex());
    const AuditRecord back = AuditRecord::fromBytes(bytes);
    QCOMPARE(back.userId, record.userId);
    QCOMPARE(back.action, record.action);
    QCOMPARE(back.time, record.time);
    QCOMPARE(back.details, record.details);
}

void AuditLogTest::appendedRecordMatchesTheFixture()
{
    OpenAuditLog();
    SetCurrentUserId(7);
    AppendAuditEntry(AuditAction::PdfSave, AuditDetails::PdfSave);
    SetCurrentUserId(3);
    AppendAuditEntry(AuditAction::AddNewUser, AuditDetails::AddNewUser);

    const QByteArray file = ReadAll(AuditFileName);
    QCOMPARE(file.size(), 752);
    QCOMPARE(file.left(376).toHex(), HandMadeRecord(QByteArray::fromHex("07000000"), "PDF Save ",
                                                    FixedClockTimeLe, "PDF Save")
                                         .toHex());
    QCOMPARE(quint8(file.at(4)), quint8(9));
    QCOMPARE(file.mid(5, 9), QByteArray("PDF Save "));
    // The add new user record: empty details, zero bytes from offset 120 to the end.
    const QByteArray second = file.mid(376);
    QCOMPARE(second.left(4), QByteArray::fromHex("03000000"));
    QCOMPARE(second.mid(120), QByteArray(256, '\0'));
}

void AuditLogTest::detailsAreCutAt250()
{
    OpenAuditLog();
    const QString longThreshold(300, QLatin1Char('9'));
    AppendAuditEntry(AuditAction::AlarmModification,
                     AuditDetails::Alarm(longThreshold, QStringLiteral("20"), QStringLiteral("85"),
                                         QStringLiteral("60")));
    const QByteArray file = ReadAll(AuditFileName);
    QCOMPARE(file.size(), 376);
    QCOMPARE(quint8(file.at(120)), quint8(250));
    QCOMPARE(file.mid(121, 250), "TL" + QByteArray(248, '9'));
    QCOMPARE(file.mid(371), QByteArray(5, '\0'));
    QCOMPARE(ReadAuditEntries().constFirst().details, "TL" + QByteArray(248, '9'));
}

void AuditLogTest::actionTexts_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("details");
    QTest::addColumn<QString>("expectedAction");
    QTest::addColumn<QString>("expectedDetails");

    const auto s = [](const char* text) { return QString::fromLatin1(text); };
    QTest::newRow("alarm") << AuditAction::AlarmModification
                           << AuditDetails::Alarm(s("30"), s("20"), s("85"), s("60"))
                           << s("alarm modfication ") << s("TL30TL20 HH85 HL60");
    QTest::newRow("timing") << AuditAction::TimingModification
                            << AuditDetails::Timing(s("0"), s("15")) << s("Timing Modfication ")
                            << s("periode H0perdiod min15");
    QTest::newRow("calibration") << AuditAction::CalibrationModification
                                 << AuditDetails::Calibration(s("0,0"), s("0,0"))
                                 << s("calibration modfication ") << s("offset t0,0offset h0,0");
    QTest::newRow("csv") << AuditAction::CsvExport << AuditDetails::CsvExport << s("SAVE CSV FILE ")
                         << s("save csv");
    QTest::newRow("pdf report") << AuditAction::PdfReport
                                << AuditDetails::PdfReport(s("0"), s("40")) << s("pdf report ")
                                << s("start rec:0 end rec:40");
    QTest::newRow("pdf save") << AuditAction::PdfSave << AuditDetails::PdfSave << s("PDF Save ")
                              << s("PDF Save");
    QTest::newRow("add user") << AuditAction::AddNewUser << AuditDetails::AddNewUser
                              << s("Add new user ") << QString();
}

void AuditLogTest::actionTexts()
{
    QFETCH(QString, action);
    QFETCH(QString, details);
    QFETCH(QString, expectedAction);
    QFETCH(QString, expectedDetails);
    QCOMPARE(action, expectedAction);
    QCOMPARE(details, expectedDetails);

    OpenAuditLog();
    AppendAuditEntry(action, details);
    const QList<AuditRecord> records = ReadAuditEntries();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0].action, expectedAction.toLatin1());
    QCOMPARE(records[0].details, expectedDetails.toLatin1());
}

void AuditLogTest::delphiTime_data()
{
    QTest::addColumn<QDateTime>("local");
    QTest::addColumn<double>("days");

    QTest::newRow("epoch") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
    QTest::newRow("06:00 on the epoch") << QDateTime(QDate(1899, 12, 30), QTime(6, 0)) << 0.25;
    QTest::newRow("next day noon") << QDateTime(QDate(1899, 12, 31), QTime(12, 0)) << 1.5;
    QTest::newRow("before the epoch") << QDateTime(QDate(1899, 12, 29), QTime(6, 0)) << -1.25;
    QTest::newRow("2000-01-01") << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << 36526.0;
    QTest::newRow("one millisecond to midnight")
        << QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59, 999))
        << 46365.0 + 86399999.0 / 86400000.0;
}

void AuditLogTest::delphiTime()
{
    QFETCH(QDateTime, local);
    QFETCH(double, days);
    QCOMPARE(ToDelphiDateTime(local), days);
    QCOMPARE(FromDelphiDateTime(days), local);
}

void AuditLogTest::timeStampIsLocalWallClock()
{
    if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/Europe/Paris")))
        QSKIP("no time zone data");
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Paris");
    tzset();
    // 25 October 2026: at 03:00 summer time the clocks go back to 02:00.
    const QDateTime before =
        QDateTime::fromString("2026-10-25T00:59:00Z", Qt::ISODate).toLocalTime();
    const QDateTime after =
        QDateTime::fromString("2026-10-25T01:10:00Z", Qt::ISODate).toLocalTime();
    const double beforeDays = ToDelphiDateTime(before);
    const double afterDays = ToDelphiDateTime(after);
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
    QCOMPARE(before.time(), QTime(2, 59));
    QCOMPARE(after.time(), QTime(2, 10));
    QVERIFY(afterDays < beforeDays);

    m_clock.local = QDateTime(QDate(2026, 12, 9), QTime(11, 5, 7, 123));
    OpenAuditLog();
    AppendAuditEntry(AuditAction::PdfSave, AuditDetails::PdfSave);
    QCOMPARE(FromDelphiDateTime(ReadAuditEntries().constFirst().time), m_clock.local);
}

void AuditLogTest::firstOpenCreatesTheFileAndSaysSo()
{
    OpenAuditLog();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Plain);
    QCOMPARE(m_dialogs.boxes[0].title, QStringLiteral("QUIVEL CONFIG"));
    QCOMPARE(m_dialogs.boxes[0].text, QStringLiteral("no actions data available"));
    QVERIFY(QFile::exists(AuditFileName));
    QCOMPARE(QFile(AuditFileName).size(), 0);

    AppendAuditEntry(AuditAction::CsvExport, AuditDetails::CsvExport);
    QCOMPARE(QFile(AuditFileName).size(), 376);

    OpenAuditLog(); // the sign-in window shown again
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(ReadAuditEntries().size(), 1);
}

void AuditLogTest::appendsGoToTheEndAndSurviveAReopen()
{
    OpenAuditLog();
    for (int id = 1; id <= 3; ++id) {
        SetCurrentUserId(id);
        AppendAuditEntry(AuditAction::PdfSave, AuditDetails::PdfSave);
    }
    // Reading in between does not move where the next append goes.
    QCOMPARE(ReadAuditEntries().size(), 3);
    AppendAuditEntry(AuditAction::CsvExport, AuditDetails::CsvExport);
    ResetAuditLog();
    OpenAuditLog();
    const QList<AuditRecord> records = ReadAuditEntries();
    QCOMPARE(records.size(), 4);
    QCOMPARE(records[0].userId, 1);
    QCOMPARE(records[2].userId, 3);
    QCOMPARE(records[3].action, QByteArray("SAVE CSV FILE "));
}

void AuditLogTest::appendWithoutAnOpenFileRaises103()
{
    AuditedAction action;
    QVERIFY(!action.run(AuditAction::PdfSave, AuditDetails::PdfSave));
    QVERIFY(!action.workDone);
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("I/O error 103.")});
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QVERIFY(!QFile::exists(AuditFileName));
}

void AuditLogTest::unopenableFileStopsTheCaller_data()
{
    QTest::addColumn<bool>("folderInItsPlace");
    QTest::newRow("read-only file") << false;
    QTest::newRow("a folder in its place") << true;
}

void AuditLogTest::unopenableFileStopsTheCaller()
{
    QFETCH(bool, folderInItsPlace);
    QByteArray before;
    if (folderInItsPlace) {
        QVERIFY(QDir().mkdir(AuditFileName));
    } else {
        if (::geteuid() == 0)
            QSKIP("root may write a read-only file");
        before = HandMadeRecord(QByteArray::fromHex("05000000"), "PDF Save ", FixedClockTimeLe,
                                "PDF Save");
        WriteAll(AuditFileName, before);
        QVERIFY(QFile::setPermissions(AuditFileName, QFileDevice::ReadOwner));
    }

    // The sign-in window's show reports the error and goes on.
    QVERIFY(!Guarded([] { OpenAuditLog(); }));
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("File access denied.")});

    AuditedAction action;
    QVERIFY(!action.run(AuditAction::TimingModification,
                        AuditDetails::Timing(QStringLiteral("0"), QStringLiteral("15"))));
    QVERIFY(!action.workDone);
    QCOMPARE(m_dialogs.texts().last(), QStringLiteral("I/O error 103."));
    if (!folderInItsPlace)
        QCOMPARE(ReadAll(AuditFileName), before);
}

void AuditLogTest::fullDiskStopsTheCaller()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), AuditFileName));
    OpenAuditLog();
    QVERIFY(m_dialogs.boxes.isEmpty());

    AuditedAction action;
    QVERIFY(!action.run(AuditAction::CsvExport, AuditDetails::CsvExport));
    QVERIFY(!action.workDone);
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("Disk full.")});
    // The next action is refused the same way; nothing is held back to be written later.
    QVERIFY(!action.run(AuditAction::PdfSave, AuditDetails::PdfSave));
    QCOMPARE(m_dialogs.boxes.size(), 2);
}

void AuditLogTest::failedWriteLosesNoEarlierRecord()
{
    OpenAuditLog();
    m_dialogs.clear();
    SetCurrentUserId(1);
    AppendAuditEntry(AuditAction::PdfSave, AuditDetails::PdfSave);
    AppendAuditEntry(AuditAction::CsvExport, AuditDetails::CsvExport);
    const QByteArray before = ReadAll(AuditFileName);

    // The file may not grow past 100 bytes of the next record: the write stops half-way.
    rlimit old{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 752 + 100;
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    AuditedAction action;
    const bool ran = action.run(AuditAction::PdfReport,
                                AuditDetails::PdfReport(QStringLiteral("1"), QStringLiteral("9")));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!ran);
    QVERIFY(!action.workDone);
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("I/O error %1.").arg(EFBIG)});
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    // The half record is cut back: the file is as it was.
    QCOMPARE(ReadAll(AuditFileName), before);
    QCOMPARE(ReadAuditEntries().size(), 2);

    // The next append is whole, right after the earlier records, with nothing set aside.
    AppendAuditEntry(AuditAction::PdfSave, AuditDetails::PdfSave);
    QCOMPARE(QFile(AuditFileName).size(), 1128);
    const QList<AuditRecord> records = ReadAuditEntries();
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[2].action, QByteArray("PDF Save "));
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(QDir::current().entryList({QStringLiteral("*.damaged-*")}, QDir::Files),
             QStringList{});
}

QTEST_GUILESS_MAIN(AuditLogTest)
#include "tst_audit_log.moc"
