// Every way one value can go wrong on the line, at every place of a download: two values joined
// in one packet, or one value in two packets. Each download must either be told to the user or
// be saved equal to the logger's records; none may be saved wrong without a word. One download
// object serves every case, as in the program, so each case also starts from what the one
// before left.
#include "device/protocol.h"
#include "records/record_download.h"
#include "records/record_line.h"

#include <QDateTime>
#include <QTest>
#include <array>

namespace
{

enum class Shape { OneDecimal, TwoDecimals, NegativeWholeParts, DecimalOfZero, CodesAbove250 };

// The values a logger of that shape holds: records every 15 minutes from 1 December 08:00,
// changing from one record to the next.
std::vector<qint32> LoggerValues(Shape shape, int records)
{
    const QDateTime start(QDate(2026, 12, 1), QTime(8, 0));
    std::vector<qint32> values;
    for (int k = 0; k < records; ++k) {
        const QDateTime at = start.addSecs(qint64(k) * 15 * 60);
        qint32 temperature = 20 + k % 4;
        qint32 temperatureDecimal = 1 + k % 9;
        qint32 humidity = 50 + k % 7;
        qint32 humidityDecimal = 1 + (k * 7) % 9;
        switch (shape) {
        case Shape::OneDecimal:
            break;
        case Shape::TwoDecimals:
            temperatureDecimal = 10 + (k * 13) % 90;
            humidityDecimal = 10 + (k * 29) % 90;
            break;
        case Shape::NegativeWholeParts:
            temperature = -18 - k % 3;
            break;
        case Shape::DecimalOfZero:
            temperatureDecimal = 0;
            humidityDecimal = 0;
            break;
        case Shape::CodesAbove250:
            if (k % 3 == 1)
                temperature = 255;
            if (k % 4 == 2)
                humidityDecimal = 251;
            break;
        }
        values.insert(values.end(),
                      {at.date().day(), at.date().month(), at.time().hour(), at.time().minute(),
                       temperature, temperatureDecimal, humidity, humidityDecimal});
    }
    return values;
}

QList<QByteArray> Packets(const std::vector<qint32>& values)
{
    QList<QByteArray> packets;
    for (qint32 v : values)
        packets << QByteArray::number(v);
    return packets;
}

QList<QByteArray> ReferenceLines(const std::vector<qint32>& values, int records)
{
    QList<QByteArray> lines;
    std::array<qint32, ValuesPerRecord> cleaned{};
    for (int k = 0; k < records; ++k) {
        for (int i = 0; i < ValuesPerRecord; ++i)
            cleaned[size_t(i)] = CleanValue(values[size_t(k * ValuesPerRecord + i)]);
        lines << FormatRecordLine(cleaned);
    }
    return lines;
}

struct Outcome {
    RecordDownload::Step step;
    DownloadReport report;
};

Outcome Run(RecordDownload& download, int asked, const QList<QByteArray>& packets)
{
    download.begin(asked);
    for (const QByteArray& packet : packets)
        download.accept(packet);
    const RecordDownload::Step step = download.finish();
    return {step, download.report()};
}

} // namespace

class DownloadSweepTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyJoinAndSplit_data();
    void everyJoinAndSplit();
    void loggerMemory_data();
    void loggerMemory();
    void eachDownloadStartsAfresh();
    void extraValuesAreTold();

private:
    RecordDownload m_download;
};

void DownloadSweepTest::everyJoinAndSplit_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("wanted");
    const std::array shapes{std::pair{Shape::OneDecimal, "one decimal"},
                            std::pair{Shape::TwoDecimals, "two decimals"},
                            std::pair{Shape::NegativeWholeParts, "negative whole parts"},
                            std::pair{Shape::DecimalOfZero, "decimal of 0"},
                            std::pair{Shape::CodesAbove250, "values above 250"}};
    for (const auto& [shape, name] : shapes)
        for (int wanted : {1, 2, 3, 6, 20, 200})
            QTest::addRow("%s, %d records", name, wanted) << int(shape) << wanted;
}

void DownloadSweepTest::everyJoinAndSplit()
{
    QFETCH(int, shape);
    QFETCH(int, wanted);
    const int asked = wanted + 1;
    const std::vector<qint32> logger = LoggerValues(Shape(shape), asked);
    const QList<QByteArray> packets = Packets(logger);
    const QList<QByteArray> reference = ReferenceLines(logger, wanted);

    const Outcome clean = Run(m_download, asked, packets);
    QCOMPARE(clean.step, RecordDownload::Step::Complete);
    QCOMPARE(m_download.lines(), reference);

    QStringList silent, misnamed;
    int told = 0, saved = 0;
    const auto judge = [&](const QString& fault, const QList<QByteArray>& sent, int at) {
        const Outcome outcome = Run(m_download, asked, sent);
        if (outcome.step == RecordDownload::Step::Complete) {
            ++saved;
            if (m_download.lines() != reference)
                silent << fault;
            return;
        }
        ++told;
        QVERIFY(!DownloadProblemText(outcome.report).isEmpty());
        // The damage is named where it starts: the record that holds the faulty packet. Two
        // records are too few to place a shift between them: the first is named then, never
        // a later one than the truth.
        const int truth = at / ValuesPerRecord;
        const int named = outcome.report.firstWrongRecord;
        if (named < 0 || named > truth || (wanted > 1 && named != truth))
            misnamed << QStringLiteral("%1 named n° %2")
                            .arg(fault)
                            .arg(outcome.report.firstWrongRecord + 1);
    };
    for (qsizetype at = 0; at + 1 < packets.size(); ++at) {
        QList<QByteArray> joined = packets;
        joined[at] += joined[at + 1];
        joined.removeAt(at + 1);
        judge(QStringLiteral("join at %1").arg(at), joined, int(at));
    }
    for (qsizetype at = 0; at < packets.size(); ++at) {
        for (qsizetype cut = 1; cut < packets[at].size(); ++cut) {
            QList<QByteArray> split = packets;
            split.insert(at + 1, split[at].mid(cut));
            split[at].truncate(cut);
            judge(QStringLiteral("split at %1 after %2 digit(s)").arg(at).arg(cut), split, int(at));
        }
    }
    QVERIFY2(silent.isEmpty(), qPrintable(QStringLiteral("saved wrong without a word: ") +
                                          silent.mid(0, 10).join(QStringLiteral(", "))));
    QVERIFY2(misnamed.isEmpty(), qPrintable(misnamed.mid(0, 10).join(QStringLiteral(", "))));
    QVERIFY(told > 0);
    qInfo("%d told, %d saved equal to the logger's records", told, saved);
}

