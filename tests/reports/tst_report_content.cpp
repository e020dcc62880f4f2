// What the report is filled with: the rows of the range as the table holds them, the date in
// the user's format, the serial-number text; and how many rows a page holds.
#include "report_fixture.h"
#include "reports/report_content.h"
#include "reports/report_layout.h"
#include "reports/report_page.h"

#include <QTest>

namespace
{

const QDate Today(2026, 12, 9);

QStringList ColumnLines(const ReportContent& content, int column)
{
    QStringList lines;
    for (qint64 row = 0; row < content.rows.count(); ++row)
        lines.append(content.rows.text(column - 1, row).toString());
    return lines;
}

QStringList TableLines(int column, int first, int last, int tableRows)
{
    QStringList lines;
    for (int row = first; row <= last; ++row)
        lines.append(row >= 0 && row < tableRows ? CellText(column, row) : QString());
    return lines;
}

} // namespace

class ReportContentTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup();

    void rowsOfTheRange_data();
    void rowsOfTheRange();
    void tableRowsSpareTheCellsPastTheTable();
    void dateInTheUsersShortFormat_data();
    void dateInTheUsersShortFormat();
    void serialNumberAsTheMainWindowShowsIt();
    void fullestColumnsFitOnePage();
    void pagesOfLongRanges_data();
    void pagesOfLongRanges();
};

void ReportContentTest::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void ReportContentTest::rowsOfTheRange_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("tableRows");
    QTest::addColumn<int>("lines");

    QTest::newRow("0 to 40: rows 0..40") << 0 << 40 << 500 << 41;
    QTest::newRow("7 to 47") << 7 << 47 << 500 << 41;
    QTest::newRow("equal ends: one line") << 12 << 12 << 500 << 1;
    QTest::newRow("end below start: none") << 12 << 11 << 500 << 0;
    QTest::newRow("end far below start") << 40 << 0 << 500 << 0;
    QTest::newRow("range beyond the table: empty lines") << 495 << 510 << 500 << 16;
    QTest::newRow("table never filled") << 0 << 40 << 0 << 41;
    QTest::newRow("start before row 0") << -3 << 2 << 500 << 6;
}

void ReportContentTest::rowsOfTheRange()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, tableRows);
    QFETCH(int, lines);

    const ReportContent content = FillReport(SourcesFor(FakeTable{tableRows}, first, last), Today);
    QCOMPARE(content.rows.count(), lines);
    for (int column = 1; column <= 4; ++column) {
        if (lines > 0)
            QCOMPARE(ColumnLines(content, column), TableLines(column, first, last, tableRows));
    }
    // Nothing outside the report's rows, whatever is asked.
    QVERIFY(content.rows.text(0, lines).isEmpty());
    QVERIFY(content.rows.text(0, -1).isEmpty());
    QVERIFY(content.rows.text(4, 0).isEmpty());
}

void ReportContentTest::tableRowsSpareTheCellsPastTheTable()
{
    // From the main window's tiles the range has no check: half a million rows, 100 in the table.
    FakeTable table{100};
    ReportSources sources = SourcesFor(table, 0, 500000);
    sources.tableRows = [] { return 100; };
    const ReportContent content = FillReport(sources, Today);
    QCOMPARE(content.rows.count(), 500001);
    QCOMPARE(*table.asked, 100 * 4);
    QCOMPARE(content.rows.text(3, 99).toString(), CellText(4, 99));
    QVERIFY(content.rows.text(0, 100).isEmpty());
    QVERIFY(content.rows.text(0, 500000).isEmpty());
    QCOMPARE(ReportPageCount(content), 12196);

    // The widest range the spin fields allow costs no more.
    sources.range = [] { return std::pair<int, int>(INT_MIN, INT_MAX); };
    *table.asked = 0;
    const ReportContent widest = FillReport(sources, Today);
    QCOMPARE(widest.rows.count(), qint64(1) << 32);
    QCOMPARE(*table.asked, 100 * 4);
    QCOMPARE(widest.rows.text(0, -qint64(INT_MIN)).toString(), CellText(1, 0));
}

void ReportContentTest::dateInTheUsersShortFormat_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("date");

    QTest::newRow("French") << QLocale(QLocale::French, QLocale::France) << "09/12/2026";
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "12/9/26";
}

void ReportContentTest::dateInTheUsersShortFormat()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, date);

    QLocale::setDefault(locale);
    QCOMPARE(FillReport(SourcesFor(FakeTable{5}, 0, 3), Today).date, date);
    // Cells are copied as they stand, whatever the regional settings.
    const ReportContent content = FillReport(SourcesFor(FakeTable{5}, 0, 3), Today);
    QCOMPARE(content.rows.text(2, 1).toString(), QStringLiteral("10,1"));
    QCOMPARE(content.rows.text(3, 1).toString(), QStringLiteral("40.1"));
}

void ReportContentTest::serialNumberAsTheMainWindowShowsIt()
{
    const QString before = QStringLiteral("Aucun datalogger connecté");
    QCOMPARE(FillReport(SourcesFor(FakeTable{5}, 0, 3, before), Today).serialNumber, before);
    // Without any source: the heading alone.
    const ReportContent empty = FillReport(ReportSources{}, Today);
    QVERIFY(empty.serialNumber.isEmpty());
    QCOMPARE(empty.rows.count(), 0);
    QCOMPARE(ReportPageCount(empty), 1);
}

void ReportContentTest::fullestColumnsFitOnePage()
{
    // Every column of fixed height holds a full page of rows, each row one pitch, so that the
    // four columns stay aligned: the curve view's largest range (41 rows) is one page.
    using namespace ReportLayout;
    for (const ReportElement& element : ReportElements()) {
        if (element.kind != ReportElementKind::Column)
            continue;
        QVERIFY2(RowsPerPage * RowPitch <= element.box.height(), qPrintable(element.name));
        QVERIFY(Margin + element.box.bottom() <= PaperHeight - Margin);
    }
    QCOMPARE(RowsPerPage, 41);
}

void ReportContentTest::pagesOfLongRanges_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pages");

    QTest::newRow("2") << 2 << 1;
    QTest::newRow("41") << 41 << 1;
    QTest::newRow("42") << 42 << 2;
    QTest::newRow("82") << 82 << 2;
    QTest::newRow("83") << 83 << 3;
}

void ReportContentTest::pagesOfLongRanges()
{
    QFETCH(int, rows);
    QFETCH(int, pages);

    const ReportContent content = FillReport(SourcesFor(FakeTable{500}, 10, 10 + rows - 1), Today);
    QCOMPARE(ReportPageCount(content), pages);
    QCOMPARE(ReportPageFooter(1, pages),
             pages == 1 ? QString() : QStringLiteral("Page 1 / %1").arg(pages));
}

QTEST_MAIN(ReportContentTest)
#include "tst_report_content.moc"
