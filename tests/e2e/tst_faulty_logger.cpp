// A download of the day's 200 records from a logger whose line garbles one value at the very end:
// the last written record, or the first value after it. Through the real program's windows, as a
// user meets it: the download dialog says what happened and the record file in place is kept.
#include "records/record_line.h"
#include "support/audit_file.h"
#include "support/test_files.h"
#include "support/user_journey.h"
#include "users/audit_log.h"

#include <QFile>
#include <QtTest>

namespace
{

const QByteArray Earlier("1/12;8:0;20.0;50.0\r\n1/12;8:15;20.1;50.1\r\n");

} // namespace

class FaultyLoggerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lastValuesGarbled_data();
    void lastValuesGarbled();
};

void FaultyLoggerTest::lastValuesGarbled_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("told");
    // 200 records asked: 201 requested, values 0 to 1607; record 200 holds values 1592 to 1599.
    QTest::newRow("last humidity in two packets")
        << QStringList{"--split-value", "1598"}
        << "1 valeur(s) de trop : 1609 valeurs reçues pour 1608 demandées";
    QTest::newRow("last humidity and its decimals joined")
        << QStringList{"--join-values", "1598"}
        << "Il manque des valeurs : 1607 valeurs reçues sur 1608";
    QTest::newRow("last written value joined with the next one")
        << QStringList{"--join-values", "1599"}
        << "Il manque des valeurs : 1607 valeurs reçues sur 1608";
    QTest::newRow("two-digit decimals, last value joined")
        << QStringList{"--two-digit-decimals", "--join-values", "1599"}
        << "Il manque des valeurs : 1607 valeurs reçues sur 1608";
}

void FaultyLoggerTest::lastValuesGarbled()
{
    QFETCH(QStringList, options);
    QFETCH(QString, told);
    UserJourney journey(options);
    QVERIFY2(journey.launch(), qPrintable(journey.failure()));
    QVERIFY2(journey.createFirstAccount(), qPrintable(journey.failure()));
    QVERIFY2(journey.signIn(), qPrintable(journey.failure()));
    QFile earlier(RecordFileName);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write(Earlier);
    earlier.close();
    const qsizetype auditEntries = ReadAuditEntries().size();

    QVERIFY(!journey.openCurveView({}));
    const QString failure = journey.failure();
    QVERIFY2(failure.startsWith(QStringLiteral("the download dialog reported: ")),
             qPrintable(failure));
    QVERIFY2(failure.contains(told), qPrintable(failure));
    QVERIFY2(failure.contains(QStringLiteral("à partir de l'enregistrement n° 200")),
             qPrintable(failure));
    QVERIFY2(failure.contains(QStringLiteral("Les enregistrements n° 1 à 199 sont arrivés")),
             qPrintable(failure));
    QVERIFY(failure.contains(QStringLiteral("Le fichier quivel.c00 n'a pas été modifié.")));
    QCOMPARE(ReadAll(RecordFileName), Earlier);
    QVERIFY(!QFile::exists(RecordFileName + ".bak"));
    QCOMPARE(ReadAuditEntries().size(), auditEntries);
}

QTEST_MAIN(FaultyLoggerTest)
#include "tst_faulty_logger.moc"
