#include "analysis/curve_form.h"

#include "ui_curve_form.h"

#include "analysis/chart_preview.h"
#include "analysis/chart_view.h"
#include "analysis/chart_windows.h"
#include "analysis/cold_chain.h"
#include "analysis/curve_analysis.h"
#include "common/error_handler.h"
#include "common/number_text.h"
#include "common/services.h"
#include "common/text_file.h"
#include "records/load_data_form.h"
#include "records/record_line.h"
#include "records/record_loader.h"
#include "users/audit_log.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScopeGuard>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

namespace
{

const QString ClearQuestion =
    QStringLiteral("Effacer définitivement les enregistrements affichés ?");
const QByteArray ClearedLine = QByteArrayLiteral("Try and find this when I'm finished !");

QString NotRecordsWarning(const LoadSummary& summary)
{
    return QStringLiteral("Attention : %1 lignes sur %2 du fichier %3 ne sont pas des "
                          "enregistrements ; ce fichier n'a sans doute pas été écrit par un "
                          "téléchargement.")
        .arg(summary.notRecords)
        .arg(summary.lines)
        .arg(RecordFileName);
}

} // namespace

Tcurveform::Tcurveform(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tcurveform>()), m_model(m_table)
{
    ui->setupUi(this);
    setWindowState(windowState() | Qt::WindowMaximized);
    ui->alarmlabel->hide();
    // The export buffer is a list of lines, not this control: half a million lines would make
    // a text control crawl.
    ui->Memo1->hide();
    for (QSpinBox* range : {ui->startpdf, ui->endpdf}) {
        range->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        range->setSingleStep(1);
        range->setValue(0);
    }
    setUpGrid();
    setUpPreviews();
    connect(ui->startpdf, &QSpinBox::valueChanged, this, &Tcurveform::startpdfChange);
    connect(ui->SpeedButton1, &QPushButton::clicked, this, &Tcurveform::SpeedButton1Click);
    connect(ui->Button1, &QPushButton::clicked, this, &Tcurveform::Button1Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &Tcurveform::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &Tcurveform::BitBtn2Click);
    connect(ui->Button2, &QPushButton::clicked, this, &Tcurveform::Button2Click);
}

Tcurveform::~Tcurveform() = default;

void Tcurveform::setUpGrid()
{
    QTableView* grid = ui->StringGrid1;
    grid->setModel(&m_model);
    // No fixed rows or columns: the headings are the labels above the grid.
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setMinimumSectionSize(GridColumnWidth);
    grid->horizontalHeader()->setDefaultSectionSize(GridColumnWidth);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Uniform rows keep half a million of them cheap to lay out.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setFixedWidth(RecordTable::DefaultColumns * GridColumnWidth + 2 * grid->frameWidth() +
                        grid->verticalScrollBar()->sizeHint().width());
}

// The right-hand area: both curves as live previews, the cold-chain summary under the
// statistics, and the button that takes the rows in view as the report range.
void Tcurveform::setUpPreviews()
{
    m_coldChainLabel = new QLabel(this);
    m_coldChainLabel->setObjectName(QStringLiteral("coldchainlabel"));
    m_coldChainLabel->setWordWrap(true);
    ui->sideLayout->insertWidget(ui->sideLayout->indexOf(ui->alarmlabel) + 1, m_coldChainLabel);

    m_rangeButton = new QPushButton(QStringLiteral("Rapport de cette plage"), ui->GroupBox1);
    m_rangeButton->setObjectName(QStringLiteral("rangebutton"));
    m_rangeButton->setAutoDefault(false);
    m_rangeButton->setEnabled(false);
    m_rangeButton->setToolTip(
        QStringLiteral("Prend les enregistrements visibles sur le graphique zoomé"));
    auto* reportLayout = static_cast<QGridLayout*>(ui->GroupBox1->layout());
    reportLayout->addWidget(m_rangeButton, reportLayout->rowCount(), 0, 1, -1);
    connect(m_rangeButton, &QPushButton::clicked, this, &Tcurveform::visibleRangeToReport);

    auto* previews = new QVBoxLayout;
    m_temperaturePreview = new ChartPreview(this);
    m_temperaturePreview->setObjectName(QStringLiteral("temperaturepreview"));
    m_humidityPreview = new ChartPreview(this);
    m_humidityPreview->setObjectName(QStringLiteral("humiditypreview"));
    previews->addWidget(m_temperaturePreview, 1);
    previews->addWidget(m_humidityPreview, 1);
    ui->mainLayout->addLayout(previews, 1);
    connect(m_temperaturePreview, &ChartPreview::clicked, this, &Tcurveform::BitBtn1Click);
    connect(m_humidityPreview, &ChartPreview::clicked, this, &Tcurveform::BitBtn2Click);
}

