#pragma once

#include "analysis/chart/chart.h"

#include <QPointF>
#include <QRectF>

// Where a painting put the data: the plot area (in the painter's logical coordinates, the
// same as the rectangle it was given) and the x and y ranges across it. Maps both ways.
struct ChartGeometry {
    QRectF plot;
    XRange x;
    double yFirst = Chart::EmptyYFirst; // at the bottom of the plot
    double yLast = Chart::EmptyYLast;   // at the top

    bool isValid() const { return plot.width() > 0 && plot.height() > 0 && x.span() > 0; }

    qreal pixelX(double value) const
    {
        return plot.left() + (value - x.first) / x.span() * plot.width();
    }
    qreal pixelY(double value) const
    {
        return plot.bottom() - (value - yFirst) / (yLast - yFirst) * plot.height();
    }
    QPointF pixel(double xValue, double yValue) const { return {pixelX(xValue), pixelY(yValue)}; }
    double dataX(qreal px) const { return x.first + (px - plot.left()) / plot.width() * x.span(); }
    double dataY(qreal py) const
    {
        return yFirst + (plot.bottom() - py) / plot.height() * (yLast - yFirst);
    }
};
