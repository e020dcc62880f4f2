#include "reports/report_form.h"

Tformpdf::Tformpdf(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("formpdf"));
    setWindowTitle(QStringLiteral("formpdf"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(760, 620);
}
