#include "common/errors.h"
#include "device/protocol.h"

#include <QLocale>
#include <QTest>

namespace
{

TFrameSources typicalSources()
{
    TFrameSources s;
    s.hours = "8";
    s.minutes = "30";
    s.day = "1";
    s.month = "12";
    s.year = "2026";
    s.periodHours = "0";
    s.periodMinutes = "15";
    s.tempOffset = "0";
    s.humOffset = "0";
    s.serial[0] = "101";
    s.serial[1] = "102";
    s.serial[2] = "103";
    s.serial[3] = "104";
    return s;
}

QList<int> frameOf(const TFrameSources& s)
{
    QList<int> bytes;
    for (int i = 0; i < Protocol::FrameLength; ++i)
        bytes << ConfigurationFrameItem(i, s);
    return bytes;
}

} // namespace

class ProtocolTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void replies_data();
    void replies();
    void lowByte_data();
    void lowByte();
    void offsetItems_data();
    void offsetItems();
    void eachSignFollowsItsOwnOffset_data();
    void eachSignFollowsItsOwnOffset();
    void wholeFrame_data();
    void wholeFrame();
    void wholeNumberItemsRejectOtherTexts_data();
    void wholeNumberItemsRejectOtherTexts();
    void downloadCommand();
    void valuePackets_data();
    void valuePackets();
    void badValuePackets_data();
    void badValuePackets();
    void cleanValue();
    void serialNumberText_data();
    void serialNumberText();
    void splitSerialNumber_data();
    void splitSerialNumber();
};

void ProtocolTest::replies_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("response");
    QTest::newRow("ok") << QByteArray("ok\r\n") << true << false;
    QTest::newRow("upper case") << QByteArray("OK\r\n") << false << false;
    QTest::newRow("no line end") << QByteArray("ok") << false << false;
    QTest::newRow("half line end") << QByteArray("ok\n") << false << false;
    QTest::newRow("two replies") << QByteArray("ok\r\nok\r\n") << false << false;
    QTest::newRow("leading space") << QByteArray(" ok\r\n") << false << false;
    QTest::newRow("g") << QByteArray("g") << false << true;
    QTest::newRow("G") << QByteArray("G") << false << false;
    QTest::newRow("gg") << QByteArray("gg") << false << false;
    QTest::newRow("g line") << QByteArray("g\r\n") << false << false;
    QTest::newRow("g nul") << QByteArray("g\0", 2) << false << false;
    QTest::newRow("empty") << QByteArray() << false << false;
}

void ProtocolTest::replies()
{
    QFETCH(QByteArray, packet);
    QFETCH(bool, check);
    QFETCH(bool, response);
    QCOMPARE(IsCheckReply(packet), check);
    QCOMPARE(IsResponseReply(packet), response);
}

void ProtocolTest::lowByte_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("byte");
    QTest::newRow("year") << qint64(2026) << 234;
    QTest::newRow("300") << qint64(300) << 44;
    QTest::newRow("-15") << qint64(-15) << 241;
    QTest::newRow("-1") << qint64(-1) << 255;
    QTest::newRow("0") << qint64(0) << 0;
    QTest::newRow("255") << qint64(255) << 255;
    QTest::newRow("256") << qint64(256) << 0;
    QTest::newRow("-256") << qint64(-256) << 0;
    QTest::newRow("int min") << qint64(std::numeric_limits<qint32>::min()) << 0;
}

void ProtocolTest::lowByte()
{
    QFETCH(qint64, value);
    QFETCH(int, byte);
    QCOMPARE(int(LowByte(value)), byte);
}

// Offsets as typed, through the frame items, under both regional settings.
void ProtocolTest::offsetItems_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tenths");
    QTest::addColumn<int>("sign");
    const struct {
        const char* text;
        int tenths, sign;
    } cases[] = {
        {"1,5", 15, 0},    {"1.5", 15, 0},    {"-1,5", 241, 1},  {"0,25", 2, 0},    {"0.25", 2, 0},
        {"0,35", 4, 0},    {"-0,25", 254, 1}, {"-0,04", 0, 1},   {"12 %", 120, 0},  {"abc", 0, 0},
        {"", 0, 0},        {"0", 0, 0},       {"-0", 0, 0},      {"0,05", 0, 0},    {"0,15", 2, 0},
        {"-0,15", 254, 1}, {"25,6", 0, 0},    {"-12,8", 128, 1}, {"1.234,5", 0, 0}, {"$ 3", 30, 0},
    };
    for (const char* locale : {"fr_FR", "en_US"})
        for (const auto& c : cases)
            QTest::addRow("%s %s", locale, c.text)
                << QString(locale) << QString(c.text) << c.tenths << c.sign;
}

