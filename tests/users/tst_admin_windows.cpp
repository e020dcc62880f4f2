#include "common/clickable_label.h"
#include "common/string_grid.h"
#include "support/audit_file.h"
#include "support/scripted_services.h"
#include "support/test_files.h"
#include "support/window_driving.h"
#include "users/add_user_form.h"
#include "users/admin_rows.h"
#include "users/audit_form.h"
#include "users/audit_log.h"
#include "users/login_form.h"
#include "users/user_list_form.h"
#include "users/user_store.h"

#include "users_fixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace
{
StringGrid* Grid(QWidget* window)
{
    return Child<StringGrid>(window, "StringGrid1");
}

void FillAccount(QWidget* dialog, const QString& id, const QString& first, const QString& login,
                 const QString& password, const QString& level)
{
    Edit(dialog, "Edit1")->setText(id);
    Edit(dialog, "Edit2")->setText(first);
    Edit(dialog, "Edit3")->setText(QStringLiteral("Family of ") + first);
    Edit(dialog, "Edit4")->setText(login);
    Edit(dialog, "Password")->setText(password);
    Edit(dialog, "Edit5")->setText(level);
}

bool OnScreen(QWidget* window)
{
    return window->windowHandle() && window->windowHandle()->isVisible();
}

qint64 FileSize(const QString& name)
{
    return QFile::exists(name) ? QFile(name).size() : -1;
}

void AddAccounts(int count, int firstId = 1)
{
    for (int n = 0; n < count; ++n) {
        const int id = firstId + n;
        SharedUserStore().append(UserRecord::fromTyped(
            id, QStringLiteral("First%1").arg(id), QStringLiteral("Family%1").arg(id),
            QStringLiteral("login%1").arg(id), QStringLiteral("pw%1").arg(id), 5));
    }
}
} // namespace

class AdminWindowsTest : public UsersTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void windowLooks();
    void addUserFocusOrder();
    void signInWindowIsCentred();

    void firstRunInAnEmptyDirectory();
    void signInButtonAndLevels();
    void userFileGoneAtShowIsCreatedAgain();
    void exitEndsTheProgram();
    void createNewAccountByItsShortcut();

    void addUserRefusesBadFields_data();
    void addUserRefusesBadFields();
    void addUserKeepsItsFieldsAndCloseSavesNothing();

    void userListShowsAccountsAsTyped();

    void auditViewShowsEntries();
    void auditViewShowsAtMost499Entries();
    void auditViewWithoutAnOpenFileStillOpens();
    void auditDateText_data();
    void auditDateText();
};

void AdminWindowsTest::init()
{
    setUpCase();
}

void AdminWindowsTest::cleanup()
{
    tearDownCase();
}

