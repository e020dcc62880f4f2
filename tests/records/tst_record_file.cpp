#include "common/errors.h"
#include "records/record_line.h"
#include "records/record_loader.h"
#include "records/record_table.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <memory>

using Values = std::array<qint32, ValuesPerRecord>;
Q_DECLARE_METATYPE(Values)

// The record line, and the loader of record files into the record table.
class RecordFileTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void recordLine_data();
    void recordLine();
    void load_data();
    void load();
    void loadEmptiesWhatAnEarlierLoadLeft();
    void loadDecodesWindows1252();
    void emptyFileRaisesListIndexAndLeavesTheTable();
    void missingFileRaisesOpenErrorAndLeavesTheTable();
    void downloadedLinesLoadBack();
    void recordLinesAreCounted_data();
    void recordLinesAreCounted();

private:
    static void fillSentinel(RecordTable& table);
    static void verifySentinel(const RecordTable& table);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void RecordFileTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
}

void RecordFileTest::recordLine_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("example") << Values{5, 3, 14, 7, 23, 5, 61, 0}
                             << QByteArray("5/3;14:7;23.5;61.0");
    QTest::newRow("zeros") << Values{31, 12, 0, 0, 0, 0, 0, 0} << QByteArray("31/12;0:0;0.0;0.0");
    QTest::newRow("decimals unscaled")
        << Values{1, 1, 9, 5, 21, 25, 55, 250} << QByteArray("1/1;9:5;21.25;55.250");
    QTest::newRow("negative and extremes")
        << Values{-1, 2147483647, -2147483647 - 1, 0, -5, 3, 100, 9}
        << QByteArray("-1/2147483647;-2147483648:0;-5.3;100.9");
}

void RecordFileTest::recordLine()
{
    QFETCH(Values, values);
    QFETCH(QByteArray, line);
    QCOMPARE(FormatRecordLine(values), line);
}

void RecordFileTest::load_data()
{
    QTest::addColumn<QByteArray>("file");
    // Each row: the texts of columns 1..4, joined by "|".
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("download") << QByteArray("5/3;14:7;23.5;61.0\r\n5/3;14:22;23.6;60.9\r\n")
                              << QStringList{"5/3|14:7|23.5|61.0", "5/3|14:22|23.6|60.9"};
    QTest::newRow("quotes anywhere")
        << QByteArray("\"5/3\";\"14:7\";\"23.5\";\"61.0\"\r\n5/3;1\"4:22;23.6;60.9\"\r\n")
        << QStringList{"5/3|14:7|23.5|61.0", "5/3|14:22|23.6|60.9"};
    QTest::newRow("final semicolon optional")
        << QByteArray("1/1;0:0;20.0;50.0;\r\n1/1;0:15;20.1;50.1\r\n")
        << QStringList{"1/1|0:0|20.0|50.0", "1/1|0:15|20.1|50.1"};
    QTest::newRow("empty line in the middle")
        << QByteArray("1/1;0:0;20.0;50.0\r\n1/1;0:15;20.1;50.1\r\n\r\n1/1;0:45;20.3;50.3\r\n")
        << QStringList{"1/1|0:0|20.0|50.0", "1/1|0:15|20.1|50.1", "|||", "1/1|0:45|20.3|50.3"};
    QTest::newRow("fifth field dropped")
        << QByteArray("1/1;0:0;20.0;50.0;extra\r\n1/1;0:15;20.1;50.1\r\n")
        << QStringList{"1/1|0:0|20.0|50.0", "1/1|0:15|20.1|50.1"};
    QTest::newRow("fields counted on the second line")
        << QByteArray("a;b;c;d\r\ne;f\r\ng\r\n") << QStringList{"a|b||", "e|f||", "g|||"};
    QTest::newRow("first line does not set the count")
        << QByteArray("a\r\nb;c;d;e\r\n") << QStringList{"a|||", "b|c|d|e"};
    QTest::newRow("lone CR, lone LF, no final break")
        << QByteArray("a;b;c;d\re;f;g;h\ni;j;k;l") << QStringList{"a|b|c|d", "e|f|g|h", "i|j|k|l"};
    QTest::newRow("two empty lines") << QByteArray("\r\n\r\n") << QStringList{"|||", "|||"};
    // Alone, the first line gives the count.
    QTest::newRow("one record") << QByteArray("5/3;14:7;23.5;61.0\r\n")
                                << QStringList{"5/3|14:7|23.5|61.0"};
    QTest::newRow("one record, no break")
        << QByteArray("5/3;14:7;23.5;61.0") << QStringList{"5/3|14:7|23.5|61.0"};
    QTest::newRow("one line of two fields") << QByteArray("a;b\r\n") << QStringList{"a|b||"};
}

void RecordFileTest::load()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rows);
    WriteAll(RecordFileName, file);
    RecordTable table;
    LoadRecordFile(RecordFileName, table);
    QCOMPARE(table.columnCount(), 5);
    QCOMPARE(table.fixedCols(), 0);
    QCOMPARE(table.rowCount(), rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        QStringList cells;
        for (int col = 1; col <= 4; ++col)
            cells << table.cell(col, row);
        QCOMPARE(cells.join('|'), rows[row]);
        QCOMPARE(table.cell(0, row), QString());
    }
}

