#pragma once

#include "analysis/chart/chart.h"
#include "analysis/chart/chart_geometry.h"

#include <QRectF>

class QPainter;
class QPaintDevice;

struct ChartPaintOptions {
    // false joins every point instead of the per-pixel-column reduction: slow on large series,
    // the reference that the reduction is compared with.
    bool reduce = true;
    bool antialiasing = true;
    // Resolution that sizes fonts, pen widths and margins; 0 takes the device's logical DPI.
    // Give 96 when the painter is scaled to fit a screen-sized layout onto a page.
    qreal dpi = 0;
};

// Where the plot goes when the chart is painted into that rectangle of that device, and the
// ranges across it, without drawing. The same as PaintChart() returns.
ChartGeometry LayoutChart(const Chart& chart, const QRectF& rect, const QPaintDevice* device,
                          const ChartPaintOptions& options = {});

// Draws the chart into the rectangle of any painter (window, image, printer page): gradient
// background, title, the plot with its axes, grid and series, and the legend at the right.
// Shows the chart's visible x range. Returns the geometry used, for mapping pixels to data.
ChartGeometry PaintChart(QPainter& painter, const QRectF& rect, const Chart& chart,
                         const ChartPaintOptions& options = {});
