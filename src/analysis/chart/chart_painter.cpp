#include "analysis/chart/chart_painter.h"

#include "analysis/chart/chart_layout.h"
#include "analysis/chart/chart_reduction.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>

using namespace ChartLengths;

namespace
{

const QColor AxisColour(Qt::black);
const QColor GridColour(200, 200, 200);
const QColor FrameColour(128, 128, 128);

void PaintBackground(QPainter& painter, const QRectF& rect, const Chart& chart)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, chart.gradientEndColour);
    painter.fillRect(rect, gradient);
}

void PaintGrid(QPainter& painter, const ChartLayout& layout, const ChartStyle& style)
{
    const QRectF& plot = layout.geometry.plot;
    painter.setPen(QPen(GridColour, style.px(1), Qt::DotLine));
    for (double tick : layout.yTicks) {
        const qreal y = layout.geometry.pixelY(tick);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    for (const AxisLabel& label : layout.bottomLabels) {
        const qreal x = layout.geometry.pixelX(label.x);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
}

// Width of the plot in device pixels: the reduction keeps points per device pixel column.
int DeviceColumns(const QPainter& painter, const QRectF& plot)
{
    const QTransform transform = painter.deviceTransform();
    const qreal scale = std::hypot(transform.m11(), transform.m12());
    return std::max(1, int(std::ceil(plot.width() * scale)));
}

// Joins the kept points; the segment that ends at a point takes that point's colour, so a run
// of points of one colour is one polyline.
void PaintSeries(QPainter& painter, const ChartSeries& series, const ChartGeometry& geometry,
                 const std::vector<quint32>& kept, const ChartStyle& style)
{
    if (kept.size() < 2)
        return;
    QPen pen(series.colour(), style.px(series.penWidth()), Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    std::vector<QPointF> run;
    run.reserve(kept.size());
    size_t j = 1;
    while (j < kept.size()) {
        const quint8 colour = series.colourIndex(kept[j]);
        run.clear();
        run.push_back(geometry.pixel(series.x(kept[j - 1]), series.y(kept[j - 1])));
        for (; j < kept.size() && series.colourIndex(kept[j]) == colour; ++j)
            run.push_back(geometry.pixel(series.x(kept[j]), series.y(kept[j])));
        pen.setColor(series.paletteColour(colour));
        painter.setPen(pen);
        painter.drawPolyline(run.data(), int(run.size()));
    }
}

void PaintAllSeries(QPainter& painter, const Chart& chart, const ChartGeometry& geometry,
                    const ChartStyle& style, const ChartPaintOptions& options)
{
    const int columns = options.reduce ? DeviceColumns(painter, geometry.plot) : 0;
    painter.save();
    painter.setClipRect(geometry.plot);
    for (int s = 0; s < chart.seriesCount(); ++s) {
        const ChartSeries& series = chart.series(s);
        painter.setRenderHint(QPainter::Antialiasing,
                              options.antialiasing && series.kind() == SeriesKind::Line);
        PaintSeries(painter, series, geometry, ReducedPoints(series, geometry.x, columns), style);
    }
    painter.restore();
}

void PaintLeftAxis(QPainter& painter, const ChartLayout& layout, const ChartStyle& style)
{
    const QRectF& plot = layout.geometry.plot;
    const QFontMetricsF& metrics = style.axisMetrics;
    painter.setFont(style.axisFont);
    for (double tick : layout.yTicks) {
        const qreal y = layout.geometry.pixelY(tick);
        painter.drawLine(QPointF(plot.left() - style.px(TickLength), y), QPointF(plot.left(), y));
        const QString text = TickText(tick, layout.yScale.decimals);
        const qreal right = plot.left() - style.px(TickLength + TickGap);
        const qreal baseline = y + (metrics.ascent() - metrics.descent()) / 2;
        painter.drawText(QPointF(right - metrics.horizontalAdvance(text), baseline), text);
    }
}

void PaintBottomAxis(QPainter& painter, const ChartLayout& layout, LabelOrientation orientation,
                     const ChartStyle& style)
{
    const QRectF& plot = layout.geometry.plot;
    const QFontMetricsF& metrics = style.axisMetrics;
    const qreal textTop = plot.bottom() + style.px(TickLength + TickGap);
    // The text's middle line, so that it sits centred on its x once turned.
    const qreal middle = (metrics.ascent() - metrics.descent()) / 2;
    painter.setFont(style.axisFont);
    for (const AxisLabel& label : layout.bottomLabels) {
        const qreal x = layout.geometry.pixelX(label.x);
        painter.drawLine(QPointF(x, plot.bottom()),
                         QPointF(x, plot.bottom() + style.px(TickLength)));
        const qreal width = metrics.horizontalAdvance(label.text);
        if (orientation == LabelOrientation::Horizontal) {
            painter.drawText(QPointF(x - width / 2, textTop + metrics.ascent()), label.text);
            continue;
        }
        // Read from bottom to top, its end under the tick.
        painter.save();
        painter.translate(x, textTop);
        painter.rotate(-90);
        painter.drawText(QPointF(-width, middle), label.text);
        painter.restore();
    }
}

void PaintAxes(QPainter& painter, const Chart& chart, const ChartLayout& layout,
               const ChartStyle& style)
{
    const QRectF& plot = layout.geometry.plot;
    painter.setPen(QPen(FrameColour, style.px(1)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.setPen(QPen(AxisColour, style.px(1)));
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    PaintLeftAxis(painter, layout, style);
    PaintBottomAxis(painter, layout, chart.bottomLabels, style);
}

void PaintTitle(QPainter& painter, const Chart& chart, const ChartLayout& layout,
                const ChartStyle& style)
{
    if (layout.titleRect.isEmpty())
        return;
    painter.setFont(style.titleFont);
    painter.setPen(AxisColour);
    painter.drawText(layout.titleRect, Qt::AlignHCenter | Qt::AlignTop, chart.title);
}

void PaintLegend(QPainter& painter, const Chart& chart, const ChartLayout& layout,
                 const ChartStyle& style)
{
    const QRectF& frame = layout.legendRect;
    if (frame.isEmpty())
        return;
    painter.setPen(QPen(FrameColour, style.px(1)));
    painter.setBrush(Qt::white);
    painter.drawRect(frame);
    painter.setFont(style.axisFont);
    const QFontMetricsF& metrics = style.axisMetrics;
    const qreal markLeft = frame.left() + style.px(LegendPadding);
    const qreal textLeft = markLeft + style.px(LegendMark + LegendPadding);
    for (int s = 0; s < chart.seriesCount(); ++s) {
        const ChartSeries& series = chart.series(s);
        const qreal rowTop = frame.top() + style.px(LegendPadding) + s * layout.legendRowHeight;
        const qreal middle = rowTop + layout.legendRowHeight / 2;
        // The series' own colour, whatever its points' colours.
        painter.setPen(
            QPen(series.colour(), style.px(series.penWidth()), Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(markLeft, middle),
                         QPointF(markLeft + style.px(LegendMark), middle));
        painter.setPen(AxisColour);
        painter.drawText(QPointF(textLeft, rowTop + metrics.ascent()), series.name());
    }
}

} // namespace

ChartGeometry LayoutChart(const Chart& chart, const QRectF& rect, const QPaintDevice* device,
                          const ChartPaintOptions& options)
{
    return LayoutChartParts(chart, rect, MakeChartStyle(chart, device, options)).geometry;
}

ChartGeometry PaintChart(QPainter& painter, const QRectF& rect, const Chart& chart,
                         const ChartPaintOptions& options)
{
    const ChartStyle style = MakeChartStyle(chart, painter.device(), options);
    const ChartLayout layout = LayoutChartParts(chart, rect, style);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, options.antialiasing);
    PaintBackground(painter, rect, chart);
    if (chart.backWallFilled)
        painter.fillRect(layout.geometry.plot, chart.backWallColour);
    PaintGrid(painter, layout, style);
    PaintAllSeries(painter, chart, layout.geometry, style, options);
    painter.setRenderHint(QPainter::Antialiasing, false);
    PaintAxes(painter, chart, layout, style);
    PaintTitle(painter, chart, layout, style);
    PaintLegend(painter, chart, layout, style);
    painter.restore();
    return layout.geometry;
}
