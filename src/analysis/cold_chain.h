#pragma once

#include "analysis/curve_analysis.h"

#include <QString>
#include <optional>

class RecordTable;

// Time spent outside the temperature thresholds, and the mean kinetic temperature: what a
// cold-chain inspector asks of a recording.
struct Excursion {
    int records = 0;
    qint64 minutes = 0;
};
struct ColdChainSummary {
    Excursion above;                              // strictly above the high threshold
    Excursion below;                              // strictly below the low threshold
    std::optional<double> meanKineticTemperature; // °C; none without rows
};

// Activation energy over the gas constant, in kelvins, as the USP and WHO guides take it.
constexpr double MeanKineticActivation = 10000.0;

// Each record stands for the time until the next one (the date and time columns, the year
// carried over at the turn of December); the last one, and one followed by a gap of more than
// twice the usual period, for the usual period.
ColdChainSummary SummariseColdChain(const RecordTable& table, const CurveColumns& columns,
                                    double highThreshold, double lowThreshold);

// The mean kinetic temperature of the temperatures in °C.
std::optional<double> MeanKineticTemperature(const std::vector<double>& celsius);

// One line for the curve view, in the regional number format.
QString ColdChainText(const ColdChainSummary& summary, const QString& highText,
                      const QString& lowText);

// "2 j 3 h 05 min", "3 h 05 min", "45 min".
QString DurationText(qint64 minutes);
