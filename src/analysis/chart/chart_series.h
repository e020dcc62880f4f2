#pragma once

#include "analysis/chart/chart_cache.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <vector>

enum class SeriesKind {
    Line,     // antialiased on screen
    FastLine, // drawn without antialiasing: crisp thin threshold lines
};

// One line of a chart. Points are held column-wise so that half a million of them cost a few
// megabytes: x and y in arrays, one byte per point for its colour (an index into a small
// palette of the series, 0 for the series' own colour) and the labels in one UTF-8 buffer with
// an end offset per point. The colour and label columns exist only once a point needs them.
class ChartSeries
{
public:
    // The colour argument of addPoint() meaning "the series' own colour".
    static QColor ownColour() { return QColor(); }
    // Distinct point colours a series can hold; further ones take the nearest held colour.
    static constexpr int MaxPointColours = 255;

    ChartSeries(const QString& name, SeriesKind kind, const QColor& colour, int penWidth);

    const QString& name() const { return m_name; }
    SeriesKind kind() const { return m_kind; }
    QColor colour() const { return m_colour; }
    int penWidth() const { return m_penWidth; }
    void setColour(const QColor& colour);
    void setPenWidth(int width);

    // Room for that many points (and label bytes), so that filling allocates once.
    void reserve(qsizetype points, qsizetype labelBytes = 0);
    // Adds a point; an invalid colour (ownColour()) draws it in the series' colour.
    void addPoint(double x, double y, const QColor& colour = ownColour(), QStringView label = {});
    // Removes every point.
    void clear();

    qsizetype count() const { return qsizetype(m_x.size()); }
    bool isEmpty() const { return m_x.empty(); }
    double x(qsizetype i) const { return m_x[size_t(i)]; }
    double y(qsizetype i) const { return m_y[size_t(i)]; }
    const std::vector<double>& xs() const { return m_x; }
    const std::vector<double>& ys() const { return m_y; }
    // True while every x is at least the one before it (the usual case: rows in order).
    bool isXAscending() const { return m_xAscending; }

    // 0: the series' own colour; k > 0: the palette colour k.
    quint8 colourIndex(qsizetype i) const { return m_hasPointColours ? m_colourIndex[i] : 0; }
    // The colour of the point, its own or the series'.
    QColor pointColour(qsizetype i) const;
    // The colour of palette index k (0: the series' colour).
    QColor paletteColour(quint8 index) const;

    bool hasLabels() const { return m_hasLabels; }
    QString label(qsizetype i) const;

    // Bumped by every change: caches of derived data compare it.
    quint64 revision() const { return m_revision; }

    // Bytes held by the points (capacity included).
    qint64 memoryBytes() const;

    // Derived data kept between paintings (reduction, visible y range); see chart_cache.h.
    SeriesCache& cache() const { return m_cache; }

private:
    quint8 colourIndexFor(const QColor& colour);
    void appendLabel(QStringView label);

    QString m_name;
    SeriesKind m_kind;
    QColor m_colour;
    int m_penWidth;
    std::vector<double> m_x;
    std::vector<double> m_y;
    bool m_hasPointColours = false;    // until then every point has the series' colour
    std::vector<quint8> m_colourIndex; // one per point once a point has its own colour
    std::vector<QRgb> m_palette;       // colour k is m_palette[k - 1]
    bool m_hasLabels = false;
    QByteArray m_labelBytes;
    std::vector<quint32> m_labelEnd; // one per point once a point has a label
    bool m_xAscending = true;
    quint64 m_revision = 0;
    mutable SeriesCache m_cache;
};
