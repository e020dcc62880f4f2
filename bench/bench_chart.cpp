#include "bench.h"

#include "analysis/chart/chart.h"
#include "analysis/chart/chart_painter.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <malloc.h>
#include <memory>

#ifdef QUIVEL_HAVE_QTCHARTS
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QLineSeries>
#include <QValueAxis>
#endif

namespace
{

const QSize ImageSize(1920, 1080);
constexpr double ZoomPart = 0.1;

// What one engine took for one size.
struct ChartFigures {
    double fillMs = 0;
    double firstMs = 0;
    double againMs = 0;
    double zoomMs = 0;
    double memoryMiB = 0; // resident memory added by the chart and its series
};

// A temperature of the curve view's row r.
double Temperature(int r)
{
    return 22 + 4 * std::sin(r * 0.002) + (qint64(r) * 7919 % 23 - 11) * 0.05;
}

QString RowLabel(int r)
{
    const int minutes = r * 15;
    return QString::number(r + 1) + QStringLiteral("  ") +
           QString::number(1 + (minutes / 1440) % 28) + QLatin1Char('/') +
           QString::number(1 + (minutes / 40320) % 12);
}

double Milliseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Freed memory goes back to the system, so that resident sizes compare.
double SettledResidentMiB()
{
    malloc_trim(0);
    return CurrentResidentMiB();
}

template <class Step> double TimeMs(Step&& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return Milliseconds(timer);
}

// The labels as the curve view makes them, made beforehand: both engines are timed on storing
// and drawing the same data, not on making it.
std::vector<QString> RowLabels(int rows)
{
    std::vector<QString> labels;
    labels.reserve(size_t(rows));
    for (int r = 0; r < rows; ++r)
        labels.push_back(RowLabel(r));
    return labels;
}

ChartFigures MeasureOurs(const std::vector<QString>& labels, QImage& image)
{
    const int rows = int(labels.size());
    ChartFigures figures;
    const double before = SettledResidentMiB();
    auto chart = std::make_unique<Chart>();
    chart->title = QStringLiteral("Température");
    chart->gradientEndColour = QColor(255, 255, 191);
    chart->bottomLabels = LabelOrientation::Vertical;
    ChartSeries& curve = chart->addSeries(QStringLiteral("Series1"), SeriesKind::Line, Qt::red, 2);
    ChartSeries& high =
        chart->addSeries(QStringLiteral("t_alarm_h"), SeriesKind::FastLine, Qt::green, 1);
    ChartSeries& low =
        chart->addSeries(QStringLiteral("t_alarm_l"), SeriesKind::FastLine, Qt::blue, 1);
    figures.fillMs = TimeMs([&] {
        constexpr int LabelBytes = 14; // "500000  28/12"
        curve.reserve(rows, qsizetype(rows) * LabelBytes);
        high.reserve(rows);
        low.reserve(rows);
        const QColor red(255, 0, 0);
        for (int r = 0; r < rows; ++r) {
            curve.addPoint(r, Temperature(r), red, labels[size_t(r)]);
            high.addPoint(r, 30);
            low.addPoint(r, 20);
        }
    });
    QPainter painter(&image);
    const QRectF rect(image.rect());
    figures.firstMs = TimeMs([&] { PaintChart(painter, rect, *chart); });
    figures.againMs = TimeMs([&] { PaintChart(painter, rect, *chart); });
    figures.zoomMs = TimeMs([&] {
        const XRange full = chart->fullXRange();
        const double first = full.first + full.span() * (0.5 - ZoomPart / 2);
        chart->setVisibleXRange({first, first + full.span() * ZoomPart});
        PaintChart(painter, rect, *chart);
    });
    painter.end();
    figures.memoryMiB = CurrentResidentMiB() - before;
    return figures;
}

#ifdef QUIVEL_HAVE_QTCHARTS
// The same data in Qt Charts, drawn by its view into the same image. Qt Charts has no per-row
// labels (a value axis stands in) and no segment colours: it is asked for less.
ChartFigures MeasureQtCharts(int rows, QImage& image)
{
    ChartFigures figures;
    const double before = SettledResidentMiB();
    {
        auto* chart = new QChart;
        QChartView view(chart);
        view.setRenderHint(QPainter::Antialiasing);
        view.resize(ImageSize);
        chart->setTitle(QStringLiteral("Température"));
        auto* axisX = new QValueAxis;
        auto* axisY = new QValueAxis;
        chart->addAxis(axisX, Qt::AlignBottom);
        chart->addAxis(axisY, Qt::AlignLeft);
        figures.fillMs = TimeMs([&] {
            QList<QPointF> curve, high, low;
            curve.reserve(rows);
            high.reserve(rows);
            low.reserve(rows);
            for (int r = 0; r < rows; ++r) {
                curve.append(QPointF(r, Temperature(r)));
                high.append(QPointF(r, 30));
                low.append(QPointF(r, 20));
            }
            const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
            const QString names[] = {QStringLiteral("Series1"), QStringLiteral("t_alarm_h"),
                                     QStringLiteral("t_alarm_l")};
            const QList<QPointF>* points[] = {&curve, &high, &low};
            for (int s = 0; s < 3; ++s) {
                auto* series = new QLineSeries;
                series->setName(names[s]);
                series->setPen(QPen(colours[s], s == 0 ? 2 : 1));
                series->replace(*points[s]);
                chart->addSeries(series);
                series->attachAxis(axisX);
                series->attachAxis(axisY);
            }
            axisX->setRange(0, rows - 1);
            axisY->setRange(18, 32);
        });
        QPainter painter(&image);
        const auto render = [&] {
            QCoreApplication::processEvents(); // Qt Charts lays out on posted events
            view.render(&painter);
        };
        view.show();
        figures.firstMs = TimeMs(render);
        figures.againMs = TimeMs([&] { view.render(&painter); });
        figures.zoomMs = TimeMs([&] {
            const double first = (rows - 1) * (0.5 - ZoomPart / 2);
            axisX->setRange(first, first + (rows - 1) * ZoomPart);
            render();
        });
        painter.end();
        figures.memoryMiB = CurrentResidentMiB() - before;
    }
    QCoreApplication::processEvents();
    return figures;
}
#endif

// 500000 as "500 000", whatever the locale.
QString Count(int n)
{
    QString digits = QString::number(n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return digits;
}

void PrintLine(int rows, const char* measure, double ours, double peer, const char* unit)
{
    QString line = QStringLiteral("chart %1 points, %2: %3 %4")
                       .arg(Count(rows), QLatin1String(measure), QString::number(ours, 'f', 1),
                            QLatin1String(unit));
    if (peer >= 0) {
        line += QStringLiteral(", Qt Charts %1 %2, %3x")
                    .arg(QString::number(peer, 'f', 1), QLatin1String(unit),
                         QString::number(peer / std::max(ours, 0.01), 'f', 1));
    }
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

QUIVEL_BENCH("chart: curve and two thresholds into a 1920x1080 image, our engine vs Qt Charts")
{
#ifndef QUIVEL_HAVE_QTCHARTS
    std::printf("Qt Charts not found at configure time: our engine alone\n");
#endif
    std::printf("ratios: Qt Charts / ours (higher is better for us); both antialiased\n");
    QImage image(ImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    for (int rows : {5000, 50000, 500000}) {
        const ChartFigures ours = MeasureOurs(RowLabels(rows), image);
        ChartFigures peer{-1, -1, -1, -1, -1};
#ifdef QUIVEL_HAVE_QTCHARTS
        peer = MeasureQtCharts(rows, image);
#endif
        PrintLine(rows, "fill", ours.fillMs, peer.fillMs, "ms");
        PrintLine(rows, "first render", ours.firstMs, peer.firstMs, "ms");
        PrintLine(rows, "render again", ours.againMs, peer.againMs, "ms");
        PrintLine(rows, "zoom to 10 %", ours.zoomMs, peer.zoomMs, "ms");
        PrintLine(rows, "memory added", ours.memoryMiB, peer.memoryMiB, "MiB");
    }
}