void AdminWindowsTest::windowLooks()
{
    TAddUserForm addUser;
    TLoginForm login;
    TUserListForm userList;
    TAuditForm audit;

    QVERIFY(login.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(login.palette().color(QPalette::Window), QColor(0, 0, 255));
    QVERIFY(login.autoFillBackground());
    QCOMPARE(Child<QLabel>(&login, "Label1")->text(), QStringLiteral("USER NAME: "));
    QCOMPARE(Child<QLabel>(&login, "Label2")->text(), QStringLiteral("PASSWORD :"));
    for (QLabel* label : login.findChildren<QLabel*>())
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(Edit(&login, "Edit1")->text(), QString());
    QCOMPARE(Edit(&login, "password")->echoMode(), QLineEdit::Password);
    Edit(&login, "password")->setText(QStringLiteral("pwd"));
    QCOMPARE(Edit(&login, "password")->displayText(), QStringLiteral("***"));
    Edit(&login, "password")->clear();
    QCOMPARE(Button(&login, "BitBtn1")->text(), QStringLiteral("&Sign-in"));
    QCOMPARE(Button(&login, "BitBtn2")->text(), QStringLiteral("&Exit"));
    auto* link = Child<ClickableLabel>(&login, "Label3");
    QCOMPARE(link->text(), QStringLiteral("&Create New Account"));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);

    QCOMPARE(addUser.windowTitle(), QStringLiteral("Ajouter un utilisateur"));
    QCOMPARE(addUser.palette().color(QPalette::Window), QColor(0, 128, 0));
    QStringList labels;
    for (QLabel* label : addUser.findChildren<QLabel*>()) {
        labels << label->text();
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    }
    labels.sort();
    QCOMPARE(labels, (QStringList{"Family name :", "First Name :", "ID :", "Level",
                                  "Login :", "Password :"}));
    QCOMPARE(Edit(&addUser, "Edit1")->text(), QStringLiteral("1"));
    QCOMPARE(Edit(&addUser, "Edit5")->text(), QString());
    // Masked with "*", as on the sign-in window.
    Edit(&addUser, "Password")->setText(QStringLiteral("abc"));
    QCOMPARE(Edit(&addUser, "Password")->displayText(), QStringLiteral("***"));
    QCOMPARE(Button(&addUser, "BitBtn1")->text(), QStringLiteral("Save"));
    QCOMPARE(Button(&addUser, "BitBtn2")->text(), QStringLiteral("Close"));

    QCOMPARE(userList.windowTitle(), QStringLiteral("User List Form"));
    StringGrid* users = Grid(&userList);
    QCOMPARE(users->columnCount(), 5);
    QCOMPARE(users->rowCount(), 20);
    QCOMPARE(users->fixedRows(), 1);
    QCOMPARE(users->fixedColumns(), 0);
    QCOMPARE(Button(&userList, "BitBtn1")->text(), QStringLiteral("Supprimmer tout"));
    QCOMPARE(Button(&userList, "BitBtn2")->text(), QStringLiteral("Fermer"));

    QCOMPARE(audit.windowTitle(), QStringLiteral("AuditForm"));
    StringGrid* entries = Grid(&audit);
    QCOMPARE(entries->columnCount(), 5);
    QCOMPARE(entries->rowCount(), 500);
    QCOMPARE(entries->fixedRows(), 1);
    QCOMPARE(entries->fixedColumns(), 1);
    const int widths[] = {64, 78, 433, 131, 114};
    for (int column = 0; column < 5; ++column)
        QCOMPARE(entries->columnWidth(column), widths[column]);
    QCOMPARE(entries->editTriggers(), QAbstractItemView::NoEditTriggers);
    for (int column = 0; column < 5; ++column)
        QVERIFY(!(entries->item(1, column)->flags() & Qt::ItemIsEditable));
    QVERIFY(!(entries->item(0, 2)->flags() & Qt::ItemIsSelectable));
    QVERIFY(!(entries->item(3, 0)->flags() & Qt::ItemIsSelectable));
    QVERIFY(entries->item(3, 1)->flags() & Qt::ItemIsSelectable);
}

void AdminWindowsTest::addUserFocusOrder()
{
    TAddUserForm addUser;
    addUser.show();
    QStringList order;
    QWidget* widget = Edit(&addUser, "Edit1");
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != Edit(&addUser, "Edit1") && order.size() < 20);
    QCOMPARE(order, (QStringList{"Edit1", "Edit2", "Edit3", "Edit4", "Password", "BitBtn1",
                                 "BitBtn2", "Edit5"}));
    addUser.close();
}

void AdminWindowsTest::signInWindowIsCentred()
{
    AddAccounts(1);
    TLoginForm login;
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    const QPoint centre = login.screen()->availableGeometry().center();
    QVERIFY2((login.frameGeometry().center() - centre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("centre at %1,%2")
                            .arg(login.frameGeometry().center().x())
                            .arg(login.frameGeometry().center().y())));
    login.close();
}

