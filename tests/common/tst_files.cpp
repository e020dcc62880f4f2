#include "common/errors.h"
#include "common/fixed_record_file.h"
#include "common/previous_generation.h"
#include "common/text_file.h"
#include "common/windows1252.h"
#include "support/process_limits.h"
#include "support/scripted_services.h"
#include "support/test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{

constexpr qint64 MiB = 1024 * 1024;

QString Full(const QString& name)
{
    return QDir::current().absoluteFilePath(name);
}

// The files of the working folder, links and folders included.
QStringList FolderEntries()
{
    return QDir::current().entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A code under test that opens a FIFO would wait there for ever: after a while this opens the
// other end, so that the test ends and fails instead of hanging until its time-out.
class FifoUnblocker
{
public:
    explicit FifoUnblocker(QString path) : m_path(std::move(path))
    {
        m_thread = std::thread([this] {
            for (int waited = 0; waited < 3000 && !m_done; waited += 10)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (m_done)
                return;
            const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        });
    }
    ~FifoUnblocker()
    {
        m_done = true;
        m_thread.join();
    }

private:
    QString m_path;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// What stands at a data file's name.
// What stands beside the record file before it is kept as .bak and saved anew.
enum class BeforeKeep {
    NoBak,
    OlderBak,
    BakIsTheFileAlready, // a save killed after its .bak was made
    StaleBakTemporaries, // a .bak killed before its rename
    NameIsALink,
};

enum class Fixture {
    Fifo,
    LinkToFifo,
    DevZero,
    LinkToDevZero,
    LinkToNullDevice,
    Folder,
    LinkToFolder,
    SparseGiB,
    GrowsPastItsSize,
};

// Makes it under `name`; false when this system cannot.
bool Make(Fixture fixture, const QString& name)
{
    const QByteArray local = QFile::encodeName(name);
    switch (fixture) {
    case Fixture::Fifo:
        return ::mkfifo(local.constData(), 0600) == 0;
    case Fixture::LinkToFifo:
        return ::mkfifo("pipe", 0600) == 0 && QFile::link(QStringLiteral("pipe"), name);
    case Fixture::DevZero:
        return QFile::exists(name);
    case Fixture::LinkToDevZero:
        return QFile::link(QStringLiteral("/dev/zero"), name);
    case Fixture::LinkToNullDevice: {
        // A save that wrongly replaces where the link leads must not replace /dev/null itself,
        // which root could: root gets a null device of its own here.
        const bool own = ::mknod("null-device", S_IFCHR | 0666, makedev(1, 3)) == 0;
        return QFile::link(own ? QStringLiteral("null-device") : QStringLiteral("/dev/null"), name);
    }
    case Fixture::Folder:
        return QDir().mkdir(name);
    case Fixture::LinkToFolder:
        return QDir().mkdir(QStringLiteral("folder")) &&
               QFile::link(QStringLiteral("folder"), name);
    case Fixture::SparseGiB: {
        QFile file(name);
        return file.open(QIODevice::WriteOnly) && file.resize(1024 * MiB);
    }
    case Fixture::GrowsPastItsSize:
        // Its size says 0, yet it holds more than a kilobyte.
        return QFileInfo(QStringLiteral("/proc/self/status")).size() == 0 &&
               QFile::link(QStringLiteral("/proc/self/status"), name);
    }
    return false;
}

bool IsFifoFixture(Fixture fixture)
{
    return fixture == Fixture::Fifo || fixture == Fixture::LinkToFifo;
}

} // namespace

Q_DECLARE_METATYPE(Fixture)
Q_DECLARE_METATYPE(BeforeKeep)

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
    void readRefusesAtOnce_data();
    void readRefusesAtOnce();
    void readTakesAFileUpToTheLimit();
    void failedWriteLeavesTheEarlierFile();
    void failedSaveGivesTheSystemsReason_data();
    void failedSaveGivesTheSystemsReason();
    void saveRefusesWhatIsNoRegularFile_data();
    void saveRefusesWhatIsNoRegularFile();
    void saveRemovesStaleTemporariesOfThatNameOnly();
    void saveThroughALinkReplacesWhereItLeads_data();
    void saveThroughALinkReplacesWhereItLeads();
    void saveKeepsThePermissions();
    void previousGenerationBecomesTheBak_data();
    void previousGenerationBecomesTheBak();
    void bakThatCannotBeMadeNamesTheFileSaved();
    void overwriteThenRemoveLeavesAFifoAlone();
    void recordFieldsAreLittleEndian();
    void shortStringIsCutAndZeroFilled();
    void trailingPieceIsSetAsideBeforeAnyWrite_data();
    void trailingPieceIsSetAsideBeforeAnyWrite();
    void sideFilesNeverReplaceEarlierOnes();
    void sideFileThatCannotBeWrittenStopsTheWrite();
    void failedAppendLeavesTheFileAsItWas_data();
    void failedAppendLeavesTheFileAsItWas();
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
    QCOMPARE(ReadWholeFile(QStringLiteral("cal.cfg"), 64), QByteArray("0,5\r\n-1\r\n"));
    QCOMPARE(ReadTextLines(QStringLiteral("cal.cfg"), 64),
             (QStringList{QStringLiteral("0,5"), QStringLiteral("-1")}));
}