void ProtocolTest::offsetItems()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(int, tenths);
    QFETCH(int, sign);
    QLocale::setDefault(QLocale(locale));
    TFrameSources s = typicalSources();
    s.tempOffset = text;
    s.humOffset = text;
    QCOMPARE(int(ConfigurationFrameItem(8, s)), tenths);
    QCOMPARE(int(ConfigurationFrameItem(9, s)), sign);
    QCOMPARE(int(ConfigurationFrameItem(10, s)), tenths);
    QCOMPARE(int(ConfigurationFrameItem(11, s)), sign);
}

void ProtocolTest::eachSignFollowsItsOwnOffset_data()
{
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("humidity");
    QTest::addColumn<QList<int>>("items");
    QTest::newRow("negative temperature") << "-1,5"
                                          << "2.5" << QList<int>{241, 1, 25, 0};
    QTest::newRow("negative humidity") << "0,5"
                                       << "-0,5" << QList<int>{5, 0, 251, 1};
}

void ProtocolTest::eachSignFollowsItsOwnOffset()
{
    QFETCH(QString, temperature);
    QFETCH(QString, humidity);
    QFETCH(QList<int>, items);
    TFrameSources s = typicalSources();
    s.tempOffset = temperature;
    s.humOffset = humidity;
    QCOMPARE(frameOf(s).mid(8, 4), items);
}

void ProtocolTest::wholeFrame_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("frame");
    const QList<int> base{99, 8, 30, 1, 12, 234, 0, 15, 0, 0, 0, 0, 101, 102, 103, 104, 0};
    auto with = [&](int index, int value) {
        QList<int> f = base;
        f[index] = value;
        return f;
    };
    QTest::newRow("typical") << ""
                             << "" << base;
    QTest::newRow("300 hours") << "periodHours"
                               << "300" << with(6, 44);
    QTest::newRow("serial 300") << "serial0"
                                << "300" << with(12, 44);
    QTest::newRow("serial -1") << "serial3"
                               << "-1" << with(15, 255);
    QTest::newRow("leading spaces") << "hours"
                                    << "  7" << with(1, 7);
    QTest::newRow("plus sign") << "minutes"
                               << "+5" << with(2, 5);
    QTest::newRow("restart") << "restart"
                             << "" << with(16, 1);
}

void ProtocolTest::wholeFrame()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QList<int>, frame);
    TFrameSources s = typicalSources();
    if (field == "periodHours")
        s.periodHours = text;
    else if (field == "serial0")
        s.serial[0] = text;
    else if (field == "serial3")
        s.serial[3] = text;
    else if (field == "hours")
        s.hours = text;
    else if (field == "minutes")
        s.minutes = text;
    else if (field == "restart")
        s.restart = true;
    QCOMPARE(frameOf(s), frame);
}

void ProtocolTest::wholeNumberItemsRejectOtherTexts_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");
    QTest::newRow("letters") << 1 << "8h";
    QTest::newRow("empty") << 2 << "";
    QTest::newRow("trailing space") << 3 << "7 ";
    QTest::newRow("decimal") << 5 << "2026.0";
    QTest::newRow("comma") << 7 << "1,5";
    QTest::newRow("serial") << 14 << "1O3";
}

void ProtocolTest::wholeNumberItemsRejectOtherTexts()
{
    QFETCH(int, item);
    QFETCH(QString, text);
    TFrameSources s = typicalSources();
    QString* fields[] = {nullptr,      &s.hours,     &s.minutes,     &s.day,
                         &s.month,     &s.year,      &s.periodHours, &s.periodMinutes,
                         nullptr,      nullptr,      nullptr,        nullptr,
                         &s.serial[0], &s.serial[1], &s.serial[2],   &s.serial[3]};
    *fields[item] = text;
    try {
        ConfigurationFrameItem(item, s);
        QFAIL("the item must not be encoded");
    } catch (const EConvertError& e) {
        QCOMPARE(e.message(), QString("'%1' is not a valid integer value").arg(text));
    }
}