void AdminWindowsTest::firstRunInAnEmptyDirectory()
{
    TAddUserForm addUser; // created at start-up: prepares the user file
    QCOMPARE(FileSize(UserFileName), 0);
    TLoginForm login;
    login.setAddUserForm(&addUser);
    QSignalSpy signedIn(&login, &TLoginForm::signedIn);

    QStringList seen;
    m_dialogs.onBox = [&](const ShownBox& box) -> std::optional<MsgButton> {
        seen << QStringLiteral("box ") + box.text + (OnScreen(&login) ? " over sign-in" : "");
        return std::nullopt;
    };
    bool dialogSeen = false;
    WhenModal(
        &addUser,
        [&] {
            seen << QStringLiteral("add-user dialog") + (OnScreen(&login) ? " over sign-in" : "");
            Button(&addUser, "BitBtn2")->click(); // "Close" without saving
        },
        &dialogSeen);
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    seen << QStringLiteral("sign-in window");
    QVERIFY(dialogSeen);
    QCOMPARE(seen,
             (QStringList{"add-user dialog", "box no actions data available", "sign-in window"}));
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Plain);
    QCOMPARE(m_dialogs.boxes[0].title, QStringLiteral("QUIVEL CONFIG"));
    QCOMPARE(FileSize(UserFileName), 0);
    QCOMPARE(FileSize(AuditFileName), 0);

    // Every login is refused until an account exists.
    Edit(&login, "Edit1")->setText(QString());
    Button(&login, "BitBtn1")->click();
    QCOMPARE(m_dialogs.texts().last(), QStringLiteral("Login or Password incorrect"));
    QCOMPARE(m_dialogs.boxes.last().kind, MsgKind::Plain);
    QVERIFY(login.isVisible());

    // The first account through "&Create New Account" while the file is still empty; the
    // second one only with an administrator's login and password.
    bool seenNow = false;
    WhenModal(
        &addUser,
        [&] {
            FillAccount(&addUser, "7", QStringLiteral("Marie"), "marie", "secret", "5");
            Button(&addUser, "BitBtn1")->click();
        },
        &seenNow);
    QTest::mouseClick(Child<ClickableLabel>(&login, "Label3"), Qt::LeftButton);
    QVERIFY(seenNow);
    QVERIFY(!addUser.isVisible());
    QCOMPARE(FileSize(UserFileName), 412);
    auto* prompt = login.findChild<QDialog*>(QStringLiteral("TAdminCheckForm"));
    QVERIFY(prompt);
    bool promptSeen = false;
    WhenModal(
        prompt,
        [&] {
            WhenModal(
                &addUser,
                [&] {
                    FillAccount(&addUser, "8", QStringLiteral("Marie"), "marie2", "secret", "5");
                    Button(&addUser, "BitBtn1")->click();
                },
                &seenNow);
            Edit(prompt, "AdminLoginEdit")->setText("marie");
            Edit(prompt, "AdminPasswordEdit")->setText("secret");
            Button(prompt, "ValiderButton")->click();
        },
        &promptSeen);
    QTest::mouseClick(Child<ClickableLabel>(&login, "Label3"), Qt::LeftButton);
    QVERIFY(promptSeen);
    QVERIFY(seenNow);
    QCOMPARE(FileSize(UserFileName), 824);
    QVERIFY(signedIn.isEmpty());

    // Enter in the password field signs in like the button, with the handle opened at show.
    Edit(&login, "Edit1")->setText(QStringLiteral("marie"));
    Edit(&login, "password")->setText(QStringLiteral("secret"));
    const int boxesBefore = int(m_dialogs.boxes.size());
    QTest::keyClick(Edit(&login, "password"), Qt::Key_Return);
    QCOMPARE(signedIn.size(), 1);
    QCOMPARE(signedIn[0][0].value<qint32>(), 7);
    QCOMPARE(signedIn[0][1].value<qint32>(), 5);
    QCOMPARE(CurrentUserId(), 7);
    QVERIFY(login.SignedIn());
    QVERIFY(!login.isVisible());
    QCOMPARE(m_dialogs.boxes.size(), boxesBefore);

    // The trail: the refused attempt, the first account created by nobody, the second by
    // the administrator who authorised it, the sign-in.
    QCOMPARE(AuditLines(AuditFileName),
             (QStringList{"0|Sign in failed |login:",
                          "0|User created |id:7 level:5 login:marie name:Marie Family of Marie",
                          "7|Admin check |login:marie",
                          "7|User created |id:8 level:5 login:marie2 name:Marie Family of Marie",
                          "7|Sign in |login:marie"}));
}