void RecordFileTest::fillSentinel(RecordTable& table)
{
    table.setRowCount(3);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 5; ++col)
            table.setCell(col, row, QStringLiteral("old %1,%2").arg(col).arg(row));
}

void RecordFileTest::verifySentinel(const RecordTable& table)
{
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.columnCount(), 5);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 5; ++col)
            QCOMPARE(table.cell(col, row), QStringLiteral("old %1,%2").arg(col).arg(row));
}

void RecordFileTest::loadEmptiesWhatAnEarlierLoadLeft()
{
    RecordTable table;
    fillSentinel(table);
    WriteAll(RecordFileName, "a;b\r\nc;d\r\n");
    LoadRecordFile(RecordFileName, table);
    QCOMPARE(table.rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(table.cell(0, row), QString());
        QCOMPARE(table.cell(3, row), QString());
        QCOMPARE(table.cell(4, row), QString());
    }
    QCOMPARE(table.cell(2, 1), QStringLiteral("d"));
}

void RecordFileTest::loadDecodesWindows1252()
{
    WriteAll(RecordFileName, "\xe9t\xe9;\x80\r\nx;y\r\n");
    RecordTable table;
    LoadRecordFile(RecordFileName, table);
    QCOMPARE(table.cell(1, 0), QStringLiteral("été"));
    QCOMPARE(table.cell(2, 0), QStringLiteral("€"));
}

void RecordFileTest::emptyFileRaisesListIndexAndLeavesTheTable()
{
    WriteAll(RecordFileName, {});
    RecordTable table;
    fillSentinel(table);
    try {
        LoadRecordFile(RecordFileName, table);
        QFAIL("no error raised");
    } catch (const EListError& e) {
        QCOMPARE(e.message(), QStringLiteral("List index out of bounds (1)"));
    }
    verifySentinel(table);
}

void RecordFileTest::missingFileRaisesOpenErrorAndLeavesTheTable()
{
    RecordTable table;
    fillSentinel(table);
    try {
        LoadRecordFile(RecordFileName, table);
        QFAIL("no error raised");
    } catch (const EFOpenError& e) {
        const QString path = QDir(m_dir->path()).absoluteFilePath(RecordFileName);
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path)),
                 qPrintable(e.message()));
    }
    verifySentinel(table);
}

void RecordFileTest::downloadedLinesLoadBack()
{
    QByteArray file;
    for (int k = 0; k < 100; ++k) {
        const Values v{1 + k % 28, 1 + k % 12, k % 24, k % 60, 20 + k % 5, k % 10, 50, k % 7};
        file += FormatRecordLine(v) + "\r\n";
    }
    WriteAll(RecordFileName, file);
    RecordTable table;
    LoadRecordFile(RecordFileName, table);
    QCOMPARE(table.rowCount(), 100);
    QCOMPARE(table.cell(1, 37), QStringLiteral("10/2"));
    QCOMPARE(table.cell(2, 37), QStringLiteral("13:37"));
    QCOMPARE(table.cell(3, 37), QStringLiteral("22.7"));
    QCOMPARE(table.cell(4, 37), QStringLiteral("50.2"));
}

void RecordFileTest::recordLinesAreCounted_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("record");
    QTest::newRow("download") << "5/3;14:7;23.5;61.0" << true;
    QTest::newRow("negative") << "5/3;14:7;-5.3;61.0" << true;
    QTest::newRow("final ;") << "5/3;14:7;23.5;61.0;" << true;
    QTest::newRow("quoted") << "\"5/3\";\"14:7\";\"23.5\";\"61.0\"" << true;
    QTest::newRow("comma") << "5/3;14:7;23,5;61.0" << false;
    QTest::newRow("three fields") << "5/3;14:7;23.5" << false;
    QTest::newRow("five fields") << "5/3;14:7;23.5;61.0;1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("text") << "Try and find this when I'm finished !" << false;
    QTest::newRow("letters") << "a/b;c:d;e.f;g.h" << false;
    QTest::newRow("sign without digits, quoted") << "\"5/3\";\"15:20\";\"23.-\";\"64.8\"" << false;
    QTest::newRow("sign without digits") << "5/3;15:20;23.-;64.8" << false;
}

void RecordFileTest::recordLinesAreCounted()
{
    QFETCH(QString, line);
    QFETCH(bool, record);
    QCOMPARE(IsRecordLine(line), record);
    WriteAll(RecordFileName, "1/1;0:0;20.0;50.0\r\n" + line.toLatin1() + "\r\n");
    RecordTable table;
    const LoadSummary summary = LoadRecordFile(RecordFileName, table);
    QCOMPARE(summary.lines, 2);
    QCOMPARE(summary.notRecords, record ? 0 : 1);
}

QTEST_GUILESS_MAIN(RecordFileTest)
#include "tst_record_file.moc"
