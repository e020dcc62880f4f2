#include "common/errors.h"
#include "common/fixed_record_file.h"
#include "common/text_file.h"
#include "common/windows1252.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
int Mode(const QString& fileName)
{
    struct stat status {
    };
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return -1;
    return int(status.st_mode & 0777);
}

using MakeFile = std::function<void(const QString&)>;
} // namespace
Q_DECLARE_METATYPE(MakeFile)

class FilesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        QDir::setCurrent(m_dir->path());
    }

    void splitLines_data();
    void splitLines();
    void windows1252RoundTrip();
    void writeTextLinesEndsEveryLineWithCrLf();
    void readMissingFileRaisesTheOpenError();
    void failedWriteLeavesTheEarlierFile();
    void smallWriteOnAFullDiskLeavesTheEarlierFile();
    void recordFieldsAreLittleEndian();
    void shortStringIsCutAndZeroFilled();
    void trailingPieceIsNoRecordAndIsOverwritten();
    void appendToAFullDiskRaisesDiskFull();
    void appendToAClosedFileRaises103();
    void openReadOnlyFileRaisesAccessDenied();
    void recordOverwrittenThenFileCut();
    void newFileModes_data();
    void newFileModes();
    void existingFileKeepsItsMode();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void FilesTest::splitLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("lines");
    using L = QList<QByteArray>;
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << L{"a", "b"};
    QTest::newRow("lf") << QByteArray("a\nb\n") << L{"a", "b"};
    QTest::newRow("cr") << QByteArray("a\rb\r") << L{"a", "b"};
    QTest::newRow("no final break") << QByteArray("a\r\nb") << L{"a", "b"};
    QTest::newRow("empty line in the middle") << QByteArray("a\r\n\r\nb\r\n") << L{"a", "", "b"};
    QTest::newRow("lf cr is two breaks") << QByteArray("a\n\rb") << L{"a", "", "b"};
    QTest::newRow("empty file") << QByteArray() << L{};
    QTest::newRow("only a break") << QByteArray("\r\n") << L{""};
}

void FilesTest::splitLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(SplitTextLines(bytes), lines);
}

void FilesTest::windows1252RoundTrip()
{
    const QString text = QStringLiteral("Température € – « é » œ");
    const QByteArray bytes = EncodeWindows1252(text);
    QCOMPARE(bytes.size(), text.size());
    QCOMPARE(bytes.at(4), char(0xE9));  // é
    QCOMPARE(bytes.at(12), char(0x80)); // €
    QCOMPARE(DecodeWindows1252(bytes), text);
    QCOMPARE(EncodeWindows1252(QStringLiteral("\u4E2D")), QByteArray("?"));
}

void FilesTest::writeTextLinesEndsEveryLineWithCrLf()
{
    WriteTextLines(QStringLiteral("cal.cfg"), {QStringLiteral("0,5"), QStringLiteral("-1")});
    QCOMPARE(ReadWholeFile(QStringLiteral("cal.cfg")), QByteArray("0,5\r\n-1\r\n"));
    QCOMPARE(ReadTextLines(QStringLiteral("cal.cfg")),
             (QStringList{QStringLiteral("0,5"), QStringLiteral("-1")}));
}

void FilesTest::readMissingFileRaisesTheOpenError()
{
    try {
        ReadTextLines(QStringLiteral("quivel.c00"));
        QFAIL("no error raised");
    } catch (const EFOpenError& e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot open file \"%1\". ")
                                            .arg(QDir::current().absoluteFilePath("quivel.c00"))),
                 qPrintable(e.message()));
    }
}

void FilesTest::failedWriteLeavesTheEarlierFile()
{
    WriteByteLines(QStringLiteral("quivel.c00"), {"5/3;14:7;23.5;61.0"});
    QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    bool raised = false;
    try {
        WriteByteLines(QStringLiteral("quivel.c00"), {"1/1;0:0;0.0;0.0"});
    } catch (const EFCreateError& e) {
        raised = e.message().startsWith(QStringLiteral("Cannot create file \""));
    }
    QFile::setPermissions(m_dir->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!raised && ::geteuid() == 0)
        QSKIP("root writes into read-only directories");
    QVERIFY(raised);
    QCOMPARE(ReadWholeFile(QStringLiteral("quivel.c00")), QByteArray("5/3;14:7;23.5;61.0\r\n"));
}

