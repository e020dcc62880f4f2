// Zoom, pan and rubber band in pixels of a known plot, back to the whole range, and the nearest
// point to a pixel.
#include "analysis/chart/chart_navigation.h"

#include <QTest>

namespace
{

// Rows 0..100 of a curve y = x and a line at 80, shown across a 1000 x 500 plot at (100, 50):
// 10 pixels per row, 5 pixels per y unit from 0 to 100.
struct NavigationFixture {
    Chart chart;
    ChartSeries& curve = chart.addSeries(QStringLiteral("curve"), SeriesKind::Line, Qt::red, 2);
    ChartSeries& line = chart.addSeries(QStringLiteral("line"), SeriesKind::FastLine, Qt::green, 1);

    NavigationFixture()
    {
        for (int r = 0; r <= 100; ++r) {
            curve.addPoint(r, r);
            line.addPoint(r, 80);
        }
    }

    // The geometry a painting would give for the current view.
    ChartGeometry geometry() const
    {
        return {QRectF(100, 50, 1000, 500), chart.visibleXRange(), 0, 100};
    }
};

} // namespace

class ChartNavigationTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void zoomAroundKeepsTheDataUnderThePointer_data();
    void zoomAroundKeepsTheDataUnderThePointer();
    void panMovesByPixelsAndStopsAtTheEnds_data();
    void panMovesByPixelsAndStopsAtTheEnds();
    void rubberBandShowsTheRangeBetweenItsEdges_data();
    void rubberBandShowsTheRangeBetweenItsEdges();
    void resetShowsTheWholeRange();
    void nearestPoint_data();
    void nearestPoint();
};

void ChartNavigationTest::zoomAroundKeepsTheDataUnderThePointer_data()
{
    QTest::addColumn<double>("pixelX");
    QTest::addColumn<double>("factor");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");
    QTest::newRow("in by 2 at the middle") << 600.0 << 2.0 << 25.0 << 75.0;
    QTest::newRow("in by 4 at the left edge") << 100.0 << 4.0 << 0.0 << 25.0;
    QTest::newRow("in by 2 at a quarter") << 350.0 << 2.0 << 12.5 << 62.5;
    QTest::newRow("out beyond the whole") << 600.0 << 0.5 << 0.0 << 100.0;
}

void ChartNavigationTest::zoomAroundKeepsTheDataUnderThePointer()
{
    QFETCH(double, pixelX);
    QFETCH(double, factor);
    QFETCH(double, first);
    QFETCH(double, last);
    NavigationFixture f;
    ZoomAround(f.chart, f.geometry(), pixelX, factor);
    QCOMPARE(f.chart.visibleXRange(), (XRange{first, last}));
}

void ChartNavigationTest::panMovesByPixelsAndStopsAtTheEnds_data()
{
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");
    // From 25..75: 20 pixels per row.
    QTest::newRow("right by 200 px shows earlier rows") << 200.0 << 15.0 << 65.0;
    QTest::newRow("left by 100 px shows later rows") << -100.0 << 30.0 << 80.0;
    QTest::newRow("far left stops at the end") << -10000.0 << 50.0 << 100.0;
    QTest::newRow("far right stops at the start") << 10000.0 << 0.0 << 50.0;
}

void ChartNavigationTest::panMovesByPixelsAndStopsAtTheEnds()
{
    QFETCH(double, dx);
    QFETCH(double, first);
    QFETCH(double, last);
    NavigationFixture f;
    f.chart.setVisibleXRange({25, 75});
    PanByPixels(f.chart, f.geometry(), dx);
    QCOMPARE(f.chart.visibleXRange(), (XRange{first, last}));
}

void ChartNavigationTest::rubberBandShowsTheRangeBetweenItsEdges_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");
    QTest::newRow("left to right") << 300.0 << 500.0 << 20.0 << 40.0;
    QTest::newRow("right to left") << 500.0 << 300.0 << 20.0 << 40.0;
    QTest::newRow("beyond the plot's edges") << 0.0 << 350.0 << 0.0 << 25.0;
}

void ChartNavigationTest::rubberBandShowsTheRangeBetweenItsEdges()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, first);
    QFETCH(double, last);
    NavigationFixture f;
    ZoomToPixels(f.chart, f.geometry(), from, to);
    QCOMPARE(f.chart.visibleXRange(), (XRange{first, last}));
    // A second band within the first zooms further, in the new geometry.
    ZoomToPixels(f.chart, f.geometry(), 100, 600);
    QCOMPARE(f.chart.visibleXRange(), (XRange{first, (first + last) / 2}));
}

void ChartNavigationTest::resetShowsTheWholeRange()
{
    NavigationFixture f;
    ZoomAround(f.chart, f.geometry(), 400, 8);
    PanByPixels(f.chart, f.geometry(), 50);
    QVERIFY(f.chart.isZoomed());
    f.chart.resetZoom();
    QVERIFY(!f.chart.isZoomed());
    QCOMPARE(f.chart.visibleXRange(), (XRange{0, 100}));
    // Panning the whole range does nothing.
    PanByPixels(f.chart, f.geometry(), 300);
    QCOMPARE(f.chart.visibleXRange(), (XRange{0, 100}));
}

void ChartNavigationTest::nearestPoint_data()
{
    QTest::addColumn<QPointF>("pixel");
    QTest::addColumn<bool>("zoomed"); // to rows 50..100
    QTest::addColumn<int>("series");  // -1: none
    QTest::addColumn<int>("index");
    // Row r of the curve is drawn at (100 + 10 r, 550 - 5 r); the line at y = 150.
    QTest::newRow("on the curve") << QPointF(402, 398) << false << 0 << 30;
    QTest::newRow("on the line") << QPointF(398, 152) << false << 1 << 30;
    QTest::newRow("between two rows, nearer the later") << QPointF(407, 150) << false << 1 << 31;
    QTest::newRow("near the crossing, the nearer series") << QPointF(910, 144) << false << 0 << 81;
    QTest::newRow("far from both") << QPointF(300, 150 + 100) << false << -1 << -1;
    // Zoomed to 50..100, 20 pixels per row: row 60 at x = 300.
    QTest::newRow("zoomed: the line") << QPointF(301, 150) << true << 1 << 60;
    QTest::newRow("zoomed: rows before the view are not found")
        << QPointF(75, 310) << true << -1 << -1;
}

void ChartNavigationTest::nearestPoint()
{
    QFETCH(QPointF, pixel);
    QFETCH(bool, zoomed);
    QFETCH(int, series);
    QFETCH(int, index);
    NavigationFixture f;
    if (zoomed)
        f.chart.setVisibleXRange({50, 100});
    const std::optional<NearestPoint> nearest = FindNearestPoint(f.chart, f.geometry(), pixel, 20);
    QCOMPARE(nearest.has_value(), series >= 0);
    if (!nearest)
        return;
    QCOMPARE(nearest->series, series);
    QCOMPARE(nearest->index, qsizetype(index));
    QCOMPARE(nearest->pixel, f.geometry().pixel(index, f.chart.series(series).y(index)));
}

QTEST_MAIN(ChartNavigationTest)
#include "tst_chart_navigation.moc"
