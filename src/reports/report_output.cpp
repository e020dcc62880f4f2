#include "reports/report_output.h"

#include "common/errors.h"
#include "common/services.h"
#include "common/text_file.h"
#include "reports/report_layout.h"
#include "reports/report_page.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageRanges>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace
{

const QPageLayout& ReportPageLayout()
{
    static const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return layout;
}

// Millimetres from the paper's corner, whatever the device's resolution.
void ScaleToMillimetres(QPainter& painter, int resolution)
{
    const qreal dotsPerMm = resolution / 25.4;
    painter.scale(dotsPerMm, dotsPerMm);
}

// Paints the pages in order on a device that is already begun; false when progress stopped.
bool PaintPages(QPainter& painter, QPagedPaintDevice& device, int resolution,
                const ReportContent& content, const QList<int>& pages,
                const ReportProgress& progress)
{
    ScaleToMillimetres(painter, resolution);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage())
            throw QuivelError(QStringLiteral("Impossible de commencer une nouvelle page du "
                                             "rapport"));
        DrawReportPage(painter, PrepareReportPage(content, pages[i]));
        if (progress && !progress(int(i + 1), int(pages.size())))
            return false;
    }
    return true;
}

QList<int> PagesUpTo(int last)
{
    QList<int> pages;
    pages.reserve(last);
    for (int n = 1; n <= last; ++n)
        pages.append(n);
    return pages;
}

// The pages the printer's range asks for, within the report; every page when none is asked.
QList<int> PagesToPrint(const QPrinter& printer, int count)
{
    const QPageRanges ranges = printer.pageRanges();
    if (printer.printRange() != QPrinter::PageRange || ranges.isEmpty())
        return PagesUpTo(count);
    QList<int> pages;
    for (const QPageRanges::Range& range : ranges.toRangeList()) {
        for (int n = qMax(1, range.from); n <= qMin(count, range.to); ++n)
            pages.append(n);
    }
    return pages;
}

void SetUpPdfWriter(QPdfWriter& writer)
{
    writer.setPageLayout(ReportPageLayout());
    writer.setTitle(QStringLiteral("Rapport d'enregistrement"));
    writer.setCreator(QStringLiteral("QUIVEL Config"));
}

// The PDF into the open device; false when progress stopped it.
bool WritePdf(QIODevice& device, const QString& fileName, const ReportContent& content,
              const ReportProgress& progress)
{
    QPdfWriter writer(&device);
    SetUpPdfWriter(writer);
    QPainter painter;
    if (!painter.begin(&writer))
        throw EFCreateError(fileName, QStringLiteral("the PDF writer could not start"));
    const bool finished = PaintPages(painter, writer, writer.resolution(), content,
                                     PagesUpTo(ReportPageCount(content)), progress);
    painter.end();
    return finished;
}

} // namespace

void SetUpReportPrinter(QPrinter& printer)
{
    printer.setPageLayout(ReportPageLayout());
    printer.setFullPage(true);
    printer.setCopyCount(1);
    printer.setDuplex(QPrinter::DuplexLongSide);
    printer.setPaperSource(QPrinter::Auto);
    printer.setDocName(QStringLiteral("Rapport d'enregistrement"));
    printer.setCreator(QStringLiteral("QUIVEL Config"));
}

void PreviewReport(const ReportContent& content)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpReportPrinter(printer);
    const int shown = qMin(ReportPageCount(content), PreviewPageLimit);
    Services::dialogs().printPreview(printer, [&](QPrinter* target) {
        QPainter painter;
        if (!painter.begin(target))
            return;
        PaintPages(painter, *target, target->resolution(), content, PagesUpTo(shown), {});
    });
}

bool PrintReport(const ReportContent& content, QPrinter& printer, const ReportProgress& progress)
{
    const QList<int> pages = PagesToPrint(printer, ReportPageCount(content));
    if (pages.isEmpty())
        return true;
    QPainter painter;
    if (!painter.begin(&printer))
        throw QuivelError(QStringLiteral("L'imprimante n'a pas pu commencer l'impression : le "
                                         "rapport n'a pas été imprimé"));
    if (!PaintPages(painter, printer, printer.resolution(), content, pages, progress)) {
        printer.abort();
        return false;
    }
    if (!painter.end())
        throw QuivelError(QStringLiteral("L'impression du rapport a échoué"));
    return true;
}

QString WithPdfExtension(const QString& fileName)
{
    if (!QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    if (fileName.endsWith(QLatin1Char('.')))
        return fileName + QStringLiteral("pdf");
    return fileName + QStringLiteral(".pdf");
}

bool SaveReportPdf(const ReportContent& content, const QString& fileName,
                   const ReportProgress& progress)
{
    const QString fullPath = QFileInfo(fileName).absoluteFilePath();
    // Made in memory, then saved whole: a failed or stopped save never leaves half a PDF.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    if (!WritePdf(pdf, fullPath, content, progress))
        return false;
    WriteWholeFile(fullPath, pdf.data());
    return true;
}
