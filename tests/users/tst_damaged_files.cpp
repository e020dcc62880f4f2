// What the user and audit files keep when they are damaged or cannot be written: a cut-short end
// moved to a side file, told and audited; a failed append cut back; a user file with bytes but no
// whole account that never counts as a first run; and the user file's .bak.
#include "common/clickable_label.h"
#include "common/error_handler.h"
#include "support/audit_file.h"
#include "support/process_limits.h"
#include "support/scripted_services.h"
#include "support/test_files.h"
#include "support/window_driving.h"
#include "users/accounts.h"
#include "users/add_user_form.h"
#include "users/audit_log.h"
#include "users/login_form.h"
#include "users/user_list_form.h"
#include "users/user_store.h"

#include "users_fixture.h"

#include <QDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

namespace
{
// Side files are named for the fixed clock's moment.
const QString AuditSide = QStringLiteral("ConfigActions.dt.damaged-2026-12-09-110500");
const QString UserSide = QStringLiteral("ConfigAgents.dt.damaged-2026-12-09-110500");
const QString UserBackup = QStringLiteral("ConfigAgents.dt.bak");

QByteArray Account(qint32 id, const QString& login, qint32 level)
{
    return UserRecord::fromTyped(id, QStringLiteral("First"), QStringLiteral("Family"), login,
                                 QStringLiteral("pw"), level)
        .toBytes();
}

QByteArray Entry(qint32 userId, const QString& action, const QString& details)
{
    return AuditRecord{userId, action.toLatin1(), 46365.5, details.toLatin1()}.toBytes();
}

void Save(QWidget* dialog)
{
    QTest::mouseClick(Button(dialog, "BitBtn1"), Qt::LeftButton);
}

int Mode(const QString& fileName)
{
    struct stat status {
    };
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return -1;
    return int(status.st_mode & 0777);
}

QStringList FolderFiles(const QString& pattern)
{
    return QDir::current().entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
}

// The damaged-file message, as the user reads it, for a user file of that many bytes in the
// working folder.
QString DamagedUserFile(const QString& bytes, bool backupHoldsAnAccount)
{
    const QString damage =
        QStringLiteral("Le fichier des comptes « ConfigAgents.dt » (dossier %1) est endommagé : "
                       "il contient %2 mais aucun compte complet. Aucun compte ne peut être créé "
                       "tant qu'il n'est pas restauré. ")
            .arg(QDir::toNativeSeparators(QDir::currentPath()), bytes);
    return damage +
           (backupHoldsAnAccount
                ? QStringLiteral("Pour le restaurer : quittez le programme, remplacez "
                                 "« ConfigAgents.dt » par une copie de « ConfigAgents.dt.bak » "
                                 "(les comptes d'avant la dernière modification), puis relancez "
                                 "le programme.")
                : QStringLiteral("Aucune copie « ConfigAgents.dt.bak » contenant un compte "
                                 "n'existe dans ce dossier : quittez le programme, remettez "
                                 "« ConfigAgents.dt » depuis votre sauvegarde, puis relancez le "
                                 "programme."));
}

// How a test writes into a file: as a user would reach that write.
enum class Writer {
    AuditedAction, // an action of the main windows: its audit entry
    AddUser,       // "Save" of the add-user dialog opened from the main window
    DeleteAll,     // "Supprimmer tout" in the user list, answered Yes
};

void Write(Writer writer, ScriptedDialogs& dialogs)
{
    switch (writer) {
    case Writer::AuditedAction: {
        bool workDone = false;
        QVERIFY(Guarded([&] {
            AppendAuditEntry(AuditAction::PdfReport,
                             AuditDetails::PdfReport(QStringLiteral("0"), QStringLiteral("40")));
            workDone = true;
        }));
        QVERIFY(workDone);
        break;
    }
    case Writer::AddUser: {
        TAddUserForm addUser;
        addUser.show();
        FillAccount(&addUser, QStringLiteral("10"), QStringLiteral("neuf"), QStringLiteral("3"));
        Save(&addUser);
        QVERIFY(!addUser.isVisible());
        break;
    }
    case Writer::DeleteAll: {
        dialogs.answers << MsgButton::Yes;
        TUserListForm userList;
        userList.show();
        QTest::mouseClick(Button(&userList, "BitBtn1"), Qt::LeftButton);
        userList.close();
        break;
    }
    }
}
} // namespace

