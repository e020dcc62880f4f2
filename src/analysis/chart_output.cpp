#include "analysis/chart_output.h"

#include "analysis/chart/chart_painter.h"
#include "common/errors.h"
#include "common/text_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPrinter>

namespace
{

// The layout of the chart on a page is the one of its window: 96-dpi pixels, scaled.
constexpr qreal ScreenDpi = 96;

QByteArray WriterFormatFor(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const ChartImageFormat& format : ChartImageFormats()) {
        if (format.extension.mid(1) == suffix)
            return format.writerFormat;
    }
    if (suffix == QLatin1String("jpeg"))
        return "jpg";
    return "bmp";
}

QImage RenderChart(const Chart& chart, QSize size)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintChart(painter, QRectF(QPointF(0, 0), QSizeF(image.size())), chart);
    return image;
}

} // namespace

const QList<ChartImageFormat>& ChartImageFormats()
{
    static const QList<ChartImageFormat> formats{
        {QStringLiteral("Bitmap (*.bmp)"), QStringLiteral(".bmp"), "bmp"},
        {QStringLiteral("PNG (*.png)"), QStringLiteral(".png"), "png"},
        {QStringLiteral("JPEG (*.jpg)"), QStringLiteral(".jpg"), "jpg"},
    };
    return formats;
}

QStringList ChartImageFilters()
{
    QStringList filters;
    for (const ChartImageFormat& format : ChartImageFormats())
        filters.append(format.filter);
    return filters;
}

QString WithImageExtension(const QString& fileName, int filterIndex)
{
    const QList<ChartImageFormat>& formats = ChartImageFormats();
    if (filterIndex < 1 || filterIndex > formats.size())
        return fileName;
    const QString& extension = formats[filterIndex - 1].extension;
    if (fileName.endsWith(extension, Qt::CaseInsensitive))
        return fileName;
    // "photo.jpeg" is already a JPEG name.
    if (extension == QLatin1String(".jpg") &&
        fileName.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive))
        return fileName;
    return fileName + extension;
}

void SaveChartImage(const Chart& chart, QSize size, const QString& fileName)
{
    // Encoded in memory first, so that the file goes through the one save path of the program.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, WriterFormatFor(fileName));
    if (!writer.write(RenderChart(chart, size)))
        throw EFCreateError(fileName, writer.errorString());
    WriteWholeFile(fileName, bytes);
}

void PrintChart(const Chart& chart, QSize screenSize, QPrinter& printer)
{
    printer.setDocName(QStringLiteral("Chart1"));
    // A wide chart fills a page turned sideways.
    const QSizeF screen = QSizeF(screenSize.expandedTo(QSize(1, 1)));
    printer.setPageOrientation(screen.width() > screen.height() ? QPageLayout::Landscape
                                                                : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        throw QuivelError(QStringLiteral("L'imprimante n'a pas pu commencer l'impression : le "
                                         "graphique n'a pas été imprimé"));
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const qreal scale = qMin(page.width() / screen.width(), page.height() / screen.height());
    painter.scale(scale, scale);
    ChartPaintOptions options;
    options.dpi = ScreenDpi;
    PaintChart(painter, QRectF(QPointF(0, 0), screen), chart, options);
    if (!painter.end())
        throw QuivelError(QStringLiteral("L'impression du graphique a échoué"));
}
