// The whole program from start-up to the main window, against the simulated logger.
#include "app/application_windows.h"
#include "app/main_form.h"
#include "app/splash_form.h"
#include "device/com_port.h"
#include "device/connect_form.h"
#include "reports/report_form.h"
#include "settings/calibration_form.h"
#include "settings/serial_number_form.h"
#include "support/logger_sim_process.h"
#include "support/scripted_services.h"
#include "support/test_files.h"
#include "users/audit_log.h"
#include "users/login_form.h"
#include "users/user_store.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <memory>

namespace
{

bool OnScreen(QWidget* window)
{
    return window->windowHandle() && window->windowHandle()->isVisible();
}

QStringList VisibleWindows()
{
    QStringList names;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && !widget->inherits("QMenu"))
            names << QString::fromLatin1(widget->metaObject()->className());
    }
    names.sort();
    return names;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private:
    QString text(QWidget* window, const char* name) const
    {
        if (auto* label = window->findChild<QLabel*>(name))
            return label->text();
        return window->findChild<QLineEdit*>(name)->text();
    }
    void signIn(ApplicationWindows& windows, const QString& login, const QString& password);

    QTemporaryDir* m_dir = nullptr;
    ScriptedDialogs m_dialogs;
    FixedPortList m_ports;

private Q_SLOTS:
    void init();
    void cleanup();

    void splashThenSignInThenConnectionThenMainWindow_data();
    void splashThenSignInThenConnectionThenMainWindow();
    void withoutAPortTheClosedDialogLeadsToTheMainWindow();
};

void TestStartup::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    m_dialogs.clear();
    Services::setDialogs(&m_dialogs);
    Services::setPorts(&m_ports);
    ResetAuditLog();
    SetCurrentUserId(0);
}

void TestStartup::cleanup()
{
    SharedUserStore().close();
    ResetAuditLog();
    Services::setDialogs(nullptr);
    Services::setPorts(nullptr);
    QDir::setCurrent(QDir::tempPath());
    delete m_dir;
    m_dir = nullptr;
}

void TestStartup::signIn(ApplicationWindows& windows, const QString& login, const QString& password)
{
    windows.LoginForm()->findChild<QLineEdit*>("Edit1")->setText(login);
    windows.LoginForm()->findChild<QLineEdit*>("password")->setText(password);
    QTest::mouseClick(windows.LoginForm()->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
}

void TestStartup::splashThenSignInThenConnectionThenMainWindow_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("calibrationFile"); // empty: no cal.cfg
    QTest::addColumn<QString>("tempOffset");
    QTest::addColumn<QString>("humOffset");

    QTest::newRow("administrator, offsets stored") << 5 << QByteArray("0,5\r\n-1,2\r\n") << "0,5"
                                                   << "-1,2";
    QTest::newRow("operator, no cal.cfg") << 4 << QByteArray() << "0"
                                          << "0";
}

