#include "common/errors.h"
#include "common/number_text.h"

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
};

void NumberTextTest::parseLocaleNumber_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"23.5", 23.5},   {"23,5", 23.5},   {"45 %", 45.0}, {"-2.5", -2.5},  {"$ 3", 3.0},
        {"1.234,5", 0.0}, {"1.2.3", 0.0},   {"abc", 0.0},   {"", 0.0},       {"2\t", 0.0},
        {"1e3", 1000.0},  {"1,5E-1", 0.15}, {"+7", 7.0},    {"12 %", 12.0},  {"1e", 0.0},
        {"-", 0.0},       {",5", 0.5},      {"0,25", 0.25}, {" 1 0 ", 10.0},
    };
    for (const char* locale : {"fr_FR", "en_US"}) {
        for (const auto& c : cases) {
            QTest::addRow("%s '%s'", locale, c.text)
                << QString::fromLatin1(locale) << QString::fromUtf8(c.text) << c.expected;
        }
    }
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

QTEST_GUILESS_MAIN(NumberTextTest)
#include "tst_number_text.moc"
