// The connection procedure against the simulated logger on a pseudo-terminal.
#include "app/application_windows.h"
#include "app/main_form.h"
#include "device/com_combo_box.h"
#include "device/com_port.h"
#include "device/connect_form.h"
#include "settings/serial_number_form.h"
#include "support/logger_sim_process.h"
#include "support/scripted_services.h"
#include "support/test_terminal.h"
#include "users/audit_log.h"
#include "users/user_store.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <memory>

namespace
{

const QColor Green(0, 128, 0);
const QString NoPortText =
    QStringLiteral(" Aucun data-logger connecté a lordinateur , veuillez vérifier s il  est bien "
                   "branché au port USB du pc , et redémarrer l application");
const QString SeveralPortsText =
    QStringLiteral("Plusieurs ports de communication décteté veuiller choisire le bon port qui "
                   "correspond à votre data-logger");

bool OnScreen(QWidget* window)
{
    return window->windowHandle() && window->windowHandle()->isVisible();
}

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private:
    // A dialog created with the given ports listed, with spies on its outputs.
    struct Fixture {
        std::unique_ptr<TConnectForm> form;
        std::unique_ptr<QSignalSpy> portNames, texts, fields, exits;
        QLabel* status() const { return form->findChild<QLabel*>("statuslabel"); }
        QColor statusColour() const { return status()->palette().color(QPalette::WindowText); }
        QWidget* child(const char* name) const { return form->findChild<QWidget*>(name); }
    };
    Fixture makeForm(const QStringList& ports);

    QTemporaryDir* m_dir = nullptr;
    ScriptedDialogs m_dialogs;
    FixedPortList m_ports;

private Q_SLOTS:
    void init();
    void cleanup();

    void okReplyTurnsGreenThenSerialNumberIsHandedOn();
    void serialNumberReplyReachesTheWindows_data();
    void serialNumberReplyReachesTheWindows();
    void noAnswerClosesAfterTheLastStep();
    void checkReplyMustBeExact_data();
    void checkReplyMustBeExact();
    void responseReplyRestartsTheStepTimer();
    void latePacketReappliesTheSerialNumber();
    void severalPortsWaitForTheTestButton();
    void noPortShowsHelpAndQuit();
    void portThatCannotBeOpenedStopsTheProcedure();
};

TestConnection::Fixture TestConnection::makeForm(const QStringList& ports)
{
    m_ports.names = ports;
    Fixture f;
    f.form = std::make_unique<TConnectForm>();
    f.portNames = std::make_unique<QSignalSpy>(f.form.get(), &TConnectForm::portNameChosen);
    f.texts = std::make_unique<QSignalSpy>(f.form.get(), &TConnectForm::serialNumberTextRead);
    f.fields = std::make_unique<QSignalSpy>(f.form.get(), &TConnectForm::serialNumberFieldsRead);
    f.exits = std::make_unique<QSignalSpy>(f.form.get(), &TConnectForm::exitRequested);
    return f;
}

void TestConnection::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    m_dialogs.clear();
    m_dialogs.onBox = nullptr;
    Services::setDialogs(&m_dialogs);
    Services::setPorts(&m_ports);
}

void TestConnection::cleanup()
{
    SharedUserStore().close();
    ResetAuditLog();
    Services::setDialogs(nullptr);
    Services::setPorts(nullptr);
    QDir::setCurrent(QDir::tempPath());
    delete m_dir;
    m_dir = nullptr;
}

