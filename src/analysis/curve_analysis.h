#pragma once

#include <QString>
#include <vector>

class ChartSeries;
class RecordTable;

// The record table's temperature and humidity columns as numbers, one per row, read once.
struct CurveColumns {
    std::vector<double> temperature;
    std::vector<double> humidity;
};

// Adds the offsets to every row's temperature (column 3) and humidity (column 4), the first
// row included, and writes the sums back as general number texts. Each cell is read once.
CurveColumns CalibrateRecordTable(RecordTable& table, double temperatureOffset,
                                  double humidityOffset);

// Column 0 of every row becomes the row's number, counting from 1.
void NumberRecordRows(RecordTable& table);

// Minimum, maximum and sum of each column; the means are over the number of rows.
struct CurveStatistics {
    int rows = 0;
    double temperatureMax = 0, temperatureMin = 0, temperatureSum = 0;
    double humidityMax = 0, humidityMin = 0, humiditySum = 0;
    double temperatureMean() const { return rows > 0 ? temperatureSum / rows : 0.0; }
    double humidityMean() const { return rows > 0 ? humiditySum / rows : 0.0; }
};
CurveStatistics ComputeCurveStatistics(const CurveColumns& columns);

// True when the maximum is strictly above the high threshold. The threshold is read as a
// whole number, or as a decimal one ("30,5", "30.5"); a text that is no number raises
// EConvertError "'%s' is not a valid integer value".
bool HighTemperatureAlarm(double temperatureMax, const QString& thresholdText);

// The curve of a chart and its two threshold lines.
struct CurveSeries {
    ChartSeries& curve;
    ChartSeries& high;
    ChartSeries& low;
};
struct ThresholdValues {
    double temperatureHigh = 0, temperatureLow = 0;
    double humidityHigh = 0, humidityLow = 0;
};
// Replaces the points of both charts: one point per row at x = the row index, the curves in
// red and green with the label "<row number>  <date>", each threshold as a point per row.
void FillCurveSeries(const RecordTable& table, const CurveColumns& columns,
                     const ThresholdValues& thresholds, CurveSeries temperature,
                     CurveSeries humidity);