Q_DECLARE_METATYPE(Writer)

class DamagedFilesTest : public UsersTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void damagedTailIsMovedAsideToldAndAudited_data();
    void damagedTailIsMovedAsideToldAndAudited();
    void failedAccountAppendLeavesTheUserFileAsItWas();

    void damagedUserFileCreatesNoAccount_data();
    void damagedUserFileCreatesNoAccount();
    void firstAccountDialogRefusesOnceAnAccountExists();

    void backupHoldsTheContentBeforeTheChange_data();
    void backupHoldsTheContentBeforeTheChange();
};

void DamagedFilesTest::init()
{
    setUpCase();
}

void DamagedFilesTest::cleanup()
{
    tearDownCase();
}

void DamagedFilesTest::damagedTailIsMovedAsideToldAndAudited_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("whole"); // the whole records before
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<QByteArray>("kept"); // what the file starts with after the write
    QTest::addColumn<QString>("side");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("audit");
    QTest::addColumn<int>("sizeAfter");

    const auto told = [](const QString& file, const QString& what, const QString& bytes,
                         const QString& side, const QString& kept) {
        return what +
               QStringLiteral(" se terminait par un enregistrement incomplet (%1), sans doute "
                              "laissé par une écriture interrompue. Il a été déplacé dans le "
                              "fichier « %2 », dans le même dossier, et « %3 » %4. "
                              "Conservez « %2 » pour l'examiner.")
                   .arg(bytes, side, file, kept);
    };
    const QString pdfReport = QStringLiteral("9|pdf report |start rec:0 end rec:40");

    const QByteArray twoEntries = Entry(1, AuditAction::PdfSave, AuditDetails::PdfSave) +
                                  Entry(2, AuditAction::CsvExport, AuditDetails::CsvExport);
    QTest::newRow("audit file, two entries and 248 bytes")
        << Writer::AuditedAction << AuditFileName << twoEntries << QByteArray(248, '\xAA')
        << twoEntries << AuditSide
        << told(AuditFileName, QStringLiteral("Le journal d'audit « ConfigActions.dt »"),
                QStringLiteral("248 octets"), AuditSide,
                QStringLiteral("garde ses 2 enregistrements complets"))
        << QStringList{"1|PDF Save |PDF Save", "2|SAVE CSV FILE |save csv",
                       "9|damaged tail moved |" + AuditSide + " bytes:248", pdfReport}
        << 4 * 376;
    // A disk full during the very first entry.
    QTest::newRow("audit file, nothing but 276 bytes")
        << Writer::AuditedAction << AuditFileName << QByteArray() << QByteArray(276, '\x01')
        << QByteArray() << AuditSide
        << told(AuditFileName, QStringLiteral("Le journal d'audit « ConfigActions.dt »"),
                QStringLiteral("276 octets"), AuditSide,
                QStringLiteral("ne garde aucun enregistrement complet"))
        << QStringList{"9|damaged tail moved |" + AuditSide + " bytes:276", pdfReport} << 2 * 376;
    const QByteArray boss = Account(9, QStringLiteral("boss"), 9);
    const QByteArray twoAccounts = boss + Account(8, QStringLiteral("op"), 2);
    QTest::newRow("user file, two accounts and 176 bytes, an account added")
        << Writer::AddUser << UserFileName << twoAccounts << QByteArray(176, '\x55') << twoAccounts
        << UserSide
        << told(UserFileName, QStringLiteral("Le fichier des comptes « ConfigAgents.dt »"),
                QStringLiteral("176 octets"), UserSide,
                QStringLiteral("garde ses 2 enregistrements complets"))
        << QStringList{"9|User created |id:10 level:3 login:neuf name:Neuf Dupont",
                       "9|damaged tail moved |" + UserSide + " bytes:176"}
        << 3 * 412;
    QTest::newRow("user file, one account and 336 bytes, an account added")
        << Writer::AddUser << UserFileName << boss << QByteArray(336, '\x02') << boss << UserSide
        << told(UserFileName, QStringLiteral("Le fichier des comptes « ConfigAgents.dt »"),
                QStringLiteral("336 octets"), UserSide,
                QStringLiteral("garde son seul enregistrement complet"))
        << QStringList{"9|User created |id:10 level:3 login:neuf name:Neuf Dupont",
                       "9|damaged tail moved |" + UserSide + " bytes:336"}
        << 2 * 412;
    // The piece is set aside before the accounts go: the deletion does not take it along.
    QTest::newRow("user file, two accounts and 1 byte, Supprimmer tout")
        << Writer::DeleteAll << UserFileName << twoAccounts << QByteArray(1, 'z') << boss
        << UserSide
        << told(UserFileName, QStringLiteral("Le fichier des comptes « ConfigAgents.dt »"),
                QStringLiteral("1 octet"), UserSide,
                QStringLiteral("garde ses 2 enregistrements complets"))
        << QStringList{"9|User deleted |id:8 level:2 login:op name:First Family",
                       "9|damaged tail moved |" + UserSide + " bytes:1"}
        << 412;
}

