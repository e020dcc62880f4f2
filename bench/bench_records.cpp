#include "bench.h"

#include "common/text_file.h"
#include "device/com_port.h"
#include "device/protocol.h"
#include "logger_sim_launcher.h"
#include "records/load_data_form.h"
#include "records/record_line.h"
#include "records/record_loader.h"
#include "records/record_table.h"
#include "records/record_table_model.h"
#include "support/logger_sim_process.h"
#include "support/scripted_services.h"
#include "support/test_terminal.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <array>
#include <cstdio>
#include <memory>

namespace
{

constexpr int LoadRows = 500000;

// What a straightforward port does: one widget item per cell.
class ItemWidgetSink : public TableSink
{
public:
    explicit ItemWidgetSink(QTableWidget& widget) : m_widget(widget) {}
    void setColumnCount(int count) override { m_widget.setColumnCount(count); }
    void setRowCount(int count) override { m_widget.setRowCount(count); }
    void setFixedCols(int) override {}
    void setCell(int col, int row, QStringView text) override
    {
        m_widget.setItem(row, col, new QTableWidgetItem(text.toString()));
    }

private:
    QTableWidget& m_widget;
};

struct LoadFigures {
    double seconds = 0;
    double peakMiB = 0; // above the resident size before the load
};

template <class Load> LoadFigures MeasureLoad(Load&& load)
{
    ResetPeakResident();
    const double before = CurrentResidentMiB();
    QElapsedTimer timer;
    timer.start();
    load();
    LoadFigures figures;
    figures.seconds = double(timer.nsecsElapsed()) / 1e9;
    figures.peakMiB = PeakResidentMiB() - before;
    return figures;
}

} // namespace

QUIVEL_BENCH("records: LoadRecordFile of 500 000 lines, record table vs QTableWidget items")
{
    const QString fileName = QStringLiteral("bench-load.c00");
    WriteRecordFile(fileName, LoadRows);
    std::printf("file: %d lines, %.1f MiB\n", LoadRows, double(QFile(fileName).size()) / 1048576.0);

    double best = 1e9;
    double tableMiB = 0;
    double peakMiB = 0;
    for (int run = 0; run < 3; ++run) {
        RecordTable table;
        const LoadFigures f = MeasureLoad([&] { LoadRecordFile(fileName, table); });
        best = std::min(best, f.seconds);
        peakMiB = std::max(peakMiB, f.peakMiB);
        tableMiB = double(table.memoryBytes()) / 1048576.0;
    }
    std::printf("record table:          %7.3f s (best of 3), table %.1f MiB, peak +%.1f MiB during "
                "the load\n",
                best, tableMiB, peakMiB);

    double viewSeconds = 0;
    {
        RecordTable table;
        RecordTableModel model(table);
        QTableView view;
        view.setModel(&model);
        view.resize(600, 800);
        view.show();
        const LoadFigures f = MeasureLoad([&] { LoadRecordFile(fileName, table); });
        viewSeconds = f.seconds;
        std::printf("record table + grid:   %7.3f s (the curve view's grid attached, shown)\n",
                    f.seconds);
    }

    LoadFigures widget;
    {
        QTableWidget items;
        ItemWidgetSink sink(items);
        widget = MeasureLoad([&] { LoadRecordFile(fileName, sink); });
        std::printf("QTableWidget items:    %7.3f s, peak +%.1f MiB during the load\n",
                    widget.seconds, widget.peakMiB);
    }
    std::printf("ratio (items / table): %.1fx faster, %.1fx less memory at peak; with the grid "
                "%.1fx faster\n",
                widget.seconds / best, widget.peakMiB / std::max(peakMiB, 0.1),
                widget.seconds / viewSeconds);
    QFile::remove(fileName);
}

namespace
{

// The download dialog on an open port, its boxes answered by a script.
struct DownloadBench {
    ScriptedDialogs dialogs;
    TComPort port;
    TLoadDataForm form;

