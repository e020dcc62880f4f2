#include "bench.h"

#include "records/record_table.h"
#include "reports/report_content.h"
#include "reports/report_form.h"
#include "reports/report_output.h"
#include "reports/report_page.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

namespace
{

// The record table after a download of that many rows, as the curve view fills it.
void FillTable(RecordTable& table, int rows)
{
    table.setColumnCount(RecordTable::DefaultColumns);
    table.setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const int minutes = r * 15;
        table.setCell(0, r, QString::number(r + 1));
        table.setCell(
            1, r,
            QStringLiteral("%1/%2").arg(1 + minutes / 1440 % 28).arg(1 + minutes / 40320 % 12));
        table.setCell(2, r, QStringLiteral("%1:%2").arg(minutes / 60 % 24).arg(minutes % 60));
        table.setCell(3, r, QStringLiteral("%1,%2").arg(18 + r % 7).arg(r % 10));
        table.setCell(4, r, QStringLiteral("%1,%2").arg(50 + r % 11).arg(r * 7 % 10));
    }
}

ReportSources SourcesOver(const RecordTable& table, int first, int last)
{
    ReportSources sources;
    sources.cell = [&table](int column, int row) { return table.cell(column, row); };
    sources.range = [first, last] { return std::pair<int, int>(first, last); };
    sources.serialNumber = [] { return QStringLiteral("101/102/103/104/"); };
    sources.tableRows = [&table] { return table.rowCount(); };
    return sources;
}

// Filling, then the fresh preparation and the PDF: what "Enregistrer PDF" does after its
// two dialogs. The best of several runs, in milliseconds.
double SaveMs(const RecordTable& table, int first, int last, int runs)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const ReportContent content =
            FillReport(SourcesOver(table, first, last), QDate::currentDate());
        SaveReportPdf(content, QStringLiteral("bench-report.pdf"));
        best = qMin(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void PrintSave(const RecordTable& table, int rows, int runs, const char* goal)
{
    // The first run also loads and embeds the fonts.
    const double first = SaveMs(table, 0, rows - 1, 1);
    const double best = SaveMs(table, 0, rows - 1, runs);
    const int pages = ReportPageCount(FillReport(SourcesOver(table, 0, rows - 1), QDate()));
    std::printf("%6d rows, %5d page(s): %8.1f ms (best of %d; first run %.1f ms), %.2f ms/page, "
                "PDF %.0f KiB%s\n",
                rows, pages, best, runs, first, best / pages,
                double(QFileInfo(QStringLiteral("bench-report.pdf")).size()) / 1024.0, goal);
}

// From showReport() to the window shown with its first page composed.
void PrintOpening(const RecordTable& table, int first, int last, const char* what)
{
    Tformpdf window;
    window.setCellSource([&table](int column, int row) { return table.cell(column, row); });
    window.setRangeSource([first, last] { return std::pair<int, int>(first, last); });
    window.setSerialNumberSource([] { return QStringLiteral("101/102/103/104/"); });
    window.setTableRowsSource([&table] { return table.rowCount(); });
    const double before = CurrentResidentMiB();
    QElapsedTimer timer;
    timer.start();
    window.showReport();
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("window opening, %s: %.1f ms, %d pages, content +%.1f MiB\n", what, ms,
                window.pageCount(), CurrentResidentMiB() - before);
    window.close();
}

} // namespace

QUIVEL_BENCH("report: prepare and save as PDF (41 and 10 000 rows); window opening on huge ranges")
{
    RecordTable table;
    FillTable(table, 500001);
    PrintSave(table, 41, 10, " (goal <= 150 ms)");
    PrintSave(table, 10000, 3, "");
    PrintOpening(table, 0, 40, "rows 0..40");
    PrintOpening(table, 0, 500000, "rows 0..500 000 of a 500 001-row table");
    PrintOpening(table, 0, 2147483647, "rows 0..2 147 483 647 (unchecked fields)");
}
