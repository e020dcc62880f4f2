#include "analysis/chart_view.h"

#include "analysis/chart/chart_painter.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace
{

const QColor BandFill(0, 120, 215, 50);
const QColor BandEdge(0, 120, 215);
const QColor ReadoutFill(255, 255, 225, 235);
constexpr int ReadoutPadding = 4;
constexpr int ReadoutOffset = 14; // from the pointer
constexpr int MarkerRadius = 4;
constexpr int WheelNotch = 120;

// The value as the user's regional settings write it, without digit grouping.
QString ValueText(double value)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

} // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ChartGeometry ChartView::plotGeometry() const
{
    return LayoutChart(m_chart, QRectF(rect()), this);
}

QString ChartView::readoutText() const
{
    if (!m_hover)
        return {};
    const ChartSeries& series = m_chart.series(m_hover->series);
    const qsizetype index = m_hover->index;
    QString text = series.name() + QStringLiteral("\nLigne ") + QString::number(index + 1);
    const QString label = series.label(index);
    if (!label.isEmpty())
        text += QStringLiteral(" : ") + label;
    return text + QLatin1Char('\n') + ValueText(series.y(index));
}

void ChartView::chartChanged()
{
    m_hover.reset();
    update();
}

template <class Change> void ChartView::changeView(Change&& change)
{
    const XRange before = m_chart.visibleXRange();
    change(plotGeometry());
    const XRange after = m_chart.visibleXRange();
    if (after == before)
        return;
    m_hover.reset();
    update();
    Q_EMIT visibleRangeChanged(after.first, after.last);
}

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const ChartGeometry geometry = PaintChart(painter, QRectF(rect()), m_chart);
    if (m_drag == Drag::RubberBand)
        paintRubberBand(painter, geometry.plot);
    if (m_hover)
        paintReadout(painter);
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        m_drag = Drag::RubberBand;
    else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton)
        m_drag = Drag::Pan;
    else
        return;
    m_dragStart = m_dragLast = position;
    m_hover.reset();
    update();
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const QPoint last = m_dragLast;
    m_dragLast = position;
    switch (m_drag) {
    case Drag::Pan:
        changeView(
            [&](const ChartGeometry& g) { PanByPixels(m_chart, g, position.x() - last.x()); });
        break;
    case Drag::RubberBand:
        update();
        break;
    case Drag::None:
        updateHover(position);
        break;
    }
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if (drag == Drag::RubberBand) {
        update();
        if (std::abs(position.x() - m_dragStart.x()) >= MinimumBandWidth) {
            changeView([&](const ChartGeometry& g) {
                ZoomToPixels(m_chart, g, m_dragStart.x(), position.x());
            });
        }
    }
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_drag = Drag::None;
    changeView([&](const ChartGeometry&) { m_chart.resetZoom(); });
}

void ChartView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    const double factor = std::pow(WheelZoomFactor, double(delta) / WheelNotch);
    const qreal x = event->position().x();
    changeView([&](const ChartGeometry& g) { ZoomAround(m_chart, g, x, factor); });
    event->accept();
}

void ChartView::leaveEvent(QEvent*)
{
    if (m_hover) {
        m_hover.reset();
        update();
    }
}

void ChartView::updateHover(QPoint position)
{
    const std::optional<NearestPoint> nearest =
        FindNearestPoint(m_chart, plotGeometry(), position, HoverDistance);
    m_hoverPosition = position;
    if (!nearest && !m_hover)
        return;
    // The readout follows the pointer.
    m_hover = nearest;
    update();
}

void ChartView::paintRubberBand(QPainter& painter, const QRectF& plot) const
{
    const qreal left =
        std::clamp<qreal>(std::min(m_dragStart.x(), m_dragLast.x()), plot.left(), plot.right());
    const qreal right =
        std::clamp<qreal>(std::max(m_dragStart.x(), m_dragLast.x()), plot.left(), plot.right());
    painter.setPen(BandEdge);
    painter.setBrush(BandFill);
    painter.drawRect(QRectF(left, plot.top(), right - left, plot.height()));
}

void ChartView::paintReadout(QPainter& painter) const
{
    const ChartSeries& series = m_chart.series(m_hover->series);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(series.pointColour(m_hover->index));
    painter.drawEllipse(m_hover->pixel, MarkerRadius, MarkerRadius);

    const QString text = readoutText();
    const QRect textSize =
        painter.fontMetrics().boundingRect(QRect(0, 0, width(), height()), Qt::AlignLeft, text);
    QRect box(m_hoverPosition + QPoint(ReadoutOffset, ReadoutOffset),
              textSize.size() + QSize(2 * ReadoutPadding, 2 * ReadoutPadding));
    // Kept inside the widget, on the other side of the pointer when needed.
    if (box.right() > width())
        box.moveRight(m_hoverPosition.x() - ReadoutOffset);
    if (box.bottom() > height())
        box.moveBottom(m_hoverPosition.y() - ReadoutOffset);
    painter.setPen(Qt::gray);
    painter.setBrush(ReadoutFill);
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawText(box.adjusted(ReadoutPadding, ReadoutPadding, -ReadoutPadding, -ReadoutPadding),
                     Qt::AlignLeft, text);
}
