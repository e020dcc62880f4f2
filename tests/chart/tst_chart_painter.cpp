// What a painting shows, read back from its pixels: segment and legend colours, the empty chart,
// the bottom labels' orientation, the left axis's range, and sizes on devices of any resolution.
#include "analysis/chart/chart_painter.h"
#include "chart_images.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QTest>

namespace
{

ChartPaintOptions Aliased()
{
    ChartPaintOptions options;
    options.antialiasing = false;
    return options;
}

// Whether the colour is within one pixel of the point.
bool ColourNear(const QImage& image, QPointF at, QColor colour)
{
    return CountColour(image, QRect(at.toPoint() - QPoint(1, 1), QSize(3, 3)), colour) > 0;
}

// The area right of the plot, where the legend stands.
QRect LegendArea(const RenderedChart& rendered)
{
    const QRect plot = rendered.geometry.plot.toRect();
    return QRect(QPoint(plot.right() + 2, 0), rendered.image.rect().bottomRight());
}

// Thickness, in pixels, of the horizontal run of that colour crossing column x.
int ThicknessAt(const QImage& image, int x, QColor colour)
{
    int thickness = 0;
    for (int y = 0; y < image.height(); ++y)
        thickness += image.pixel(x, y) == colour.rgb() ? 1 : 0;
    return thickness;
}

// The chart in an 800x500 (at 96 dpi) picture of that resolution: the same physical size.
RenderedChart RenderAtDpi(const Chart& chart, int dpi)
{
    RenderedChart rendered{QImage(QSize(800, 500) * dpi / 96, QImage::Format_RGB32), {}};
    rendered.image.setDotsPerMeterX(qRound(dpi / 0.0254));
    rendered.image.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter painter(&rendered.image);
    rendered.geometry = PaintChart(painter, QRectF(rendered.image.rect()), chart, Aliased());
    return rendered;
}

QRectF RelativeTo(const QRectF& rect, QSizeF size)
{
    return {rect.left() / size.width(), rect.top() / size.height(), rect.width() / size.width(),
            rect.height() / size.height()};
}

} // namespace

class ChartPainterTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void segmentTakesTheColourOfThePointItEndsAt();
    void lonePointIsADotInItsColour();
    void curveInPointColoursLegendInSeriesColour_data();
    void curveInPointColoursLegendInSeriesColour();
    void emptyChartShowsTitleAxesAndLegend();
    void bottomLabelsFollowTheOrientation();
    void leftAxisHoldsTheVisibleDataAndThresholds_data();
    void leftAxisHoldsTheVisibleDataAndThresholds();
    void sizesFollowTheResolution_data();
    void sizesFollowTheResolution();
    void paintsOnAPdfPageInTheSameProportions();
};

void ChartPainterTest::segmentTakesTheColourOfThePointItEndsAt()
{
    Chart chart;
    ChartSeries& series = chart.addSeries(QStringLiteral("s"), SeriesKind::Line, Qt::blue, 3);
    series.addPoint(0, 0, QColor(255, 0, 0)); // starts nothing coloured
    series.addPoint(1, 10, QColor(0, 128, 0));
    series.addPoint(2, 0); // the series' own colour
    series.addPoint(3, 10, QColor(255, 0, 255));
    const RenderedChart rendered = RenderChart(chart, QSize(600, 400), Aliased());
    const ChartGeometry& g = rendered.geometry;
    QVERIFY(ColourNear(rendered.image, g.pixel(0.5, 5), QColor(0, 128, 0)));
    QVERIFY(ColourNear(rendered.image, g.pixel(1.5, 5), Qt::blue));
    QVERIFY(ColourNear(rendered.image, g.pixel(2.5, 5), QColor(255, 0, 255)));
    QCOMPARE(CountColour(rendered.image, g.plot.toRect(), QColor(255, 0, 0)), 0);
}

void ChartPainterTest::lonePointIsADotInItsColour()
{
    // One record: the curve, and each threshold, have a single point and no segment.
    Chart chart;
    chart.addSeries(QStringLiteral("curve"), SeriesKind::Line, Qt::blue, 1)
        .addPoint(0, 31.5, QColor(255, 0, 0));
    chart.addSeries(QStringLiteral("high"), SeriesKind::Line, QColor(0, 128, 0), 1).addPoint(0, 30);
    const RenderedChart rendered = RenderChart(chart, QSize(600, 400), Aliased());
    const ChartGeometry& g = rendered.geometry;
    const QRect plot = g.plot.toRect();
    QVERIFY(g.yFirst < 30 && g.yLast > 31.5);
    QVERIFY(ColourNear(rendered.image, g.pixel(0, 31.5), QColor(255, 0, 0)));
    QVERIFY(ColourNear(rendered.image, g.pixel(0, 30), QColor(0, 128, 0)));
    // A dot, not a line across, and in the point's colour, not the series'.
    QVERIFY(CountColour(rendered.image, plot, QColor(255, 0, 0)) >= 20);
    QVERIFY(CountColour(rendered.image, plot, QColor(255, 0, 0)) < 100);
    QCOMPARE(CountColour(rendered.image, plot, Qt::blue), 0);
}