void DownloadSweepTest::loggerMemory_data()
{
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("held");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QString>("told");
    QTest::newRow("more than asked") << 6 << 100 << true << QString();
    QTest::newRow("exactly as many as asked") << 6 << 6 << true << QString();
    QTest::newRow("one record asked and held") << 1 << 1 << true << QString();
    QTest::newRow("fewer than asked")
        << 10 << 6 << false
        << "Le datalogger n'a envoyé que 6 enregistrement(s) sur les 10 demandés";
    QTest::newRow("one fewer") << 6 << 5 << false << "n'a envoyé que 5 enregistrement(s) sur les 6";
}

void DownloadSweepTest::loggerMemory()
{
    QFETCH(int, wanted);
    QFETCH(int, held);
    QFETCH(bool, complete);
    QFETCH(QString, told);
    // The logger answers what its memory holds, at most the request.
    const std::vector<qint32> logger = LoggerValues(Shape::OneDecimal, std::min(held, wanted + 1));
    const Outcome outcome = Run(m_download, wanted + 1, Packets(logger));
    if (complete) {
        QCOMPARE(outcome.step, RecordDownload::Step::Complete);
        QCOMPARE(m_download.lines(), ReferenceLines(logger, wanted));
        return;
    }
    QCOMPARE(outcome.step, RecordDownload::Step::NeedsDecision);
    QVERIFY(outcome.report.fewerRecords());
    QCOMPARE(outcome.report.recordsArrived, held);
    const QString text = DownloadProblemText(outcome.report);
    QVERIFY2(text.contains(told), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("impossibles")), qPrintable(text));
    // Kept if the user says so: the records that came, whole.
    m_download.takeWhatArrived();
    QCOMPARE(m_download.lines(), ReferenceLines(logger, held));
}

void DownloadSweepTest::eachDownloadStartsAfresh()
{
    // A long download left half-way, then a short one: nothing of the first is in the second.
    const std::vector<qint32> logger = LoggerValues(Shape::OneDecimal, 21);
    const QList<QByteArray> packets = Packets(logger);
    m_download.begin(21);
    for (const QByteArray& packet : packets.mid(0, 100))
        m_download.accept(packet);
    m_download.abandon();
    QCOMPARE(m_download.accept("5"), RecordDownload::Step::Ignored);

    const std::vector<qint32> shorter = LoggerValues(Shape::TwoDecimals, 3);
    // The short one is a value short: its last values are not taken from the long one.
    const Outcome outcome = Run(m_download, 3, Packets(shorter).mid(0, 23));
    QCOMPARE(outcome.step, RecordDownload::Step::NeedsDecision);
    QCOMPARE(outcome.report.valuesReceived, 23);
    QVERIFY(outcome.report.valuesMissing());

    const Outcome again = Run(m_download, 3, Packets(shorter));
    QCOMPARE(again.step, RecordDownload::Step::Complete);
    QCOMPARE(m_download.lines(), ReferenceLines(shorter, 2));
    // The logger's "g" is no value, and after the end nothing is taken.
    m_download.begin(3);
    for (const QByteArray& packet : Packets(shorter)) {
        m_download.accept(packet);
        m_download.accept("g");
    }
    QCOMPARE(m_download.finish(), RecordDownload::Step::Complete);
    QCOMPARE(m_download.accept("7"), RecordDownload::Step::Ignored);
    QCOMPARE(m_download.receivedCount(), 24);
}

void DownloadSweepTest::extraValuesAreTold()
{
    // Whole records too many: the logger answered more than it was asked.
    const std::vector<qint32> logger = LoggerValues(Shape::OneDecimal, 5);
    const Outcome outcome = Run(m_download, 3, Packets(logger));
    QCOMPARE(outcome.step, RecordDownload::Step::NeedsDecision);
    QCOMPARE(outcome.report.extraValues(), 16);
    const QString text = DownloadProblemText(outcome.report);
    QVERIFY2(text.contains(QStringLiteral("16 valeur(s) de trop : 40 valeurs reçues pour 24")),
             qPrintable(text));
}

QTEST_GUILESS_MAIN(DownloadSweepTest)
#include "tst_download_sweep.moc"
