#include "analysis/chart/chart_reduction.h"

#include <algorithm>
#include <cmath>

namespace
{

// The points of one pixel column (or of one run beyond an edge) met so far.
struct ColumnGroup {
    qsizetype first = -1;
    qsizetype last = -1;
    qsizetype lowest = -1;
    qsizetype highest = -1;

    bool isEmpty() const { return first < 0; }

    void start(qsizetype i) { first = last = lowest = highest = i; }

    void add(qsizetype i, const std::vector<double>& ys)
    {
        last = i;
        if (ys[size_t(i)] < ys[size_t(lowest)])
            lowest = i;
        if (ys[size_t(i)] > ys[size_t(highest)])
            highest = i;
    }

    // Appends the group's points in index order, each once.
    void flush(std::vector<quint32>& kept) const
    {
        qsizetype points[] = {first, std::min(lowest, highest), std::max(lowest, highest), last};
        for (qsizetype i : points) {
            if (kept.empty() || kept.back() != quint32(i))
                kept.push_back(quint32(i));
        }
    }
};

} // namespace

int PixelColumn(double x, XRange range, int columns)
{
    if (x < range.first)
        return -1;
    if (x > range.last)
        return columns;
    const double column = std::floor((x - range.first) / range.span() * columns);
    return std::min(int(column), columns - 1);
}

IndexRange VisibleIndexRange(const ChartSeries& series, XRange range)
{
    const std::vector<double>& xs = series.xs();
    if (!series.isXAscending())
        return {0, series.count()};
    const auto begin = std::lower_bound(xs.begin(), xs.end(), range.first);
    const auto end = std::upper_bound(begin, xs.end(), range.last);
    return {begin - xs.begin(), end - xs.begin()};
}

IndexRange DrawnIndexRange(const ChartSeries& series, XRange range)
{
    if (!series.isXAscending())
        return {0, series.count()};
    IndexRange drawn = VisibleIndexRange(series, range);
    drawn.begin = std::max<qsizetype>(drawn.begin - 1, 0);
    drawn.end = std::min(drawn.end + 1, series.count());
    return drawn;
}

void ReduceToColumns(const ChartSeries& series, XRange range, int columns,
                     std::vector<quint32>& kept)
{
    kept.clear();
    const IndexRange drawn = DrawnIndexRange(series, range);
    const std::vector<double>& xs = series.xs();
    const std::vector<double>& ys = series.ys();
    if (columns <= 0 || range.span() <= 0) {
        for (qsizetype i = drawn.begin; i < drawn.end; ++i) {
            if (!std::isnan(ys[size_t(i)]))
                kept.push_back(quint32(i));
        }
        return;
    }
    ColumnGroup group;
    int groupColumn = 0;
    for (qsizetype i = drawn.begin; i < drawn.end; ++i) {
        if (std::isnan(ys[size_t(i)]))
            continue;
        const int column = PixelColumn(xs[size_t(i)], range, columns);
        if (!group.isEmpty() && column == groupColumn) {
            group.add(i, ys);
            continue;
        }
        if (!group.isEmpty())
            group.flush(kept);
        group.start(i);
        groupColumn = column;
    }
    if (!group.isEmpty())
        group.flush(kept);
}

const std::vector<quint32>& ReducedPoints(const ChartSeries& series, XRange range, int columns)
{
    SeriesCache& cache = series.cache();
    const SeriesCache::ReductionKey key{series.revision(), range.first, range.last,
                                        std::max(columns, 0)};
    if (!(cache.reductionKey == key)) {
        ReduceToColumns(series, range, columns, cache.kept);
        cache.reductionKey = key;
    }
    return cache.kept;
}

YRange VisibleYRange(const ChartSeries& series, XRange range)
{
    SeriesCache& cache = series.cache();
    const SeriesCache::YRangeKey key{series.revision(), range.first, range.last};
    if (!(cache.yRangeKey == key)) {
        const IndexRange visible = VisibleIndexRange(series, range);
        const std::vector<double>& xs = series.xs();
        const std::vector<double>& ys = series.ys();
        YRange found;
        for (qsizetype i = visible.begin; i < visible.end; ++i) {
            const double y = ys[size_t(i)];
            if (std::isnan(y) || !range.contains(xs[size_t(i)]))
                continue;
            found.min = found.any ? std::min(found.min, y) : y;
            found.max = found.any ? std::max(found.max, y) : y;
            found.any = true;
        }
        cache.yRangeKey = key;
        cache.hasVisiblePoints = found.any;
        cache.yMin = found.min;
        cache.yMax = found.max;
    }
    return {cache.hasVisiblePoints, cache.yMin, cache.yMax};
}