void ChartPainterTest::curveInPointColoursLegendInSeriesColour_data()
{
    QTest::addColumn<QColor>("seriesColour");
    QTest::addColumn<QColor>("pointColour");
    QTest::addColumn<int>("rows");
    QTest::newRow("temperature: red points on a red series")
        << QColor(Qt::red) << QColor(255, 0, 0) << 500;
    QTest::newRow("humidity: green points on a blue series")
        << QColor(Qt::blue) << QColor(0, 128, 0) << 500;
    QTest::newRow("humidity, reduced: 200 000 rows")
        << QColor(Qt::blue) << QColor(0, 128, 0) << 200000;
}

void ChartPainterTest::curveInPointColoursLegendInSeriesColour()
{
    QFETCH(QColor, seriesColour);
    QFETCH(QColor, pointColour);
    QFETCH(int, rows);
    Chart chart;
    CurveChartSetup setup;
    setup.curveColour = seriesColour;
    setup.pointColour = pointColour;
    setup.lowColour = Qt::yellow; // nothing else in the series' colour
    FillCurveChart(chart, rows, setup);
    const RenderedChart rendered = RenderChart(chart, QSize(1000, 600), Aliased());
    const QRect plot = rendered.geometry.plot.toRect();
    QVERIFY(CountColour(rendered.image, plot, pointColour) > plot.width());
    if (seriesColour != pointColour)
        QCOMPARE(CountColour(rendered.image, plot, seriesColour), 0);
    QVERIFY(CountColour(rendered.image, LegendArea(rendered), seriesColour) > 10);
    if (seriesColour != pointColour)
        QCOMPARE(CountColour(rendered.image, LegendArea(rendered), pointColour), 0);
}

void ChartPainterTest::emptyChartShowsTitleAxesAndLegend()
{
    Chart chart;
    chart.title = QStringLiteral("Température");
    chart.gradientEndColour = QColor(255, 255, 191);
    chart.addSeries(QStringLiteral("Series1"), SeriesKind::Line, Qt::red, 2);
    chart.addSeries(QStringLiteral("t_alarm_l"), SeriesKind::FastLine, Qt::blue, 1);
    const RenderedChart rendered = RenderChart(chart, QSize(640, 400), Aliased());
    const ChartGeometry& g = rendered.geometry;
    QCOMPARE(g.x, Chart::EmptyXRange);
    QCOMPARE(g.yFirst, Chart::EmptyYFirst);
    QCOMPARE(g.yLast, Chart::EmptyYLast);
    const QRect plot = g.plot.toRect();
    const QImage& image = rendered.image;
    QVERIFY2(CountDark(image, QRect(plot.left(), 0, plot.width(), plot.top() - 10)) > 20, "title");
    QVERIFY2(CountDark(image, QRect(0, plot.top(), plot.left() - 2, plot.height())) > 20,
             "left axis texts");
    QVERIFY2(CountDark(image, QRect(plot.left(), plot.bottom() + 2, plot.width(),
                                    image.height() - plot.bottom() - 2)) > 20,
             "bottom axis texts");
    QVERIFY2(CountColour(image, LegendArea(rendered), Qt::red) > 10, "legend mark of Series1");
    QVERIFY2(CountColour(image, LegendArea(rendered), Qt::blue) > 10, "legend mark of t_alarm_l");
    QVERIFY2(CountDark(image, LegendArea(rendered)) > 20, "legend names");
    // The gradient ends in its colour at the bottom.
    QCOMPARE(image.pixelColor(2, image.height() - 1), QColor(255, 255, 191));
}

void ChartPainterTest::bottomLabelsFollowTheOrientation()
{
    QSize labelBounds[2];
    for (LabelOrientation orientation :
         {LabelOrientation::Horizontal, LabelOrientation::Vertical}) {
        Chart chart;
        chart.bottomLabels = orientation;
        FillCurveChart(chart, 300);
        const RenderedChart rendered = RenderChart(chart, QSize(900, 500), Aliased());
        const QRect plot = rendered.geometry.plot.toRect();
        const QRect under(plot.left(), plot.bottom() + 3, plot.width(),
                          rendered.image.height() - plot.bottom() - 3);
        labelBounds[int(orientation)] = DarkBounds(rendered.image, under).size();
        // Every label stays inside the image.
        QVERIFY(DarkBounds(rendered.image, under).bottom() < rendered.image.height() - 1);
    }
    const QSize horizontal = labelBounds[int(LabelOrientation::Horizontal)];
    const QSize vertical = labelBounds[int(LabelOrientation::Vertical)];
    QVERIFY(!horizontal.isEmpty() && !vertical.isEmpty());
    // "300  4/3" is several times wider than high: turned, it stands taller.
    QVERIFY2(
        vertical.height() > 2 * horizontal.height(),
        qPrintable(QStringLiteral("%1 vs %2").arg(vertical.height()).arg(horizontal.height())));
}