void AdminWindowsTest::signInButtonAndLevels()
{
    SharedUserStore().prepare();
    SharedUserStore().append(UserRecord::fromTyped(3, "A", "A", "boss", "pw", 9));
    SharedUserStore().append(UserRecord::fromTyped(5, "B", "B", "other", "pw", 1));
    SharedUserStore().append(UserRecord::fromTyped(7, "C", "C", "boss", "pw", 2));
    TLoginForm login;
    QSignalSpy signedIn(&login, &TLoginForm::signedIn);
    // The window is still on screen when the shell reacts, and CurrentUserId is already set.
    qint32 idWhenSignalled = -1;
    bool visibleWhenSignalled = false;
    connect(&login, &TLoginForm::signedIn, this, [&] {
        idWhenSignalled = CurrentUserId();
        visibleWhenSignalled = login.isVisible();
    });
    login.show();
    QVERIFY(m_dialogs.texts().contains(QStringLiteral("no actions data available")));

    Edit(&login, "Edit1")->setText(QStringLiteral("Boss"));
    Edit(&login, "password")->setText(QStringLiteral("pw"));
    QTest::mouseClick(Button(&login, "BitBtn1"), Qt::LeftButton);
    QCOMPARE(m_dialogs.texts().last(), QStringLiteral("Login or Password incorrect"));
    QCOMPARE(Edit(&login, "Edit1")->text(), QStringLiteral("Boss"));
    QCOMPARE(Edit(&login, "password")->text(), QStringLiteral("pw"));
    QCOMPARE(CurrentUserId(), 0);
    QVERIFY(signedIn.isEmpty());

    Edit(&login, "Edit1")->setText(QStringLiteral("boss"));
    QTest::mouseClick(Button(&login, "BitBtn1"), Qt::LeftButton);
    QCOMPARE(signedIn.size(), 1);
    QCOMPARE(signedIn[0][0].value<qint32>(), 7); // the later of the two matches
    QCOMPARE(signedIn[0][1].value<qint32>(), 2); // the lower level: buttons stay hidden
    QCOMPARE(idWhenSignalled, 7);
    QVERIFY(visibleWhenSignalled);
    QVERIFY(!login.isVisible());
}

void AdminWindowsTest::userFileGoneAtShowIsCreatedAgain()
{
    TAddUserForm addUser;
    QVERIFY(QFile::remove(UserFileName));
    TLoginForm login;
    login.setAddUserForm(&addUser);
    bool dialogSeen = false;
    WhenModal(
        &addUser, [&] { addUser.reject(); }, &dialogSeen);
    login.show();
    QVERIFY(dialogSeen);
    QCOMPARE(m_dialogs.texts(),
             (QStringList{"no users data available", "no actions data available"}));
    QCOMPARE(FileSize(UserFileName), 0);
    QCOMPARE(login.focusWidget(), Edit(&login, "Edit1"));
}

void AdminWindowsTest::exitEndsTheProgram()
{
    AddAccounts(1);
    TLoginForm login;
    login.show();
    QSignalSpy exit(&login, &TLoginForm::exitRequested);
    QTest::mouseClick(Button(&login, "BitBtn2"), Qt::LeftButton);
    QCOMPARE(exit.size(), 1);
    QCOMPARE(CurrentUserId(), 0);
}

void AdminWindowsTest::createNewAccountByItsShortcut()
{
    TAddUserForm addUser;
    AddAccounts(1);
    TLoginForm login;
    login.setAddUserForm(&addUser);
    login.show();
    QApplication::setActiveWindow(&login);
    QVERIFY(QTest::qWaitForWindowActive(&login));
    // The file holds an account: the shortcut asks for an administrator first.
    auto* prompt = login.findChild<QDialog*>(QStringLiteral("TAdminCheckForm"));
    QVERIFY(prompt);
    bool dialogSeen = false;
    WhenModal(
        prompt, [&] { prompt->reject(); }, &dialogSeen);
    QTest::keyClick(&login, Qt::Key_C, Qt::AltModifier);
    QVERIFY(dialogSeen);
    QVERIFY(login.isVisible());
}

