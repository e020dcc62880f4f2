// Who gets in and what the audit trail keeps of it: sign-ins audited, attempts refused for
// thirty seconds after five failures in a row, an administrator asked for before an account
// is created at the sign-in window, unique identifiers, "Supprimmer tout", and who may read
// the user and audit files.
#include "common/clickable_label.h"
#include "common/string_grid.h"
#include "common/windows1252.h"
#include "support/audit_file.h"
#include "support/scripted_services.h"
#include "support/test_files.h"
#include "support/window_driving.h"
#include "users/add_user_form.h"
#include "users/admin_check_form.h"
#include "users/audit_log.h"
#include "users/login_form.h"
#include "users/user_list_form.h"
#include "users/user_store.h"

#include "users_fixture.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace
{
const QString Incorrect = QStringLiteral("Login or Password incorrect");
const QString AdminRefused =
    QStringLiteral("Identifiant ou mot de passe incorrect, ou compte de niveau inférieur à 5 : "
                   "création de compte refusée.");
const QString LockStarted =
    QStringLiteral("5 tentatives de connexion échouées de suite : les connexions sont refusées "
                   "pendant 30 secondes.");

QString Locked(int seconds)
{
    return QStringLiteral("Trop de tentatives de connexion échouées : nouvel essai possible dans "
                          "%1 %2.")
        .arg(seconds)
        .arg(seconds > 1 ? "secondes" : "seconde");
}

void Add(qint32 id, const QString& login, const QString& password, qint32 level)
{
    SharedUserStore().append(UserRecord::fromTyped(id, QStringLiteral("First%1").arg(id),
                                                   QStringLiteral("Family%1").arg(id), login,
                                                   password, level));
}

QList<int> StoredIds()
{
    QList<int> ids;
    for (const UserRecord& account : SharedUserStore().readAll())
        ids << account.id;
    return ids;
}

int Mode(const QString& fileName)
{
    struct stat status {
    };
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return -1;
    return int(status.st_mode & 0777);
}

// The sign-in window wired to the add-user dialog as the shell wires them, on screen.
struct SignInDesk {
    TAddUserForm addUser;
    TLoginForm login;
    SignInDesk()
    {
        login.setAddUserForm(&addUser);
        login.show();
    }
    TAdminCheckForm* adminCheck() { return Child<TAdminCheckForm>(&login, "TAdminCheckForm"); }
    void attempt(const QString& name, const QString& password)
    {
        Edit(&login, "Edit1")->setText(name);
        Edit(&login, "password")->setText(password);
        QTest::mouseClick(Button(&login, "BitBtn1"), Qt::LeftButton);
    }
    void clickCreateNewAccount()
    {
        QTest::mouseClick(Child<ClickableLabel>(&login, "Label3"), Qt::LeftButton);
    }
};
} // namespace

class AccessTest : public UsersTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void signInsAreAuditedWithoutThePassword_data();
    void signInsAreAuditedWithoutThePassword();
    void fiveFailuresInARowRefuseAttemptsForThirtySeconds();
    void administratorPromptSharesTheCountOfFailures();

    void firstAccountNeedsNoAdministratorAndIsAudited();
    void createNewAccountAsksForAnAdministrator_data();
    void createNewAccountAsksForAnAdministrator();
    void takenIdentifierIsRefusedAndTheNextFreeProposed_data();
    void takenIdentifierIsRefusedAndTheNextFreeProposed();

    void deleteAllKeepsOneAdministratorAndAuditsEachRemoval_data();
    void deleteAllKeepsOneAdministratorAndAuditsEachRemoval();

    void userAndAuditFilesAreTheOwnersOnly_data();
    void userAndAuditFilesAreTheOwnersOnly();
};

void AccessTest::init()
{
    setUpCase();
}

void AccessTest::cleanup()
{
    tearDownCase();
}

