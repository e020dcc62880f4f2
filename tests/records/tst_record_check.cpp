// The check of a download's records: what a join of two values does to the records after it,
// and what a logger really sends (midnight, month and year ends, gaps, codes above 250).
#include "records/record_check.h"
#include "records/record_line.h"

#include <QDateTime>
#include <QTest>
#include <vector>

namespace
{

using Values = std::vector<qint32>;

// Records every `period` minutes from `start`, temperature 21.5 and humidity 55.3.
Values Records(QDateTime start, int count, int period = 15)
{
    Values values;
    for (int k = 0; k < count; ++k) {
        const QDateTime at = start.addSecs(qint64(k) * period * 60);
        values.insert(values.end(), {at.date().day(), at.date().month(), at.time().hour(),
                                     at.time().minute(), 21, 5, 55, 3});
    }
    return values;
}

// Values k and k + 1 read as one number, as when they reach the program in one packet.
Values Joined(Values values, size_t k)
{
    values[k] = QByteArray::number(values[k]).append(QByteArray::number(values[k + 1])).toInt();
    values.erase(values.begin() + qsizetype(k) + 1);
    values.push_back(0);
    return values;
}

const QDateTime Morning(QDate(2026, 12, 1), QTime(8, 0));

} // namespace

Q_DECLARE_METATYPE(Values)

class RecordCheckTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void check_data();
    void check();
};

void RecordCheckTest::check_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("suspect");
    QTest::addColumn<int>("first"); // 1-based, 0 for none
    QTest::addColumn<int>("period");

    QTest::newRow("clean") << Records(Morning, 20) << 0 << 0 << 15;
    QTest::newRow("across midnight, month and year")
        << Records(QDateTime(QDate(2026, 12, 31), QTime(23, 0)), 12) << 0 << 0 << 15;
    QTest::newRow("29 February") << Records(QDateTime(QDate(2028, 2, 28), QTime(23, 30)), 8, 30)
                                 << 0 << 0 << 30;
    QTest::newRow("one record") << Records(Morning, 1) << 0 << 0 << 0;
    // Every position of a record: the damage is named where it starts.
    for (int position = 0; position < 8; ++position) {
        const size_t k = size_t(8 * 5 + position);
        QTest::addRow("join at position %d of record 6", position)
            << Joined(Records(Morning, 20), k) << 15 << 6 << 15;
    }
    // Every record is shifted: no period can be read from them.
    QTest::newRow("join of the first two values")
        << Joined(Records(Morning, 10), 0) << 10 << 1 << 0;
    Values gap = Records(Morning, 6);
    const Values later = Records(Morning.addSecs(3 * 3600), 6);
    gap.insert(gap.end(), later.begin(), later.end());
    QTest::newRow("a gap counts once") << gap << 1 << 7 << 15;
    Values codes = Records(Morning, 6);
    codes[8 * 2 + 4] = 255; // no temperature
    codes[8 * 3 + 7] = 251;
    QTest::newRow("codes above 250") << codes << 0 << 0 << 15;
    Values hot = Records(Morning, 6);
    hot[8 * 4 + 4] = 215;
    QTest::newRow("temperature out of range") << hot << 1 << 5 << 15;
    Values hundredths = Records(Morning, 6);
    for (size_t k = 0; k < 6; ++k)
        hundredths[8 * k + 5] = hundredths[8 * k + 7] = 25 + int(k);
    QTest::newRow("two-digit decimals") << hundredths << 0 << 0 << 15;
    Values wrongMinute = Records(Morning, 6);
    wrongMinute[8 * 2 + 3] = 21;
    QTest::newRow("one wrong time, then on time again") << wrongMinute << 1 << 3 << 15;
}

void RecordCheckTest::check()
{
    QFETCH(Values, values);
    QFETCH(int, suspect);
    QFETCH(int, first);
    QFETCH(int, period);
    const RecordCheck check = CheckRecords(values, int(values.size() / ValuesPerRecord));
    QCOMPARE(check.records, int(values.size() / ValuesPerRecord));
    QCOMPARE(check.firstSuspect + 1, first);
    QCOMPARE(check.periodMinutes, qint64(period));
    QCOMPARE(check.suspect, suspect);
}

QTEST_GUILESS_MAIN(RecordCheckTest)
#include "tst_record_check.moc"