void TestConnection::okReplyTurnsGreenThenSerialNumberIsHandedOn()
{
    LoggerSimProcess sim;
    QVERIFY2(sim.start(), qPrintable(sim.startError()));
    Fixture f = makeForm({sim.portPath()});

    // The time the serial-number reply arrives.
    QElapsedTimer sinceReply;
    connect(f.form->packetListener(), &TComDataPacket::OnPacket, f.form.get(), [&] {
        if (f.form->serialStepActive() && !sinceReply.isValid())
            sinceReply.start();
    });

    f.form->open();
    QVERIFY(m_dialogs.boxes.isEmpty());
    QCOMPARE(f.portNames->count(), 1);
    QCOMPARE(f.portNames->at(0).at(0).toString(), sim.portPath());
    QCOMPARE(f.status()->text(), QStringLiteral(" Connexion en cours ..."));
    QVERIFY(f.form->comPort()->Connected());
    QVERIFY(f.child("helpmemo")->isHidden());
    QVERIFY(f.child("ComComboBox1")->isHidden());
    QCOMPARE(f.form->findChild<QLabel*>("Label2")->text(),
             QStringLiteral(" Veuillez patienter un peut SVP... "));

    QTRY_COMPARE_WITH_TIMEOUT(f.status()->text(), QStringLiteral("DATA LOGGER connecté (OK)"),
                              5000);
    QCOMPARE(f.statusColour(), Green);
    QCOMPARE(f.texts->count(), 0);

    QTRY_COMPARE_WITH_TIMEOUT(f.status()->text(), QStringLiteral("Numéro de série lus"), 5000);
    QVERIFY(f.texts->wait(5000));
    QVERIFY(sinceReply.isValid());
    QVERIFY2(sinceReply.elapsed() >= 900, qPrintable(QString::number(sinceReply.elapsed())));
    QCOMPARE(f.texts->at(0).at(0).toString(), QStringLiteral("101/102/103/104/"));
    QCOMPARE(f.fields->count(), 1);
    QCOMPARE(f.fields->at(0).at(0).toStringList(), (QStringList{"101", "102", "103", "104"}));
    QVERIFY(!f.form->isVisible());
    QCOMPARE(f.form->result(), int(QDialog::Accepted));
    // The status keeps its colour; the port stays open for the download and the transfer.
    QCOMPARE(f.statusColour(), Green);
    QVERIFY(f.form->comPort()->Connected());
}

void TestConnection::serialNumberReplyReachesTheWindows_data()
{
    QTest::addColumn<QList<QByteArray>>("packets"); // as they arrive after "s"
    QTest::addColumn<QString>("shown");             // the main window's serial number
    QTest::addColumn<QStringList>("fields");        // the serial-number dialog's four fields

    const QStringList unchanged{"0", "0", "0", "0"};
    const QStringList read{"101", "102", "103", "104"};
    QTest::newRow("whole reply") << QList<QByteArray>{"101/102/103/104/\r\n"} << "101/102/103/104/"
                                 << read;
    QTest::newRow("no line end") << QList<QByteArray>{"101/102/103/104/"} << "101/102/103/104/"
                                 << read;
    QTest::newRow("two-character field")
        << QList<QByteArray>{"99/100/101/255/\r\n"} << "99/100/101/255/"
        << QStringList{"99", "100", "101", "255"};
    QTest::newRow("bytes after the fourth slash")
        << QList<QByteArray>{"101/102/103/104/xyz\r\n"} << "101/102/103/104/xyz" << read;
    QTest::newRow("first line only")
        << QList<QByteArray>{"101/102/103/104/\r\nnext line"} << "101/102/103/104/" << read;
    QTest::newRow("NUL ends the text")
        << QList<QByteArray>{QByteArray("101/102/103/104/\0x", 18)} << "101/102/103/104/" << read;
    // Not four fields: shown as it came, the dialog keeps what it held.
    QTest::newRow("split in two packets")
        << QList<QByteArray>{"101/102/1", "03/104/\r\n"} << "101/102/1" << unchanged;
    QTest::newRow("late ok, then the reply")
        << QList<QByteArray>{"ok\r\n", "101/102/103/104/\r\n"} << "ok" << unchanged;
    QTest::newRow("three fields") << QList<QByteArray>{"101/102/103\r\n"} << "101/102/103"
                                  << unchanged;
    QTest::newRow("field of four characters")
        << QList<QByteArray>{"1010/102/103/104/\r\n"} << "1010/102/103/104/" << unchanged;
    QTest::newRow("garbage") << QList<QByteArray>{"\x01\xfe#?\r\n"} << "\u0001\u00fe#?"
                             << unchanged;
}

void TestConnection::serialNumberReplyReachesTheWindows()
{
    QFETCH(QList<QByteArray>, packets);
    QFETCH(QString, shown);
    QFETCH(QStringList, fields);
    TestTerminal line;
    m_ports.names = {line.path()};
    ApplicationWindows windows;
    TConnectForm* form = windows.ConnectForm();
    QSignalSpy received(form->packetListener(), &TComDataPacket::OnPacket);

    form->open();
    // The check and the serial-number request without their waits.
    form->Timer1Timer();
    form->Timer1Timer();
    QCOMPARE(line.sent(), QByteArray("ts"));
    // Each packet is read before the next is written: the link delivers them apart.
    for (int k = 0; k < packets.size(); ++k) {
        QVERIFY(line.write(packets[k]));
        QTRY_COMPARE(received.count(), k + 1);
        QCOMPARE(received.last().at(0).toByteArray(), packets[k]);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!form->isVisible(), 3000);
    QVERIFY(!form->parseTimerActive());

    QCOMPARE(windows.Form1()->findChild<QLabel*>("snlabel")->text(), shown);
    QStringList inDialog;
    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4"})
        inDialog << windows.serialnumber()->findChild<QLineEdit*>(name)->text();
    QCOMPARE(inDialog, fields);
}

