#include "users/audit_form.h"

#include "ui_audit_form.h"

#include "common/error_handler.h"
#include "users/admin_rows.h"
#include "users/audit_log.h"
#include "users/user_store.h"

#include <QShowEvent>

TAuditForm::TAuditForm(QWidget* parent) : QDialog(parent), ui(new Ui::TAuditForm)
{
    ui->setupUi(this);
    StringGrid* grid = ui->StringGrid1;
    grid->setGridSize(Columns, Rows, 1, 1);
    const int widths[Columns] = {64, 78, 433, 131, 114};
    for (int column = 0; column < Columns; ++column)
        grid->setColumnWidth(column, widths[column]);
    grid->setRowTexts(0, AuditViewHeadings());
    // The widths are where the columns start: details and dates are often longer.
    grid->showHeadingRowAsHeader();
}

TAuditForm::~TAuditForm() = default;

void TAuditForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TAuditForm::FormShow()
{
    Guarded([&] {
        StringGrid* grid = ui->StringGrid1;
        const QList<AuditRecord> entries = ReadAuditEntries();
        // One pass over the user file serves every row's name look-up.
        const QList<UserRecord> accounts = SharedUserStore().readAll();
        int row = 1;
        for (const AuditRecord& entry : entries) {
            if (row >= Rows)
                break;
            grid->setRowTexts(row++, AuditViewRow(entry, accounts));
        }
    });
}
