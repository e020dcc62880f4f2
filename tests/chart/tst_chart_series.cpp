// Series data: labels and point colours held compactly must come back as they went in, whatever
// point first carries one; changes bump the revision; the chart's x range and zoom limits.
#include "analysis/chart/chart.h"

#include <QTest>

class ChartSeriesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void labelsComeBackAsAdded_data();
    void labelsComeBackAsAdded();
    void pointColoursComeBackAsAdded();
    void clearEmptiesAndEveryChangeBumpsTheRevision();
    void xRangeAndZoomStayWithinTheData();
};

void ChartSeriesTest::labelsComeBackAsAdded_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("every point, first included") << QStringList{"1  5/3", "2  5/3", "3  6/3"};
    QTest::newRow("labels start at the third point") << QStringList{"", "", "3  5/3", "4  5/3"};
    QTest::newRow("gaps between labels") << QStringList{"a", "", "c", ""};
    QTest::newRow("accents and symbols") << QStringList{"12  été", "13  5/3 °C", "ça"};
    QTest::newRow("long label") << QStringList{QString(100, QLatin1Char('x')), "y"};
}

void ChartSeriesTest::labelsComeBackAsAdded()
{
    QFETCH(QStringList, labels);
    ChartSeries series(QStringLiteral("s"), SeriesKind::Line, Qt::red, 2);
    for (int i = 0; i < labels.size(); ++i)
        series.addPoint(i, i * 10, ChartSeries::ownColour(), labels[i]);
    QVERIFY(series.hasLabels());
    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(series.label(i), labels[i]);
    QCOMPARE(series.label(labels.size()), QString());
}

void ChartSeriesTest::pointColoursComeBackAsAdded()
{
    ChartSeries series(QStringLiteral("LineSeries2"), SeriesKind::Line, Qt::blue, 2);
    series.addPoint(0, 1, QColor(0, 128, 0));
    series.addPoint(1, 2);
    series.addPoint(2, 3, QColor(255, 0, 0));
    series.addPoint(3, 4, QColor(0, 128, 0));
    QCOMPARE(series.pointColour(0), QColor(0, 128, 0));
    QCOMPARE(series.pointColour(1), QColor(Qt::blue));
    QCOMPARE(series.colourIndex(1), quint8(0));
    QCOMPARE(series.pointColour(2), QColor(255, 0, 0));
    QCOMPARE(series.colourIndex(3), series.colourIndex(0)); // one palette entry per colour
    QVERIFY(!series.hasLabels());

    // A series whose points all take its own colour follows a change of that colour.
    ChartSeries threshold(QStringLiteral("t_alarm_h"), SeriesKind::FastLine, Qt::green, 1);
    threshold.addPoint(0, 30);
    threshold.setColour(Qt::darkGreen);
    QCOMPARE(threshold.pointColour(0), QColor(Qt::darkGreen));
}

void ChartSeriesTest::clearEmptiesAndEveryChangeBumpsTheRevision()
{
    ChartSeries series(QStringLiteral("s"), SeriesKind::Line, Qt::red, 2);
    quint64 revision = series.revision();
    const auto bumped = [&] {
        const bool changed = series.revision() != revision;
        revision = series.revision();
        return changed;
    };
    series.addPoint(5, 1, Qt::red, u"1  5/3");
    QVERIFY(bumped());
    series.addPoint(4, 2); // x going back
    QVERIFY(bumped());
    QVERIFY(!series.isXAscending());
    series.setPenWidth(3);
    QVERIFY(bumped());
    series.clear();
    QVERIFY(bumped());
    QCOMPARE(series.count(), 0);
    QVERIFY(!series.hasLabels());
    QVERIFY(series.isXAscending());
    series.addPoint(0, 7);
    QCOMPARE(series.pointColour(0), QColor(Qt::red));
    QCOMPARE(series.label(0), QString());
}

void ChartSeriesTest::xRangeAndZoomStayWithinTheData()
{
    Chart chart;
    QVERIFY(!chart.dataXRange());
    QCOMPARE(chart.visibleXRange(), Chart::EmptyXRange);
    ChartSeries& a = chart.addSeries(QStringLiteral("a"), SeriesKind::Line, Qt::red, 2);
    ChartSeries& b = chart.addSeries(QStringLiteral("b"), SeriesKind::FastLine, Qt::blue, 1);
    for (int i = 0; i <= 100; ++i)
        a.addPoint(i, i);
    b.addPoint(-10, 0);
    b.addPoint(50, 0);
    QCOMPARE(chart.fullXRange(), (XRange{-10, 100}));
    QCOMPARE(chart.findSeries(QStringLiteral("b")), &b);

    chart.setVisibleXRange({90, 130}); // slides back inside, keeping its width
    QCOMPARE(chart.visibleXRange(), (XRange{60, 100}));
    chart.setVisibleXRange({-50, 200}); // wider than the data: the whole
    QVERIFY(!chart.isZoomed());
    chart.setVisibleXRange({60, 90});
    a.clear(); // the data shrinks away from under the zoom
    QCOMPARE(chart.visibleXRange(), (XRange{-10, 50}));
    b.clear();
    b.addPoint(7, 1); // a single x still spans some width
    QCOMPARE(chart.visibleXRange(), (XRange{6.5, 7.5}));
}

QTEST_MAIN(ChartSeriesTest)
#include "tst_chart_series.moc"