void AccessTest::signInsAreAuditedWithoutThePassword_data()
{
    const auto S = [](const char* text) { return QString::fromUtf8(text); };
    QTest::addColumn<QStringList>("attempts"); // login, password, login, password...
    QTest::addColumn<QStringList>("audit");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("signedInId"); // 0: nobody

    QTest::newRow("right at once") << QStringList{"marie", "S3cret-pw"}
                                   << QStringList{"7|Sign in |login:marie"} << QStringList{} << 7;
    QTest::newRow("wrong, then right")
        << QStringList{"marie", "s3cret-pw", "marie", "S3cret-pw"}
        << QStringList{"0|Sign in failed |login:marie", "7|Sign in |login:marie"}
        << QStringList{Incorrect} << 7;
    QTest::newRow("login kept as typed")
        << QStringList{"Marie ", "S3cret-pw"} << QStringList{"0|Sign in failed |login:Marie "}
        << QStringList{Incorrect} << 0;
    QTest::newRow("accented login and password")
        << QStringList{S("zoé"), S("Pässwörd")} << QStringList{S("9|Sign in |login:zoé")}
        << QStringList{} << 9;
    QTest::newRow("empty fields") << QStringList{"", ""} << QStringList{"0|Sign in failed |login:"}
                                  << QStringList{Incorrect} << 0;
}

void AccessTest::signInsAreAuditedWithoutThePassword()
{
    QFETCH(QStringList, attempts);
    QFETCH(QStringList, audit);
    QFETCH(QStringList, boxes);
    QFETCH(int, signedInId);
    SharedUserStore().prepare();
    Add(7, "marie", "S3cret-pw", 5);
    Add(9, QStringLiteral("zoé"), QStringLiteral("Pässwörd"), 2);
    SignInDesk desk;
    QSignalSpy signedIn(&desk.login, &TLoginForm::signedIn);
    m_dialogs.clear();

    for (qsizetype i = 0; i + 1 < attempts.size(); i += 2)
        desk.attempt(attempts[i], attempts[i + 1]);

    QCOMPARE(AuditLines(AuditFileName), audit);
    QCOMPARE(m_dialogs.texts(), boxes);
    QCOMPARE(CurrentUserId(), signedInId);
    QCOMPARE(signedIn.size(), signedInId ? 1 : 0);
    // Neither the password nor its scrambled form reaches the audit file.
    const QByteArray file = ReadAll(AuditFileName);
    for (qsizetype i = 1; i < attempts.size(); i += 2) {
        if (attempts[i].isEmpty())
            continue;
        QVERIFY(!file.contains(EncodeWindows1252(attempts[i])));
        QVERIFY(!file.contains(ScramblePassword(attempts[i])));
    }
}

void AccessTest::fiveFailuresInARowRefuseAttemptsForThirtySeconds()
{
    SharedUserStore().prepare();
    Add(7, "marie", "secret", 5);
    SignInDesk desk;
    QSignalSpy signedIn(&desk.login, &TLoginForm::signedIn);
    m_dialogs.clear();
    const QDateTime start = m_clock.utc;

    for (int n = 1; n <= 4; ++n)
        desk.attempt("marie", QStringLiteral("wrong%1").arg(n));
    QCOMPARE(m_dialogs.texts(), QStringList(4, Incorrect));
    desk.attempt("intrus", "x"); // the fifth in a row
    QCOMPARE(m_dialogs.texts().size(), 5);
    QCOMPARE(m_dialogs.texts().last(), LockStarted);
    QStringList expected(4, "0|Sign in failed |login:marie");
    expected << "0|Sign in failed |login:intrus"
             << "0|Sign in locked |failures:5 seconds:30 login:intrus";
    QCOMPARE(AuditLines(AuditFileName), expected);

    // Ten seconds later the right password, by Enter, is not even compared.
    m_clock.utc = start.addSecs(10);
    Edit(&desk.login, "Edit1")->setText("marie");
    Edit(&desk.login, "password")->setText("secret");
    QTest::keyClick(Edit(&desk.login, "password"), Qt::Key_Return);
    QCOMPARE(m_dialogs.texts().last(), Locked(20));
    expected << "0|Sign in refused |seconds left:20 login:marie";
    QCOMPARE(AuditLines(AuditFileName), expected);
    QVERIFY(signedIn.isEmpty());
    QVERIFY(desk.login.isVisible());

    // No administrator can be asked for meanwhile either.
    bool promptSeen = false;
    WhenModal(
        desk.adminCheck(), [&] { desk.adminCheck()->reject(); }, &promptSeen);
    desk.clickCreateNewAccount();
    QVERIFY(!promptSeen);
    QCOMPARE(m_dialogs.texts().last(), Locked(20));

    m_clock.utc = start.addMSecs(29500);
    desk.attempt("marie", "secret");
    QCOMPARE(m_dialogs.texts().last(), Locked(1));
    QVERIFY(signedIn.isEmpty());

    m_clock.utc = start.addSecs(30);
    const int boxes = int(m_dialogs.boxes.size());
    desk.attempt("marie", "secret");
    QCOMPARE(signedIn.size(), 1);
    QCOMPARE(m_dialogs.boxes.size(), boxes);
    QCOMPARE(AuditLines(AuditFileName).last(), QStringLiteral("7|Sign in |login:marie"));
    QCOMPARE(AuditLines(AuditFileName).size(), 9);
}

