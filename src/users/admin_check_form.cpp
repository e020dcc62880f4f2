#include "users/admin_check_form.h"

#include "ui_admin_check_form.h"

#include "common/error_handler.h"
#include "common/services.h"
#include "common/window_look.h"
#include "common/window_placement.h"

#include <QShowEvent>

TAdminCheckForm::TAdminCheckForm(QWidget* parent) : QDialog(parent), ui(new Ui::TAdminCheckForm)
{
    ui->setupUi(this);
    PaintWindow(this, QColor(0, 0, 255));
    MaskPassword(ui->AdminPasswordEdit);
    connect(ui->ValiderButton, &QPushButton::clicked, this, &TAdminCheckForm::ValiderButtonClick);
    connect(ui->AnnulerButton, &QPushButton::clicked, this, &TAdminCheckForm::AnnulerButtonClick);
    connect(ui->AdminPasswordEdit, &QLineEdit::returnPressed, this,
            &TAdminCheckForm::ValiderButtonClick);
}

TAdminCheckForm::~TAdminCheckForm() = default;

void TAdminCheckForm::setCheck(Check check)
{
    m_check = std::move(check);
}

void TAdminCheckForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Nothing of an earlier administrator stays for the next one.
    m_administratorId.reset();
    ui->AdminLoginEdit->clear();
    ui->AdminPasswordEdit->clear();
    ui->AdminLoginEdit->setFocus();
    CentreOnScreen(this);
}

void TAdminCheckForm::ValiderButtonClick()
{
    Guarded([&] {
        if (!m_check)
            return;
        const QString password = ui->AdminPasswordEdit->text();
        // Typed again after any refusal, and not left behind after an acceptance.
        ui->AdminPasswordEdit->clear();
        const CredentialOutcome outcome = m_check(ui->AdminLoginEdit->text(), password);
        switch (outcome.kind) {
        case CredentialOutcome::Kind::Granted:
            m_administratorId = outcome.match.userId;
            accept();
            return;
        case CredentialOutcome::Kind::Refused:
            ShowMessage(CredentialMessage(outcome, CredentialPurpose::AccountCreation));
            ui->AdminPasswordEdit->setFocus();
            return;
        case CredentialOutcome::Kind::LockStarted:
        case CredentialOutcome::Kind::Locked:
            ShowMessage(CredentialMessage(outcome, CredentialPurpose::AccountCreation));
            reject();
            return;
        }
    });
}

void TAdminCheckForm::AnnulerButtonClick()
{
    Guarded([&] { reject(); });
}
