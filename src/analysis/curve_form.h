#pragma once

#include "records/record_table.h"
#include "records/record_table_model.h"
#include "settings/alarm_thresholds.h"
#include "settings/calibration_offsets.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class ChartPreview;
class ChartWindow;
class QLabel;
class QPushButton;
class TLoadDataForm;
struct CurveColumns;
struct CurveStatistics;
struct ThresholdValues;

namespace Ui
{
class Tcurveform;
}

// The curve view: each showing runs the download dialog, loads the record file into the
// table, calibrates it, fills the two charts, numbers the rows and shows the statistics and
// the high-temperature alarm. From it the user exports CSV, asks for the report of a range,
// opens the charts and clears the data.
class Tcurveform : public QDialog
{
    Q_OBJECT
public:
    static constexpr int GridColumnWidth = 85;
    // The widest report range: end - start.
    static constexpr int ReportSpan = 40;

    explicit Tcurveform(QWidget* parent = nullptr);
    ~Tcurveform() override;

    // What the view reads from other windows, anew at every use.
    void setLoadDataForm(TLoadDataForm* form);
    void setOffsetsSource(std::function<TCalibrationOffsets()> source);
    void setThresholdsSource(std::function<TAlarmThresholds()> source);
    void setChartWindows(ChartWindow* temperature, ChartWindow* humidity);
    // Shows the report window (after the range passed its check).
    void setReportRequest(std::function<void()> showReport);

    // The record table shown in StringGrid1 (read by the report).
    RecordTable& recordTable() { return m_table; }
    const RecordTable& recordTable() const { return m_table; }
    // The report range: startpdf and endpdf.
    int reportStart() const;
    int reportEnd() const;

public Q_SLOTS:
    void FormShow();
    void SpeedButton1Click(); // "Enregistrer CSV EXCEL"
    void Button1Click();      // "Générer le rapport PDF"
    void startpdfChange(int value);
    void BitBtn1Click(); // "Tracé courbe temperature"
    void BitBtn2Click(); // "Tracé courbe humidité"
    void Button2Click(); // "EFFACER LES DONNER"
    // "Rapport de cette plage": the rows in view on the charts become the report range.
    void visibleRangeToReport();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpGrid();
    void setUpPreviews();
    void analyse();
    void showStatistics(const CurveStatistics& statistics);
    void showColdChain(const CurveColumns& columns, const ThresholdValues& values,
                       const TAlarmThresholds& thresholds);
    void exportCsv();
    void requestReport();
    void clearData();
    void chartRangeChanged(double first, double last);

    std::unique_ptr<Ui::Tcurveform> ui;
    RecordTable m_table;
    RecordTableModel m_model;
    QPointer<TLoadDataForm> m_loadDataForm;
    std::function<TCalibrationOffsets()> m_offsets;
    std::function<TAlarmThresholds()> m_thresholds;
    std::function<void()> m_showReport;
    QPointer<ChartWindow> m_temperatureWindow;
    QPointer<ChartWindow> m_humidityWindow;
    ChartPreview* m_temperaturePreview = nullptr;
    ChartPreview* m_humidityPreview = nullptr;
    QLabel* m_coldChainLabel = nullptr;
    QPushButton* m_rangeButton = nullptr;
    // Rows in view on the chart zoomed last.
    std::optional<std::pair<int, int>> m_visibleRows;
};
