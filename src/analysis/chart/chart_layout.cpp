#include "analysis/chart/chart_layout.h"

#include "analysis/chart/chart_reduction.h"

#include <QPaintDevice>
#include <algorithm>
#include <cmath>

using namespace ChartLengths;

namespace
{

constexpr qreal ScreenDpi = 96;
constexpr qreal TitleScale = 1.3;
constexpr int LayoutPasses = 3;
// Room above and below the data, as a part of its span, so that a line at the lowest or the
// highest value does not vanish into the plot's frame.
constexpr double YMargin = 0.02;

QFont ScaledFont(QFont font, qreal dpi, qreal deviceDpi)
{
    // Points follow the device's resolution by themselves; pixels are taken as 96-dpi pixels.
    if (font.pointSizeF() > 0) {
        if (dpi != deviceDpi)
            font.setPointSizeF(font.pointSizeF() * dpi / deviceDpi);
    } else if (font.pixelSize() > 0) {
        font.setPixelSize(std::max(1, qRound(font.pixelSize() * dpi / ScreenDpi)));
    }
    return font;
}

// The y range of every visible point, or the empty chart's range.
YRange ChartYRange(const Chart& chart, XRange visible)
{
    YRange all;
    for (int s = 0; s < chart.seriesCount(); ++s) {
        const YRange y = VisibleYRange(chart.series(s), visible);
        if (!y.any)
            continue;
        all.min = all.any ? std::min(all.min, y.min) : y.min;
        all.max = all.any ? std::max(all.max, y.max) : y.max;
        all.any = true;
    }
    if (!all.any)
        return {true, Chart::EmptyYFirst, Chart::EmptyYLast};
    const double margin = (all.max - all.min) * YMargin;
    return {true, all.min - margin, all.max + margin};
}

const ChartSeries* LabelSource(const Chart& chart)
{
    for (int s = 0; s < chart.seriesCount(); ++s) {
        const ChartSeries& series = chart.series(s);
        if (series.hasLabels() && series.isXAscending())
            return &series;
    }
    return nullptr;
}

QSizeF LegendSize(const Chart& chart, const ChartStyle& style)
{
    qreal nameWidth = 0;
    for (int s = 0; s < chart.seriesCount(); ++s)
        nameWidth =
            std::max(nameWidth, style.axisMetrics.horizontalAdvance(chart.series(s).name()));
    const qreal width = style.px(LegendPadding) * 3 + style.px(LegendMark) + nameWidth;
    const qreal height =
        style.px(LegendPadding) * 2 + chart.seriesCount() * style.axisMetrics.height();
    return {width, height};
}

// Height the texts take under the axis ticks.
qreal LabelsExtent(const std::vector<AxisLabel>& labels, LabelOrientation orientation,
                   const ChartStyle& style)
{
    if (orientation == LabelOrientation::Horizontal || labels.empty())
        return style.axisMetrics.height();
    qreal widest = 0;
    for (const AxisLabel& label : labels)
        widest = std::max(widest, style.axisMetrics.horizontalAdvance(label.text));
    return widest;
}

// The points' labels at a row step that keeps them apart.
void PlacePointLabels(const ChartSeries& source, const ChartGeometry& geometry,
                      LabelOrientation orientation, const ChartStyle& style,
                      std::vector<AxisLabel>& labels)
{
    const IndexRange visible = VisibleIndexRange(source, geometry.x);
    if (visible.isEmpty())
        return;
    const QFontMetricsF& metrics = style.axisMetrics;
    const auto extent = [&](qsizetype row) {
        const qreal at = geometry.pixelX(source.x(row));
        const qreal half = orientation == LabelOrientation::Vertical
                               ? metrics.height() / 2
                               : metrics.horizontalAdvance(source.label(row)) / 2;
        return std::pair<double, double>(at - half, at + half);
    };
    const qsizetype last = visible.end - 1;
    const qsizetype step = ChooseRowStep(visible.begin, last, extent, style.px(LabelGap));
    for (qsizetype row = FirstLabelledRow(visible.begin, step); row <= last; row += step)
        labels.push_back({source.x(row), source.label(row)});
}

// Round x values when no series has labels.
void PlaceValueLabels(const ChartGeometry& geometry, LabelOrientation orientation,
                      const ChartStyle& style, std::vector<AxisLabel>& labels)
{
    const XRange range = geometry.x;
    const QFontMetricsF& metrics = style.axisMetrics;
    qreal along = metrics.height();
    if (orientation == LabelOrientation::Horizontal) {
        along = std::max(metrics.horizontalAdvance(TickText(range.first, 2)),
                         metrics.horizontalAdvance(TickText(range.last, 2)));
    }
    const int maxTicks = std::max(2, int(geometry.plot.width() / (along + style.px(LabelGap))));
    const AxisScale scale = ScaleAxis(range.first, range.last, maxTicks);
    for (int k = 0; k < scale.tickCount(); ++k) {
        const double x = scale.tick(k);
        if (range.contains(x) || std::abs(x - range.first) < scale.step * 1e-9 ||
            std::abs(x - range.last) < scale.step * 1e-9)
            labels.push_back({x, TickText(x, scale.decimals)});
    }
}

void PlaceBottomLabels(const Chart& chart, ChartLayout& layout, const ChartStyle& style)
{
    layout.bottomLabels.clear();
    if (const ChartSeries* source = LabelSource(chart))
        PlacePointLabels(*source, layout.geometry, chart.bottomLabels, style, layout.bottomLabels);
    else
        PlaceValueLabels(layout.geometry, chart.bottomLabels, style, layout.bottomLabels);
}

// A first guess of the labels' height, before the plot width is known.
qreal GuessLabelsExtent(const Chart& chart, const ChartStyle& style)
{
    if (chart.bottomLabels == LabelOrientation::Horizontal)
        return style.axisMetrics.height();
    const ChartSeries* source = LabelSource(chart);
    if (!source)
        return style.axisMetrics.horizontalAdvance(TickText(chart.visibleXRange().last, 2));
    const IndexRange visible = VisibleIndexRange(*source, chart.visibleXRange());
    return visible.isEmpty() ? style.axisMetrics.height()
                             : style.axisMetrics.horizontalAdvance(source->label(visible.begin));
}

void PlaceYTicks(ChartLayout& layout, YRange y, qreal plotHeight, const ChartStyle& style)
{
    const qreal spacing = MinTickSpacing * style.axisMetrics.height();
    const int maxTicks = std::max(2, int(plotHeight / spacing) + 1);
    layout.yScale = ScaleAxis(y.min, y.max, maxTicks);
    layout.yTicks.clear();
    for (int k = 0; k < layout.yScale.tickCount(); ++k)
        layout.yTicks.push_back(layout.yScale.tick(k));
}

qreal YTicksWidth(const ChartLayout& layout, const ChartStyle& style)
{
    qreal widest = 0;
    for (double tick : layout.yTicks) {
        widest = std::max(
            widest, style.axisMetrics.horizontalAdvance(TickText(tick, layout.yScale.decimals)));
    }
    return widest;
}

} // namespace

