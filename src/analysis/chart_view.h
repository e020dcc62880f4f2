#pragma once

#include "analysis/chart/chart.h"
#include "analysis/chart/chart_geometry.h"
#include "analysis/chart/chart_navigation.h"

#include <QPoint>
#include <QWidget>
#include <optional>

// A chart on screen. Painting goes through PaintChart(); the mouse moves the visible x range:
// the wheel zooms around the pointer, a left drag selects a range (rubber band), a right or
// middle drag pans, a double click shows the whole range again. Hovering shows the nearest
// point: its row number, its label and its value.
class ChartView : public QWidget
{
    Q_OBJECT
public:
    // Wheel zoom per notch (120 eighths of a degree).
    static constexpr double WheelZoomFactor = 1.25;
    // A left drag narrower than this is a click, not a range.
    static constexpr int MinimumBandWidth = 4;
    // How near the pointer a point must be drawn to be shown.
    static constexpr int HoverDistance = 24;

    explicit ChartView(QWidget* parent = nullptr);

    Chart& chart() { return m_chart; }
    const Chart& chart() const { return m_chart; }

    // Where the chart's plot is in the widget now, and the ranges across it.
    ChartGeometry plotGeometry() const;

    // What the hover readout shows; empty when no point is near the pointer.
    QString readoutText() const;

    // Repaints after the series changed.
    void chartChanged();

Q_SIGNALS:
    // The visible x range changed (zoom, pan, rubber band, reset); for rows, the first and last
    // visible row are ceil(first) and floor(last).
    void visibleRangeChanged(double first, double last);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Drag { None, RubberBand, Pan };

    // Runs a change of the visible range; signals and repaints when it moved.
    template <class Change> void changeView(Change&& change);
    void updateHover(QPoint position);
    void paintRubberBand(QPainter& painter, const QRectF& plot) const;
    void paintReadout(QPainter& painter) const;

    Chart m_chart;
    Drag m_drag = Drag::None;
    QPoint m_dragStart;
    QPoint m_dragLast;
    std::optional<NearestPoint> m_hover;
    QPoint m_hoverPosition;
};
