#pragma once

#include "analysis/chart/chart_series.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// A range of x values, first <= last.
struct XRange {
    double first = 0;
    double last = 1;
    double span() const { return last - first; }
    bool contains(double x) const { return x >= first && x <= last; }
    bool operator==(const XRange&) const = default;
};

enum class LabelOrientation {
    Horizontal,
    Vertical, // turned by 90 degrees, read from bottom to top
};

// A chart: its settings, its series and the part of the x range in view. Plain data: the
// painting (chart_painter.h) and the navigation (chart_navigation.h) work on it.
class Chart
{
public:
    // The range shown while there is no point at all.
    static constexpr XRange EmptyXRange{0, 1};
    static constexpr double EmptyYFirst = 0;
    static constexpr double EmptyYLast = 10;

    QString title;
    bool view3D = false; // only the flat view is drawn
    QColor backWallColour = Qt::white;
    bool backWallFilled = false;
    // The background runs from white at the top to this colour at the bottom.
    QColor gradientEndColour = Qt::white;
    bool legendVisible = true; // at the right of the plot
    LabelOrientation bottomLabels = LabelOrientation::Horizontal;
    // The axis and legend font; the title is a larger bold one. A default QFont follows the
    // application's font.
    QFont font;

    Chart() = default;
    Chart(const Chart&) = delete;
    Chart& operator=(const Chart&) = delete;

    // The new series, drawn after (over) those added before it.
    ChartSeries& addSeries(const QString& name, SeriesKind kind, const QColor& colour,
                           int penWidth);
    int seriesCount() const { return int(m_series.size()); }
    ChartSeries& series(int index) { return *m_series[size_t(index)]; }
    const ChartSeries& series(int index) const { return *m_series[size_t(index)]; }
    // nullptr when no series has that name.
    ChartSeries* findSeries(const QString& name);

    // The x range of every point of every series; none while the chart has no point.
    std::optional<XRange> dataXRange() const;
    // The data's x range, or EmptyXRange.
    XRange fullXRange() const;
    // What is shown: the zoomed range within the full one, or the full range.
    XRange visibleXRange() const;
    bool isZoomed() const { return m_zoom.has_value(); }
    // Shows that part of the x range, kept within the full range; a range as wide as the full
    // one (or wider) shows the whole.
    void setVisibleXRange(XRange range);
    // Back to the whole range.
    void resetZoom() { m_zoom.reset(); }

private:
    std::vector<std::unique_ptr<ChartSeries>> m_series; // stable addresses
    std::optional<XRange> m_zoom;
};
