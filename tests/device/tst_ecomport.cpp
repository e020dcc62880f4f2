#include "device/com_port.h"

#include <QTest>

class EComPortTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void texts_data();
    void texts();
};

void EComPortTest::texts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("systemCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("open") << 1 << 2 << "Unable to open com port (Error: 2)";
    QTest::newRow("open, no reason") << 1 << 0 << "Unable to open com port";
    QTest::newRow("write") << 2 << 5 << "WriteFile function failed (Error: 5)";
    QTest::newRow("read") << 3 << 0 << "ReadFile function failed";
    QTest::newRow("purge") << 5 << 9 << "PurgeComm function failed (Error: 9)";
    QTest::newRow("state") << 7 << 0 << "SetCommState function failed";
    QTest::newRow("timeouts") << 8 << 0 << "SetCommTimeouts failed";
    QTest::newRow("setup") << 9 << 0 << "SetupComm function failed";
    QTest::newRow("clear error") << 10 << 0 << "ClearCommError function failed";
    QTest::newRow("not open") << 24 << 0 << "Port Not Open";
    QTest::newRow("negative system code") << 2 << -1 << "WriteFile function failed";
}

void EComPortTest::texts()
{
    QFETCH(int, code);
    QFETCH(int, systemCode);
    QFETCH(QString, message);
    const EComPort error(code, systemCode);
    QCOMPARE(error.message(), message);
    QCOMPARE(error.code(), code);
    QCOMPARE(error.systemCode(), systemCode);
    QCOMPARE(QString::fromUtf8(error.what()), message);
}

QTEST_GUILESS_MAIN(EComPortTest)
#include "tst_ecomport.moc"
