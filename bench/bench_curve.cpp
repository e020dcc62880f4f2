// The curve view's showing of 500 000 rows: load, calibration, the six series, row numbers,
// statistics and display, against the same work done the straightforward way (every cell
// parsed each time it is read, points appended one at a time).
#include "bench.h"

#include "analysis/chart/chart_series.h"
#include "analysis/chart_view.h"
#include "analysis/chart_windows.h"
#include "analysis/curve_analysis.h"
#include "analysis/curve_form.h"
#include "common/number_text.h"
#include "records/record_line.h"
#include "records/record_loader.h"
#include "records/record_table.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QTableView>
#include <cstdio>

namespace
{

constexpr int Rows = 500000;

struct Showing {
    TTempCurveForm temperature;
    THumCurveForm humidity;
    Tcurveform view;
    Showing()
    {
        view.setChartWindows(&temperature, &humidity);
        view.setOffsetsSource([] { return TCalibrationOffsets{"0,5", "-1,0"}; });
        view.setThresholdsSource([] { return TAlarmThresholds{"30", "20", "85", "60"}; });
    }
};

// Every cell parsed when read, the offsets parsed per row, one point at a time.
void ShowStraightforwardly(RecordTable& table, ChartWindow& temperature, ChartWindow& humidity)
{
    const QString tOffset = QStringLiteral("0,5"), hOffset = QStringLiteral("-1,0");
    LoadRecordFile(RecordFileName, table);
    TableUpdate update(table);
    for (int r = 0; r < table.rowCount(); ++r) {
        table.setCell(
            3, r,
            GeneralNumberText(ParseLocaleNumber(table.cell(3, r)) + ParseLocaleNumber(tOffset)));
        table.setCell(
            4, r,
            GeneralNumberText(ParseLocaleNumber(table.cell(4, r)) + ParseLocaleNumber(hOffset)));
    }
    for (ChartWindow* w : {&temperature, &humidity}) {
        w->curve().clear();
        w->highThreshold().clear();
        w->lowThreshold().clear();
    }
    for (int r = 0; r < table.rowCount(); ++r) {
        const QString label = QString::number(r + 1) + QStringLiteral("  ") + table.cell(1, r);
        temperature.curve().addPoint(r, ParseLocaleNumber(table.cell(3, r)), Qt::red, label);
        humidity.curve().addPoint(r, ParseLocaleNumber(table.cell(4, r)), QColor(0, 128, 0), label);
        temperature.highThreshold().addPoint(r, ParseLocaleNumber(QStringLiteral("30")));
        temperature.lowThreshold().addPoint(r, ParseLocaleNumber(QStringLiteral("20")));
        humidity.highThreshold().addPoint(r, ParseLocaleNumber(QStringLiteral("85")));
        humidity.lowThreshold().addPoint(r, ParseLocaleNumber(QStringLiteral("60")));
        table.setCell(0, r, QString::number(r + 1));
    }
    double tMax = ParseLocaleNumber(table.cell(3, 0)), tSum = 0;
    for (int r = 0; r < table.rowCount(); ++r) {
        const double t = ParseLocaleNumber(table.cell(3, r));
        tMax = t > tMax ? t : tMax;
        tSum += t + ParseLocaleNumber(table.cell(4, r)) * 0;
    }
    std::printf("  (maximum %s, sum %s)\n", qPrintable(GeneralNumberText(tMax)),
                qPrintable(GeneralNumberText(tSum)));
}

} // namespace

QUIVEL_BENCH("curve view: a showing of 500 000 rows, one pass vs the straightforward way")
{
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    WriteRecordFile(RecordFileName, Rows);
    {
        // The windows exist from the program's start: only the showing's own memory counts.
        Showing showing;
        showing.view.resize(1600, 900);
        QCoreApplication::processEvents();
        const double before = HeapInUseMiB();
        QElapsedTimer timer;
        timer.start();
        showing.view.show(); // the showing runs from the show event
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const double added = HeapInUseMiB() - before;
        std::printf("showing with its window, one pass:      %8.1f ms, memory added %.1f MiB; "
                    "Tmaxl %s, TAvl %s\n",
                    ms, added, qPrintable(showing.view.findChild<QLabel*>("Tmaxl")->text()),
                    qPrintable(showing.view.findChild<QLabel*>("TAvl")->text()));
        timer.restart();
        auto* grid = showing.view.findChild<QTableView*>("StringGrid1");
        for (int step = 0; step < 50; ++step) {
            grid->scrollTo(grid->model()->index(step * (Rows / 50), 0));
            grid->viewport()->grab();
        }
        std::printf("grid scrolled 50 times across the rows: %.1f ms per scroll and paint\n",
                    double(timer.nsecsElapsed()) / 1e6 / 50);
        showing.view.hide();
    }
    {
        Showing showing;
        const double before = HeapInUseMiB();
        QElapsedTimer timer;
        timer.start();
        RecordTable& table = showing.view.recordTable();
        LoadRecordFile(RecordFileName, table);
        const CurveColumns columns = CalibrateRecordTable(table, 0.5, -1.0);
        FillCurveSeries(table, columns, {30, 20, 85, 60},
                        {showing.temperature.curve(), showing.temperature.highThreshold(),
                         showing.temperature.lowThreshold()},
                        {showing.humidity.curve(), showing.humidity.highThreshold(),
                         showing.humidity.lowThreshold()});
        NumberRecordRows(table);
        const CurveStatistics statistics = ComputeCurveStatistics(columns);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        std::printf("same work without the window, one pass: %8.1f ms, memory added %.1f MiB "
                    "(maximum %s)\n",
                    ms, HeapInUseMiB() - before,
                    qPrintable(GeneralNumberText(statistics.temperatureMax)));
    }
    {
        Showing showing;
        const double before = HeapInUseMiB();
        QElapsedTimer timer;
        timer.start();
        ShowStraightforwardly(showing.view.recordTable(), showing.temperature, showing.humidity);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        std::printf("same work, straightforward:             %8.1f ms, memory added %.1f MiB\n", ms,
                    HeapInUseMiB() - before);
    }
    QLocale::setDefault(QLocale::c());
}