void TestConnection::noAnswerClosesAfterTheLastStep()
{
    LoggerSimProcess sim({"--silent"});
    QVERIFY2(sim.start(), qPrintable(sim.startError()));
    Fixture f = makeForm({sim.portPath()});

    QElapsedTimer shown;
    shown.start();
    f.form->open();
    QTRY_VERIFY_WITH_TIMEOUT(!f.form->isVisible(), 10000);
    QVERIFY2(shown.elapsed() >= 3800, qPrintable(QString::number(shown.elapsed())));
    QCOMPARE(f.form->connectStep(), 3);
    QVERIFY(!f.form->stepTimerActive());
    QCOMPARE(f.status()->text(), QStringLiteral(" Connexion en cours ..."));
    QCOMPARE(f.texts->count(), 0);
    QCOMPARE(f.fields->count(), 0);
    QVERIFY(f.form->comPort()->Connected());
}

void TestConnection::checkReplyMustBeExact_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("green");

    QTest::newRow("ok CR LF while checking") << 1 << QByteArray("ok\r\n") << true;
    QTest::newRow("capitals") << 1 << QByteArray("OK\r\n") << false;
    QTest::newRow("no line end") << 1 << QByteArray("ok") << false;
    QTest::newRow("CR only") << 1 << QByteArray("ok\r") << false;
    QTest::newRow("first half of a split reply") << 1 << QByteArray("o") << false;
    QTest::newRow("before the check was sent") << 0 << QByteArray("ok\r\n") << false;
}

void TestConnection::checkReplyMustBeExact()
{
    QFETCH(int, step);
    QFETCH(QByteArray, packet);
    QFETCH(bool, green);
    TestTerminal line;
    Fixture f = makeForm({line.path()});
    f.form->open();
    const QString before = f.status()->text();
    for (int tick = 0; tick < step; ++tick)
        f.form->Timer1Timer();
    QCOMPARE(f.form->connectStep(), step);

    f.form->packetListener()->deliver(packet);

    QCOMPARE(f.status()->text(), green ? QStringLiteral("DATA LOGGER connecté (OK)") : before);
    QCOMPARE(f.statusColour() == Green, green);
    QVERIFY(!f.form->parseTimerActive());
}

void TestConnection::responseReplyRestartsTheStepTimer()
{
    TestTerminal line;
    Fixture f = makeForm({line.path()});
    f.form->open();
    f.form->packetListener()->deliver("g");
    QCOMPARE(f.status()->text(), QStringLiteral(" Reponse"));

    for (int tick = 0; tick < 3; ++tick)
        f.form->Timer1Timer();
    QCOMPARE(f.form->connectStep(), 3);
    QVERIFY(!f.form->stepTimerActive());
    f.form->packetListener()->deliver("g");
    QVERIFY(f.form->stepTimerActive());
    // At step 3 a tick does nothing.
    f.form->Timer1Timer();
    QCOMPARE(f.form->connectStep(), 3);
}

void TestConnection::latePacketReappliesTheSerialNumber()
{
    LoggerSimProcess sim;
    QVERIFY2(sim.start(), qPrintable(sim.startError()));
    Fixture f = makeForm({sim.portPath()});
    f.form->open();
    QVERIFY(f.texts->wait(8000));
    QTRY_VERIFY(!f.form->isVisible());

    // A packet long after the procedure, say a value of a download.
    f.form->packetListener()->deliver("21");
    QElapsedTimer sincePacket;
    sincePacket.start();
    QCOMPARE(f.status()->text(), QStringLiteral("Numéro de série lus"));
    QCOMPARE(f.texts->count(), 1);
    QVERIFY(f.fields->wait(5000));
    QVERIFY(sincePacket.elapsed() >= 900);
    QCOMPARE(f.texts->count(), 2);
    QCOMPARE(f.texts->at(1).at(0).toString(), QStringLiteral("101/102/103/104/"));
    QCOMPARE(f.fields->at(1).at(0).toStringList(), (QStringList{"101", "102", "103", "104"}));
}

