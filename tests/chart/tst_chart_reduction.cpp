// The per-pixel-column reduction: drawn, it must cover the pixels of every segment joined, give
// or take one; its cache must follow the series and the view.
#include "analysis/chart/chart_reduction.h"
#include "chart_images.h"

#include <QRandomGenerator>
#include <QTest>

namespace
{

// A random walk of n points at x = 0, 1, 2, ... in the series' own colour.
void AddRandomWalk(ChartSeries& series, int points, quint32 seed)
{
    QRandomGenerator random(seed);
    double y = 0;
    series.reserve(points);
    for (int i = 0; i < points; ++i) {
        y += random.bounded(2.0) - 1.0;
        series.addPoint(i, y);
    }
}

// Pixels of one image with no pixel of the same colour at distance 1 or less in the other.
int UnmatchedPixels(const QImage& a, const QImage& b, QPoint* firstUnmatched)
{
    int unmatched = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb colour = a.pixel(x, y);
            if (b.pixel(x, y) == colour)
                continue;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy) {
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const QPoint near(x + dx, y + dy);
                    found = b.rect().contains(near) && b.pixel(near) == colour;
                }
            }
            if (!found && unmatched++ == 0)
                *firstUnmatched = QPoint(x, y);
        }
    }
    return unmatched;
}

} // namespace

class ChartReductionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void drawsTheSamePixelsAsEverySegment_data();
    void drawsTheSamePixelsAsEverySegment();
    void keepsAtMostFourPointsPerColumnAndTheExtremes();
    void keepsOnePointBeyondEachEdgeOfTheRange();
    void cacheFollowsTheSeriesAndTheView();
    void visibleYRangeCountsOnlyVisiblePoints();
};

void ChartReductionTest::drawsTheSamePixelsAsEverySegment_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("zoomFirst"); // parts of the whole range, 0..1 for all of it
    QTest::addColumn<double>("zoomLast");
    QTest::newRow("300x200, 10 points") << QSize(300, 200) << 10 << 0.0 << 1.0;
    QTest::newRow("300x200, 1 000 points") << QSize(300, 200) << 1000 << 0.0 << 1.0;
    QTest::newRow("800x600, 1 000 points") << QSize(800, 600) << 1000 << 0.0 << 1.0;
    QTest::newRow("800x600, 200 000 points") << QSize(800, 600) << 200000 << 0.0 << 1.0;
    QTest::newRow("1920x1080, 200 000 points") << QSize(1920, 1080) << 200000 << 0.0 << 1.0;
    QTest::newRow("1920x1080, 200 000 points, zoomed inside")
        << QSize(1920, 1080) << 200000 << 0.4017 << 0.4523;
    QTest::newRow("800x600, 1 000 points, zoomed to a few")
        << QSize(800, 600) << 1000 << 0.5013 << 0.5071;
}

void ChartReductionTest::drawsTheSamePixelsAsEverySegment()
{
    QFETCH(QSize, size);
    QFETCH(int, points);
    QFETCH(double, zoomFirst);
    QFETCH(double, zoomLast);
    Chart chart;
    chart.title = QStringLiteral("Marche");
    AddRandomWalk(chart.addSeries(QStringLiteral("wide"), SeriesKind::Line, Qt::red, 2), points,
                  quint32(points));
    AddRandomWalk(chart.addSeries(QStringLiteral("thin"), SeriesKind::FastLine, Qt::blue, 1),
                  points, quint32(points) + 1);
    const XRange full = chart.fullXRange();
    chart.setVisibleXRange(
        {full.first + zoomFirst * full.span(), full.first + zoomLast * full.span()});

    ChartPaintOptions options;
    options.antialiasing = false;
    const RenderedChart reduced = RenderChart(chart, size, options);
    options.reduce = false;
    const RenderedChart reference = RenderChart(chart, size, options);

    QCOMPARE(reduced.geometry.plot, reference.geometry.plot);
    QVERIFY(CountColour(reference.image, reference.geometry.plot.toRect(), Qt::red) > 0);
    QPoint where;
    const int missing = UnmatchedPixels(reference.image, reduced.image, &where);
    QVERIFY2(missing == 0, qPrintable(QStringLiteral("%1 pixels of the full drawing have no "
                                                     "match near them, first at (%2, %3)")
                                          .arg(missing)
                                          .arg(where.x())
                                          .arg(where.y())));
    const int extra = UnmatchedPixels(reduced.image, reference.image, &where);
    QVERIFY2(extra == 0, qPrintable(QStringLiteral("%1 pixels of the reduced drawing have no "
                                                   "match near them, first at (%2, %3)")
                                        .arg(extra)
                                        .arg(where.x())
                                        .arg(where.y())));
}

