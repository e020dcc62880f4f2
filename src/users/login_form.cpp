#include "users/login_form.h"

#include "ui_login_form.h"

#include "common/error_handler.h"
#include "common/services.h"
#include "common/window_look.h"
#include "common/window_placement.h"
#include "users/accounts.h"
#include "users/add_user_form.h"
#include "users/admin_check_form.h"
#include "users/audit_log.h"
#include "users/sign_in.h"
#include "users/user_store.h"

#include <QShowEvent>

TLoginForm::TLoginForm(QWidget* parent)
    : QWidget(parent), ui(new Ui::TLoginForm), m_adminCheckForm(new TAdminCheckForm(this)),
      m_userFile(UserFileName, UserRecord::Size, NewFileAccess::OwnerOnly)
{
    ui->setupUi(this);
    m_adminCheckForm->setCheck([this](const QString& login, const QString& password) {
        return check(login, password, CredentialPurpose::AccountCreation);
    });
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    PaintWindow(this, QColor(0, 0, 255));
    MaskPassword(ui->password);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TLoginForm::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TLoginForm::BitBtn2Click);
    connect(ui->Label3, &ClickableLabel::clicked, this, &TLoginForm::Label3Click);
    connect(ui->password, &QLineEdit::returnPressed, this, &TLoginForm::passwordKeyPress);
}

TLoginForm::~TLoginForm() = default;

void TLoginForm::setAddUserForm(TAddUserForm* form)
{
    m_addUserForm = form;
}

void TLoginForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        CentreOnScreen(this);
        FormShow();
    }
}

void TLoginForm::FormShow()
{
    m_signedIn = false;
    bool firstRun = false;
    Guarded([&] {
        openUserFile();
        firstRun = IsFirstRun(m_userFile) && m_addUserForm;
        if (firstRun)
            m_addUserForm->execFirstAccount();
    });
    // A user file that cannot be read does not keep the audit file closed.
    if (Guarded([] { OpenAuditLog(); }) && firstRun)
        Guarded([&] { auditFirstAccount(); });
}

void TLoginForm::auditFirstAccount()
{
    // The first account was created before the audit file could be opened; by nobody.
    if (const std::optional<UserRecord>& account = m_addUserForm->SavedAccount())
        AppendAuditEntryAs(NobodyId, AuditAction::UserCreated, AccountDetails(*account));
}

void TLoginForm::openUserFile()
{
    if (!m_userFile.exists()) {
        m_userFile.rewriteEmpty();
        ShowMessage(QStringLiteral("no users data available"));
        ui->Edit1->setFocus();
    }
    m_userFile.open();
}

void TLoginForm::BitBtn1Click()
{
    Guarded([&] { signIn(); });
}

void TLoginForm::passwordKeyPress()
{
    Guarded([&] { signIn(); });
}

CredentialOutcome TLoginForm::check(const QString& login, const QString& password,
                                    CredentialPurpose purpose)
{
    // Opened again only if the show could not open it.
    if (!m_userFile.isOpen())
        m_userFile.open();
    return m_credentials.check(ReadUserRecords(m_userFile), login, password, purpose);
}

void TLoginForm::signIn()
{
    const CredentialOutcome outcome =
        check(ui->Edit1->text(), ui->password->text(), CredentialPurpose::SignIn);
    if (outcome.kind != CredentialOutcome::Kind::Granted) {
        ShowMessage(CredentialMessage(outcome, CredentialPurpose::SignIn));
        return;
    }
    const SignInMatch& match = outcome.match;
    m_signedIn = true;
    SetCurrentUserId(match.userId);
    emit signedIn(match.userId, match.level);
    close();
}

void TLoginForm::BitBtn2Click()
{
    Guarded([&] { emit exitRequested(); });
}

void TLoginForm::Label3Click()
{
    Guarded([&] { createAccount(); });
}

void TLoginForm::createAccount()
{
    if (!m_addUserForm)
        return;
    if (!m_userFile.isOpen())
        m_userFile.open();
    // Only an empty user file lets anybody create an account: the first run.
    if (IsFirstRun(m_userFile)) {
        m_addUserForm->execCreatingAs(NobodyId);
        return;
    }
    if (const qint64 seconds = m_credentials.secondsLocked()) {
        ShowMessage(LockedMessage(seconds));
        return;
    }
    if (m_adminCheckForm->exec() == QDialog::Accepted)
        m_addUserForm->execCreatingAs(*m_adminCheckForm->AdministratorId());
}