void FilesTest::readMissingFileRaisesTheOpenError()
{
    try {
        ReadTextLines(QStringLiteral("quivel.c00"), 64);
        QFAIL("no error raised");
    } catch (const EFOpenError& e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot open file \"%1\". ")
                                            .arg(QDir::current().absoluteFilePath("quivel.c00"))),
                 qPrintable(e.message()));
    }
}

void FilesTest::readRefusesAtOnce_data()
{
    QTest::addColumn<Fixture>("fixture");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<QString>("reason"); // empty: refused as too large

    const QString device = QStringLiteral("C'est un périphérique");
    QTest::newRow("FIFO") << Fixture::Fifo << "quivel.c00" << 64 * MiB
                          << "C'est un tube nommé (FIFO)";
    QTest::newRow("link to a FIFO")
        << Fixture::LinkToFifo << "quivel.c00" << 64 * MiB << "C'est un tube nommé (FIFO)";
    QTest::newRow("device node") << Fixture::DevZero << "/dev/zero" << 64 * MiB << device;
    QTest::newRow("link to /dev/zero")
        << Fixture::LinkToDevZero << "quivel.c00" << 64 * MiB << device;
    QTest::newRow("folder") << Fixture::Folder << "cal.cfg" << 64 * 1024LL << "C'est un dossier";
    QTest::newRow("link to a folder")
        << Fixture::LinkToFolder << "cal.cfg" << 64 * 1024LL << "C'est un dossier";
    QTest::newRow("1 GiB, sparse") << Fixture::SparseGiB << "quivel.c00" << 64 * MiB << QString();
    QTest::newRow("larger than its stated size")
        << Fixture::GrowsPastItsSize << "cal.cfg" << 64LL << QString();
}

void FilesTest::readRefusesAtOnce()
{
    QFETCH(Fixture, fixture);
    QFETCH(QString, name);
    QFETCH(qint64, maxBytes);
    QFETCH(QString, reason);
    if (!Make(fixture, name))
        QSKIP("this system cannot make that file");

    std::unique_ptr<FifoUnblocker> unblocker;
    if (IsFifoFixture(fixture))
        unblocker = std::make_unique<FifoUnblocker>(name);
    QString message;
    QElapsedTimer clock;
    clock.start();
    try {
        // Reading the whole of any of these would take far more than this.
        AddressSpaceBound bound(256 * MiB);
        ReadWholeFile(name, maxBytes);
    } catch (const EFOpenError& e) {
        message = e.message();
    } catch (const std::bad_alloc&) {
        QFAIL("the read took memory without bound");
    }
    QVERIFY2(clock.elapsed() < 2000, "the read did not fail at once");
    if (reason.isEmpty()) {
        const QString limit = maxBytes == 64 * MiB ? "64 Mio" : "64 octets";
        QCOMPARE(message, QStringLiteral("Le fichier \"%1\" dépasse la taille admise de %2 : il "
                                         "n'a pas été lu.")
                              .arg(Full(name), limit));
    } else {
        QVERIFY2(message.startsWith(
                     QStringLiteral("Cannot open file \"%1\". %2").arg(Full(name), reason)),
                 qPrintable(message));
        // Where a link leads is said: the user sees only the name.
        QCOMPARE(message.contains(QStringLiteral("lien symbolique")), QFileInfo(name).isSymLink());
    }
}

