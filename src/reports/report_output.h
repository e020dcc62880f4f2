#pragma once

#include "reports/report_content.h"

#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPrinter;

// Told after each page written (done of total); returns false to stop the output there.
using ReportProgress = std::function<bool(int done, int total)>;

// The preview shows at most this many pages: it composes every page it shows before it opens.
constexpr int PreviewPageLimit = 100;

// The report's printer settings: A4 portrait, the whole paper addressable, one copy,
// double-sided requested, automatic paper tray.
void SetUpReportPrinter(QPrinter& printer);

// Shows the report in the preview (through the dialogs service) and returns when the user
// has closed it.
void PreviewReport(const ReportContent& content);

// Prints the pages the printer's page range asks for (all of them when it asks for none).
// Returns false when progress stopped it. Raises a French QuivelError when the printer fails.
bool PrintReport(const ReportContent& content, QPrinter& printer,
                 const ReportProgress& progress = {});

// The name with ".pdf" added when it has no extension.
QString WithPdfExtension(const QString& fileName);

// Writes the report as a PDF (A4 portrait, 595 x 842 pt, one page per report page, text kept
// as text, title "Rapport d'enregistrement", creator "QUIVEL Config"), replacing the file
// whole or not at all. Returns false when progress stopped it (the file is then untouched).
// Raises EFCreateError when the file cannot be written.
bool SaveReportPdf(const ReportContent& content, const QString& fileName,
                   const ReportProgress& progress = {});