void ProtocolTest::downloadCommand()
{
    QCOMPARE(DownloadCommand(88), QByteArray("r88"));
    QCOMPARE(DownloadCommand(8), QByteArray("r8"));
    QCOMPARE(DownloadCommand(800000), QByteArray("r800000"));
}

void ProtocolTest::valuePackets_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QByteArray("21") << 21;
    QTest::newRow("joined") << QByteArray("125") << 125;
    QTest::newRow("zero") << QByteArray("0") << 0;
    QTest::newRow("leading spaces") << QByteArray("  7") << 7;
    QTest::newRow("sign") << QByteArray("-3") << -3;
}

void ProtocolTest::valuePackets()
{
    QFETCH(QByteArray, packet);
    QFETCH(int, value);
    QCOMPARE(ReadValuePacket(packet), value);
}

void ProtocolTest::badValuePackets_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::newRow("line end") << QByteArray("21\r\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("inner space") << QByteArray("1 2");
    QTest::newRow("nul") << QByteArray("2\0", 2);
    QTest::newRow("letters") << QByteArray("ok\r\n");
    QTest::newRow("decimal") << QByteArray("1.5");
    QTest::newRow("too big") << QByteArray("99999999999");
}

void ProtocolTest::badValuePackets()
{
    QFETCH(QByteArray, packet);
    QVERIFY_THROWS_EXCEPTION(EConvertError, ReadValuePacket(packet));
}

void ProtocolTest::cleanValue()
{
    QCOMPARE(CleanValue(250), 250);
    QCOMPARE(CleanValue(251), 0);
    QCOMPARE(CleanValue(255), 0);
    QCOMPARE(CleanValue(0), 0);
    QCOMPARE(CleanValue(21), 21);
}

void ProtocolTest::serialNumberText_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("reply") << QByteArray("101/102/103/104/\r\n") << QByteArray("101/102/103/104/");
    QTest::newRow("no line end") << QByteArray("101/102/103/104/")
                                 << QByteArray("101/102/103/104/");
    QTest::newRow("nul first") << QByteArray("101/1\0"
                                             "02/\r\n",
                                             12)
                               << QByteArray("101/1");
    QTest::newRow("line end first") << QByteArray("101/\r\n\0x", 8) << QByteArray("101/");
    QTest::newRow("lone cr and lf") << QByteArray("1\r2\n3") << QByteArray("1\r2\n3");
    QTest::newRow("only line end") << QByteArray("\r\n") << QByteArray();
}

void ProtocolTest::serialNumberText()
{
    QFETCH(QByteArray, packet);
    QFETCH(QByteArray, text);
    QCOMPARE(SerialNumberText(packet), text);
}

void ProtocolTest::splitSerialNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields"); // empty: rejected
    QTest::newRow("typical") << "101/102/103/104/" << QStringList{"101", "102", "103", "104"};
    QTest::newRow("short fields") << "99/1/22/255/" << QStringList{"99", "1", "22", "255"};
    QTest::newRow("tail ignored") << "101/102/103/104/xyz/"
                                  << QStringList{"101", "102", "103", "104"};
    QTest::newRow("no last slash") << "101/102/103/104" << QStringList{};
    QTest::newRow("field too long") << "1011/102/103/104/" << QStringList{};
    QTest::newRow("empty field") << "101//103/104/" << QStringList{};
    QTest::newRow("three fields") << "101/102/103/" << QStringList{};
    QTest::newRow("split reply") << "101/102/1" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
}

void ProtocolTest::splitSerialNumber()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    const std::optional<QStringList> split = SplitSerialNumber(text);
    if (fields.isEmpty()) {
        QVERIFY(!split.has_value());
    } else {
        QVERIFY(split.has_value());
        QCOMPARE(*split, fields);
    }
}

QTEST_GUILESS_MAIN(ProtocolTest)
#include "tst_protocol.moc"
