// Files a user made read-only, and a read-only folder, are kept: the windows that save them
// (the download dialog for quivel.c00, the calibration dialog for cal.cfg) say which file and
// why, and leave every file as it was. The same as root, whom the system would let write.
#include "records/download_fixture.h"
#include "settings/calibration_file.h"
#include "settings/calibration_form.h"
#include "support/test_files.h"
#include "users/audit_log.h"

#include <QTest>

namespace
{

enum class Protected { RecordFile, CalibrationFile, Folder };
enum class Saver { Download, CalibrationDialog };

// A download of two records: the logger sends them and the one more the request asks.
const QList<int> TwoRecords = {5, 3, 14, 7,  23, 5, 61, 0,  // 5/3;14:7;23.5;61.0
                               5, 3, 14, 22, 23, 6, 60, 9,  // 5/3;14:22;23.6;60.9
                               5, 3, 14, 37, 24, 1, 60, 2}; // 5/3;14:37;24.1;60.2
const QByteArray NewRecordFile = "5/3;14:7;23.5;61.0\r\n5/3;14:22;23.6;60.9\r\n";
const QByteArray EarlierRecordFile = "1/1;0:0;20.0;50.0\r\n1/1;0:15;20.1;50.1\r\n";
const QByteArray OlderRecordFile = "31/12;23:45;19.0;48.0\r\n1/1;0:0;19.5;49.0\r\n";
const QByteArray EarlierCalibrationFile = "0,5\r\n-1\r\n";

const QString FileRefused = QStringLiteral(
    "Le fichier %1 est en lecture seule : il n'a pas été remplacé. Retirez la protection en "
    "écriture (propriétés du fichier) puis recommencez.");
const QString FolderRefused = QStringLiteral(
    "Le dossier \"%1\" est en lecture seule : %2 n'y a pas été enregistré. Retirez la protection "
    "en écriture (propriétés du dossier) puis recommencez.");

struct FileState {
    QByteArray bytes;
    QFileDevice::Permissions permissions;
    bool operator==(const FileState&) const = default;
};
using FolderState = QMap<QString, FileState>;

FolderState Snapshot()
{
    FolderState state;
    for (const QString& name : QDir::current().entryList(QDir::AllEntries | QDir::Hidden |
                                                         QDir::System | QDir::NoDotAndDotDot))
        state.insert(name, {ReadAll(name), QFile::permissions(name)});
    return state;
}

const auto ReadOnlyFile = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
const auto ReadOnlyFolder =
    ReadOnlyFile | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
const auto WritableFolder = ReadOnlyFolder | QFileDevice::WriteOwner;

} // namespace

Q_DECLARE_METATYPE(Protected)
Q_DECLARE_METATYPE(Saver)

// What a save left on screen.
struct SaveOutcome {
    QStringList errorBoxes;
    bool windowStillOpen = false;
};

class ReadOnlyFilesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void saveOverAProtectedFileIsRefusedAndSaid_data();
    void saveOverAProtectedFileIsRefusedAndSaid();

private:
    // Saves as the user does: a download of two records, or new offsets and "Valider".
    SaveOutcome saveThrough(Saver saver);

    std::unique_ptr<TestTerminal> m_line;
    std::unique_ptr<DownloadFixture> m_f;
};

void ReadOnlyFilesTest::init()
{
    m_line = std::make_unique<TestTerminal>();
    m_f = std::make_unique<DownloadFixture>();
    QVERIFY(m_f->dir.isValid());
    QVERIFY(m_f->openAndShow(m_line->path()));
    ResetAuditLog();
    OpenAuditLog(); // says that the new file holds no entry yet
    m_f->dialogs.clear();
    SetCurrentUserId(3);
}

void ReadOnlyFilesTest::cleanup()
{
    QFile::setPermissions(m_f->dir.path(), WritableFolder);
    // Boxes posted by this case are shown (and recorded) before the next case starts.
    QCoreApplication::processEvents();
    ResetAuditLog();
    m_f.reset();
    m_line.reset();
}