void FilesTest::readTakesAFileUpToTheLimit()
{
    WriteAll(QStringLiteral("cal.cfg"), "0,5\r\n-1\r\n");
    QCOMPARE(ReadWholeFile(QStringLiteral("cal.cfg"), 9), QByteArray("0,5\r\n-1\r\n"));
    QVERIFY_THROWS_EXCEPTION(EFileTooLarge, ReadWholeFile(QStringLiteral("cal.cfg"), 8));
    WriteAll(QStringLiteral("empty"), {});
    QCOMPARE(ReadWholeFile(QStringLiteral("empty"), 0), QByteArray());
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
    // Refused for root too, whom the system would let write there.
    QVERIFY(raised);
    QCOMPARE(ReadAll("quivel.c00"), QByteArray("5/3;14:7;23.5;61.0\r\n"));
}

void FilesTest::failedSaveGivesTheSystemsReason_data()
{
    QTest::addColumn<int>("room");
    QTest::addColumn<int>("size");
    QTest::newRow("no room at all") << 0 << 40;
    QTest::newRow("cut short part-way") << 4096 << 64 * 1024;
    QTest::newRow("cut short in the last bytes") << 30 << 40;
}

void FilesTest::failedSaveGivesTheSystemsReason()
{
    // A file-size limit stands in for a full disk, even for root; the reason then is EFBIG's.
    QFETCH(int, room);
    QFETCH(int, size);
    const QByteArray earlier("5/3;14:7;23.5;61.0\r\n");
    WriteAll(QStringLiteral("quivel.c00"), earlier);
    QString message;
    {
        FileSizeLimit limit{rlim_t(room)};
        try {
            WriteWholeFile(QStringLiteral("quivel.c00"), QByteArray(size, '7'));
        } catch (const EFCreateError& e) {
            message = e.message();
        }
    }
    QCOMPARE(message, QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(Full("quivel.c00"), qt_error_string(EFBIG)));
    QCOMPARE(ReadAll("quivel.c00"), earlier);
    QCOMPARE(FolderEntries(), QStringList{"quivel.c00"});
}

void FilesTest::saveRefusesWhatIsNoRegularFile_data()
{
    QTest::addColumn<Fixture>("fixture");
    QTest::addColumn<QString>("reason");
    QTest::newRow("link to a null device") << Fixture::LinkToNullDevice << "C'est un périphérique";
    QTest::newRow("link to a FIFO") << Fixture::LinkToFifo << "C'est un tube nommé (FIFO)";
    QTest::newRow("folder") << Fixture::Folder << "C'est un dossier";
    QTest::newRow("link to a folder") << Fixture::LinkToFolder << "C'est un dossier";
}

void FilesTest::saveRefusesWhatIsNoRegularFile()
{
    QFETCH(Fixture, fixture);
    QFETCH(QString, reason);
    const QString name = QStringLiteral("quivel.c00");
    QVERIFY(Make(fixture, name));
    const QStringList entries = FolderEntries();
    const fs::file_status before = fs::symlink_status(name.toStdString());
    const fs::path leadsTo = fs::canonical(name.toStdString());

    std::unique_ptr<FifoUnblocker> unblocker;
    if (IsFifoFixture(fixture))
        unblocker = std::make_unique<FifoUnblocker>(name);
    QString message;
    try {
        WriteByteLines(name, {"5/3;14:7;23.5;61.0"});
    } catch (const EFCreateError& e) {
        message = e.message();
    }
    unblocker.reset();
    QVERIFY2(
        message.startsWith(QStringLiteral("Cannot create file \"%1\". %2").arg(Full(name), reason)),
        qPrintable(message));
    // The name, where it leads and the folder are as they were.
    QCOMPARE(fs::symlink_status(name.toStdString()).type(), before.type());
    QCOMPARE(fs::canonical(name.toStdString()), leadsTo);
    QCOMPARE(FolderEntries(), entries);
    QVERIFY(fs::is_character_file("/dev/null"));
    if (fixture == Fixture::LinkToNullDevice)
        QVERIFY(fs::is_character_file(leadsTo));
}