void DamagedFilesTest::damagedTailIsMovedAsideToldAndAudited()
{
    QFETCH(Writer, writer);
    QFETCH(QString, file);
    QFETCH(QByteArray, whole);
    QFETCH(QByteArray, tail);
    QFETCH(QByteArray, kept);
    QFETCH(QString, side);
    QFETCH(QString, message);
    QFETCH(QStringList, audit);
    QFETCH(int, sizeAfter);
    WriteAll(file, whole + tail);
    OpenAuditLog();
    // Read, the piece is no record.
    if (file == AuditFileName)
        QCOMPARE(ReadAuditEntries().size(), whole.size() / 376);
    else
        QCOMPARE(SharedUserStore().readAll().size(), whole.size() / 412);
    SetCurrentUserId(9);
    m_dialogs.clear();

    Write(writer, m_dialogs);

    // After the question of "Supprimmer tout", if any.
    QCOMPARE(m_dialogs.texts().size(), writer == Writer::DeleteAll ? 2 : 1);
    QCOMPARE(m_dialogs.texts().last(), message);
    QCOMPARE(m_dialogs.boxes.last().kind, MsgKind::Warning);
    QCOMPARE(ReadAll(side), tail);
    QCOMPARE(Mode(side), 0600);
    const QByteArray after = ReadAll(file);
    QCOMPARE(after.size(), sizeAfter);
    QCOMPARE(after.left(kept.size()), kept);
    QCOMPARE(AuditLines(AuditFileName), audit);
    QCOMPARE(FolderFiles(QStringLiteral("*.damaged-*")), QStringList{side});
}