void TestConnection::severalPortsWaitForTheTestButton()
{
    LoggerSimProcess sim;
    QVERIFY2(sim.start(), qPrintable(sim.startError()));
    const QString missing = QStringLiteral("/dev/quivel-no-such-port");
    Fixture f = makeForm({missing, sim.portPath()});
    bool dialogOnScreenAtBox = true;
    m_dialogs.onBox = [&](const ShownBox&) -> std::optional<MsgButton> {
        dialogOnScreenAtBox = OnScreen(f.form.get());
        return std::nullopt;
    };

    f.form->show();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Warning);
    QCOMPARE(m_dialogs.boxes[0].text, SeveralPortsText);
    QCOMPARE(m_dialogs.boxes[0].buttons, QList<MsgButton>{MsgButton::Ok});
    QVERIFY(!dialogOnScreenAtBox);
    auto* button = f.form->findChild<QPushButton*>("BitBtn1");
    QVERIFY(button->isVisible());
    QCOMPARE(button->text(), QStringLiteral("Tester la communication"));
    QVERIFY(f.child("helpmemo")->isHidden());
    QVERIFY(!f.form->comPort()->Connected());
    QVERIFY(!f.form->stepTimerActive());

    // The user picks the logger's entry with the keyboard, then presses the button.
    auto* box = f.form->findChild<TComComboBox*>("ComComboBox1");
    const int wanted = box->findText(sim.portPath());
    QVERIFY(wanted >= 0);
    box->setCurrentIndex(1 - wanted);
    box->setFocus();
    QTest::keyClick(box, wanted == 1 ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(f.form->comPort()->Port(), sim.portPath());
    QTest::mouseClick(button, Qt::LeftButton);

    QVERIFY(button->isHidden());
    QVERIFY(f.form->comPort()->Connected());
    QTRY_COMPARE_WITH_TIMEOUT(f.statusColour(), Green, 5000);
    QVERIFY(f.texts->wait(8000));
    QCOMPARE(f.texts->at(0).at(0).toString(), QStringLiteral("101/102/103/104/"));
    QTRY_VERIFY(!f.form->isVisible());
    QCOMPARE(f.portNames->count(), 0);
}

void TestConnection::noPortShowsHelpAndQuit()
{
    Fixture f = makeForm({});
    bool dialogOnScreenAtBox = true;
    m_dialogs.onBox = [&](const ShownBox&) -> std::optional<MsgButton> {
        dialogOnScreenAtBox = OnScreen(f.form.get());
        return std::nullopt;
    };

    f.form->show();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QCOMPARE(m_dialogs.boxes[0].text, NoPortText);
    QVERIFY(!dialogOnScreenAtBox);
    QCOMPARE(f.status()->text(), QStringLiteral(" Aucun data-logger connecté a l'ordinateur "));
    auto* help = f.form->findChild<QPlainTextEdit*>("helpmemo");
    QVERIFY(help->isVisible());
    QCOMPARE(
        help->toPlainText().split('\n'),
        (QStringList{
            "Causes possibles :", "",
            "1) - Pilote non installé , veuillez svp installer le pilote CH340G qui correspond",
            "a votre version de windows, télécharger et  installer le pilote. ", "",
            "2) - Pile  sur l'enregistreur vide ou mal placé , veuiller vérifier l'état des "
            "piles ",
            "", "3)- Cable USB non branché a l'ordinateur "}));
    QVERIFY(f.child("Label2")->isHidden());
    QVERIFY(f.child("Gauge1")->isHidden());
    QVERIFY(f.child("ComComboBox1")->isHidden());
    QVERIFY(f.child("BitBtn1")->isHidden());
    QVERIFY(!f.form->comPort()->Connected());

    auto* quit = f.form->findChild<QPushButton*>("exitbutton");
    QVERIFY(quit->isVisible());
    QCOMPARE(quit->text(), QStringLiteral("Quitter"));
    QTest::mouseClick(quit, Qt::LeftButton);
    QCOMPARE(f.exits->count(), 1);
}

void TestConnection::portThatCannotBeOpenedStopsTheProcedure()
{
    Fixture f = makeForm({QStringLiteral("/dev/quivel-no-such-port")});

    f.form->show();

    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QVERIFY2(m_dialogs.boxes[0].text.startsWith("Unable to open com port"),
             qPrintable(m_dialogs.boxes[0].text));
    QCOMPARE(f.status()->text(), QStringLiteral(" Connexion en cours ..."));
    QVERIFY(f.child("ComComboBox1")->isVisible());
    QVERIFY(f.child("BitBtn1")->isHidden());
    QVERIFY(f.child("exitbutton")->isHidden());
    QVERIFY(!f.form->stepTimerActive());
    QVERIFY(!f.form->comPort()->Connected());
}

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
