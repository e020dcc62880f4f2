// Axis steps and texts: round value steps, tick texts in the regional format, and the row step
// that keeps the bottom labels apart.
#include "analysis/chart/chart_ticks.h"

#include <QTest>
#include <vector>

class ChartTicksTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void niceStep_data();
    void niceStep();
    void scaleAxis_data();
    void scaleAxis();
    void tickText_data();
    void tickText();
    void rowStepsRunOneTwoFive();
    void chooseRowStep_data();
    void chooseRowStep();
};

void ChartTicksTest::niceStep_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("expected");
    QTest::newRow("exactly 1") << 1.0 << 1.0;
    QTest::newRow("just above 1") << 1.01 << 2.0;
    QTest::newRow("2.2 -> 2.5") << 2.2 << 2.5;
    QTest::newRow("2.6 -> 5") << 2.6 << 5.0;
    QTest::newRow("7 -> 10") << 7.0 << 10.0;
    QTest::newRow("0.03 -> 0.05") << 0.03 << 0.05;
    QTest::newRow("0.0021 -> 0.0025") << 0.0021 << 0.0025;
    QTest::newRow("1800 -> 2000") << 1800.0 << 2000.0;
    QTest::newRow("0.1 + 0.2 -> 0.5") << 0.1 + 0.2 << 0.5;
    QTest::newRow("zero -> 1") << 0.0 << 1.0;
}

void ChartTicksTest::niceStep()
{
    QFETCH(double, minimum);
    QFETCH(double, expected);
    QCOMPARE(NiceStep(minimum), expected);
}

void ChartTicksTest::scaleAxis_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("maxTicks");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("decimals");
    QTest::newRow("temperatures") << 18.3 << 31.2 << 8 << 18.0 << 32.0 << 2.0 << 0;
    QTest::newRow("thresholds on ticks") << 20.0 << 30.0 << 11 << 20.0 << 30.0 << 1.0 << 0;
    QTest::newRow("quarter step") << 0.1 << 1.9 << 9 << 0.0 << 2.0 << 0.25 << 2;
    QTest::newRow("2.5 needs one decimal") << 0.0 << 20.0 << 9 << 0.0 << 20.0 << 2.5 << 1;
    QTest::newRow("25 needs none") << 0.0 << 200.0 << 9 << 0.0 << 200.0 << 25.0 << 0;
    QTest::newRow("negative") << -12.0 << -3.0 << 4 << -15.0 << 0.0 << 5.0 << 0;
    QTest::newRow("flat range widened") << 25.0 << 25.0 << 5 << 24.0 << 26.0 << 0.5 << 1;
    QTest::newRow("small values") << 0.012 << 0.018 << 4 << 0.012 << 0.018 << 0.002 << 3;
}

void ChartTicksTest::scaleAxis()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, maxTicks);
    const AxisScale scale = ScaleAxis(min, max, maxTicks);
    QTEST(scale.first, "first");
    QTEST(scale.last, "last");
    QTEST(scale.step, "step");
    QTEST(scale.decimals, "decimals");
    QVERIFY(scale.first <= min && scale.last >= max);
    QVERIFY(scale.tickCount() <= maxTicks + 1);
}

void ChartTicksTest::tickText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("French decimal") << "fr_FR" << 2.5 << 1 << "2,5";
    QTest::newRow("English decimal") << "en_US" << 2.5 << 1 << "2.5";
    QTest::newRow("French quarter") << "fr_FR" << 0.25 << 2 << "0,25";
    QTest::newRow("no grouping (French)") << "fr_FR" << 12000.0 << 0 << "12000";
    QTest::newRow("no grouping (English)") << "en_US" << 12000.0 << 0 << "12000";
    QTest::newRow("rounding noise") << "fr_FR" << 0.1 + 0.2 << 1 << "0,3";
    QTest::newRow("never -0") << "en_US" << -1e-12 << 1 << "0.0";
    QTest::newRow("negative") << "fr_FR" << -7.5 << 1 << "-7,5";
}

void ChartTicksTest::tickText()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(TickText(value, decimals, QLocale(locale)), expected);
}

void ChartTicksTest::rowStepsRunOneTwoFive()
{
    std::vector<qsizetype> steps{1};
    while (steps.size() < 10)
        steps.push_back(NextRowStep(steps.back()));
    QCOMPARE(steps, (std::vector<qsizetype>{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}));
}

void ChartTicksTest::chooseRowStep_data()
{
    // Rows 0..rows-1, evenly `spacing` pixels apart, each label `width` pixels wide and
    // centred on its row, at least `gap` pixels between two labels.
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("gap");
    QTest::addColumn<qsizetype>("expected");
    QTest::newRow("room for every row") << 20 << 30.0 << 20.0 << 6.0 << qsizetype(1);
    QTest::newRow("exactly the gap") << 20 << 26.0 << 20.0 << 6.0 << qsizetype(1);
    QTest::newRow("one pixel short") << 20 << 25.0 << 20.0 << 6.0 << qsizetype(2);
    QTest::newRow("every fifth") << 100 << 10.0 << 25.0 << 4.0 << qsizetype(5);
    QTest::newRow("turned labels, 500 rows in 1100 px")
        << 500 << 2.2 << 15.0 << 6.0 << qsizetype(10);
    QTest::newRow("half a million rows in 1800 px")
        << 500000 << 1800.0 / 500000 << 15.0 << 6.0 << qsizetype(10000);
    QTest::newRow("one row") << 1 << 10.0 << 500.0 << 6.0 << qsizetype(1);
}

void ChartTicksTest::chooseRowStep()
{
    QFETCH(int, rows);
    QFETCH(double, spacing);
    QFETCH(double, width);
    QFETCH(double, gap);
    int measured = 0;
    const auto extent = [&](qsizetype row) {
        ++measured;
        const double at = row * spacing;
        return std::pair<double, double>(at - width / 2, at + width / 2);
    };
    const qsizetype step = ChooseRowStep(0, rows - 1, extent, gap);
    QTEST(step, "expected");
    // Steps far too small give up at the first overlap instead of measuring every row.
    QVERIFY2(measured < 4000, qPrintable(QString::number(measured)));
}

QTEST_MAIN(ChartTicksTest)
#include "tst_chart_ticks.moc"