void AccessTest::administratorPromptSharesTheCountOfFailures()
{
    SharedUserStore().prepare();
    Add(3, "boss", "chef", 9);
    SignInDesk desk;
    m_dialogs.clear();
    const QDateTime start = m_clock.utc;
    TAdminCheckForm* prompt = desk.adminCheck();

    for (int n = 1; n <= 3; ++n)
        desk.attempt("boss", "wrong");
    // The fourth and fifth failures in the prompt: it stays open after the fourth, closes
    // after the fifth, and no add-user dialog comes up.
    bool promptSeen = false;
    bool addUserSeen = false;
    QStringList boxesInPrompt;
    bool openAfterFourth = false;
    WhenModal(
        prompt,
        [&] {
            WhenModal(
                &desk.addUser, [&] { desk.addUser.reject(); }, &addUserSeen);
            for (int n = 4; n <= 5; ++n) {
                Edit(prompt, "AdminLoginEdit")->setText("boss");
                Edit(prompt, "AdminPasswordEdit")->setText("Chef");
                Button(prompt, "ValiderButton")->click();
                if (n == 4)
                    openAfterFourth = prompt->isVisible();
            }
            boxesInPrompt = m_dialogs.texts().mid(3);
        },
        &promptSeen);
    desk.clickCreateNewAccount();
    QVERIFY(promptSeen);
    QVERIFY(openAfterFourth);
    QVERIFY(!prompt->isVisible());
    QCOMPARE(boxesInPrompt, (QStringList{AdminRefused, LockStarted}));
    QVERIFY(!addUserSeen);
    QStringList expected(3, "0|Sign in failed |login:boss");
    expected << "0|Admin check failed |login:boss"
             << "0|Admin check failed |login:boss"
             << "0|Sign in locked |failures:5 seconds:30 login:boss";
    QCOMPARE(AuditLines(AuditFileName), expected);

    // Once the refusal is over, two failures, then the administrator gets through, which
    // ends the row: four more failures are four plain refusals, not a sixth in a row.
    m_clock.utc = start.addSecs(30);
    desk.attempt("boss", "wrong");
    desk.attempt("boss", "wrong");
    WhenModal(
        prompt,
        [&] {
            WhenModal(
                &desk.addUser, [&] { Button(&desk.addUser, "BitBtn2")->click(); }, &addUserSeen);
            Edit(prompt, "AdminLoginEdit")->setText("boss");
            Edit(prompt, "AdminPasswordEdit")->setText("chef");
            Button(prompt, "ValiderButton")->click();
        },
        &promptSeen);
    desk.clickCreateNewAccount();
    QVERIFY(addUserSeen);
    QCOMPARE(AuditLines(AuditFileName).last(), QStringLiteral("3|Admin check |login:boss"));
    m_dialogs.clear();
    for (int n = 1; n <= 4; ++n)
        desk.attempt("boss", "wrong");
    QCOMPARE(m_dialogs.texts(), QStringList(4, Incorrect));
}

