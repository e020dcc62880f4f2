// The time of a record, with the year carried over at the turn of December, as the cold-chain
// summary and the download check read it from lines that may be damaged.
#include "records/record_time.h"

#include <QTest>
#include <limits>

class RecordTimeTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void turnOfTheYearCarriesTheYear();
    void fieldsOutOfRangeAreNoTime_data();
    void fieldsOutOfRangeAreNoTime();
    void aDamagedLineDoesNotMoveTheYear();
};

void RecordTimeTest::turnOfTheYearCarriesTheYear()
{
    RecordClock clock;
    const auto before = clock.minutes(31, 12, 23, 50);
    const auto after = clock.minutes(1, 1, 0, 0);
    QVERIFY(before && after);
    QCOMPARE(*after - *before, 10);
}

void RecordTimeTest::fieldsOutOfRangeAreNoTime_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    const int max = std::numeric_limits<int>::max();
    const int min = std::numeric_limits<int>::min();
    QTest::newRow("largest month and day") << max << max << 0 << 0;
    QTest::newRow("smallest month and day") << min << min << 0 << 0;
    QTest::newRow("month 13") << 1 << 13 << 0 << 0;
    QTest::newRow("month 0") << 1 << 0 << 0 << 0;
    QTest::newRow("day 32") << 32 << 1 << 0 << 0;
    QTest::newRow("day 0") << 0 << 1 << 0 << 0;
    QTest::newRow("31 April") << 31 << 4 << 0 << 0;
    QTest::newRow("hour 24") << 1 << 1 << 24 << 0;
    QTest::newRow("minute 60") << 1 << 1 << 0 << 60;
    QTest::newRow("largest hour") << 1 << 1 << max << max;
}

void RecordTimeTest::fieldsOutOfRangeAreNoTime()
{
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, hour);
    QFETCH(int, minute);
    RecordClock clock;
    QCOMPARE(clock.minutes(day, month, hour, minute), std::nullopt);
}

void RecordTimeTest::aDamagedLineDoesNotMoveTheYear()
{
    // 5/99 would sort after 6/3 and so take the next record into the following year.
    RecordClock clock;
    const auto first = clock.minutes(5, 3, 12, 0);
    QCOMPARE(clock.minutes(5, 99, 12, 0), std::nullopt);
    QCOMPARE(clock.minutes(2147483647, 2147483647, 12, 0), std::nullopt);
    const auto next = clock.minutes(6, 3, 12, 0);
    QVERIFY(first && next);
    QCOMPARE(*next - *first, 24 * 60);
}

QTEST_GUILESS_MAIN(RecordTimeTest)
#include "tst_record_time.moc"