void Tcurveform::setLoadDataForm(TLoadDataForm* form)
{
    m_loadDataForm = form;
}

void Tcurveform::setOffsetsSource(std::function<TCalibrationOffsets()> source)
{
    m_offsets = std::move(source);
}

void Tcurveform::setThresholdsSource(std::function<TAlarmThresholds()> source)
{
    m_thresholds = std::move(source);
}

void Tcurveform::setChartWindows(ChartWindow* temperature, ChartWindow* humidity)
{
    m_temperatureWindow = temperature;
    m_humidityWindow = humidity;
    m_temperaturePreview->setSource(temperature ? temperature->chartView() : nullptr);
    m_humidityPreview->setSource(humidity ? humidity->chartView() : nullptr);
    for (ChartWindow* window : {temperature, humidity}) {
        if (window)
            connect(window->chartView(), &ChartView::visibleRangeChanged, this,
                    &Tcurveform::chartRangeChanged);
    }
}

void Tcurveform::setReportRequest(std::function<void()> showReport)
{
    m_showReport = std::move(showReport);
}

int Tcurveform::reportStart() const
{
    return ui->startpdf->value();
}

int Tcurveform::reportEnd() const
{
    return ui->endpdf->value();
}

void Tcurveform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tcurveform::FormShow()
{
    Guarded([&] {
        if (m_loadDataForm)
            m_loadDataForm->exec();
    });
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    // A failed load leaves the table, the statistics and the alarm as they were: the file is
    // loaded aside, and the table takes it only once it is whole.
    LoadSummary summary;
    const bool loaded = Guarded([&] {
        RecordTable table;
        summary = LoadRecordFile(RecordFileName, table);
        m_table.replaceWith(std::move(table));
    });
    if (!loaded)
        return;
    if (summary.mostlyNotRecords())
        MessageDlg(NotRecordsWarning(summary), MsgKind::Warning, {MsgButton::Ok});
    Guarded([&] { analyse(); });
}

void Tcurveform::analyse()
{
    const TCalibrationOffsets offsets = m_offsets ? m_offsets() : TCalibrationOffsets{};
    const TAlarmThresholds thresholds = m_thresholds ? m_thresholds() : TAlarmThresholds{};
    const CurveColumns columns = CalibrateRecordTable(
        m_table, ParseLocaleNumber(offsets.temperature), ParseLocaleNumber(offsets.humidity));
    const ThresholdValues values{
        ParseLocaleNumber(thresholds.tempHigh), ParseLocaleNumber(thresholds.tempLow),
        ParseLocaleNumber(thresholds.humHigh), ParseLocaleNumber(thresholds.humLow)};
    if (m_temperatureWindow && m_humidityWindow) {
        FillCurveSeries(m_table, columns, values,
                        {m_temperatureWindow->curve(), m_temperatureWindow->highThreshold(),
                         m_temperatureWindow->lowThreshold()},
                        {m_humidityWindow->curve(), m_humidityWindow->highThreshold(),
                         m_humidityWindow->lowThreshold()});
        for (ChartWindow* window : {m_temperatureWindow.data(), m_humidityWindow.data()}) {
            window->chartView()->chart().resetZoom();
            window->chartView()->chartChanged();
        }
        m_temperaturePreview->update();
        m_humidityPreview->update();
    }
    m_visibleRows.reset();
    m_rangeButton->setEnabled(false);
    NumberRecordRows(m_table);
    const CurveStatistics statistics = ComputeCurveStatistics(columns);
    showStatistics(statistics);
    showColdChain(columns, values, thresholds);
    // Last: a threshold that is no number is reported once the statistics are shown, and the
    // alarm keeps its state.
    ui->alarmlabel->setVisible(
        HighTemperatureAlarm(statistics.temperatureMax, thresholds.tempHigh));
}

