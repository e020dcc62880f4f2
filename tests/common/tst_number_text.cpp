#include "common/errors.h"
#include "common/number_text.h"

#include "support/number_examples.h"

#include <QLocale>
#include <QTest>

class NumberTextTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void parseLocaleNumber_data();
    void parseLocaleNumber();
    void parseLocaleNumberReadsTheLocaleAtEveryCall();
    void strictToInt_data();
    void strictToInt();
    void generalNumberText_data();
    void generalNumberText();
    void fixedTwoDecimalText_data();
    void fixedTwoDecimalText();
};

void NumberTextTest::parseLocaleNumber_data()
{
    AddParseLocaleNumberRows();
}

void NumberTextTest::parseLocaleNumber()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, expected);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(ParseLocaleNumber(text), expected);
}

void NumberTextTest::parseLocaleNumberReadsTheLocaleAtEveryCall()
{
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    QCOMPARE(ParseLocaleNumber(QStringLiteral("1,5")), 1.5);
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QCOMPARE(ParseLocaleNumber(QStringLiteral("1,5")), 1.5);
    QCOMPARE(ParseLocaleNumber(QStringLiteral("1.5")), 1.5);
}

void NumberTextTest::strictToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("expected");

    QTest::newRow("digits") << "300" << true << 300;
    QTest::newRow("leading spaces") << "   42" << true << 42;
    QTest::newRow("minus") << "-1" << true << -1;
    QTest::newRow("plus") << "+15" << true << 15;
    QTest::newRow("int min") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("int max") << "2147483647" << true << 2147483647;
    QTest::newRow("overflow") << "2147483648" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("spaces only") << "  " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("trailing space") << "12 " << false << 0;
    QTest::newRow("decimal") << "30,5" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("line end") << "12\r\n" << false << 0;
    QTest::newRow("space after sign") << "- 1" << false << 0;
}

void NumberTextTest::strictToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, expected);
    if (valid) {
        QCOMPARE(StrictToInt(text), expected);
        return;
    }
    try {
        StrictToInt(text);
        QFAIL("no error raised");
    } catch (const EConvertError& e) {
        QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
}

void NumberTextTest::generalNumberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("french");
    QTest::addColumn<QString>("english");
    QTest::newRow("decimal") << 23.6 << "23,6"
                             << "23.6";
    QTest::newRow("whole") << 24.0 << "24"
                           << "24";
    QTest::newRow("binary noise") << 0.1 + 0.2 << "0,3"
                                  << "0.3";
    QTest::newRow("offset sum") << 21.0 + 0.5 << "21,5"
                                << "21.5";
    QTest::newRow("negative") << -2.5 << "-2,5"
                              << "-2.5";
    QTest::newRow("negative zero") << -0.0 << "0"
                                   << "0";
    QTest::newRow("small fixed") << 0.00001 << "0,00001"
                                 << "0.00001";
    QTest::newRow("small scientific") << 0.0000015 << "1,5E-6"
                                      << "1.5E-6";
    QTest::newRow("15 digits") << 123456789012345.0 << "123456789012345"
                               << "123456789012345";
    QTest::newRow("16 digits") << 1234567890123456.0 << "1,23456789012346E15"
                               << "1.23456789012346E15";
    QTest::newRow("hundreds") << 100.0 << "100"
                              << "100";
    QTest::newRow("rounded to 15 digits") << 20.000000000000004 << "20"
                                          << "20";
}

void NumberTextTest::generalNumberText()
{
    QFETCH(double, value);
    QFETCH(QString, french);
    QFETCH(QString, english);
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    QCOMPARE(GeneralNumberText(value), french);
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QCOMPARE(GeneralNumberText(value), english);
    // What is written reads back as the same number.
    QCOMPARE(ParseLocaleNumber(GeneralNumberText(value)), QString(english).toDouble());
}

void NumberTextTest::fixedTwoDecimalText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("french");
    QTest::newRow("rounded up") << 23.456 << "23,46";
    QTest::newRow("whole") << 21.0 << "21,00";
    QTest::newRow("mean of 20 21 22") << (20.0 + 21.0 + 22.0) / 3 << "21,00";
    QTest::newRow("negative") << -1.5 << "-1,50";
    QTest::newRow("tiny negative") << -0.001 << "0,00";
    QTest::newRow("large") << 1234567.891 << "1234567,89";
}

void NumberTextTest::fixedTwoDecimalText()
{
    QFETCH(double, value);
    QFETCH(QString, french);
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    QCOMPARE(FixedTwoDecimalText(value), french);
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QCOMPARE(FixedTwoDecimalText(value), QString(french).replace(',', '.'));
}

QTEST_GUILESS_MAIN(NumberTextTest)
#include "tst_number_text.moc"
