#include "users/user_list_form.h"

#include "ui_user_list_form.h"

#include "common/error_handler.h"
#include "common/window_look.h"
#include "users/admin_rows.h"
#include "users/user_store.h"

#include <QShowEvent>

TUserListForm::TUserListForm(QWidget* parent) : QDialog(parent), ui(new Ui::TUserListForm)
{
    ui->setupUi(this);
    ui->StringGrid1->setGridSize(Columns, Rows, 1, 0);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TUserListForm::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TUserListForm::BitBtn2Click);
}

TUserListForm::~TUserListForm() = default;

void TUserListForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TUserListForm::FormShow()
{
    Guarded([&] {
        StringGrid* grid = ui->StringGrid1;
        grid->setRowTexts(0, UserListHeadings());
        const QList<UserRecord> accounts = SharedUserStore().readAll();
        int row = 1;
        for (const UserRecord& account : accounts) {
            if (row >= Rows)
                break;
            grid->setRowTexts(row++, UserListRow(account));
        }
        // Rows of accounts that are gone are not left standing.
        blankRowsFrom(row);
    });
}

void TUserListForm::BitBtn1Click()
{
    Guarded([&] {
        SharedUserStore().deleteAll();
        blankRowsFrom(1);
    });
}

void TUserListForm::BitBtn2Click()
{
    Guarded([&] { accept(); });
}

void TUserListForm::blankRowsFrom(int firstRow)
{
    for (int row = firstRow; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column)
            ui->StringGrid1->setCell(column, row, QString());
    }
}