void ReadOnlyFilesTest::saveOverAProtectedFileIsRefusedAndSaid_data()
{
    QTest::addColumn<Protected>("what");
    QTest::addColumn<Saver>("saver");
    QTest::addColumn<QString>("savedName");
    QTest::addColumn<QString>("reason"); // empty: the save goes through; %1 the folder

    QTest::newRow("read-only quivel.c00")
        << Protected::RecordFile << Saver::Download << "quivel.c00"
        << FileRefused.arg(QStringLiteral("quivel.c00"));
    QTest::newRow("read-only cal.cfg") << Protected::CalibrationFile << Saver::CalibrationDialog
                                       << "cal.cfg" << FileRefused.arg(QStringLiteral("cal.cfg"));
    // The .bak comes first and cannot be made: still the file being saved is named.
    QTest::newRow("read-only folder, download")
        << Protected::Folder << Saver::Download << "quivel.c00"
        << FolderRefused.arg(QStringLiteral("%1"), QStringLiteral("quivel.c00"));
    QTest::newRow("read-only folder, calibration")
        << Protected::Folder << Saver::CalibrationDialog << "cal.cfg"
        << FolderRefused.arg(QStringLiteral("%1"), QStringLiteral("cal.cfg"));
    // Only the file protected is kept.
    QTest::newRow("read-only cal.cfg, download")
        << Protected::CalibrationFile << Saver::Download << "quivel.c00" << QString();
    QTest::newRow("read-only quivel.c00, calibration")
        << Protected::RecordFile << Saver::CalibrationDialog << "cal.cfg" << QString();
}

void ReadOnlyFilesTest::saveOverAProtectedFileIsRefusedAndSaid()
{
    QFETCH(Protected, what);
    QFETCH(Saver, saver);
    QFETCH(QString, savedName);
    QFETCH(QString, reason);
    WriteAll(RecordFileName, EarlierRecordFile);
    WriteAll(RecordFileName + ".bak", OlderRecordFile);
    WriteAll(CalibrationFileName, EarlierCalibrationFile);
    switch (what) {
    case Protected::RecordFile:
        QVERIFY(QFile::setPermissions(RecordFileName, ReadOnlyFile));
        break;
    case Protected::CalibrationFile:
        QVERIFY(QFile::setPermissions(CalibrationFileName, ReadOnlyFile));
        break;
    case Protected::Folder:
        QVERIFY(QFile::setPermissions(m_f->dir.path(), ReadOnlyFolder));
        break;
    }
    const FolderState before = Snapshot();

    const SaveOutcome outcome = saveThrough(saver);

    if (reason.isEmpty()) {
        QCOMPARE(outcome.errorBoxes, QStringList());
        QVERIFY(!outcome.windowStillOpen);
        if (saver == Saver::Download) {
            QCOMPARE(ReadAll(RecordFileName), NewRecordFile);
            QCOMPARE(ReadAll(RecordFileName + ".bak"), EarlierRecordFile);
        } else {
            QCOMPARE(ReadAll(CalibrationFileName), QByteArray("2\r\n3\r\n"));
        }
        return;
    }
    if (reason.contains(QStringLiteral("%1")))
        reason = reason.arg(QDir::toNativeSeparators(QDir::currentPath()));
    QCOMPARE(outcome.errorBoxes,
             QStringList{QStringLiteral("Cannot create file \"%1\". %2")
                             .arg(QDir::current().absoluteFilePath(savedName), reason)});
    // The window stays for another try; nothing was replaced and nothing left beside: not the
    // file, not its .bak, not a temporary.
    QVERIFY(outcome.windowStillOpen);
    QCOMPARE(Snapshot(), before);
}

SaveOutcome ReadOnlyFilesTest::saveThrough(Saver saver)
{
    SaveOutcome outcome;
    if (saver == Saver::Download) {
        m_f->startDownload(QStringLiteral("2"));
        m_f->deliver(TwoRecords);
        // Saved once the line has fallen quiet; a failure is reported then.
        (void)QTest::qWaitFor(
            [&] { return !m_f->form.isVisible() || !m_f->dialogs.boxes.isEmpty(); },
            TLoadDataForm::SettleMs + 5000);
        outcome.windowStillOpen = m_f->form.isVisible();
    } else {
        CalibrationStore store;
        Tcalibrationform form;
        form.setCalibrationStore(&store);
        form.open();
        form.findChild<QLineEdit*>("TempOffsetEdit")->setText(QStringLiteral("2"));
        form.findChild<QLineEdit*>("HumOffsetEdit")->setText(QStringLiteral("3"));
        form.findChild<QPushButton*>("BitBtn1")->click();
        outcome.windowStillOpen = form.isVisible();
    }
    for (const ShownBox& box : m_f->dialogs.boxes)
        outcome.errorBoxes << (box.kind == MsgKind::Error ? box.text : "not an error: " + box.text);
    return outcome;
}

QTEST_MAIN(ReadOnlyFilesTest)
#include "tst_read_only_files.moc"