void ChartPainterTest::leftAxisHoldsTheVisibleDataAndThresholds_data()
{
    QTest::addColumn<double>("zoomFirst");
    QTest::addColumn<double>("zoomLast");
    QTest::addColumn<double>("low");  // must be shown
    QTest::addColumn<double>("high"); // must be shown
    QTest::addColumn<double>("top");  // the axis must stop below this
    // Rows 0..99 between 19 and 25, a spike of 80 at row 90, thresholds 20 and 30.
    QTest::newRow("everything") << 0.0 << 99.0 << 19.0 << 80.0 << 100.0;
    QTest::newRow("zoomed away from the spike") << 10.0 << 50.0 << 19.0 << 30.0 << 40.0;
}

void ChartPainterTest::leftAxisHoldsTheVisibleDataAndThresholds()
{
    QFETCH(double, zoomFirst);
    QFETCH(double, zoomLast);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, top);
    Chart chart;
    ChartSeries& curve = chart.addSeries(QStringLiteral("c"), SeriesKind::Line, Qt::red, 2);
    ChartSeries& high30 = chart.addSeries(QStringLiteral("h"), SeriesKind::FastLine, Qt::green, 1);
    ChartSeries& low20 = chart.addSeries(QStringLiteral("l"), SeriesKind::FastLine, Qt::blue, 1);
    for (int r = 0; r < 100; ++r) {
        curve.addPoint(r, r == 90 ? 80 : 19 + r % 7);
        high30.addPoint(r, 30);
        low20.addPoint(r, 20);
    }
    chart.setVisibleXRange({zoomFirst, zoomLast});
    const ChartGeometry g = RenderChart(chart, QSize(800, 500)).geometry;
    QVERIFY2(g.yFirst < low && g.yLast > high,
             qPrintable(QStringLiteral("%1 .. %2").arg(g.yFirst).arg(g.yLast)));
    QVERIFY(g.yLast < top);
}

void ChartPainterTest::sizesFollowTheResolution_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("screen, 96 dpi") << 96;
    QTest::newRow("192 dpi") << 192;
    QTest::newRow("288 dpi") << 288;
}

void ChartPainterTest::sizesFollowTheResolution()
{
    QFETCH(int, dpi);
    Chart chart;
    chart.title = QStringLiteral("Humidité");
    FillCurveChart(chart, 200);
    const RenderedChart screen = RenderAtDpi(chart, 96);
    const RenderedChart rendered = RenderAtDpi(chart, dpi);
    const QRectF& plot = rendered.geometry.plot;
    // The 1-pixel threshold lines are dpi / 96 pixels thick.
    QCOMPARE(ThicknessAt(rendered.image, int(plot.center().x()), Qt::green), dpi / 96);
    // Texts and margins grow alike: the plot keeps its place in the picture.
    const QRectF relative = RelativeTo(plot, rendered.image.size());
    const QRectF expected = RelativeTo(screen.geometry.plot, screen.image.size());
    QVERIFY2(qAbs(relative.left() - expected.left()) < 0.01 &&
                 qAbs(relative.top() - expected.top()) < 0.01 &&
                 qAbs(relative.width() - expected.width()) < 0.02 &&
                 qAbs(relative.height() - expected.height()) < 0.02,
             qPrintable(QStringLiteral("plot at %1,%2 %3x%4 of the picture")
                            .arg(relative.left())
                            .arg(relative.top())
                            .arg(relative.width())
                            .arg(relative.height())));
}

void ChartPainterTest::paintsOnAPdfPageInTheSameProportions()
{
    Chart chart;
    chart.title = QStringLiteral("Température");
    chart.bottomLabels = LabelOrientation::Vertical;
    FillCurveChart(chart, 1000);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter(&writer);
    const QRectF page(QPointF(0, 0), QSizeF(writer.width(), writer.height()));
    const ChartGeometry onPage = PaintChart(painter, page, chart);
    painter.end();
    QVERIFY(pdf.data().startsWith("%PDF"));
    QVERIFY(page.contains(onPage.plot));

    // A 96-dpi picture of the page's physical size lays out alike.
    const QSize screenSize = (page.size() * 96 / 1200).toSize();
    const ChartGeometry onScreen = RenderChart(chart, screenSize).geometry;
    QVERIFY(qAbs(onPage.plot.left() / page.width() - onScreen.plot.left() / screenSize.width()) <
            0.01);
    QVERIFY(qAbs(onPage.plot.width() / page.width() - onScreen.plot.width() / screenSize.width()) <
            0.02);
    QVERIFY(qAbs(onPage.plot.height() / page.height() -
                 onScreen.plot.height() / screenSize.height()) < 0.02);
}

QTEST_MAIN(ChartPainterTest)
#include "tst_chart_painter.moc"