void AccessTest::firstAccountNeedsNoAdministratorAndIsAudited()
{
    TAddUserForm addUser; // prepares an empty user file
    TLoginForm login;
    login.setAddUserForm(&addUser);
    QStringList seen;
    m_dialogs.onBox = [&](const ShownBox& box) -> std::optional<MsgButton> {
        seen << QStringLiteral("box ") + box.text;
        return std::nullopt;
    };
    bool dialogSeen = false;
    WhenModal(
        &addUser,
        [&] {
            seen << QStringLiteral("add-user dialog");
            FillAccount(&addUser, "1", "admin", "9");
            Button(&addUser, "BitBtn1")->click();
        },
        &dialogSeen);
    login.show();
    seen << QStringLiteral("sign-in window");
    QVERIFY(dialogSeen);
    QCOMPARE(seen,
             (QStringList{"add-user dialog", "box no actions data available", "sign-in window"}));
    // Written once the audit file is open, by nobody: nobody was signed in.
    QCOMPARE(AuditLines(AuditFileName),
             QStringList{"0|User created |id:1 level:9 login:admin name:Neuf Dupont"});

    // From now on "&Create New Account" asks for an administrator first.
    bool promptSeen = false;
    bool addUserSeen = false;
    TAdminCheckForm* prompt = Child<TAdminCheckForm>(&login, "TAdminCheckForm");
    WhenModal(
        prompt,
        [&] {
            WhenModal(
                &addUser, [&] { addUser.reject(); }, &addUserSeen);
            Button(prompt, "AnnulerButton")->click();
        },
        &promptSeen);
    QTest::mouseClick(Child<ClickableLabel>(&login, "Label3"), Qt::LeftButton);
    QVERIFY(promptSeen);
    QVERIFY(!addUserSeen);
    QCOMPARE(prompt->windowTitle(), QStringLiteral("Autorisation administrateur"));
    QCOMPARE(Edit(prompt, "AdminPasswordEdit")->echoMode(), QLineEdit::Password);
    QCOMPARE(SharedUserStore().readAll().size(), 1);
    QCOMPARE(AuditLines(AuditFileName).size(), 1);
}

void AccessTest::createNewAccountAsksForAnAdministrator_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("granted");
    QTest::addColumn<QStringList>("audit");

    QTest::newRow("administrator")
        << "boss"
        << "chef" << true
        << QStringList{"3|Admin check |login:boss",
                       "3|User created |id:10 level:5 login:neuf name:Neuf Dupont"};
    QTest::newRow("wrong password")
        << "boss"
        << "Chef" << false << QStringList{"0|Admin check failed |login:boss"};
    QTest::newRow("level 4") << "op"
                             << "op" << false << QStringList{"0|Admin check failed |login:op"};
    // The same login and password at levels 9 and 2: the lower counts, as at sign-in.
    QTest::newRow("levels 9 and 2")
        << "twin"
        << "pw" << false << QStringList{"0|Admin check failed |login:twin"};
}

void AccessTest::createNewAccountAsksForAnAdministrator()
{
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(bool, granted);
    QFETCH(QStringList, audit);
    SharedUserStore().prepare();
    Add(3, "boss", "chef", 9);
    Add(4, "op", "op", 4);
    Add(5, "twin", "pw", 9);
    Add(6, "twin", "pw", 2);
    SignInDesk desk;
    m_dialogs.clear();
    TAdminCheckForm* prompt = desk.adminCheck();

    bool promptSeen = false;
    bool addUserSeen = false;
    bool openAfterRefusal = false;
    QString passwordAfterRefusal = QStringLiteral("not read");
    WhenModal(
        prompt,
        [&] {
            if (granted) {
                WhenModal(
                    &desk.addUser,
                    [&] {
                        FillAccount(&desk.addUser, "10", "neuf", "5");
                        Button(&desk.addUser, "BitBtn1")->click();
                    },
                    &addUserSeen);
            }
            Edit(prompt, "AdminLoginEdit")->setText(login);
            Edit(prompt, "AdminPasswordEdit")->setText(password);
            Button(prompt, "ValiderButton")->click();
            if (!granted) {
                openAfterRefusal = prompt->isVisible();
                passwordAfterRefusal = Edit(prompt, "AdminPasswordEdit")->text();
                Button(prompt, "AnnulerButton")->click();
            }
        },
        &promptSeen);
    desk.clickCreateNewAccount();

    QVERIFY(promptSeen);
    QCOMPARE(addUserSeen, granted);
    QCOMPARE(AuditLines(AuditFileName), audit);
    QCOMPARE(StoredIds(), granted ? (QList<int>{3, 4, 5, 6, 10}) : (QList<int>{3, 4, 5, 6}));
    QCOMPARE(m_dialogs.texts(), granted ? QStringList{} : QStringList{AdminRefused});
    if (!granted) {
        QVERIFY(openAfterRefusal);
        QCOMPARE(passwordAfterRefusal, QString());
    }
    // Nobody is signed in by it.
    QCOMPARE(CurrentUserId(), 0);
    QVERIFY(desk.login.isVisible());
}

