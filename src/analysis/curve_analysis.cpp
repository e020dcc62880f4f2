#include "analysis/curve_analysis.h"

#include "analysis/chart/chart_series.h"
#include "common/errors.h"
#include "common/number_text.h"
#include "records/record_table.h"

#include <QLocale>
#include <algorithm>

namespace
{

constexpr int NumberColumn = 0;
constexpr int DateColumn = 1;
constexpr int TemperatureColumn = 3;
constexpr int HumidityColumn = 4;

const QColor TemperaturePointColour(255, 0, 0);
const QColor HumidityPointColour(0, 128, 0);

void Prepare(ChartSeries& series, qsizetype points, qsizetype labelBytes)
{
    series.clear();
    series.reserve(points, labelBytes);
}

} // namespace

CurveColumns CalibrateRecordTable(RecordTable& table, double temperatureOffset,
                                  double humidityOffset)
{
    const QString separator = QLocale().decimalPoint();
    const int rows = table.rowCount();
    CurveColumns columns;
    columns.temperature.reserve(size_t(rows));
    columns.humidity.reserve(size_t(rows));
    const auto read = [&](int column, int row) {
        return TryParseLocaleNumber(table.cellView(column, row), separator).value_or(0.0);
    };
    TableUpdate update(table);
    for (int row = 0; row < rows; ++row) {
        const double temperature = read(TemperatureColumn, row) + temperatureOffset;
        const double humidity = read(HumidityColumn, row) + humidityOffset;
        table.setCell(TemperatureColumn, row, GeneralNumberText(temperature, separator));
        table.setCell(HumidityColumn, row, GeneralNumberText(humidity, separator));
        columns.temperature.push_back(temperature);
        columns.humidity.push_back(humidity);
    }
    return columns;
}

void NumberRecordRows(RecordTable& table)
{
    TableUpdate update(table);
    const int rows = table.rowCount();
    // Room for every number at once: no doubling of the text buffer on the way.
    table.reserveText(qsizetype(rows) * 7);
    for (int row = 0; row < rows; ++row)
        table.setCell(NumberColumn, row, QString::number(row + 1));
}

CurveStatistics ComputeCurveStatistics(const CurveColumns& columns)
{
    CurveStatistics s;
    s.rows = int(columns.temperature.size());
    if (s.rows == 0)
        return s;
    s.temperatureMax = s.temperatureMin = columns.temperature.front();
    s.humidityMax = s.humidityMin = columns.humidity.front();
    for (int row = 0; row < s.rows; ++row) {
        const double t = columns.temperature[size_t(row)];
        const double h = columns.humidity[size_t(row)];
        s.temperatureMax = std::max(s.temperatureMax, t);
        s.humidityMax = std::max(s.humidityMax, h);
        s.temperatureMin = std::min(s.temperatureMin, t);
        s.humidityMin = std::min(s.humidityMin, h);
        s.humiditySum += h;
        s.temperatureSum += t;
    }
    return s;
}

bool HighTemperatureAlarm(double temperatureMax, const QString& thresholdText)
{
    int whole = 0;
    if (TryStrictToInt(thresholdText, &whole))
        return temperatureMax > whole;
    // A decimal threshold is a number too; only a text that is no number at all fails.
    const auto decimal = TryParseLocaleNumber(thresholdText, QLocale().decimalPoint());
    if (!decimal)
        throw EConvertError::notAnInteger(thresholdText);
    return temperatureMax > *decimal;
}

void FillCurveSeries(const RecordTable& table, const CurveColumns& columns,
                     const ThresholdValues& thresholds, CurveSeries temperature,
                     CurveSeries humidity)
{
    const qsizetype rows = qsizetype(columns.temperature.size());
    // "123456  31/12": about a dozen bytes a label.
    const qsizetype labelBytes = rows * 14;
    Prepare(temperature.curve, rows, labelBytes);
    Prepare(humidity.curve, rows, labelBytes);
    for (ChartSeries* line : {&temperature.high, &temperature.low, &humidity.high, &humidity.low})
        Prepare(*line, rows, 0);
    QString label;
    for (qsizetype row = 0; row < rows; ++row) {
        const double x = double(row);
        label.setNum(row + 1);
        label += QLatin1String("  ");
        label += table.cellView(DateColumn, int(row));
        temperature.curve.addPoint(x, columns.temperature[size_t(row)], TemperaturePointColour,
                                   label);
        humidity.curve.addPoint(x, columns.humidity[size_t(row)], HumidityPointColour, label);
        temperature.high.addPoint(x, thresholds.temperatureHigh);
        temperature.low.addPoint(x, thresholds.temperatureLow);
        humidity.high.addPoint(x, thresholds.humidityHigh);
        humidity.low.addPoint(x, thresholds.humidityLow);
    }
}