void ChartReductionTest::keepsAtMostFourPointsPerColumnAndTheExtremes()
{
    Chart chart;
    ChartSeries& series = chart.addSeries(QStringLiteral("s"), SeriesKind::Line, Qt::red, 1);
    AddRandomWalk(series, 100000, 7);
    const int columns = 500;
    std::vector<quint32> kept;
    ReduceToColumns(series, chart.fullXRange(), columns, kept);
    QVERIFY(kept.size() <= size_t(4 * columns));
    QVERIFY(std::is_sorted(kept.begin(), kept.end()));
    QCOMPARE(kept.front(), 0u);
    QCOMPARE(kept.back(), quint32(series.count() - 1));
    const auto [low, high] = std::minmax_element(series.ys().begin(), series.ys().end());
    const auto keptIndex = [&](auto it) {
        return std::find(kept.begin(), kept.end(), quint32(it - series.ys().begin())) != kept.end();
    };
    QVERIFY(keptIndex(low));
    QVERIFY(keptIndex(high));
}

void ChartReductionTest::keepsOnePointBeyondEachEdgeOfTheRange()
{
    ChartSeries series(QStringLiteral("s"), SeriesKind::Line, Qt::red, 1);
    for (int i = 0; i < 100; ++i)
        series.addPoint(i, i % 7);
    std::vector<quint32> kept;
    ReduceToColumns(series, {10.5, 20.5}, 1000, kept);
    // 11..20 are visible; 10 and 21 carry the lines out to the plot's edges.
    QCOMPARE(kept.front(), 10u);
    QCOMPARE(kept.back(), 21u);
    QCOMPARE(kept.size(), size_t(12));
}

void ChartReductionTest::cacheFollowsTheSeriesAndTheView()
{
    ChartSeries series(QStringLiteral("s"), SeriesKind::Line, Qt::red, 1);
    for (int i = 0; i < 1000; ++i)
        series.addPoint(i, i % 10);
    const XRange all{0, 999};
    const std::vector<quint32> first = ReducedPoints(series, all, 100);
    QVERIFY(first.size() <= 400);
    QCOMPARE(ReducedPoints(series, all, 100), first);

    // A new point, a new width and a new range each give a new reduction.
    series.addPoint(1000, 50);
    QCOMPARE(ReducedPoints(series, {0, 1000}, 100).back(), 1000u);
    QVERIFY(ReducedPoints(series, {0, 1000}, 1000).size() > first.size());
    QCOMPARE(ReducedPoints(series, {500, 600}, 1000).front(), 499u);
    series.clear();
    QVERIFY(ReducedPoints(series, {500, 600}, 1000).empty());
}

void ChartReductionTest::visibleYRangeCountsOnlyVisiblePoints()
{
    ChartSeries series(QStringLiteral("s"), SeriesKind::Line, Qt::red, 1);
    const double ys[] = {100, 3, 5, 4, -50};
    for (int i = 0; i < 5; ++i)
        series.addPoint(i, ys[i]);
    const YRange inside = VisibleYRange(series, {0.5, 3.5});
    QVERIFY(inside.any);
    QCOMPARE(inside.min, 3.0);
    QCOMPARE(inside.max, 5.0);
    QVERIFY(!VisibleYRange(series, {1.2, 1.8}).any);
    series.addPoint(5, 7); // the cache must see the change
    QCOMPARE(VisibleYRange(series, {0.5, 3.5}).max, 5.0);
    QCOMPARE(VisibleYRange(series, {0.5, 5}).max, 7.0);
}

QTEST_MAIN(ChartReductionTest)
#include "tst_chart_reduction.moc"
