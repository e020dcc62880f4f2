#include "analysis/chart/chart.h"

#include <algorithm>

namespace
{
// The narrowest zoom, as a part of the full range: deeper shows nothing new.
constexpr double MinimumZoomPart = 1e-7;
} // namespace

ChartSeries& Chart::addSeries(const QString& name, SeriesKind kind, const QColor& colour,
                              int penWidth)
{
    m_series.push_back(std::make_unique<ChartSeries>(name, kind, colour, penWidth));
    return *m_series.back();
}

ChartSeries* Chart::findSeries(const QString& name)
{
    for (const auto& series : m_series) {
        if (series->name() == name)
            return series.get();
    }
    return nullptr;
}

std::optional<XRange> Chart::dataXRange() const
{
    std::optional<XRange> range;
    for (const auto& series : m_series) {
        if (series->isEmpty())
            continue;
        double first = series->xs().front();
        double last = series->xs().back();
        if (!series->isXAscending()) {
            const auto [low, high] = std::minmax_element(series->xs().begin(), series->xs().end());
            first = *low;
            last = *high;
        }
        if (!range)
            range = XRange{first, last};
        range->first = std::min(range->first, first);
        range->last = std::max(range->last, last);
    }
    return range;
}

XRange Chart::fullXRange() const
{
    XRange range = dataXRange().value_or(EmptyXRange);
    // A single x still needs some width to be drawn across.
    if (range.span() <= 0)
        range = {range.first - 0.5, range.first + 0.5};
    return range;
}

XRange Chart::visibleXRange() const
{
    const XRange full = fullXRange();
    if (!m_zoom)
        return full;
    // The data may have shrunk since the zoom was set.
    const XRange inside{std::max(m_zoom->first, full.first), std::min(m_zoom->last, full.last)};
    return inside.span() > 0 ? inside : full;
}

void Chart::setVisibleXRange(XRange range)
{
    const XRange full = fullXRange();
    if (range.last < range.first)
        std::swap(range.first, range.last);
    if (range.span() >= full.span()) {
        m_zoom.reset();
        return;
    }
    const double minimum = full.span() * MinimumZoomPart;
    if (range.span() < minimum) {
        const double middle = (range.first + range.last) / 2;
        range = {middle - minimum / 2, middle + minimum / 2};
    }
    // Slide the range back inside, keeping its width.
    if (range.first < full.first)
        range = {full.first, full.first + range.span()};
    if (range.last > full.last)
        range = {full.last - range.span(), full.last};
    m_zoom = range;
}
