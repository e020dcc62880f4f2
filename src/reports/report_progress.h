#pragma once

#include "reports/report_output.h"

class QWidget;

// Progress of an output of many pages: a box that appears when the output takes more than
// half a second, lets the events through and whose "Annuler" stops the output. One page
// needs none: an empty progress.
ReportProgress ProgressBox(QWidget* parent, const QString& text, int pages);
