#include "users/add_user_form.h"

#include "ui_add_user_form.h"

#include "common/error_handler.h"
#include "common/number_text.h"
#include "common/window_look.h"
#include "common/window_placement.h"
#include "users/user_store.h"

#include <QShowEvent>

TAddUserForm::TAddUserForm(QWidget* parent) : QDialog(parent), ui(new Ui::TAddUserForm)
{
    ui->setupUi(this);
    PaintWindow(this, QColor(0, 128, 0));
    MaskPassword(ui->Password);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TAddUserForm::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TAddUserForm::BitBtn2Click);
    FormCreate();
}

TAddUserForm::~TAddUserForm() = default;

void TAddUserForm::FormCreate()
{
    Guarded([] { SharedUserStore().prepare(); });
}

void TAddUserForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CentreOnScreen(this);
}

void TAddUserForm::BitBtn1Click()
{
    Guarded([&] {
        const int id = StrictToInt(ui->Edit1->text());
        const int level = StrictToInt(ui->Edit5->text());
        RequireStorableText(QStringLiteral("First Name"), ui->Edit2->text());
        RequireStorableText(QStringLiteral("Family name"), ui->Edit3->text());
        RequireStorableText(QStringLiteral("Login"), ui->Edit4->text());
        RequireStorableText(QStringLiteral("Password"), ui->Password->text());
        SharedUserStore().append(UserRecord::fromTyped(id, ui->Edit2->text(), ui->Edit3->text(),
                                                       ui->Edit4->text(), ui->Password->text(),
                                                       level));
        // The next account is not given this one's password, nor shown it.
        ui->Password->clear();
        accept();
    });
}

void TAddUserForm::BitBtn2Click()
{
    Guarded([&] {
        SharedUserStore().close();
        reject();
    });
}
