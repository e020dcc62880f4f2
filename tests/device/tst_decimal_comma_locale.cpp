// Numbers must read the same whatever the C runtime's LC_NUMERIC says. This test sets a
// decimal-comma LC_NUMERIC itself, so the fault shows even where the suite runs under C.
#include "common/number_text.h"
#include "device/protocol.h"

#include "support/number_examples.h"

#include <QLocale>
#include <QTest>
#include <clocale>

class DecimalCommaLocaleTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void parseLocaleNumber_data();
    void parseLocaleNumber();
    void frameOffsets_data();
    void frameOffsets();

private:
    QByteArray m_previous;
};

void DecimalCommaLocaleTest::initTestCase()
{
    m_previous = std::setlocale(LC_NUMERIC, nullptr);
    // scripts/install-deps.sh generates fr_FR.UTF-8; the others are fallbacks.
    for (const char* name : {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8", "fr_FR", "de_DE"}) {
        if (std::setlocale(LC_NUMERIC, name))
            break;
    }
    if (std::localeconv()->decimal_point[0] != ',')
        QFAIL("No decimal-comma C locale here: run scripts/install-deps.sh (it generates "
              "fr_FR.UTF-8).");
}

void DecimalCommaLocaleTest::cleanupTestCase()
{
    std::setlocale(LC_NUMERIC, m_previous.constData());
}

void DecimalCommaLocaleTest::parseLocaleNumber_data()
{
    AddParseLocaleNumberRows();
}

void DecimalCommaLocaleTest::parseLocaleNumber()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, expected);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(ParseLocaleNumber(text), expected);
}

void DecimalCommaLocaleTest::frameOffsets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tenths");
    QTest::addColumn<int>("sign");
    QTest::newRow("1,5") << "1,5" << 15 << 0;
    QTest::newRow("1.5") << "1.5" << 15 << 0;
    QTest::newRow("-1,5") << "-1,5" << 241 << 1;
    QTest::newRow("2.5") << "2.5" << 25 << 0;
    QTest::newRow("0,25") << "0,25" << 2 << 0;
    QTest::newRow("0,35") << "0,35" << 4 << 0;
    QTest::newRow("-0,25") << "-0,25" << 254 << 1;
    QTest::newRow("-0,04") << "-0,04" << 0 << 1;
    QTest::newRow("12 %") << "12 %" << 120 << 0;
    QTest::newRow("abc") << "abc" << 0 << 0;
}

void DecimalCommaLocaleTest::frameOffsets()
{
    QFETCH(QString, text);
    QFETCH(int, tenths);
    QFETCH(int, sign);
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    const EncodedOffset encoded = EncodeOffset(ParseLocaleNumber(text));
    QCOMPARE(int(encoded.tenths), tenths);
    QCOMPARE(int(encoded.sign), sign);
}

QTEST_GUILESS_MAIN(DecimalCommaLocaleTest)
#include "tst_decimal_comma_locale.moc"