void AccessTest::takenIdentifierIsRefusedAndTheNextFreeProposed_data()
{
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("proposal");
    QTest::addColumn<QString>("message");

    const QString taken = QStringLiteral("L'identifiant %1 est déjà celui d'un autre compte. "
                                         "Identifiant libre proposé : %2.");
    QTest::newRow("the next one above, not the largest plus one")
        << QList<int>{1, 2, 3, 10} << "2" << 4 << taken.arg(2).arg(4);
    QTest::newRow("typed with a leading space")
        << QList<int>{5} << " 5" << 6 << taken.arg(5).arg(6);
    QTest::newRow("negative") << QList<int>{-4} << "-4" << -3 << taken.arg(-4).arg(-3);
    QTest::newRow("the largest goes on from 1")
        << QList<int>{2147483647, 1} << "2147483647" << 2 << taken.arg(2147483647).arg(2);
    // 0 stamps what is audited before any sign-in.
    QTest::newRow("0 is reserved") << QList<int>{1} << "0" << 2
                                   << QStringLiteral("L'identifiant 0 est réservé aux entrées du "
                                                     "journal faites avant toute connexion. "
                                                     "Identifiant libre proposé : 2.");
}

void AccessTest::takenIdentifierIsRefusedAndTheNextFreeProposed()
{
    QFETCH(QList<int>, existing);
    QFETCH(QString, typed);
    QFETCH(int, proposal);
    QFETCH(QString, message);
    SharedUserStore().prepare();
    for (int id : existing)
        Add(id, QStringLiteral("login%1").arg(id), "pw", 9);
    OpenAuditLog();
    m_dialogs.clear();
    SetCurrentUserId(existing.first()); // from the main window's "Add user"

    TAddUserForm addUser;
    addUser.show();
    FillAccount(&addUser, typed, "neuf", "3");
    Button(&addUser, "BitBtn1")->click();
    QCOMPARE(m_dialogs.texts(), QStringList{message});
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QVERIFY(addUser.isVisible());
    QCOMPARE(Edit(&addUser, "Edit1")->text(), QString::number(proposal));
    QCOMPARE(Edit(&addUser, "Edit4")->text(), QStringLiteral("neuf"));
    QCOMPARE(StoredIds(), existing);
    QVERIFY(AuditLines(AuditFileName).isEmpty());

    // Saving again takes the proposal.
    Button(&addUser, "BitBtn1")->click();
    QVERIFY(!addUser.isVisible());
    QCOMPARE(StoredIds(), existing + QList<int>{proposal});
    QCOMPARE(AuditLines(AuditFileName),
             QStringList{QStringLiteral("%1|User created |id:%2 level:3 login:neuf name:Neuf "
                                        "Dupont")
                             .arg(existing.first())
                             .arg(proposal)});
}

void AccessTest::deleteAllKeepsOneAdministratorAndAuditsEachRemoval_data()
{
    QTest::addColumn<QList<int>>("levels"); // of accounts 1, 2, 3...
    QTest::addColumn<int>("signedInId");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QList<int>>("remaining");

    const QString kept = QStringLiteral("Le compte « login%1 » (identifiant %1) est le dernier "
                                        "compte de niveau 5 ou plus : il est conservé.");
    QTest::newRow("the signed-in administrator stays")
        << QList<int>{9, 5, 1, 7} << 2 << true
        << QStringLiteral("Supprimer 3 comptes ? ") + kept.arg(2) << QList<int>{2};
    QTest::newRow("an operator signed in: the last administrator stays")
        << QList<int>{9, 3, 6, 2} << 2 << true
        << QStringLiteral("Supprimer 3 comptes ? ") + kept.arg(3) << QList<int>{3};
    QTest::newRow("answered No") << QList<int>{9, 1} << 1 << false
                                 << QStringLiteral("Supprimer 1 compte ? ") + kept.arg(1)
                                 << QList<int>{1, 2};
    QTest::newRow("only the administrator")
        << QList<int>{9} << 1 << true << QStringLiteral("Aucun compte à supprimer. ") + kept.arg(1)
        << QList<int>{1};
    QTest::newRow("no administrator at all")
        << QList<int>{2, 3} << 1 << true
        << QStringLiteral("Suppression refusée : aucun compte de niveau 5 ou plus ne resterait "
                          "pour gérer les comptes.")
        << QList<int>{1, 2};
}

