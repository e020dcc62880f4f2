// The port list box and the sorted port list.
#include "device/com_combo_box.h"
#include "device/com_port.h"
#include "support/logger_sim_process.h"
#include "support/scripted_services.h"

#include <QLocale>
#include <QTest>

namespace
{

QStringList itemsOf(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

// Moves the selection to the entry as a user does, with the keyboard.
void chooseAsUser(QComboBox& box, const QString& text)
{
    const int target = box.findText(text);
    while (box.currentIndex() != target)
        QTest::keyClick(&box, box.currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
}

} // namespace

class ComComboBoxTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void listPortsIsSortedAsText_data();
    void listPortsIsSortedAsText();
    void fillingSelectsTheBoundPortsName();
    void bindingSelectsThePortsNameOrNothing();
    void aChoiceInCodeIsNotHandedToThePort();
    void aUserChoiceIsHandedToThePortAtOnce();
    void aUserChoiceWhileOpenReopensOnTheNewPort();
    void aChoiceThatCannotBeOpenedIsReported();

private:
    ScriptedDialogs m_dialogs;
    FixedPortList m_ports;
};

void ComComboBoxTest::init()
{
    m_dialogs.clear();
    m_ports.names = {"COM2", "COM10", "COM1"};
    Services::setDialogs(&m_dialogs);
    Services::setPorts(&m_ports);
}

void ComComboBoxTest::cleanup()
{
    Services::setDialogs(nullptr);
    Services::setPorts(nullptr);
    QLocale::setDefault(QLocale::c());
}

void ComComboBoxTest::listPortsIsSortedAsText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("listed");
    for (const char* locale : {"fr_FR", "en_US"}) {
        QTest::addRow("%s not as numbers", locale) << locale << QStringList{"COM2", "COM10", "COM1"}
                                                   << QStringList{"COM1", "COM10", "COM2"};
        QTest::addRow("%s case ignored", locale)
            << locale << QStringList{"com3", "COM2", "Com1"} << QStringList{"Com1", "COM2", "com3"};
        QTest::addRow("%s duplicates stay", locale)
            << locale << QStringList{"COM3", "COM1", "COM3"} << QStringList{"COM1", "COM3", "COM3"};
        QTest::addRow("%s linux names", locale)
            << locale << QStringList{"ttyUSB1", "ttyS0", "ttyACM0", "ttyUSB0"}
            << QStringList{"ttyACM0", "ttyS0", "ttyUSB0", "ttyUSB1"};
        QTest::addRow("%s none", locale) << locale << QStringList{} << QStringList{};
    }
}

void ComComboBoxTest::listPortsIsSortedAsText()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, present);
    QFETCH(QStringList, listed);
    QLocale::setDefault(QLocale(locale));
    m_ports.names = present;
    QCOMPARE(TComPort::ListPorts(), listed);
}

void ComComboBoxTest::fillingSelectsTheBoundPortsName()
{
    TComPort port;
    port.setPort("COM10");
    TComComboBox box;
    box.setComPort(&port);
    box.setComProperty(TComComboBox::cpPort);
    QVERIFY(!box.isEditable());
    QCOMPARE(itemsOf(box), (QStringList{"COM1", "COM10", "COM2"}));
    QCOMPARE(box.currentText(), QString("COM10"));
    // The list is not refreshed by itself: a port plugged in later appears after a new fill.
    m_ports.names << "COM3";
    QCOMPARE(box.count(), 3);
}

void ComComboBoxTest::bindingSelectsThePortsNameOrNothing()
{
    TComComboBox box;
    box.setComProperty(TComComboBox::cpPort);
    TComPort port;
    port.setPort("COM2");
    box.setComPort(&port);
    QCOMPARE(box.currentText(), QString("COM2"));
    TComPort elsewhere;
    elsewhere.setPort("COM7");
    box.setComPort(&elsewhere);
    QCOMPARE(box.currentIndex(), -1);
    QCOMPARE(box.currentText(), QString());
    TComPort lowerCase;
    lowerCase.setPort("com1");
    box.setComPort(&lowerCase);
    QCOMPARE(box.currentIndex(), -1);
}

void ComComboBoxTest::aChoiceInCodeIsNotHandedToThePort()
{
    TComPort port;
    port.setPort("COM10");
    TComComboBox box;
    box.setComPort(&port);
    box.setComProperty(TComComboBox::cpPort);
    box.setCurrentIndex(2);
    QCOMPARE(box.currentText(), QString("COM2"));
    QCOMPARE(port.Port(), QString("COM10"));
}

void ComComboBoxTest::aUserChoiceIsHandedToThePortAtOnce()
{
    TComPort port;
    port.setPort("COM10");
    TComComboBox box;
    box.setComPort(&port);
    box.setComProperty(TComComboBox::cpPort);
    chooseAsUser(box, "COM2");
    QCOMPARE(port.Port(), QString("COM2"));
    chooseAsUser(box, "COM1");
    QCOMPARE(port.Port(), QString("COM1"));
    QVERIFY(!port.Connected());
    QVERIFY(m_dialogs.boxes.isEmpty());
}

void ComComboBoxTest::aUserChoiceWhileOpenReopensOnTheNewPort()
{
    LoggerSimProcess first;
    LoggerSimProcess second({"--serial", "201/202/203/204/"});
    QVERIFY(first.start());
    QVERIFY(second.start());
    m_ports.names = {first.portPath(), second.portPath()};
    TComPort port;
    TComDataPacket listener;
    listener.setComPort(&port);
    QByteArray received;
    connect(&listener, &TComDataPacket::OnPacket, this,
            [&](const QByteArray& packet) { received += packet; });
    port.setPort(first.portPath());
    port.OpenPort();
    TComComboBox box;
    box.setComPort(&port);
    box.setComProperty(TComComboBox::cpPort);
    QCOMPARE(box.currentText(), first.portPath());
    chooseAsUser(box, second.portPath());
    QVERIFY(port.Connected());
    QCOMPARE(port.Port(), second.portPath());
    port.WriteText("s");
    QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("201/202/203/204/\r\n"), 5000);
    QVERIFY(m_dialogs.boxes.isEmpty());
}

void ComComboBoxTest::aChoiceThatCannotBeOpenedIsReported()
{
    LoggerSimProcess sim;
    QVERIFY(sim.start());
    m_ports.names = {sim.portPath(), "/dev/quivel-no-such-port"};
    TComPort port;
    port.setPort(sim.portPath());
    port.OpenPort();
    TComComboBox box;
    box.setComPort(&port);
    box.setComProperty(TComComboBox::cpPort);
    chooseAsUser(box, "/dev/quivel-no-such-port");
    QVERIFY(!port.Connected());
    QCOMPARE(m_dialogs.texts(), QStringList{"Unable to open com port (Error: 2)"});
}

QTEST_MAIN(ComComboBoxTest)
#include "tst_com_combo_box.moc"
