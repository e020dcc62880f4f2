#include "records/record_loader.h"
#include "records/record_table.h"
#include "records/record_table_model.h"
#include "support/test_files.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The record table's cell store and the item model a grid shows it through.
class RecordTableTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsWithFiveEmptyColumns();
    void cellsOverwriteShorterAndLonger();
    void outsideTheGridNothingHappens();
    void rowAndColumnCountsKeepWhatFits();
    void clearCellsKeepsTheRows();
    void aCellCopiedFromTheTableItself();
    void manyOverwritesKeepEveryCell();
    void modelIsReadOnlyText();
    void modelSeesOneResetPerLoadAndSingleCellChanges();
};

void RecordTableTest::startsWithFiveEmptyColumns()
{
    RecordTable table;
    QCOMPARE(table.columnCount(), 5);
    QCOMPARE(table.rowCount(), 0);
    QCOMPARE(table.fixedCols(), 0);
    table.setRowCount(2);
    QCOMPARE(table.cell(4, 1), QString());
}

void RecordTableTest::cellsOverwriteShorterAndLonger()
{
    RecordTable table;
    table.setRowCount(2);
    table.setCell(3, 0, u"23.5");
    table.setCell(4, 0, u"61.0");
    table.setCell(3, 0, u"7");
    QCOMPARE(table.cell(3, 0), QStringLiteral("7"));
    QCOMPARE(table.cell(4, 0), QStringLiteral("61.0"));
    table.setCell(3, 0, u"123456789");
    QCOMPARE(table.cell(3, 0), QStringLiteral("123456789"));
    QCOMPARE(table.cell(4, 0), QStringLiteral("61.0"));
    table.setCell(3, 0, u"");
    QCOMPARE(table.cell(3, 0), QString());
    QCOMPARE(table.cell(4, 0), QStringLiteral("61.0"));
}

void RecordTableTest::outsideTheGridNothingHappens()
{
    RecordTable table;
    table.setRowCount(1);
    table.setCell(5, 0, u"x");
    table.setCell(0, 1, u"x");
    table.setCell(-1, 0, u"x");
    QCOMPARE(table.cell(5, 0), QString());
    QCOMPARE(table.cell(0, 1), QString());
    QCOMPARE(table.cell(0, 0), QString());
}

void RecordTableTest::rowAndColumnCountsKeepWhatFits()
{
    RecordTable table;
    table.setRowCount(3);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 5; ++col)
            table.setCell(col, row, QStringLiteral("%1%2").arg(col).arg(row));
    table.setRowCount(2);
    table.setRowCount(4);
    QCOMPARE(table.cell(4, 1), QStringLiteral("41"));
    QCOMPARE(table.cell(0, 2), QString());
    table.setColumnCount(3);
    QCOMPARE(table.cell(2, 1), QStringLiteral("21"));
    QCOMPARE(table.cell(3, 1), QString());
    table.setColumnCount(5);
    QCOMPARE(table.cell(3, 1), QString());
    QCOMPARE(table.cell(1, 0), QStringLiteral("10"));
}

void RecordTableTest::clearCellsKeepsTheRows()
{
    RecordTable table;
    table.setRowCount(3);
    table.setCell(2, 2, u"x");
    table.clearCells();
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.cell(2, 2), QString());
    table.setCell(2, 2, u"y");
    QCOMPARE(table.cell(2, 2), QStringLiteral("y"));
}

void RecordTableTest::aCellCopiedFromTheTableItself()
{
    RecordTable table;
    table.setRowCount(2);
    table.setCell(1, 0, u"short");
    table.setCell(2, 0, u"a much longer text");
    // Longer than the target: the store grows while its source lies inside it.
    table.setCell(1, 0, table.cellView(2, 0));
    QCOMPARE(table.cell(1, 0), QStringLiteral("a much longer text"));
    table.setCell(1, 1, table.cellView(1, 0));
    QCOMPARE(table.cell(1, 1), QStringLiteral("a much longer text"));
}

void RecordTableTest::manyOverwritesKeepEveryCell()
{
    // Enough growing overwrites to make the table compact its text several times.
    RecordTable table;
    const int rows = 20000;
    table.setRowCount(rows);
    for (int round = 1; round <= 12; ++round)
        for (int row = 0; row < rows; ++row)
            table.setCell(row % 5, row, QString(round * 4, QChar(u'a' + row % 26)));
    for (int row = 0; row < rows; row += 997)
        QCOMPARE(table.cell(row % 5, row), QString(48, QChar(u'a' + row % 26)));
    QVERIFY(table.memoryBytes() < 8 * qint64(rows) * 48);
}

void RecordTableTest::modelIsReadOnlyText()
{
    RecordTable table;
    RecordTableModel model(table);
    QAbstractItemModelTester tester(&model);
    table.setRowCount(2);
    table.setCell(1, 1, u"5/3");
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("5/3"));
    QVERIFY(!(model.flags(model.index(1, 1)) & Qt::ItemIsEditable));
    QVERIFY(!model.setData(model.index(1, 1), QStringLiteral("x")));
    QCOMPARE(table.cell(1, 1), QStringLiteral("5/3"));
}

void RecordTableTest::modelSeesOneResetPerLoadAndSingleCellChanges()
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString fileName = QStringLiteral("records.txt");
    WriteAll(fileName, QByteArray("1/1;0:0;20.0;50.0\r\n").repeated(1000));

    RecordTable table;
    RecordTableModel model(table);
    QAbstractItemModelTester tester(&model);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    LoadRecordFile(fileName, table);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(model.rowCount(), 1000);

    table.setCell(0, 7, u"8");
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().at(0).toModelIndex(), model.index(7, 0));
}

QTEST_GUILESS_MAIN(RecordTableTest)
#include "tst_record_table.moc"
