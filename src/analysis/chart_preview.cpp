#include "analysis/chart_preview.h"

#include "analysis/chart/chart_painter.h"
#include "analysis/chart_view.h"

#include <QMouseEvent>
#include <QPainter>

ChartPreview::ChartPreview(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Cliquer pour ouvrir le graphique"));
    setMinimumSize(240, 160);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartPreview::setSource(ChartView* source)
{
    m_source = source;
    update();
}

void ChartPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_source)
        return;
    PaintChart(painter, QRectF(rect()), m_source->chart());
    painter.setPen(palette().mid().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ChartPreview::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}