void DamagedFilesTest::failedAccountAppendLeavesTheUserFileAsItWas()
{
    const QByteArray before = Account(9, QStringLiteral("boss"), 9);
    WriteAll(UserFileName, before);
    OpenAuditLog();
    SetCurrentUserId(9);
    m_dialogs.clear();
    TAddUserForm addUser;
    addUser.show();
    FillAccount(&addUser, QStringLiteral("10"), QStringLiteral("neuf"), QStringLiteral("3"));
    {
        // The disk fills up 100 bytes into the account.
        FileSizeLimit limit(rlim_t(before.size() + 100));
        Save(&addUser);
    }
    // Reported as the runtime reports it; the dialog stays open with its fields.
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("I/O error %1.").arg(EFBIG)});
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QVERIFY(addUser.isVisible());
    QCOMPARE(ReadAll(UserFileName), before);

    // With room again the same account is saved whole, right after the first one.
    Save(&addUser);
    QVERIFY(!addUser.isVisible());
    const QByteArray after = ReadAll(UserFileName);
    QCOMPARE(after.size(), 2 * 412);
    QCOMPARE(after.left(412), before);
    QCOMPARE(UserRecord::fromBytes(after.mid(412)).login, QByteArray("neuf"));
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QVERIFY(FolderFiles(QStringLiteral("*.damaged-*")).isEmpty());
    // Each request is on file, the failed one too.
    QCOMPARE(AuditLines(AuditFileName),
             QStringList(2, QStringLiteral("9|User created |id:10 level:3 login:neuf name:Neuf "
                                           "Dupont")));
}

void DamagedFilesTest::damagedUserFileCreatesNoAccount_data()
{
    QTest::addColumn<QByteArray>("userFile");
    QTest::addColumn<bool>("withBackup");
    QTest::addColumn<QByteArray>("backup");
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("restoreFromBackup");

    const QByteArray admin = Account(1, QStringLiteral("admin"), 9);
    QTest::newRow("its one account cut short, no copy")
        << admin.left(411) << false << QByteArray() << "411 octets" << false;
    QTest::newRow("its one account cut short, a copy that holds it")
        << admin.left(411) << true << admin << "411 octets" << true;
    // Restoring an empty copy would let anybody create an administrator: not proposed.
    QTest::newRow("a single byte, an empty copy")
        << QByteArray(1, '\0') << true << QByteArray() << "1 octet" << false;
}

void DamagedFilesTest::damagedUserFileCreatesNoAccount()
{
    QFETCH(QByteArray, userFile);
    QFETCH(bool, withBackup);
    QFETCH(QByteArray, backup);
    QFETCH(QString, size);
    QFETCH(bool, restoreFromBackup);
    const QString message = DamagedUserFile(size, restoreFromBackup);
    WriteAll(UserFileName, userFile);
    if (withBackup)
        WriteAll(UserBackup, backup);

    // Whoever gets the add-user dialog tries what an intruder would.
    TAddUserForm addUser;
    const auto tryEve = [&] {
        FillAccount(&addUser, QStringLiteral("2"), QStringLiteral("eve"), QStringLiteral("99"));
        Save(&addUser);
        addUser.reject();
    };
    TLoginForm login;
    login.setAddUserForm(&addUser);
    bool dialogSeen = false;
    WhenModal(&addUser, tryEve, &dialogSeen);
    login.show();
    QVERIFY(!dialogSeen);
    QCOMPARE(m_dialogs.texts(),
             (QStringList{message, QStringLiteral("no actions data available")}));
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);

    // "&Create New Account" gives the same answer, and no administrator prompt either.
    m_dialogs.clear();
    QTest::mouseClick(Child<ClickableLabel>(&login, "Label3"), Qt::LeftButton);
    QVERIFY(!dialogSeen);
    QVERIFY(!Child<QDialog>(&login, "TAdminCheckForm")->isVisible());
    QCOMPARE(m_dialogs.texts(), QStringList{message});

    // The first-run dialog itself saves nothing into such a file.
    TAddUserForm firstRun;
    bool firstRunSeen = false;
    QStringList boxesInDialog;
    bool openAfterSave = false;
    WhenModal(
        &firstRun,
        [&] {
            FillAccount(&firstRun, QStringLiteral("2"), QStringLiteral("eve"),
                        QStringLiteral("99"));
            Save(&firstRun);
            boxesInDialog = m_dialogs.texts();
            openAfterSave = firstRun.isVisible();
            firstRun.reject();
        },
        &firstRunSeen);
    firstRun.execFirstAccount();
    QVERIFY(firstRunSeen);
    QVERIFY(openAfterSave);
    QCOMPARE(boxesInDialog, (QStringList{message, message}));

    QCOMPARE(ReadAll(UserFileName), userFile);
    QCOMPARE(QFile::exists(UserBackup), withBackup);
    QCOMPARE(ReadAll(UserBackup), backup);
    QVERIFY(AuditLines(AuditFileName).isEmpty());
    QVERIFY(FolderFiles(QStringLiteral("*.damaged-*")).isEmpty());
    QCOMPARE(CurrentUserId(), 0);
}

