#pragma once

#include "analysis/chart/chart.h"
#include "analysis/chart/chart_geometry.h"

#include <QPointF>
#include <optional>

// Changes of a chart's visible x range driven by pixels of its last painting (the geometry
// that PaintChart() or LayoutChart() returned for the same rectangle).

// Zooms the x range around the pixel column: the data under it stays under it, the range
// shrinks by the factor (> 1 zooms in, < 1 zooms out).
void ZoomAround(Chart& chart, const ChartGeometry& geometry, qreal pixelX, double factor);

// Moves the content by that many pixels (positive: to the right, showing earlier x), held
// within the whole range.
void PanByPixels(Chart& chart, const ChartGeometry& geometry, qreal dx);

// Shows the x range between two pixel columns (a rubber band), in either order.
void ZoomToPixels(Chart& chart, const ChartGeometry& geometry, qreal fromX, qreal toX);

struct NearestPoint {
    int series = -1;
    qsizetype index = -1;
    QPointF pixel;      // where the point is drawn
    qreal distance = 0; // from the asked pixel, in pixels
};

// The visible point drawn nearest to the pixel, over every series; none when no visible point
// lies within maxDistance pixels.
std::optional<NearestPoint> FindNearestPoint(const Chart& chart, const ChartGeometry& geometry,
                                             QPointF pixel, qreal maxDistance);
