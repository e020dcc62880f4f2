#pragma once

#include "analysis/chart/chart.h"
#include "analysis/chart/chart_painter.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <cmath>

// A chart painted into an image of that size, and the geometry the painting used.
struct RenderedChart {
    QImage image;
    ChartGeometry geometry;
};

inline RenderedChart RenderChart(const Chart& chart, QSize size, ChartPaintOptions options = {})
{
    RenderedChart rendered{QImage(size, QImage::Format_RGB32), {}};
    QPainter painter(&rendered.image);
    rendered.geometry = PaintChart(painter, QRectF(QPointF(0, 0), size), chart, options);
    return rendered;
}

// Pixels of exactly that colour inside the area.
inline int CountColour(const QImage& image, const QRect& area, QColor colour)
{
    const QRect inside = area & image.rect();
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += image.pixel(x, y) == colour.rgb() ? 1 : 0;
    }
    return count;
}

// Pixels inside the area that are clearly darker than a pale background: text and lines.
inline int CountDark(const QImage& image, const QRect& area)
{
    const QRect inside = area & image.rect();
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    }
    return count;
}

// The smallest rectangle holding every dark pixel of the area (empty when none).
inline QRect DarkBounds(const QImage& image, const QRect& area)
{
    const QRect inside = area & image.rect();
    QRect bounds;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 100)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// A chart set up as the curve view fills its charts: a curve of `rows` points in pointColour
// labelled "row  day/month", and two threshold lines of one point per row.
struct CurveChartSetup {
    QString curveName = QStringLiteral("Series1");
    QColor curveColour = Qt::red;
    QColor pointColour = QColor(255, 0, 0);
    double high = 30;
    double low = 20;
    QColor highColour = Qt::green;
    QColor lowColour = Qt::blue;
};

inline void FillCurveChart(Chart& chart, int rows, const CurveChartSetup& setup = {})
{
    ChartSeries& curve = chart.addSeries(setup.curveName, SeriesKind::Line, setup.curveColour, 2);
    ChartSeries& high =
        chart.addSeries(QStringLiteral("high"), SeriesKind::FastLine, setup.highColour, 1);
    ChartSeries& low =
        chart.addSeries(QStringLiteral("low"), SeriesKind::FastLine, setup.lowColour, 1);
    for (int r = 0; r < rows; ++r) {
        const double value = 22 + 3 * std::sin(r * 0.1);
        const QString label = QString::number(r + 1) + QStringLiteral("  ") +
                              QString::number(1 + r / 96 % 28) + QStringLiteral("/3");
        curve.addPoint(r, value, setup.pointColour, label);
        high.addPoint(r, setup.high);
        low.addPoint(r, setup.low);
    }
}
