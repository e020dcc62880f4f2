#pragma once

#include <QLocale>
#include <QString>
#include <functional>
#include <utility>

// The round step (1, 2, 2.5 or 5 times a power of ten) nearest above the given one.
double NiceStep(double minimumStep);

// A value axis: from first to last (multiples of step) with a tick at every step.
struct AxisScale {
    double first = 0;
    double last = 1;
    double step = 1;
    int decimals = 0; // digits after the separator that the step needs
    int tickCount() const;
    double tick(int k) const { return first + k * step; }
};

// The scale that holds min..max with at most maxTicks steps. A flat range (min == max) is
// widened by one on each side.
AxisScale ScaleAxis(double min, double max, int maxTicks);

// A tick value as shown: the locale's decimal separator, no digit grouping, no "-0".
QString TickText(double value, int decimals, const QLocale& locale = QLocale());

// The row step after the given one in 1, 2, 5, 10, 20, 50, ...
qsizetype NextRowStep(qsizetype step);

// The smallest row step whose labels do not overlap: labels stand at the rows first..last that
// are multiples of the step, extent(row) gives the span a label covers along the axis
// (start, end), and two neighbours need at least minimumGap between them.
qsizetype ChooseRowStep(qsizetype first, qsizetype last,
                        const std::function<std::pair<double, double>(qsizetype)>& extent,
                        double minimumGap);

// The first row at or after `first` that is a multiple of step.
qsizetype FirstLabelledRow(qsizetype first, qsizetype step);