ChartStyle MakeChartStyle(const Chart& chart, const QPaintDevice* device,
                          const ChartPaintOptions& options)
{
    const qreal deviceDpi = device ? device->logicalDpiY() : ScreenDpi;
    const qreal dpi = options.dpi > 0 ? options.dpi : deviceDpi;
    QFont axisFont = ScaledFont(chart.font, dpi, deviceDpi);
    QFont titleFont = axisFont;
    titleFont.setBold(true);
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() * TitleScale);
    else
        titleFont.setPixelSize(qRound(titleFont.pixelSize() * TitleScale));
    // QFontMetricsF takes a non-const device only for historical reasons.
    auto* metricsDevice = const_cast<QPaintDevice*>(device);
    return {dpi / ScreenDpi, axisFont, titleFont, QFontMetricsF(axisFont, metricsDevice),
            QFontMetricsF(titleFont, metricsDevice)};
}

ChartLayout LayoutChartParts(const Chart& chart, const QRectF& rect, const ChartStyle& style)
{
    ChartLayout layout;
    const QRectF outer =
        rect.adjusted(style.px(Margin), style.px(Margin), -style.px(Margin), -style.px(Margin));
    qreal top = outer.top();
    if (!chart.title.isEmpty()) {
        layout.titleRect = QRectF(rect.left(), top, rect.width(), style.titleMetrics.height());
        top += style.titleMetrics.height() + style.px(TitleGap);
    }
    // Half a text height above the plot for the top tick's text.
    top += style.axisMetrics.height() / 2;
    qreal right = outer.right();
    if (chart.legendVisible && chart.seriesCount() > 0) {
        const QSizeF size = LegendSize(chart, style);
        layout.legendRect = QRectF(QPointF(outer.right() - size.width(), top), size);
        layout.legendRowHeight = style.axisMetrics.height();
        right = layout.legendRect.left() - style.px(LegendGap);
    }

    const XRange visible = chart.visibleXRange();
    const YRange y = ChartYRange(chart, visible);
    qreal extent = GuessLabelsExtent(chart, style);
    // The plot's height sets the y ticks, their texts its left edge, its width the bottom
    // labels, and their height the plot's bottom: a few passes settle it.
    for (int pass = 0; pass < LayoutPasses; ++pass) {
        const qreal bottom = outer.bottom() - style.px(TickLength + TickGap) - extent;
        PlaceYTicks(layout, y, bottom - top, style);
        const qreal left =
            outer.left() + YTicksWidth(layout, style) + style.px(TickLength + TickGap);
        const QPointF topLeft(std::round(left), std::round(top));
        const QPointF bottomRight(std::round(std::max(right, left + 1)),
                                  std::round(std::max(bottom, top + 1)));
        layout.geometry = {QRectF(topLeft, bottomRight), visible, layout.yScale.first,
                           layout.yScale.last};
        PlaceBottomLabels(chart, layout, style);
        const qreal placed = LabelsExtent(layout.bottomLabels, chart.bottomLabels, style);
        if (placed == extent)
            break;
        extent = placed;
    }
    layout.bottomLabelsExtent = extent;
    return layout;
}
