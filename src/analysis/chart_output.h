#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class Chart;
class QPrinter;

// The picture formats a chart is saved in, in the order the save dialog offers them.
struct ChartImageFormat {
    QString filter;    // "PNG (*.png)"
    QString extension; // ".png"
    QByteArray writerFormat;
};
const QList<ChartImageFormat>& ChartImageFormats();
QStringList ChartImageFilters();

// The name with the extension of the chosen filter (1-based), added unless the name already
// ends with it, in any case; an unknown filter adds nothing.
QString WithImageExtension(const QString& fileName, int filterIndex);

// Renders the chart at that size and writes it in the format its name's extension says (BMP
// when none is known). The file is replaced whole or not at all; raises EFCreateError.
void SaveChartImage(const Chart& chart, QSize size, const QString& fileName);

// Prints the chart on one page of the printer, as vectors, scaled to fit within the page's
// margins with the proportions of the on-screen size; the page is turned to the chart's shape.
// Raises a French QuivelError when the printer cannot print.
void PrintChart(const Chart& chart, QSize screenSize, QPrinter& printer);
