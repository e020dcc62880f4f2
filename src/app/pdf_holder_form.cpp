#include "app/pdf_holder_form.h"

TPdfForm::TPdfForm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PdfForm"));
    setWindowTitle(QStringLiteral("PdfForm"));
}