void DamagedFilesTest::firstAccountDialogRefusesOnceAnAccountExists()
{
    // Another copy of the program created the first account meanwhile.
    const QByteArray admin = Account(1, QStringLiteral("admin"), 9);
    WriteAll(UserFileName, admin);
    OpenAuditLog();
    m_dialogs.clear();
    TAddUserForm addUser;
    bool seen = false;
    WhenModal(
        &addUser,
        [&] {
            FillAccount(&addUser, QStringLiteral("2"), QStringLiteral("eve"), QStringLiteral("99"));
            Save(&addUser);
            addUser.reject();
        },
        &seen);
    addUser.execCreatingAs(NobodyId);
    QVERIFY(seen);
    QCOMPARE(m_dialogs.texts(),
             QStringList{QStringLiteral("Le fichier des comptes contient déjà un compte : un "
                                        "nouveau compte doit être autorisé par un administrateur "
                                        "(lien « Create New Account »).")});
    QCOMPARE(ReadAll(UserFileName), admin);
    QVERIFY(AuditLines(AuditFileName).isEmpty());
}

void DamagedFilesTest::backupHoldsTheContentBeforeTheChange_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("earlierBackupMode"); // 0: no .bak yet
    QTest::addColumn<int>("mode");

    const QByteArray twoAccounts =
        Account(9, QStringLiteral("boss"), 9) + Account(8, QStringLiteral("op"), 2);
    QTest::newRow("an account added") << Writer::AddUser << twoAccounts << 0 << 0600;
    QTest::newRow("an account added to an empty file")
        << Writer::AddUser << QByteArray() << 0 << 0600;
    // A mode given to the .bak by its owner is kept.
    QTest::newRow("an account added, an earlier .bak replaced")
        << Writer::AddUser << twoAccounts << 0640 << 0640;
    QTest::newRow("Supprimmer tout") << Writer::DeleteAll << twoAccounts << 0 << 0600;
    // A whole copy: the damaged piece too.
    QTest::newRow("an account added to a damaged file")
        << Writer::AddUser << twoAccounts + QByteArray(100, 'x') << 0 << 0600;
}

void DamagedFilesTest::backupHoldsTheContentBeforeTheChange()
{
    QFETCH(Writer, writer);
    QFETCH(QByteArray, before);
    QFETCH(int, earlierBackupMode);
    QFETCH(int, mode);
    WriteAll(UserFileName, before);
    if (earlierBackupMode) {
        WriteAll(UserBackup, QByteArrayLiteral("an earlier copy"));
        QVERIFY(::chmod(QFile::encodeName(UserBackup).constData(), mode_t(earlierBackupMode)) == 0);
    }
    OpenAuditLog();
    SetCurrentUserId(9);
    const mode_t umaskBefore = ::umask(022);
    Write(writer, m_dialogs);
    ::umask(umaskBefore);

    QVERIFY(ReadAll(UserFileName) != before);
    QVERIFY(QFile::exists(UserBackup));
    QCOMPARE(ReadAll(UserBackup), before);
    QCOMPARE(Mode(UserBackup), mode);
    // Made through a temporary file, which is gone.
    QCOMPARE(FolderFiles(QStringLiteral("*.tmp*")), QStringList{});
}

QTEST_MAIN(DamagedFilesTest)
#include "tst_damaged_files.moc"