void FilesTest::smallWriteOnAFullDiskLeavesTheEarlierFile()
{
    // A file-size limit stands in for a full disk, even for root. A small file fails only
    // at its final flush, which QSaveFile::commit() alone would not report.
    WriteByteLines(QStringLiteral("quivel.c00"), {"5/3;14:7;23.5;61.0"});
    const QByteArray earlier = ReadWholeFile(QStringLiteral("quivel.c00"));
    rlimit old{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 10;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool raised = false;
    try {
        WriteByteLines(QStringLiteral("quivel.c00"), {"1/1;0:0;0.0;0.0", "2/1;0:0;0.0;0.0"});
    } catch (const EFCreateError&) {
        raised = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(raised);
    QCOMPARE(ReadWholeFile(QStringLiteral("quivel.c00")), earlier);
}

void FilesTest::recordFieldsAreLittleEndian()
{
    RecordWriter w(16);
    w.putInt32(0, 0x01020304);
    w.putUInt8(4, 0xFE);
    w.putDouble(8, 1.5);
    const QByteArray expected = QByteArray::fromHex("04030201fe000000000000000000f83f");
    QCOMPARE(w.bytes(), expected);
    RecordReader r(w.bytes());
    QCOMPARE(r.int32At(0), 0x01020304);
    QCOMPARE(r.uint8At(4), quint8(0xFE));
    QCOMPARE(r.doubleAt(8), 1.5);
}

void FilesTest::shortStringIsCutAndZeroFilled()
{
    RecordWriter w(12);
    w.putShortString(0, 10, QByteArray(15, 'x'));
    QCOMPARE(w.bytes().at(0), char(10));
    QCOMPARE(w.bytes().mid(1, 10), QByteArray(10, 'x'));
    w.putShortString(0, 10, "ab");
    QCOMPARE(w.bytes(), QByteArray("\x02"
                                   "ab",
                                   3) +
                            QByteArray(9, '\0'));
    QCOMPARE(RecordReader(w.bytes()).shortStringAt(0, 10), QByteArray("ab"));
}

void FilesTest::trailingPieceIsNoRecordAndIsOverwritten()
{
    WriteAll(QStringLiteral("records.dt"),
             QByteArray(100, 'a') + QByteArray(100, 'b') + QByteArray(40, 'z'));

    FixedRecordFile file(QStringLiteral("records.dt"), 100);
    file.open();
    QCOMPARE(file.recordCount(), 2);
    QCOMPARE(file.readRecord(1), QByteArray(100, 'b'));
    file.appendRecord(QByteArray(100, 'c'), true);
    QCOMPARE(file.recordCount(), 3);
    QCOMPARE(QFileInfo(QStringLiteral("records.dt")).size(), 300);
    QCOMPARE(file.readRecord(2), QByteArray(100, 'c'));
}

void FilesTest::appendToAFullDiskRaisesDiskFull()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), QStringLiteral("full.dt")));
    FixedRecordFile file(QStringLiteral("full.dt"), 8);
    file.open();
    try {
        file.appendRecord(QByteArray(8, 'x'), true);
        QFAIL("no error raised");
    } catch (const EInOutError& e) {
        QCOMPARE(e.code(), int(EInOutError::DiskFull));
        QCOMPARE(e.message(), QStringLiteral("Disk full"));
    }
}

void FilesTest::appendToAClosedFileRaises103()
{
    FixedRecordFile file(QStringLiteral("never-opened.dt"), 8);
    try {
        file.appendRecord(QByteArray(8, 'x'), false);
        QFAIL("no error raised");
    } catch (const EInOutError& e) {
        QCOMPARE(e.message(), QStringLiteral("I/O error 103"));
    }
}

void FilesTest::openReadOnlyFileRaisesAccessDenied()
{
    if (::geteuid() == 0)
        QSKIP("root opens read-only files for writing");
    WriteAll(QStringLiteral("ro.dt"), {});
    QVERIFY(QFile::setPermissions(QStringLiteral("ro.dt"), QFileDevice::ReadOwner));
    FixedRecordFile file(QStringLiteral("ro.dt"), 8);
    try {
        file.open();
        QFAIL("no error raised");
    } catch (const EInOutError& e) {
        QCOMPARE(e.message(), QStringLiteral("File access denied"));
    }
}