void AdminWindowsTest::addUserRefusesBadFields_data()
{
    const auto S = [](const char* text) { return QString::fromUtf8(text); };
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    const QString login = S("jean");
    const QString password = S("pw");
    QTest::newRow("level left empty")
        << S("1") << S("") << login << password << S("'' is not a valid integer value.");
    QTest::newRow("letters in the id")
        << S("1a") << S("5") << login << password << S("'1a' is not a valid integer value.");
    QTest::newRow("decimal level")
        << S("1") << S("5,5") << login << password << S("'5,5' is not a valid integer value.");
    QTest::newRow("empty id") << S("") << S("5") << login << password
                              << S("'' is not a valid integer value.");
    QTest::newRow("id beyond 32 bits") << S("2147483648") << S("5") << login << password
                                       << S("'2147483648' is not a valid integer value.");
    QTest::newRow("password outside Windows-1252")
        << S("1") << S("5") << login << S("mot中文")
        << S("Le champ « Password » contient un caractère qui ne peut pas être "
             "enregistré : « 中 ».");
    QTest::newRow("login with an emoji")
        << S("1") << S("5") << S("jean\U0001F600") << password
        << S("Le champ « Login » contient un caractère qui ne peut pas être "
             "enregistré : « \U0001F600 ».");
}

void AdminWindowsTest::addUserRefusesBadFields()
{
    QFETCH(QString, id);
    QFETCH(QString, level);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(QString, message);
    TAddUserForm addUser;
    addUser.show();
    FillAccount(&addUser, id, QStringLiteral("Jean"), login, password, level);
    Button(&addUser, "BitBtn1")->click();
    QCOMPARE(m_dialogs.texts(), QStringList{message});
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QCOMPARE(m_dialogs.boxes[0].title, QStringLiteral("QUIVEL CONFIG"));
    QVERIFY(addUser.isVisible());
    QCOMPARE(Edit(&addUser, "Edit2")->text(), QStringLiteral("Jean"));
    QCOMPARE(FileSize(UserFileName), 0);
    addUser.close();
}

void AdminWindowsTest::addUserKeepsItsFieldsAndCloseSavesNothing()
{
    OpenAuditLog(); // each account saved is audited
    m_dialogs.clear();
    TAddUserForm addUser;
    addUser.show();
    FillAccount(&addUser, "-4", "Zoé", "zoé", "pÉ", " 6");
    Button(&addUser, "BitBtn1")->click();
    QVERIFY(m_dialogs.boxes.isEmpty());
    QVERIFY(!addUser.isVisible());
    QCOMPARE(addUser.result(), int(QDialog::Accepted));

    addUser.show();
    QCOMPARE(Edit(&addUser, "Edit2")->text(), QStringLiteral("Zoé"));
    // The password is not kept for the next account.
    QCOMPARE(Edit(&addUser, "Password")->text(), QString());
    Edit(&addUser, "Edit1")->setText(QStringLiteral("-5"));
    Edit(&addUser, "Edit4")->setText(QString());
    Button(&addUser, "BitBtn1")->click(); // an empty login and password are accepted
    addUser.show();
    Edit(&addUser, "Edit1")->setText(QStringLiteral("99"));
    Button(&addUser, "BitBtn2")->click();
    QVERIFY(!addUser.isVisible());

    const QList<UserRecord> accounts = SharedUserStore().readAll();
    QCOMPARE(accounts.size(), 2);
    QCOMPARE(accounts[0].id, -4);
    QCOMPARE(accounts[0].firstName, QByteArray("Zo\xE9"));
    QCOMPARE(accounts[0].password, QByteArray::fromHex("b900"));
    QCOMPARE(accounts[0].level, 6);
    QCOMPARE(accounts[1].login, QByteArray());
    QCOMPARE(accounts[1].password, QByteArray());
}