void Tcurveform::showStatistics(const CurveStatistics& s)
{
    const QString degrees = QStringLiteral("°C");
    const QString percent = QStringLiteral("%");
    ui->Tmaxl->setText(GeneralNumberText(s.temperatureMax) + degrees);
    ui->HMaxl->setText(GeneralNumberText(s.humidityMax) + percent);
    ui->TMinl->setText(GeneralNumberText(s.temperatureMin) + degrees);
    ui->HMinl->setText(GeneralNumberText(s.humidityMin) + percent);
    ui->TAvl->setText(FixedTwoDecimalText(s.temperatureMean()) + degrees);
    ui->havl->setText(FixedTwoDecimalText(s.humidityMean()) + percent);
}

void Tcurveform::showColdChain(const CurveColumns& columns, const ThresholdValues& values,
                               const TAlarmThresholds& thresholds)
{
    const ColdChainSummary summary =
        SummariseColdChain(m_table, columns, values.temperatureHigh, values.temperatureLow);
    m_coldChainLabel->setText(ColdChainText(summary, thresholds.tempHigh, thresholds.tempLow));
}

void Tcurveform::SpeedButton1Click()
{
    Guarded([&] { exportCsv(); });
}

void Tcurveform::exportCsv()
{
    AppendAuditEntry(AuditAction::CsvExport, AuditDetails::CsvExport);
    const QByteArray bytes = ReadWholeFile(RecordFileName, MaxRecordFileBytes);
    FileSaveRequest request;
    request.filters = {QStringLiteral("Excel CSV File (*.csv)")};
    request.defaultSuffix = QStringLiteral("*.csv");
    const auto answer = Services::dialogs().saveFile(request);
    if (!answer)
        return;
    WriteWholeFile(answer->fileName, bytes);
    WriteByteLines(answer->fileName + QStringLiteral(".CSV"), SplitTextLines(bytes));
}

void Tcurveform::Button1Click()
{
    Guarded([&] { requestReport(); });
}

void Tcurveform::requestReport()
{
    AppendAuditEntry(AuditAction::PdfReport,
                     AuditDetails::PdfReport(ui->startpdf->text(), ui->endpdf->text()));
    const qint64 span = qint64(reportEnd()) - qint64(reportStart());
    if (span > ReportSpan) {
        ShowMessage(QStringLiteral("Nombre d enregistrement > 40"));
        return;
    }
    if (span < 1) {
        ShowMessage(QStringLiteral("Nombre d enregistrement < 1"));
        return;
    }
    if (m_showReport)
        m_showReport();
}

void Tcurveform::startpdfChange(int value)
{
    Guarded([&] {
        ui->endpdf->setValue(
            int(qMin<qint64>(qint64(value) + ReportSpan, std::numeric_limits<int>::max())));
    });
}

void Tcurveform::BitBtn1Click()
{
    Guarded([&] {
        if (m_temperatureWindow)
            m_temperatureWindow->showWindow();
    });
}

void Tcurveform::BitBtn2Click()
{
    Guarded([&] {
        if (m_humidityWindow)
            m_humidityWindow->showWindow();
    });
}

void Tcurveform::Button2Click()
{
    Guarded([&] {
        if (MessageDlg(ClearQuestion, MsgKind::Warning, {MsgButton::Yes, MsgButton::No}) ==
            MsgButton::Yes)
            clearData();
    });
}

void Tcurveform::clearData()
{
    m_table.clearCells();
    OverwriteThenRemove(RecordFileName, ClearedLine + "\r\n");
}

void Tcurveform::chartRangeChanged(double first, double last)
{
    const int rows = m_table.rowCount();
    const int firstRow = qBound(0, int(std::ceil(first)), qMax(0, rows - 1));
    const int lastRow = qBound(0, int(std::floor(last)), qMax(0, rows - 1));
    const auto* view = qobject_cast<ChartView*>(sender());
    const bool zoomed = view && view->chart().isZoomed() && rows > 0;
    m_visibleRows = zoomed ? std::optional(std::pair{firstRow, lastRow}) : std::nullopt;
    m_rangeButton->setEnabled(zoomed);
}

void Tcurveform::visibleRangeToReport()
{
    Guarded([&] {
        if (!m_visibleRows)
            return;
        ui->startpdf->setValue(m_visibleRows->first);
        ui->endpdf->setValue(m_visibleRows->second);
    });
}