void FilesTest::recordOverwrittenThenFileCut()
{
    WriteAll(QStringLiteral("records.dt"),
             QByteArray(4, 'a') + QByteArray(4, 'b') + QByteArray(4, 'c') + QByteArray(2, 'z'));
    FixedRecordFile file(QStringLiteral("records.dt"), 4);
    file.open();
    file.writeRecord(0, QByteArray(4, 'k'));
    // The file still holds every record between the two steps.
    QCOMPARE(ReadAll(QStringLiteral("records.dt")).left(12), QByteArray("kkkkbbbbcccc"));
    file.keepRecords(1);
    QCOMPARE(ReadAll(QStringLiteral("records.dt")), QByteArray("kkkk"));
    QCOMPARE(file.recordCount(), 1);
    file.appendRecord(QByteArray(4, 'n'), true);
    QCOMPARE(ReadAll(QStringLiteral("records.dt")), QByteArray("kkkknnnn"));
    try {
        file.writeRecord(3, QByteArray(4, 'x'));
        QFAIL("no error raised");
    } catch (const EInOutError& e) {
        QCOMPARE(e.code(), int(EInOutError::ReadBeyondEnd));
    }
}

void FilesTest::newFileModes_data()
{
    QTest::addColumn<MakeFile>("make");
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("mode");

    const MakeFile textLines = [](const QString& name) {
        WriteTextLines(name, {QStringLiteral("0,5"), QStringLiteral("-1")});
    };
    const MakeFile byteLines = [](const QString& name) { WriteByteLines(name, {"09/12/26"}); };
    const auto records = [](NewFileAccess access, bool emptyFirst) {
        return MakeFile([=](const QString& name) {
            FixedRecordFile file(name, 4, access);
            if (emptyFirst)
                file.rewriteEmpty();
            file.open(); // creates the file when it is missing
            file.appendRecord(QByteArray(4, 'r'), true);
        });
    };
    // The calibration file and the record file: as the user's umask says.
    QTest::newRow("calibration lines, umask 022") << textLines << 022 << 0644;
    QTest::newRow("calibration lines, umask 077") << textLines << 077 << 0600;
    QTest::newRow("record lines, umask 002") << byteLines << 002 << 0664;
    QTest::newRow("record file, umask 022")
        << records(NewFileAccess::FollowUmask, false) << 022 << 0644;
    // The user and audit files: the owner only, whatever the umask.
    QTest::newRow("owner only, opened, umask 000")
        << records(NewFileAccess::OwnerOnly, false) << 0 << 0600;
    QTest::newRow("owner only, emptied first, umask 000")
        << records(NewFileAccess::OwnerOnly, true) << 0 << 0600;
    QTest::newRow("owner only, umask 077")
        << records(NewFileAccess::OwnerOnly, true) << 077 << 0600;
}

void FilesTest::newFileModes()
{
    QFETCH(MakeFile, make);
    QFETCH(int, umask);
    QFETCH(int, mode);
    const mode_t before = ::umask(mode_t(umask));
    make(QStringLiteral("new.file"));
    ::umask(before);
    QCOMPARE(Mode(QStringLiteral("new.file")), mode);
}

void FilesTest::existingFileKeepsItsMode()
{
    // Modes are set when a file is created; one given its mode by the user keeps it.
    WriteAll(QStringLiteral("users.dt"), QByteArray(8, 'u'));
    QVERIFY(QFile::setPermissions(QStringLiteral("users.dt"), QFileDevice::ReadOwner |
                                                                  QFileDevice::WriteOwner |
                                                                  QFileDevice::ReadGroup));
    FixedRecordFile file(QStringLiteral("users.dt"), 4, NewFileAccess::OwnerOnly);
    file.rewriteEmpty();
    file.open();
    file.appendRecord(QByteArray(4, 'x'), true);
    QCOMPARE(Mode(QStringLiteral("users.dt")), 0640);
}

QTEST_GUILESS_MAIN(FilesTest)
#include "tst_files.moc"
