#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <functional>
#include <utility>
#include <vector>

// The texts of the report's four columns, row by row. Rows outside the record table are blank
// and cost nothing: a range of millions of rows past the table's end holds no text.
class ReportRows
{
public:
    static constexpr int Columns = 4;

    // Rows in the report, blank ones included.
    qint64 count() const { return m_count; }
    // The text of column 0..3 (dates, times, temperatures, humidities) at a row of the report.
    QStringView text(int column, qint64 row) const;

    // Sets the report to count rows, all blank; the rows from firstRead on are then appended.
    void reset(qint64 count, qint64 firstRead);
    // Room for that many rows read, to be filled without moving what is already read.
    void reserve(qint64 rows);
    void appendRead(const QString (&texts)[Columns]);

private:
    qint64 m_count = 0;
    qint64 m_firstRead = 0;
    std::vector<char16_t> m_text;
    std::vector<quint32> m_ends; // per read cell, row after row: where its text ends
};

// What the report shows: filled when its window is shown, unchanged until it is shown again.
struct ReportContent {
    QString date;
    QString serialNumber;
    ReportRows rows;
};

// Where the report takes its content from.
struct ReportSources {
    // The record table's cell (column 1..4, row); a row past the table reads as empty text.
    std::function<QString(int column, int row)> cell;
    // The first and the last row of the range, both included.
    std::function<std::pair<int, int>()> range;
    // The main window's serial-number caption.
    std::function<QString()> serialNumber;
    // Optional: the record table's row count. Rows from there on, and rows before 0, read as
    // empty without asking cell, so that a huge range costs nothing beyond the table.
    std::function<int()> tableRows;
};

// Today's date in the user's short date format (no time).
QString ReportDateText(const QDate& today);

// The content: the date, the serial number and rows first..last of the table, columns 1..4,
// texts as they stand; no rows when last is before first. A missing source reads as empty.
ReportContent FillReport(const ReportSources& sources, const QDate& today);
