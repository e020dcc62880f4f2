#include "analysis/chart/chart_painter.h"

#include "analysis/chart/chart_layout.h"
#include "analysis/chart/chart_reduction.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

using namespace ChartLengths;

namespace
{

const QColor AxisColour(Qt::black);
const QColor GridColour(222, 222, 222);
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
    painter.setPen(QPen(GridColour, style.px(1)));
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

// Where a point is drawn. On a series denser than the pixels, visible points go to the middle
// of their device pixel column, so that the points kept of a column and all of its points
// stroke the same pixels; sparser series keep their exact places (the reduction keeps every
// point of a column that has four or fewer).
class PointPlacer
{
public:
    PointPlacer(const ChartSeries& series, const ChartGeometry& geometry, int columns)
        : m_series(series), m_geometry(geometry), m_columns(columns),
          m_columnWidth(geometry.plot.width() / columns),
          m_snap(IsDenserThanPixels(series, geometry.x, columns))
    {
    }

    static bool IsDenserThanPixels(const ChartSeries& series, XRange range, int columns)
    {
        const IndexRange drawn = DrawnIndexRange(series, range);
        return drawn.end - drawn.begin > columns;
    }

    QPointF operator()(qsizetype i) const
    {
        const double x = m_series.x(i);
        const qreal y = m_geometry.pixelY(m_series.y(i));
        const int column = m_snap ? PixelColumn(x, m_geometry.x, m_columns) : -1;
        if (column < 0 || column >= m_columns)
            return {m_geometry.pixelX(x), y};
        return {m_geometry.plot.left() + (column + 0.5) * m_columnWidth, y};
    }

private:
    const ChartSeries& m_series;
    const ChartGeometry& m_geometry;
    int m_columns;
    qreal m_columnWidth;
    bool m_snap = false;
};

// Appends the segment, or lengthens the last one when both lie on one vertical or horizontal
// line and touch: the points kept of a pixel column make one vertical stroke, a threshold one
// horizontal stroke. Their union covers the same pixels with far fewer strokes.
void AppendSegment(std::vector<QLineF>& lines, QPointF from, QPointF to)
{
    if (!lines.empty() && lines.back().p2() == from) {
        QLineF& last = lines.back();
        if (last.x1() == last.x2() && from.x() == to.x()) {
            const qreal top = std::min({last.y1(), last.y2(), to.y()});
            const qreal bottom = std::max({last.y1(), last.y2(), to.y()});
            // Keeps ending at `to`, where the next segment starts.
            last = to.y() == top ? QLineF(from.x(), bottom, to.x(), top)
                                 : QLineF(from.x(), top, to.x(), bottom);
            return;
        }
        if (last.y1() == last.y2() && from.y() == to.y() &&
            (last.x1() <= last.x2()) == (from.x() <= to.x())) {
            last.setP2(to);
            return;
        }
    }
    lines.emplace_back(from, to);
}

// Joins the kept points; the segment that ends at a point takes that point's colour. Separate
// segments rather than a polyline: each covers both its ends whatever its neighbours, so the
// kept points of a column cover the same pixels as all of them (and Qt strokes a long wide
// polyline far more slowly). Square caps: round ones cost several times more to fill.
// A series of one point has no segment to show it: a dot in that point's colour, at least as
// wide as the series' line.
void PaintLonePoint(QPainter& painter, const ChartSeries& series, QPointF at, quint32 index,
                    const ChartStyle& style)
{
    const qreal diameter = style.px(std::max<qreal>(LonePointDot, 2 * series.penWidth()));
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(series.paletteColour(series.colourIndex(index)));
    painter.drawEllipse(at, diameter / 2, diameter / 2);
    painter.restore();
}

void PaintSeries(QPainter& painter, const ChartSeries& series, const ChartGeometry& geometry,
                 int columns, const std::vector<quint32>& kept, const ChartStyle& style)
{
    if (kept.empty())
        return;
    if (kept.size() == 1) {
        PaintLonePoint(painter, series, PointPlacer(series, geometry, columns)(kept[0]), kept[0],
                       style);
        return;
    }
    QPen pen(series.colour(), style.px(series.penWidth()), Qt::SolidLine, Qt::SquareCap,
             Qt::BevelJoin);
    const PointPlacer place(series, geometry, columns);
    std::vector<QLineF> run;
    run.reserve(kept.size());
    size_t j = 1;
    QPointF from = place(kept[0]);
    while (j < kept.size()) {
        const quint8 colour = series.colourIndex(kept[j]);
        run.clear();
        for (; j < kept.size() && series.colourIndex(kept[j]) == colour; ++j) {
            const QPointF to = place(kept[j]);
            AppendSegment(run, from, to);
            from = to;
        }
        pen.setColor(series.paletteColour(colour));
        painter.setPen(pen);
        painter.drawLines(run.data(), int(run.size()));
    }
}

void PaintAllSeries(QPainter& painter, const Chart& chart, const ChartGeometry& geometry,
                    const ChartStyle& style, const ChartPaintOptions& options)
{
    const int columns = DeviceColumns(painter, geometry.plot);
    painter.save();
    painter.setClipRect(geometry.plot);
    for (int s = 0; s < chart.seriesCount(); ++s) {
        const ChartSeries& series = chart.series(s);
        // A series denser than the pixels draws as column strokes, which antialiasing would
        // only make several times slower.
        painter.setRenderHint(QPainter::Antialiasing,
                              options.antialiasing && series.kind() == SeriesKind::Line &&
                                  !PointPlacer::IsDenserThanPixels(series, geometry.x, columns));
        const std::vector<quint32>& kept =
            ReducedPoints(series, geometry.x, options.reduce ? columns : 0);
        PaintSeries(painter, series, geometry, columns, kept, style);
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