    explicit DownloadBench(const QString& portPath)
    {
        Services::setDialogs(&dialogs);
        port.setPort(portPath);
        port.OpenPort();
        form.setComPort(&port);
        form.show();
    }
    ~DownloadBench()
    {
        form.hide();
        Services::setDialogs(nullptr);
    }
    void start(int typedCount)
    {
        form.findChild<QLineEdit*>("Edit1")->setText(QString::number(typedCount));
        form.findChild<QPushButton*>("BitBtn1")->click();
    }
};

// Packets as the link hands them over: one event-loop turn per packet.
double PacketsPerSecond(int packets, const std::function<void(const QByteArray&)>& handle)
{
    const QByteArray values[] = {"1", "12", "8", "45", "21", "7", "55", "3"};
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < packets; ++i) {
        handle(values[i % 8]);
        QCoreApplication::processEvents();
    }
    return packets / (double(timer.nsecsElapsed()) / 1e9);
}

} // namespace

QUIVEL_BENCH("records: download packet handler with the progress display, vs stepping per packet")
{
    TestTerminal line;
    constexpr int Packets = 400000;
    double ours = 0;
    {
        DownloadBench bench(line.path());
        bench.start(RecordDownload::MaxRecords - 1);
        ours = PacketsPerSecond(Packets, [&](const QByteArray& packet) {
            bench.form.packetListener().deliver(packet);
        });
        std::printf("TLoadDataForm handler:        %9.0f packets/s (%d packets, progress "
                    "repainted at most every %d ms)\n",
                    ours, Packets, TLoadDataForm::ProgressRefreshMs);
    }
    {
        // The straightforward handler: convert, store, step the bar and its text each packet.
        QProgressBar bar;
        QLabel text;
        bar.setMaximum(RecordDownload::MaxRecords * ValuesPerRecord);
        bar.show();
        text.show();
        std::vector<qint32> buffer(size_t(RecordDownload::MaxRecords + 1) * ValuesPerRecord);
        int count = 0;
        const double peer = PacketsPerSecond(Packets, [&](const QByteArray& packet) {
            buffer[size_t(count++)] = ReadValuePacket(packet);
            bar.setValue(bar.value() + 1);
            text.setText(ProgressText(count, bar.maximum()));
        });
        std::printf("stepping the display per packet: %6.0f packets/s; ratio %.1fx\n", peer,
                    ours / peer);
    }
    {
        // A whole download of the stated maximum, the check, the quiet wait and the save
        // included.
        DownloadBench bench(line.path());
        bench.start(RecordDownload::MaxRecords - 1);
        const int values = (RecordDownload::MaxRecords + 1) * ValuesPerRecord;
        QElapsedTimer timer;
        timer.start();
        const double rate = PacketsPerSecond(
            values, [&](const QByteArray& packet) { bench.form.packetListener().deliver(packet); });
        const double handled = double(timer.nsecsElapsed()) / 1e9;
        QEventLoop loop;
        QObject::connect(&bench.form, &QDialog::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        if (bench.form.isVisible())
            loop.exec();
        std::printf("500 000 records (%d packets) to quivel.c00: packets %.2f s (%.0f/s), then "
                    "judged and saved %.2f s later (%d ms of it the quiet wait), file %.1f MiB, "
                    "dialog closed: %s\n",
                    values, handled, rate, double(timer.nsecsElapsed()) / 1e9 - handled,
                    TLoadDataForm::SettleMs, double(QFile(RecordFileName).size()) / 1048576.0,
                    bench.form.isVisible() ? "no" : "yes");
    }
}

namespace
{

struct EndToEndResult {
    bool saved = false;
    QList<QByteArray> lines; // the record file, when saved
};

// One download through the dialog from logger-sim started with the options: the user types
// typedRecords, so typedRecords + 1 records (8 values each) are asked for. Ends when the dialog
// closes (saved) or says what went wrong.
EndToEndResult EndToEnd(const char* mode, const QStringList& options, double gapMs,
                        int typedRecords)
{
    const int records = typedRecords + 1;
    LoggerSimProcess sim(options);
    if (!sim.start()) {
        std::printf("%s: %s\n", mode, qPrintable(sim.startError()));
        return {};
    }
    DownloadBench bench(sim.portPath());
    qint64 bytes = 0;
    int packets = 0;
    QElapsedTimer sinceLastPacket;
    sinceLastPacket.start();
    TComDataPacket counter;
    counter.setComPort(&bench.port);
    QObject::connect(&counter, &TComDataPacket::OnPacket, [&](const QByteArray& packet) {
        bytes += packet.size();
        ++packets;
        sinceLastPacket.start();
    });
    QElapsedTimer timer;
    timer.start();
    bench.start(typedRecords);
    QEventLoop loop;
    QObject::connect(&bench.form, &QDialog::finished, &loop, &QEventLoop::quit);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const bool told = bench.form.findChild<QLabel*>("ProblemLabel")->isVisible();
        if (told && (!bench.form.download().running() || sinceLastPacket.elapsed() > 3000))
            loop.quit();
    });
    watch.start(100);
    if (bench.form.isVisible())
        loop.exec();
    EndToEndResult result;
    result.saved = !bench.form.isVisible();
    const double wall =
        double(timer.nsecsElapsed()) / 1e9 - (result.saved ? 0.0 : sinceLastPacket.elapsed() / 1e3);
    const double lineBound = LineSeconds(bytes);
    const double gapBound = records * ValuesPerRecord * gapMs / 1000.0;
    const DownloadReport report = bench.form.download().report();
    if (result.saved)
        result.lines = SplitTextLines(ReadWholeFile(RecordFileName, MaxRecordFileBytes));
    const QString told = bench.form.findChild<QLabel*>("ProblemLabel")->text();
    std::printf(
        "%s: %s; %d values from %d packets in %.2f s; line lower bound %.2f s "
        "(%lld bytes at 57600 baud), ratio %.2f; logger's own gap floor %.2f s; "
        "records flagged %d of %d%s\n",
        mode,
        result.saved ? "saved"
                     : qPrintable(QStringLiteral("NOT SAVED, the user is told: «%1»")
                                      .arg(told.section(QLatin1Char('\n'), 0, 0))),
        report.valuesReceived, packets, wall, lineBound, static_cast<long long>(bytes),
        wall / lineBound, gapBound, report.check.suspect, report.check.records,
        report.check.suspect
            ? qPrintable(QStringLiteral(" (first: record %1)").arg(report.check.firstSuspect + 1))
            : "");
    std::fflush(stdout);
    counter.setComPort(nullptr);
    bench.port.ClosePort();
    return result;
}

