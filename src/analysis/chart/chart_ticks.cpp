#include "analysis/chart/chart_ticks.h"

#include <algorithm>
#include <cmath>

namespace
{
// Values closer than this part of a step count as equal (floating-point noise).
constexpr double StepTolerance = 1e-9;

// Step = mantissa * 10^exponent with a mantissa of 1, 2, 2.5 or 5.
struct StepParts {
    double mantissa;
    int exponent;
};

StepParts SplitNiceStep(double minimumStep)
{
    int exponent = int(std::floor(std::log10(minimumStep)));
    const double power = std::pow(10.0, exponent);
    const double scaled = minimumStep / power; // in [1, 10)
    for (double mantissa : {1.0, 2.0, 2.5, 5.0}) {
        if (scaled <= mantissa * (1 + StepTolerance))
            return {mantissa, exponent};
    }
    return {1.0, exponent + 1};
}

int StepDecimals(const StepParts& parts)
{
    const int extra = parts.mantissa == 2.5 ? 1 : 0;
    return std::max(0, extra - parts.exponent);
}
} // namespace

double NiceStep(double minimumStep)
{
    if (!(minimumStep > 0) || !std::isfinite(minimumStep))
        return 1;
    const StepParts parts = SplitNiceStep(minimumStep);
    return parts.mantissa * std::pow(10.0, parts.exponent);
}

int AxisScale::tickCount() const
{
    return int(std::floor((last - first) / step + StepTolerance)) + 1;
}

AxisScale ScaleAxis(double min, double max, int maxTicks)
{
    if (!std::isfinite(min) || !std::isfinite(max))
        min = max = 0;
    if (max < min)
        std::swap(min, max);
    if (max == min) {
        min -= 1;
        max += 1;
    }
    maxTicks = std::max(maxTicks, 2);
    const StepParts parts = SplitNiceStep((max - min) / (maxTicks - 1));
    AxisScale scale;
    scale.step = parts.mantissa * std::pow(10.0, parts.exponent);
    scale.decimals = StepDecimals(parts);
    scale.first = std::floor(min / scale.step + StepTolerance) * scale.step;
    scale.last = std::ceil(max / scale.step - StepTolerance) * scale.step;
    return scale;
}

QString TickText(double value, int decimals, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    const double unit = std::pow(10.0, -decimals);
    if (std::abs(value) < unit / 2)
        value = 0; // never "-0"
    return plain.toString(value, 'f', decimals);
}

qsizetype NextRowStep(qsizetype step)
{
    qsizetype decade = 1;
    while (step >= 10 * decade)
        decade *= 10;
    const qsizetype mantissa = step / decade;
    if (mantissa < 2)
        return 2 * decade;
    if (mantissa < 5)
        return 5 * decade;
    return 10 * decade;
}

qsizetype FirstLabelledRow(qsizetype first, qsizetype step)
{
    const qsizetype rest = first % step;
    if (rest == 0)
        return first;
    return first >= 0 ? first - rest + step : first - rest;
}

qsizetype ChooseRowStep(qsizetype first, qsizetype last,
                        const std::function<std::pair<double, double>(qsizetype)>& extent,
                        double minimumGap)
{
    const qsizetype rows = std::max<qsizetype>(last - first + 1, 1);
    for (qsizetype step = 1;; step = NextRowStep(step)) {
        if (step >= rows)
            return step; // one label at most: nothing to overlap
        bool fits = true;
        double previousEnd = 0;
        bool havePrevious = false;
        // Stops at the first overlap, so a step far too small costs two measures.
        for (qsizetype row = FirstLabelledRow(first, step); fits && row <= last; row += step) {
            const auto [start, end] = extent(row);
            fits = !havePrevious || start >= previousEnd + minimumGap;
            previousEnd = end;
            havePrevious = true;
        }
        if (fits)
            return step;
    }
}