void AdminWindowsTest::userListShowsAccountsAsTyped()
{
    SharedUserStore().prepare();
    SharedUserStore().append(UserRecord::fromTyped(12, QString(150, QLatin1Char('n')),
                                                   QStringLiteral("Lœuvre"), QStringLiteral("zoé"),
                                                   "hidden-pw", 77));
    AddAccounts(20, 100);
    TUserListForm userList;
    userList.show();
    StringGrid* grid = Grid(&userList);
    QCOMPARE(grid->cell(0, 0), QStringLiteral("ID"));
    QCOMPARE(grid->cell(1, 0), QStringLiteral("First Name"));
    QCOMPARE(grid->cell(2, 0), QStringLiteral("Family Name"));
    QCOMPARE(grid->cell(3, 0), QStringLiteral("Login"));
    QCOMPARE(grid->cell(4, 0), QString());
    QCOMPARE(grid->cell(0, 1), QStringLiteral("12"));
    QCOMPARE(grid->cell(1, 1), QString(100, QLatin1Char('n')));
    QCOMPARE(grid->cell(2, 1), QStringLiteral("Lœuvre"));
    QCOMPARE(grid->cell(3, 1), QStringLiteral("zoé"));
    QCOMPARE(grid->cell(0, 19), QStringLiteral("117"));
    QCOMPARE(grid->cell(3, 19), QStringLiteral("login117"));
    for (int row = 0; row < 20; ++row) {
        QCOMPARE(grid->cell(4, row), QString());
        for (int column = 0; column < 5; ++column) {
            QVERIFY(!grid->cell(column, row).contains(QStringLiteral("pw")));
            QVERIFY(grid->cell(column, row) != QStringLiteral("77"));
        }
    }
    // The 20th account and later are not shown; the file keeps them.
    QCOMPARE(SharedUserStore().readAll().size(), 21);
    Button(&userList, "BitBtn2")->click();
    QVERIFY(!userList.isVisible());
}

void AdminWindowsTest::auditViewShowsEntries()
{
    SharedUserStore().prepare();
    SharedUserStore().append(UserRecord::fromTyped(1, "Alice", "X", "a", "a", 9));
    SharedUserStore().append(UserRecord::fromTyped(2, "Bob", "Y", "b", "b", 9));
    SharedUserStore().append(UserRecord::fromTyped(1, "Alicia", "Z", "c", "c", 9));
    OpenAuditLog();
    m_clock.local = QDateTime(QDate(2026, 12, 9), QTime(11, 5, 7, 250));
    SetCurrentUserId(1);
    AppendAuditEntry(AuditAction::AlarmModification, AuditDetails::Alarm("30", "20", "85", "60"));
    m_clock.local = QDateTime(QDate(2026, 12, 10), QTime(0, 0));
    SetCurrentUserId(2);
    AppendAuditEntry(AuditAction::PdfSave, AuditDetails::PdfSave);
    SetCurrentUserId(42);
    AppendAuditEntry(AuditAction::AddNewUser, AuditDetails::AddNewUser);

    TAuditForm audit;
    audit.show();
    StringGrid* grid = Grid(&audit);
    QCOMPARE(grid->cell(0, 0), QStringLiteral("ID"));
    QCOMPARE(grid->cell(1, 0), QStringLiteral("First Name"));
    QCOMPARE(grid->cell(2, 0), QStringLiteral("Action"));
    QCOMPARE(grid->cell(3, 0), QStringLiteral("Details"));
    QCOMPARE(grid->cell(4, 0), QStringLiteral("Date"));

    QCOMPARE(grid->cell(0, 1), QStringLiteral("1"));
    QCOMPARE(grid->cell(1, 1), QStringLiteral("Alicia")); // the last account with that id
    QCOMPARE(grid->cell(2, 1), QStringLiteral("alarm modfication "));
    QCOMPARE(grid->cell(3, 1), QStringLiteral("TL30TL20 HH85 HL60"));
    QCOMPARE(grid->cell(4, 1), QStringLiteral("09/12/2026 11:05:07"));
    QCOMPARE(grid->cell(1, 2), QStringLiteral("Bob"));
    QCOMPARE(grid->cell(4, 2), QStringLiteral("10/12/2026")); // midnight: the date alone
    QCOMPARE(grid->cell(0, 3), QStringLiteral("42"));
    QCOMPARE(grid->cell(1, 3), QString()); // no such account, though the row above has a name
    QCOMPARE(grid->cell(2, 3), QStringLiteral("Add new user "));
    QCOMPARE(grid->cell(3, 3), QString());
    QCOMPARE(grid->cell(0, 4), QString());

    // The headings stand in a header whose column edges the user can drag; a cut text is
    // whole in its tooltip.
    QHeaderView* header = grid->horizontalHeader();
    QVERIFY(header->isVisible());
    QVERIFY(grid->isRowHidden(0));
    for (int column = 0; column < 5; ++column) {
        QCOMPARE(grid->model()->headerData(column, Qt::Horizontal).toString(),
                 grid->cell(column, 0));
        QCOMPARE(header->sectionResizeMode(column), QHeaderView::Interactive);
    }
    QCOMPARE(grid->item(1, 3)->toolTip(), QStringLiteral("TL30TL20 HH85 HL60"));

    // Shown again later: the entries appended since are there too.
    audit.close();
    AppendAuditEntry(AuditAction::CsvExport, AuditDetails::CsvExport);
    audit.show();
    QCOMPARE(grid->cell(2, 4), QStringLiteral("SAVE CSV FILE "));
    QCOMPARE(grid->cell(3, 4), QStringLiteral("save csv"));
    QCOMPARE(grid->cell(1, 1), QStringLiteral("Alicia"));
    QVERIFY(m_dialogs.texts() == QStringList{"no actions data available"});
    audit.close();
}