void AccessTest::deleteAllKeepsOneAdministratorAndAuditsEachRemoval()
{
    QFETCH(QList<int>, levels);
    QFETCH(int, signedInId);
    QFETCH(bool, confirm);
    QFETCH(QString, box);
    QFETCH(QList<int>, remaining);
    SharedUserStore().prepare();
    for (int n = 0; n < levels.size(); ++n)
        Add(n + 1, QStringLiteral("login%1").arg(n + 1), "pw", levels[n]);
    OpenAuditLog();
    m_dialogs.clear();
    SetCurrentUserId(signedInId);
    m_dialogs.answers << (confirm ? MsgButton::Yes : MsgButton::No);

    TUserListForm userList;
    userList.show();
    QTest::mouseClick(Button(&userList, "BitBtn1"), Qt::LeftButton);

    QCOMPARE(m_dialogs.texts(), QStringList{box});
    const bool asked = box.startsWith(QStringLiteral("Supprimer"));
    QCOMPARE(m_dialogs.boxes[0].kind, asked ? MsgKind::Confirmation : MsgKind::Warning);
    QCOMPARE(StoredIds(), remaining);
    QCOMPARE(QFile(UserFileName).size(), 412 * remaining.size());
    // One entry per account removed, by the signed-in user, before the accounts went.
    QStringList audit;
    for (int id = 1; id <= levels.size(); ++id) {
        if (!remaining.contains(id)) {
            audit << QStringLiteral("%1|User deleted |id:%2 level:%3 login:login%2 name:First%2 "
                                    "Family%2")
                         .arg(signedInId)
                         .arg(id)
                         .arg(levels[id - 1]);
        }
    }
    QCOMPARE(AuditLines(AuditFileName), audit);
    // The list shows what is left; the signed-in user stays signed in.
    StringGrid* grid = Child<StringGrid>(&userList, "StringGrid1");
    QCOMPARE(grid->cell(0, 0), QStringLiteral("ID"));
    for (int row = 1; row < TUserListForm::Rows; ++row) {
        const QString id = row <= remaining.size() ? QString::number(remaining[row - 1]) : "";
        QCOMPARE(grid->cell(0, row), id);
    }
    QCOMPARE(CurrentUserId(), signedInId);
    userList.close();

    // The next start asks for no first account: nobody gets one for free.
    TAddUserForm addUser;
    TLoginForm nextStart;
    nextStart.setAddUserForm(&addUser);
    bool firstAccountAsked = false;
    WhenModal(
        &addUser, [&] { addUser.reject(); }, &firstAccountAsked);
    nextStart.show();
    QVERIFY(!firstAccountAsked);
}

void AccessTest::userAndAuditFilesAreTheOwnersOnly_data()
{
    QTest::addColumn<int>("umask");
    QTest::newRow("umask 000") << 0;
    QTest::newRow("umask 022") << 022;
    QTest::newRow("umask 077") << 077;
}

void AccessTest::userAndAuditFilesAreTheOwnersOnly()
{
    QFETCH(int, umask);
    const mode_t before = ::umask(mode_t(umask));
    {
        TAddUserForm addUser; // creates the user file
        OpenAuditLog();       // creates the audit file
    }
    const int userMode = Mode(UserFileName);
    const int auditMode = Mode(AuditFileName);
    // Created again by the sign-in window when it went missing.
    SharedUserStore().close();
    QFile::remove(UserFileName);
    {
        TLoginForm login;
        login.show();
    }
    const int recreatedMode = Mode(UserFileName);
    ::umask(before);

    QCOMPARE(userMode, 0600);
    QCOMPARE(auditMode, 0600);
    QCOMPARE(recreatedMode, 0600);
}

QTEST_MAIN(AccessTest)
#include "tst_access.moc"
