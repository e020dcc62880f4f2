#pragma once

#include <QtGlobal>
#include <vector>

// What a painting derives from a series and keeps for the next one: the indices of the points
// that the pixels can show, and the y range of the visible points. Each part is valid for the
// key it was computed with; a change of the series bumps its revision and so misses.
struct SeriesCache {
    struct ReductionKey {
        quint64 revision = ~quint64(0);
        double first = 0; // visible x range
        double last = 0;
        int columns = -1; // device pixel columns of the plot; 0 means "not reduced"
        bool operator==(const ReductionKey&) const = default;
    };
    struct YRangeKey {
        quint64 revision = ~quint64(0);
        double first = 0;
        double last = 0;
        bool operator==(const YRangeKey&) const = default;
    };

    ReductionKey reductionKey;
    std::vector<quint32> kept; // point indices to join, ascending

    YRangeKey yRangeKey;
    bool hasVisiblePoints = false;
    double yMin = 0;
    double yMax = 0;
};