void AdminWindowsTest::auditViewShowsAtMost499Entries()
{
    QByteArray bytes;
    for (int n = 1; n <= 510; ++n) {
        AuditRecord record{n, "PDF Save ", 46365.5, "PDF Save"};
        bytes += record.toBytes();
    }
    WriteAll(AuditFileName, bytes);
    OpenAuditLog();

    TAuditForm audit;
    audit.show();
    StringGrid* grid = Grid(&audit);
    QCOMPARE(grid->rowCount(), 500);
    QCOMPARE(grid->cell(0, 1), QStringLiteral("1"));
    QCOMPARE(grid->cell(0, 499), QStringLiteral("499"));
    QCOMPARE(grid->cell(4, 499), QStringLiteral("09/12/2026 12:00:00"));
    QCOMPARE(ReadAuditEntries().size(), 510);
    audit.close();
}

void AdminWindowsTest::auditViewWithoutAnOpenFileStillOpens()
{
    TAuditForm audit;
    audit.show();
    QCOMPARE(m_dialogs.texts(), QStringList{"I/O error 103."});
    QVERIFY(audit.isVisible());
    QCOMPARE(Grid(&audit)->cell(0, 1), QString());
    audit.close();
}

void AdminWindowsTest::auditDateText_data()
{
    const auto S = [](const char* text) { return QString::fromUtf8(text); };
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("local");
    QTest::addColumn<QString>("text");

    const QLocale french(QLocale::French, QLocale::France);
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    const QDate day(2026, 12, 9);
    QTest::newRow("fr afternoon") << french << QDateTime(day, QTime(15, 4, 5))
                                  << S("09/12/2026 15:04:05");
    QTest::newRow("fr midnight") << french << QDateTime(day, QTime(0, 0)) << S("09/12/2026");
    QTest::newRow("fr one millisecond after midnight")
        << french << QDateTime(day, QTime(0, 0, 0, 1)) << S("09/12/2026 00:00:00");
    QTest::newRow("en afternoon") << american << QDateTime(day, QTime(15, 4, 5))
                                  << S("12/9/26 3:04:05 PM");
    QTest::newRow("en midnight") << american << QDateTime(day, QTime(0, 0)) << S("12/9/26");
}

void AdminWindowsTest::auditDateText()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, local);
    QFETCH(QString, text);
    QLocale::setDefault(locale);
    QCOMPARE(AuditDateText(ToDelphiDateTime(local)), text);
}

QTEST_MAIN(AdminWindowsTest)
#include "tst_admin_windows.moc"
