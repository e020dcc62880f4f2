#include "analysis/chart/chart_navigation.h"

#include "analysis/chart/chart_reduction.h"

#include <algorithm>
#include <cmath>

void ZoomAround(Chart& chart, const ChartGeometry& geometry, qreal pixelX, double factor)
{
    if (!geometry.isValid() || !(factor > 0))
        return;
    const double anchor = geometry.dataX(pixelX);
    const XRange range = geometry.x;
    chart.setVisibleXRange(
        {anchor - (anchor - range.first) / factor, anchor + (range.last - anchor) / factor});
}

void PanByPixels(Chart& chart, const ChartGeometry& geometry, qreal dx)
{
    if (!geometry.isValid() || !chart.isZoomed())
        return;
    const double shift = dx / geometry.plot.width() * geometry.x.span();
    const XRange full = chart.fullXRange();
    XRange moved{geometry.x.first - shift, geometry.x.last - shift};
    // Stop at the ends rather than squeeze the range there.
    if (moved.first < full.first)
        moved = {full.first, full.first + geometry.x.span()};
    if (moved.last > full.last)
        moved = {full.last - geometry.x.span(), full.last};
    chart.setVisibleXRange(moved);
}

void ZoomToPixels(Chart& chart, const ChartGeometry& geometry, qreal fromX, qreal toX)
{
    if (!geometry.isValid())
        return;
    const qreal left =
        std::clamp(std::min(fromX, toX), geometry.plot.left(), geometry.plot.right());
    const qreal right =
        std::clamp(std::max(fromX, toX), geometry.plot.left(), geometry.plot.right());
    if (right <= left)
        return;
    chart.setVisibleXRange({geometry.dataX(left), geometry.dataX(right)});
}

std::optional<NearestPoint> FindNearestPoint(const Chart& chart, const ChartGeometry& geometry,
                                             QPointF pixel, qreal maxDistance)
{
    if (!geometry.isValid())
        return std::nullopt;
    // Only points whose column lies within maxDistance can be that near.
    const XRange window{std::max(geometry.dataX(pixel.x() - maxDistance), geometry.x.first),
                        std::min(geometry.dataX(pixel.x() + maxDistance), geometry.x.last)};
    if (window.span() < 0)
        return std::nullopt;
    std::optional<NearestPoint> nearest;
    for (int s = 0; s < chart.seriesCount(); ++s) {
        const ChartSeries& series = chart.series(s);
        const IndexRange candidates = VisibleIndexRange(series, window);
        for (qsizetype i = candidates.begin; i < candidates.end; ++i) {
            if (!window.contains(series.x(i)) || std::isnan(series.y(i)))
                continue;
            const QPointF at = geometry.pixel(series.x(i), series.y(i));
            const qreal distance = std::hypot(at.x() - pixel.x(), at.y() - pixel.y());
            if (distance <= maxDistance && (!nearest || distance < nearest->distance))
                nearest = NearestPoint{s, i, at, distance};
        }
    }
    return nearest;
}
