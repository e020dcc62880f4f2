// The chart on screen driven by the mouse: wheel zoom around the pointer, rubber band, pan,
// double click back to the whole range, hover readout; each range change is signalled.
#include "analysis/chart_view.h"

#include <QApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace
{

// Rows 0..200 of a curve labelled "row  day/3" (values 20 + row / 10) and a threshold at 30.
void FillRows(Chart& chart)
{
    ChartSeries& curve = chart.addSeries(QStringLiteral("Series1"), SeriesKind::Line, Qt::red, 2);
    ChartSeries& high =
        chart.addSeries(QStringLiteral("t_alarm_h"), SeriesKind::FastLine, Qt::green, 1);
    for (int r = 0; r <= 200; ++r) {
        curve.addPoint(r, 20 + r / 10.0, QColor(255, 0, 0),
                       QString::number(r + 1) + QStringLiteral("  ") + QString::number(1 + r / 96) +
                           QStringLiteral("/3"));
        high.addPoint(r, 30);
    }
}

void SendMouse(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void Drag(QWidget& widget, Qt::MouseButton button, QPointF from, QPointF to)
{
    SendMouse(widget, QEvent::MouseButtonPress, from, button, button);
    SendMouse(widget, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, button);
    SendMouse(widget, QEvent::MouseMove, to, Qt::NoButton, button);
    SendMouse(widget, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

void Wheel(QWidget& widget, QPointF at, int notches)
{
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, notches * 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

class ChartViewTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void wheelZoomsAroundThePointer();
    void rubberBandShowsTheSelectedRows();
    void narrowDragIsAClickNotARange();
    void rightOrMiddleDragPans_data();
    void rightOrMiddleDragPans();
    void doubleClickShowsEverything();
    void hoverShowsRowLabelAndValue();

private:
    std::unique_ptr<ChartView> m_view;
    std::unique_ptr<QSignalSpy> m_ranges;
};

void ChartViewTest::init()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    m_view = std::make_unique<ChartView>();
    FillRows(m_view->chart());
    m_view->resize(900, 500);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_ranges = std::make_unique<QSignalSpy>(m_view.get(), &ChartView::visibleRangeChanged);
}

void ChartViewTest::cleanup()
{
    m_ranges.reset();
    m_view.reset();
    QLocale::setDefault(QLocale::c());
}

void ChartViewTest::wheelZoomsAroundThePointer()
{
    const ChartGeometry before = m_view->plotGeometry();
    const qreal atRow100 = before.pixelX(100);
    Wheel(*m_view, QPointF(atRow100, before.plot.center().y()), 2);
    const XRange zoomed = m_view->chart().visibleXRange();
    QVERIFY(m_view->chart().isZoomed());
    QVERIFY(qFuzzyCompare(zoomed.span(), 200 / (ChartView::WheelZoomFactor * 1.25)));
    // Row 100 stays where it was across the plot (whose edges may move with the axis texts).
    const double part = (atRow100 - before.plot.left()) / before.plot.width();
    QVERIFY(qFuzzyCompare((100 - zoomed.first) / zoomed.span(), part));
    QCOMPARE(m_ranges->count(), 1);
    QCOMPARE(m_ranges->at(0).at(0).toDouble(), zoomed.first);
    QCOMPARE(m_ranges->at(0).at(1).toDouble(), zoomed.last);

    Wheel(*m_view, QPointF(atRow100, before.plot.center().y()), -5); // out beyond the whole
    QVERIFY(!m_view->chart().isZoomed());
    QCOMPARE(m_ranges->count(), 2);
}

void ChartViewTest::rubberBandShowsTheSelectedRows()
{
    const ChartGeometry g = m_view->plotGeometry();
    const qreal y = g.plot.center().y();
    Drag(*m_view, Qt::LeftButton, QPointF(g.pixelX(120), y), QPointF(g.pixelX(40), y));
    const XRange range = m_view->chart().visibleXRange();
    QVERIFY2(qAbs(range.first - 40) < 0.5 && qAbs(range.last - 120) < 0.5,
             qPrintable(QStringLiteral("%1 .. %2").arg(range.first).arg(range.last)));
    QCOMPARE(m_ranges->count(), 1);
}

void ChartViewTest::narrowDragIsAClickNotARange()
{
    const QPointF at = m_view->plotGeometry().plot.center();
    Drag(*m_view, Qt::LeftButton, at, at + QPointF(ChartView::MinimumBandWidth - 1, 0));
    QVERIFY(!m_view->chart().isZoomed());
    QCOMPARE(m_ranges->count(), 0);
}

void ChartViewTest::rightOrMiddleDragPans_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void ChartViewTest::rightOrMiddleDragPans()
{
    QFETCH(Qt::MouseButton, button);
    m_view->chart().setVisibleXRange({100, 150});
    const ChartGeometry g = m_view->plotGeometry();
    const qreal tenRows = g.plot.width() / 5;
    const QPointF from = g.plot.center();
    // Dragging the content right by ten rows shows ten earlier rows.
    Drag(*m_view, button, from, from + QPointF(tenRows, 0));
    const XRange range = m_view->chart().visibleXRange();
    const double onePixel = 50 / g.plot.width(); // events carry whole pixels
    QVERIFY2(qAbs(range.first - 90) < onePixel && qAbs(range.span() - 50) < 1e-9,
             qPrintable(QStringLiteral("%1 .. %2").arg(range.first).arg(range.last)));
    QVERIFY(m_ranges->count() >= 1);
    QCOMPARE(m_ranges->last().at(0).toDouble(), range.first);
}

void ChartViewTest::doubleClickShowsEverything()
{
    m_view->chart().setVisibleXRange({100, 150});
    const QPointF at = m_view->plotGeometry().plot.center();
    SendMouse(*m_view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(*m_view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    SendMouse(*m_view, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(*m_view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QVERIFY(!m_view->chart().isZoomed());
    QCOMPARE(m_view->chart().visibleXRange(), (XRange{0, 200}));
    QCOMPARE(m_ranges->count(), 1);
    QCOMPARE(m_ranges->at(0).at(1).toDouble(), 200.0);
}

void ChartViewTest::hoverShowsRowLabelAndValue()
{
    const ChartGeometry g = m_view->plotGeometry();
    // Row 115 (the 116th) of the curve: 31.5, drawn above the threshold.
    const QPointF onCurve = g.pixel(115, 31.5) + QPointF(2, 1);
    SendMouse(*m_view, QEvent::MouseMove, onCurve, Qt::NoButton, Qt::NoButton);
    QCOMPARE(m_view->readoutText(), QStringLiteral("Series1\nLigne 116 : 116  2/3\n31,5"));
    SendMouse(*m_view, QEvent::MouseMove, g.pixel(20, 30), Qt::NoButton, Qt::NoButton);
    QCOMPARE(m_view->readoutText(), QStringLiteral("t_alarm_h\nLigne 21\n30"));
    // The readout is drawn: the widget's picture changes under it.
    const QImage withReadout = m_view->grab().toImage();
    SendMouse(*m_view, QEvent::MouseMove, QPointF(2, 2), Qt::NoButton, Qt::NoButton);
    QCOMPARE(m_view->readoutText(), QString());
    QVERIFY(m_view->grab().toImage() != withReadout);
    QCOMPARE(m_ranges->count(), 0);
}

QTEST_MAIN(ChartViewTest)
#include "tst_chart_view.moc"
