#include "reports/report_progress.h"

#include <QProgressDialog>
#include <memory>

ReportProgress ProgressBox(QWidget* parent, const QString& text, int pages)
{
    if (pages <= 1)
        return {};
    auto box = std::make_shared<QProgressDialog>(text, QStringLiteral("Annuler"), 0, pages, parent);
    // Nothing else may start while the report is being written: the box is modal to the whole
    // program, so that its events reach only it.
    box->setWindowModality(Qt::ApplicationModal);
    box->setMinimumDuration(500);
    box->setValue(0);
    return [box](int done, int total) {
        box->setMaximum(total);
        box->setValue(done);
        return !box->wasCanceled();
    };
}