void TestStartup::splashThenSignInThenConnectionThenMainWindow()
{
    QFETCH(int, level);
    QFETCH(QByteArray, calibrationFile);
    QFETCH(QString, tempOffset);
    QFETCH(QString, humOffset);
    if (!calibrationFile.isEmpty())
        WriteAll("cal.cfg", calibrationFile);
    UserStore accounts;
    accounts.prepare();
    accounts.append(UserRecord::fromTyped(42, "Marie", "Durand", "marie", "secret", level));
    LoggerSimProcess sim;
    QVERIFY2(sim.start(), qPrintable(sim.startError()));
    m_ports.names = {sim.portPath()};

    QElapsedTimer sinceCreation;
    sinceCreation.start();
    ApplicationWindows windows;
    if (calibrationFile.isEmpty()) {
        QCOMPARE(m_dialogs.boxes.size(), 1);
        QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
        QVERIFY(m_dialogs.boxes[0].text.startsWith("Cannot open file \""));
        QVERIFY(m_dialogs.boxes[0].text.contains("cal.cfg"));
    } else {
        QVERIFY(m_dialogs.boxes.isEmpty());
    }
    QVERIFY(VisibleWindows().isEmpty());

    // The splash alone, then the sign-in window alone.
    windows.start();
    QCOMPARE(VisibleWindows(), QStringList{"TSplashForm"});
    QCOMPARE(windows.SplashForm()->size(), QSize(638, 476));
    QVERIFY(windows.SplashForm()->windowFlags() & Qt::FramelessWindowHint);
    QTRY_VERIFY_WITH_TIMEOUT(windows.LoginForm()->isVisible(), 5000);
    QVERIFY(sinceCreation.elapsed() >= 1900);
    QCOMPARE(VisibleWindows(), QStringList{"TLoginForm"});
    QVERIFY(!windows.SplashForm()->timerActive());

    // During the connection dialog: the main window is not on screen yet, the sign-in window
    // still is.
    QString modalDuring;
    bool mainOnScreenDuring = true;
    bool signInVisibleDuring = false;
    QTimer::singleShot(1000, this, [&] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modalDuring = QString::fromLatin1(modal->metaObject()->className());
        mainOnScreenDuring = OnScreen(windows.Form1());
        signInVisibleDuring = windows.LoginForm()->isVisible();
    });
    signIn(windows, "marie", "secret"); // returns once the connection dialog has closed

    QCOMPARE(modalDuring, QStringLiteral("TConnectForm"));
    QVERIFY(!mainOnScreenDuring);
    QVERIFY(signInVisibleDuring);
    QCOMPARE(CurrentUserId(), 42);
    QVERIFY(windows.Form1()->isMaximized());
    QVERIFY(QTest::qWaitForWindowExposed(windows.Form1()));
    QTRY_COMPARE(VisibleWindows(), QStringList{"TForm1"});

    // What the connection handed on, and the offsets copied after it.
    QCOMPARE(text(windows.Form1(), "snlabel"), QStringLiteral("101/102/103/104/"));
    QCOMPARE(text(windows.Form1(), "comlabel"), sim.portPath());
    const QStringList fields = {
        text(windows.serialnumber(), "Edit1"), text(windows.serialnumber(), "Edit2"),
        text(windows.serialnumber(), "Edit3"), text(windows.serialnumber(), "Edit4")};
    QCOMPARE(fields, (QStringList{"101", "102", "103", "104"}));
    QCOMPARE(text(windows.calibrationform(), "TempOffsetEdit"), tempOffset);
    QCOMPARE(text(windows.calibrationform(), "HumOffsetEdit"), humOffset);
    QVERIFY(windows.ConnectForm()->comPort()->Connected());

    // The administration buttons follow the level.
    for (const char* name : {"Button1", "Button2", "Button3"})
        QCOMPARE(windows.Form1()->findChild<QWidget*>(name)->isVisible(), level >= 5);

    // "ENREGISTRER": one audit entry, then the report window beside the main window.
    const int entries = ReadAuditEntries().size();
    QTest::mouseClick(windows.Form1()->findChild<QWidget*>("Image5"), Qt::LeftButton);
    QCOMPARE(ReadAuditEntries().size(), entries + 1);
    QCOMPARE(ReadAuditEntries().last().userId, 42);
    QVERIFY(windows.formpdf()->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    windows.formpdf()->close();
    // "IMPRIMER COURBES": the same window, no entry.
    QTest::mouseClick(windows.Form1()->findChild<QWidget*>("Image6"), Qt::LeftButton);
    QVERIFY(windows.formpdf()->isVisible());
    QCOMPARE(ReadAuditEntries().size(), entries + 1);
}

void TestStartup::withoutAPortTheClosedDialogLeadsToTheMainWindow()
{
    WriteAll("cal.cfg", "1\r\n2\r\n");
    UserStore accounts;
    accounts.prepare();
    accounts.append(UserRecord::fromTyped(3, "Luc", "Martin", "luc", "pw", 2));
    m_ports.names = {};
    ApplicationWindows windows;
    windows.start();
    QTRY_VERIFY_WITH_TIMEOUT(windows.LoginForm()->isVisible(), 5000);
    m_dialogs.clear();

    // The user reads the help and closes the dialog with its close box.
    bool quitShown = false;
    bool helpShown = false;
    QTimer::singleShot(300, this, [&] {
        if (QApplication::activeModalWidget() != windows.ConnectForm())
            return;
        quitShown = windows.ConnectForm()->findChild<QWidget*>("exitbutton")->isVisible();
        helpShown = windows.ConnectForm()->findChild<QWidget*>("helpmemo")->isVisible();
        windows.ConnectForm()->reject();
    });
    signIn(windows, "luc", "pw");

    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QVERIFY(quitShown);
    QVERIFY(helpShown);
    QVERIFY(windows.Form1()->isVisible());
    QCOMPARE(text(windows.Form1(), "snlabel"), QStringLiteral("Aucun datalogger connecté"));
    QCOMPARE(text(windows.Form1(), "comlabel"), QStringLiteral("COM"));
    QCOMPARE(text(windows.calibrationform(), "TempOffsetEdit"), QStringLiteral("1"));
    QCOMPARE(text(windows.calibrationform(), "HumOffsetEdit"), QStringLiteral("2"));
    QVERIFY(!windows.ConnectForm()->comPort()->Connected());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
