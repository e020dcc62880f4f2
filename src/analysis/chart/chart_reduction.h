#pragma once

#include "analysis/chart/chart.h"

#include <vector>

// Half-open range of point indices.
struct IndexRange {
    qsizetype begin = 0;
    qsizetype end = 0;
    bool isEmpty() const { return end <= begin; }
};

// The points with x within the range. For a series whose x is not ascending, every point.
IndexRange VisibleIndexRange(const ChartSeries& series, XRange range);

// The points to join for the range: the visible ones and the nearest one outside on each
// side, so that a line leaving the plot is drawn up to its edge.
IndexRange DrawnIndexRange(const ChartSeries& series, XRange range);

// The pixel column of an x when `columns` columns span the range: -1 before it, `columns`
// after it.
int PixelColumn(double x, XRange range, int columns);

// Reduces the drawn points to what `columns` pixel columns across the range can show: in each
// column (and each run of points beyond either edge) the first, the lowest, the highest and
// the last point, in index order. Joining them covers the same pixels as joining every point,
// give or take one. columns <= 0 keeps every drawn point. Points whose y is not a number are
// left out.
void ReduceToColumns(const ChartSeries& series, XRange range, int columns,
                     std::vector<quint32>& kept);

// ReduceToColumns() through the series' cache: the same series revision, range and column
// count give the kept points of the previous call.
const std::vector<quint32>& ReducedPoints(const ChartSeries& series, XRange range, int columns);

struct YRange {
    bool any = false; // false: no visible point
    double min = 0;
    double max = 0;
};

// The lowest and highest y of the points with x within the range, through the series' cache.
YRange VisibleYRange(const ChartSeries& series, XRange range);
