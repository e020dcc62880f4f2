#include "analysis/chart/chart_series.h"

#include <algorithm>
#include <limits>

ChartSeries::ChartSeries(const QString& name, SeriesKind kind, const QColor& colour, int penWidth)
    : m_name(name), m_kind(kind), m_colour(colour), m_penWidth(penWidth)
{
}

void ChartSeries::setColour(const QColor& colour)
{
    m_colour = colour;
    ++m_revision;
}

void ChartSeries::setPenWidth(int width)
{
    m_penWidth = width;
    ++m_revision;
}

void ChartSeries::reserve(qsizetype points, qsizetype labelBytes)
{
    m_x.reserve(size_t(points));
    m_y.reserve(size_t(points));
    if (labelBytes > 0) {
        m_labelBytes.reserve(labelBytes);
        m_labelEnd.reserve(size_t(points));
    }
}

void ChartSeries::addPoint(double x, double y, const QColor& colour, QStringView label)
{
    if (!m_x.empty() && !(x >= m_x.back()))
        m_xAscending = false;
    const qsizetype index = count();
    m_x.push_back(x);
    m_y.push_back(y);

    const quint8 colourIndex = colour.isValid() ? colourIndexFor(colour) : 0;
    if (colourIndex != 0 && !m_hasPointColours) {
        m_colourIndex.reserve(m_x.capacity());
        m_colourIndex.resize(size_t(index), 0);
        m_hasPointColours = true;
    }
    if (m_hasPointColours)
        m_colourIndex.push_back(colourIndex);

    if (!label.isEmpty() && !m_hasLabels) {
        m_labelEnd.reserve(m_x.capacity());
        m_labelEnd.resize(size_t(index), 0);
        m_hasLabels = true;
    }
    if (m_hasLabels)
        appendLabel(label);
    ++m_revision;
}

void ChartSeries::clear()
{
    m_x.clear();
    m_y.clear();
    m_colourIndex.clear();
    m_palette.clear();
    m_labelBytes.clear();
    m_labelEnd.clear();
    m_hasPointColours = false;
    m_hasLabels = false;
    m_xAscending = true;
    ++m_revision;
}

QColor ChartSeries::pointColour(qsizetype i) const
{
    return paletteColour(colourIndex(i));
}

QColor ChartSeries::paletteColour(quint8 index) const
{
    if (index == 0 || size_t(index) > m_palette.size())
        return m_colour;
    return QColor::fromRgba(m_palette[index - 1]);
}

QString ChartSeries::label(qsizetype i) const
{
    if (!m_hasLabels || i < 0 || i >= qsizetype(m_labelEnd.size()))
        return {};
    const quint32 begin = i == 0 ? 0 : m_labelEnd[size_t(i) - 1];
    const quint32 end = m_labelEnd[size_t(i)];
    return QString::fromUtf8(m_labelBytes.constData() + begin, qsizetype(end - begin));
}

qint64 ChartSeries::memoryBytes() const
{
    return qint64(m_x.capacity() + m_y.capacity()) * qint64(sizeof(double)) +
           qint64(m_colourIndex.capacity()) + qint64(m_labelBytes.capacity()) +
           qint64(m_labelEnd.capacity()) * qint64(sizeof(quint32)) +
           qint64(m_cache.kept.capacity()) * qint64(sizeof(quint32));
}

quint8 ChartSeries::colourIndexFor(const QColor& colour)
{
    const QRgb rgba = colour.rgba();
    // Points of one series mostly share a colour: the last one added is the usual hit.
    for (size_t k = m_palette.size(); k-- > 0;) {
        if (m_palette[k] == rgba)
            return quint8(k + 1);
    }
    if (m_palette.size() < size_t(MaxPointColours)) {
        m_palette.push_back(rgba);
        return quint8(m_palette.size());
    }
    const auto distance = [&](QRgb held) {
        return std::abs(qRed(held) - qRed(rgba)) + std::abs(qGreen(held) - qGreen(rgba)) +
               std::abs(qBlue(held) - qBlue(rgba)) + std::abs(qAlpha(held) - qAlpha(rgba));
    };
    const auto nearest = std::min_element(m_palette.begin(), m_palette.end(), [&](QRgb a, QRgb b) {
        return distance(a) < distance(b);
    });
    return quint8(nearest - m_palette.begin() + 1);
}

void ChartSeries::appendLabel(QStringView label)
{
    // Short ASCII labels (row numbers and dates) go in without a temporary QByteArray.
    constexpr qsizetype ShortLabel = 64;
    char ascii[ShortLabel] = {};
    bool plain = label.size() <= ShortLabel;
    for (qsizetype k = 0; plain && k < label.size(); ++k) {
        const char16_t c = label[k].unicode();
        plain = c < 0x80;
        ascii[k] = char(c);
    }
    if (plain)
        m_labelBytes.append(ascii, label.size());
    else
        m_labelBytes.append(label.toUtf8());
    Q_ASSERT(m_labelBytes.size() <= std::numeric_limits<quint32>::max());
    m_labelEnd.push_back(quint32(m_labelBytes.size()));
}
