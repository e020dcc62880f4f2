#pragma once

#include "reports/report_content.h"

#include <QPicture>

class QPainter;

// Pages of the report: each holds ReportLayout::RowsPerPage rows; a report with no rows is one
// page (the heading and empty columns).
int ReportPageCount(const ReportContent& content);

// The footer's text, "Page x / y"; empty on a one-page report.
QString ReportPageFooter(int number, int count);

// Composes page number (from 1) as a vector picture whose units are millimetres from the
// paper's top-left corner.
QPicture PrepareReportPage(const ReportContent& content, int number);

// Paints a prepared page. The painter's units are millimetres from the top-left corner of the
// paper: the window's view, the preview, the printer and the PDF all draw through this.
void DrawReportPage(QPainter& painter, const QPicture& page);
