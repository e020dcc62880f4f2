#pragma once

#include "analysis/chart/chart.h"
#include "analysis/chart/chart_geometry.h"
#include "analysis/chart/chart_painter.h"
#include "analysis/chart/chart_ticks.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <vector>

class QPaintDevice;

// Fonts and lengths of one painting, for its device: lengths are device-independent pixels
// times `unit` (the resolution over 96), fonts in points follow the resolution by themselves.
struct ChartStyle {
    qreal unit = 1;
    QFont axisFont;
    QFont titleFont;
    QFontMetricsF axisMetrics{QFont()};
    QFontMetricsF titleMetrics{QFont()};

    qreal px(qreal length) const { return length * unit; }
};

ChartStyle MakeChartStyle(const Chart& chart, const QPaintDevice* device,
                          const ChartPaintOptions& options);

// A text under the bottom axis, centred on its x.
struct AxisLabel {
    double x = 0;
    QString text;
};

// Where every part of a chart goes.
struct ChartLayout {
    ChartGeometry geometry;
    QRectF titleRect;  // empty without a title
    QRectF legendRect; // empty without a legend
    qreal legendRowHeight = 0;
    AxisScale yScale;
    std::vector<double> yTicks;
    std::vector<AxisLabel> bottomLabels; // the points' labels, or x values without labels
    qreal bottomLabelsExtent = 0;        // their height under the axis ticks
};

ChartLayout LayoutChartParts(const Chart& chart, const QRectF& rect, const ChartStyle& style);

// Lengths shared by the layout and the painting, in device-independent pixels.
namespace ChartLengths
{
constexpr qreal Margin = 8;
constexpr qreal TickLength = 4;
constexpr qreal TickGap = 3;        // between a tick and its text
constexpr qreal LabelGap = 6;       // least room between two bottom labels
constexpr qreal LegendGap = 12;     // between the plot and the legend
constexpr qreal LegendPadding = 6;  // inside the legend frame
constexpr qreal LegendMark = 24;    // length of a series' line mark
constexpr qreal TitleGap = 6;       // under the title
constexpr qreal MinTickSpacing = 3; // y ticks at least this many text heights apart
constexpr qreal LonePointDot = 7;   // diameter of the dot of a series of one point
} // namespace ChartLengths