void FilesTest::saveRemovesStaleTemporariesOfThatNameOnly()
{
    // Left by killed saves: ours, and QSaveFile's of earlier versions.
    const QStringList stale{"cal.cfg.tmp-Ab12Cd", "cal.cfg.tmp-000000", "cal.cfg.XyZabc",
                            "cal.cfg.qWeRtY"};
    // A person's own names, other names' leftovers, a folder.
    const QStringList kept{"cal.cfg.BACKUP",        "cal.cfg.Backup", "cal.cfg.backup",
                           "cal.cfg.bak",           "cal.cfg.old001", "cal.cfg.tmp-Ab12C",
                           "quivel.c00.tmp-Ab12Cd", "xcal.cfg.XyZabc"};
    for (const QString& name : stale + kept)
        WriteAll(name, "x");
    QVERIFY(QDir().mkdir(QStringLiteral("cal.cfg.QwErTz")));

    WriteTextLines(QStringLiteral("cal.cfg"), {QStringLiteral("1"), QStringLiteral("2")});
    QStringList expected = kept + QStringList{"cal.cfg", "cal.cfg.QwErTz"};
    expected.sort();
    QCOMPARE(FolderEntries(), expected);
    QCOMPARE(ReadAll("cal.cfg"), QByteArray("1\r\n2\r\n"));
}

void FilesTest::saveThroughALinkReplacesWhereItLeads_data()
{
    QTest::addColumn<QString>("linkText");  // what cal.cfg links to; "/..." from the folder
    QTest::addColumn<QString>("finalFile"); // where the bytes are to go
    QTest::addColumn<bool>("existsBefore");
    QTest::newRow("relative, into a folder") << "store/calibration"
                                             << "store/calibration" << true;
    QTest::newRow("absolute") << "/store/calibration"
                              << "store/calibration" << true;
    QTest::newRow("to a link") << "store/link"
                               << "store/calibration" << true;
    QTest::newRow("to nothing yet") << "store/calibration"
                                    << "store/calibration" << false;
}

void FilesTest::saveThroughALinkReplacesWhereItLeads()
{
    // The link is an administrator's: it stays, the file it leads to is replaced.
    QFETCH(QString, linkText);
    QFETCH(QString, finalFile);
    QFETCH(bool, existsBefore);
    if (linkText.startsWith(u'/'))
        linkText = Full(linkText.mid(1));
    QVERIFY(QDir().mkdir(QStringLiteral("store")));
    if (existsBefore)
        WriteAll(finalFile, "old\r\n");
    // "store/link" leads to "calibration" beside it.
    QCOMPARE(::symlink("calibration", "store/link"), 0);
    QCOMPARE(::symlink(QFile::encodeName(linkText).constData(), "cal.cfg"), 0);
    WriteAll(QStringLiteral("store/cal.cfg.XyZabc"), "stale beside the link's name");
    WriteAll(QStringLiteral("store/calibration.tmp-Ab12Cd"), "stale beside the file");

    WriteTextLines(QStringLiteral("cal.cfg"), {QStringLiteral("0,5"), QStringLiteral("-1")});
    QCOMPARE(QFile::symLinkTarget(QStringLiteral("cal.cfg")), Full(linkText));
    QCOMPARE(ReadAll(finalFile), QByteArray("0,5\r\n-1\r\n"));
    QCOMPARE(FolderEntries(), (QStringList{"cal.cfg", "store"}));
    QCOMPARE(QDir(QStringLiteral("store")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"cal.cfg.XyZabc", "calibration", "link"}));
}