// Busy loops that keep the processor's cores loaded while they live.
class BusyLoops
{
public:
    explicit BusyLoops(int count)
    {
        for (int i = 0; i < count; ++i) {
            auto& loop = m_loops.emplace_back(std::make_unique<QProcess>());
            loop->start(QStringLiteral("sh"),
                        {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
            loop->waitForStarted();
        }
    }
    ~BusyLoops()
    {
        for (auto& loop : m_loops) {
            loop->kill();
            loop->waitForFinished();
        }
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_loops;
};

// Records of a saved download that differ from the reference download's.
int RecordsSavedWrong(const EndToEndResult& run, const EndToEndResult& reference)
{
    if (!run.saved)
        return 0;
    int wrong = int(qAbs(run.lines.size() - reference.lines.size()));
    for (qsizetype i = 0; i < qMin(run.lines.size(), reference.lines.size()); ++i)
        wrong += run.lines[i] != reference.lines[i];
    return wrong;
}

} // namespace

QUIVEL_BENCH("records: end to end, 2 000 records from logger-sim at the demo's line rate and paced")
{
    EndToEnd("demo (--paced --baud 57600)", LoggerSimLinePace(), 0.0, 2000);
    EndToEnd("paced", {QStringLiteral("--paced")}, 0.0, 2000);
}

QUIVEL_BENCH("records: end to end, 2 000 records from logger-sim at its default 5 ms gap")
{
    EndToEnd("default gap (5 ms)", {}, 5.0, 2000);
}

QUIVEL_BENCH("records: 5 000 records at the line's rate, idle and with two busy loops")
{
    const QStringList lineRate = LoggerSimLinePace();
    const EndToEndResult idle = EndToEnd("idle", lineRate, 0.0, 5000);
    EndToEndResult loaded;
    {
        BusyLoops busy(2);
        loaded = EndToEnd("two busy loops", lineRate, 0.0, 5000);
    }
    // Unpaced at 1 ms, values join on any machine: they must be told, never saved shifted.
    const EndToEndResult joining =
        EndToEnd("unpaced, 1 ms gap", {QStringLiteral("--gap-ms"), QStringLiteral("1")}, 1.0, 5000);
    std::printf("records saved wrong (against the idle download): loaded %d, unpaced %d\n",
                RecordsSavedWrong(loaded, idle), RecordsSavedWrong(joining, idle));
}