void FilesTest::saveKeepsThePermissions()
{
    // A new file gets what any new file gets here; a replaced one keeps what it had.
    WriteAll(QStringLiteral("reference"), {});
    WriteTextLines(QStringLiteral("cal.cfg"), {QStringLiteral("1"), QStringLiteral("2")});
    QCOMPARE(QFile::permissions(QStringLiteral("cal.cfg")),
             QFile::permissions(QStringLiteral("reference")));
    const auto chosen = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(QStringLiteral("cal.cfg"), chosen));
    WriteTextLines(QStringLiteral("cal.cfg"), {QStringLiteral("3"), QStringLiteral("4")});
    QCOMPARE(QFile::permissions(QStringLiteral("cal.cfg")) &
                 ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
             chosen);
}

void FilesTest::previousGenerationBecomesTheBak_data()
{
    QTest::addColumn<BeforeKeep>("before");
    QTest::addColumn<QStringList>("after"); // the folder's entries
    const QStringList both{"quivel.c00", "quivel.c00.bak"};
    QTest::newRow("first .bak") << BeforeKeep::NoBak << both;
    QTest::newRow("older .bak") << BeforeKeep::OlderBak << both;
    QTest::newRow(".bak already the file") << BeforeKeep::BakIsTheFileAlready << both;
    QTest::newRow("stale temporaries of the .bak")
        << BeforeKeep::StaleBakTemporaries
        << QStringList{"quivel.c00", "quivel.c00.bak", "quivel.c00.bak.old001"};
    QTest::newRow("name is a link, the .bak holds what it led to")
        << BeforeKeep::NameIsALink << QStringList{"quivel.c00", "quivel.c00.bak", "store"};
}

void FilesTest::previousGenerationBecomesTheBak()
{
    QFETCH(BeforeKeep, before);
    QFETCH(QStringList, after);
    const QString name = QStringLiteral("quivel.c00");
    const QString bak = name + QStringLiteral(".bak");
    const QByteArray earlier = "5/3;14:7;23.5;61.0\r\n";
    switch (before) {
    case BeforeKeep::NoBak:
        WriteAll(name, earlier);
        break;
    case BeforeKeep::OlderBak:
        WriteAll(name, earlier);
        WriteAll(bak, "1/1;0:0;0.0;0.0\r\n");
        break;
    case BeforeKeep::BakIsTheFileAlready:
        WriteAll(name, earlier);
        QVERIFY(::link("quivel.c00", "quivel.c00.bak") == 0);
        break;
    case BeforeKeep::StaleBakTemporaries:
        WriteAll(name, earlier);
        for (const char* stale : {"quivel.c00.bak.tmp-Ab12Cd", "quivel.c00.bak.tmp-000000"})
            WriteAll(QString::fromLatin1(stale), "half a .bak");
        WriteAll(QStringLiteral("quivel.c00.bak.old001"), "a person's own");
        break;
    case BeforeKeep::NameIsALink:
        QVERIFY(QDir().mkdir(QStringLiteral("store")));
        WriteAll(QStringLiteral("store/records"), earlier);
        QVERIFY(QFile::link(QStringLiteral("store/records"), name));
        break;
    }

    KeepPreviousGeneration(name);
    WriteByteLines(name, {"6/3;14:7;20.0;50.0"});

    QCOMPARE(ReadAll(bak), earlier);
    QCOMPARE(ReadAll(name), QByteArray("6/3;14:7;20.0;50.0\r\n"));
    QCOMPARE(FolderEntries(), after);
    QVERIFY(!QFileInfo(bak).isSymLink());
    if (before == BeforeKeep::NameIsALink)
        QVERIFY(QFileInfo(name).isSymLink());
}

void FilesTest::bakThatCannotBeMadeNamesTheFileSaved()
{
    // A folder in the .bak's place: no rename can replace it, for root neither.
    WriteAll(QStringLiteral("quivel.c00"), "5/3;14:7;23.5;61.0\r\n");
    QVERIFY(QDir().mkpath(QStringLiteral("quivel.c00.bak/kept")));
    QString message;
    try {
        KeepPreviousGeneration(QStringLiteral("quivel.c00"));
    } catch (const EFCreateError& e) {
        message = e.message();
    }
    QCOMPARE(message, QStringLiteral("Cannot create file \"%1\". La copie de sécurité "
                                     "quivel.c00.bak n'a pas pu être faite : %2. Le fichier "
                                     "quivel.c00 n'a pas été remplacé.")
                          .arg(Full("quivel.c00"), qt_error_string(EISDIR)));
    QCOMPARE(FolderEntries(), (QStringList{"quivel.c00", "quivel.c00.bak"}));
    QCOMPARE(ReadAll("quivel.c00"), QByteArray("5/3;14:7;23.5;61.0\r\n"));
}

void FilesTest::overwriteThenRemoveLeavesAFifoAlone()
{
    QVERIFY(Make(Fixture::LinkToFifo, QStringLiteral("quivel.c00")));
    const QStringList entries = FolderEntries();
    FifoUnblocker unblocker(QStringLiteral("quivel.c00"));
    try {
        OverwriteThenRemove(QStringLiteral("quivel.c00"), "Try and find this\r\n");
        QFAIL("no error raised");
    } catch (const EInOutError& e) {
        QCOMPARE(e.code(), int(EInOutError::AccessDenied));
    }
    QCOMPARE(FolderEntries(), entries);
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

namespace
{
using RecordWrite = std::function<void(FixedRecordFile&)>;
} // namespace
Q_DECLARE_METATYPE(RecordWrite)

namespace
{
// The fixed clock's moment, as side files are named.
const QString SideFile = QStringLiteral("records.dt.damaged-2026-12-09-110500");

QStringList SideFiles()
{
    return QDir::current().entryList({QStringLiteral("*.damaged-*")}, QDir::Files, QDir::Name);
}
} // namespace

void FilesTest::trailingPieceIsSetAsideBeforeAnyWrite_data()
{
    QTest::addColumn<RecordWrite>("write");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("append") << RecordWrite([](FixedRecordFile& f) {
        f.appendRecord(QByteArray(100, 'c'), true);
    }) << QByteArray(100, 'a') + QByteArray(100, 'b') + QByteArray(100, 'c');
    QTest::newRow("overwrite a record")
        << RecordWrite([](FixedRecordFile& f) { f.writeRecord(1, QByteArray(100, 'k')); })
        << QByteArray(100, 'a') + QByteArray(100, 'k');
    QTest::newRow("keep the first record")
        << RecordWrite([](FixedRecordFile& f) { f.keepRecords(1); }) << QByteArray(100, 'a');
}

void FilesTest::trailingPieceIsSetAsideBeforeAnyWrite()
{
    QFETCH(RecordWrite, write);
    QFETCH(QByteArray, after);
    FixedClock clock;
    Services::setClock(&clock);
    const auto restoreClock = qScopeGuard([] { Services::setClock(nullptr); });
    const QByteArray tail = QByteArray("cut short") + QByteArray(31, '\xEE');
    WriteAll(QStringLiteral("records.dt"), QByteArray(100, 'a') + QByteArray(100, 'b') + tail);

    FixedRecordFile file(QStringLiteral("records.dt"), 100, NewFileAccess::OwnerOnly);
    QList<SetAsideTail> told;
    qint64 sizeWhenTold = -1;
    file.setTailHandler([&](const SetAsideTail& setAside) {
        told << setAside;
        sizeWhenTold = QFileInfo(QStringLiteral("records.dt")).size();
    });
    file.open();
    QCOMPARE(file.recordCount(), 2);
    write(file);

    QCOMPARE(ReadAll(SideFile), tail);
    QCOMPARE(Mode(SideFile), 0600);
    QCOMPARE(ReadAll(QStringLiteral("records.dt")), after);
    QCOMPARE(told.size(), 1);
    QCOMPARE(told[0].fileName, QStringLiteral("records.dt"));
    QCOMPARE(told[0].sideFileName, SideFile);
    QCOMPARE(told[0].bytes, 40);
    QCOMPARE(told[0].records, 2);
    // Told once the file is back to its whole records, before the write itself.
    QCOMPARE(sizeWhenTold, 200);
}

void FilesTest::sideFilesNeverReplaceEarlierOnes()
{
    FixedClock clock;
    Services::setClock(&clock);
    const auto restoreClock = qScopeGuard([] { Services::setClock(nullptr); });
    WriteAll(SideFile, "kept by hand");
    WriteAll(QStringLiteral("records.dt"), QByteArray(4, 'a') + "x");
    FixedRecordFile file(QStringLiteral("records.dt"), 4);
    file.open();
    file.appendRecord(QByteArray(4, 'b'), true);
    // Damaged again within the same second.
    QFile raw(QStringLiteral("records.dt"));
    QVERIFY(raw.open(QIODevice::Append));
    raw.write("yy");
    raw.close();
    file.appendRecord(QByteArray(4, 'c'), true);

    QCOMPARE(ReadAll(QStringLiteral("records.dt")), QByteArray("aaaabbbbcccc"));
    QCOMPARE(ReadAll(SideFile), QByteArray("kept by hand"));
    QCOMPARE(ReadAll(SideFile + QStringLiteral("-2")), QByteArray("x"));
    QCOMPARE(ReadAll(SideFile + QStringLiteral("-3")), QByteArray("yy"));
    QCOMPARE(SideFiles().size(), 3);
}

void FilesTest::sideFileThatCannotBeWrittenStopsTheWrite()
{
    FixedClock clock;
    Services::setClock(&clock);
    const auto restoreClock = qScopeGuard([] { Services::setClock(nullptr); });
    const QByteArray before = QByteArray(100, 'a') + QByteArray(40, 't');
    WriteAll(QStringLiteral("records.dt"), before);
    FixedRecordFile file(QStringLiteral("records.dt"), 100);
    bool told = false;
    file.setTailHandler([&](const SetAsideTail&) { told = true; });
    file.open();
    try {
        // No new file may hold more than 10 bytes: not the side file, nor the record.
        FileSizeLimit limit(10);
        file.appendRecord(QByteArray(100, 'c'), true);
        QFAIL("no error raised");
    } catch (const EFCreateError& e) {
        QVERIFY2(e.message().startsWith(
                     QStringLiteral("Cannot create file \"%1\". ").arg(Full(SideFile))),
                 qPrintable(e.message()));
    } catch (const QuivelError& e) {
        QFAIL(qPrintable(QStringLiteral("not the side file's error: ") + e.message()));
    }
    QCOMPARE(ReadAll(QStringLiteral("records.dt")), before);
    QVERIFY(SideFiles().isEmpty());
    QVERIFY(!told);
}

void FilesTest::failedAppendLeavesTheFileAsItWas_data()
{
    QTest::addColumn<int>("room"); // bytes the file may still grow by
    QTest::newRow("no room at all") << 0;
    QTest::newRow("room for part of the record") << 60;
}

void FilesTest::failedAppendLeavesTheFileAsItWas()
{
    QFETCH(int, room);
    const QByteArray before = QByteArray(100, 'a') + QByteArray(100, 'b');
    WriteAll(QStringLiteral("records.dt"), before);
    FixedRecordFile file(QStringLiteral("records.dt"), 100);
    bool told = false;
    file.setTailHandler([&](const SetAsideTail&) { told = true; });
    file.open();
    try {
        FileSizeLimit limit(rlim_t(before.size() + room));
        file.appendRecord(QByteArray(100, 'c'), true);
        QFAIL("no error raised");
    } catch (const EInOutError& e) {
        // As the runtime reports it: the system's code.
        QCOMPARE(e.code(), EFBIG);
    }
    QCOMPARE(ReadAll(QStringLiteral("records.dt")), before);

    // The next append is whole, and finds nothing to set aside.
    file.appendRecord(QByteArray(100, 'd'), true);
    QCOMPARE(ReadAll(QStringLiteral("records.dt")), before + QByteArray(100, 'd'));
    QVERIFY(!told);
    QVERIFY(SideFiles().isEmpty());
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
