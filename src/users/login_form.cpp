#include "users/login_form.h"

#include "ui_login_form.h"

#include "common/error_handler.h"
#include "common/services.h"
#include "common/window_look.h"
#include "common/window_placement.h"
#include "users/add_user_form.h"
#include "users/audit_log.h"
#include "users/sign_in.h"
#include "users/user_store.h"

#include <QShowEvent>

TLoginForm::TLoginForm(QWidget* parent)
    : QWidget(parent), ui(new Ui::TLoginForm), m_userFile(UserFileName, UserRecord::Size)
{
    ui->setupUi(this);
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
    Guarded([&] {
        openUserFile();
        if (m_userFile.recordCount() == 0 && m_addUserForm)
            m_addUserForm->exec();
    });
    // A user file that cannot be read does not keep the audit file closed.
    Guarded([] { OpenAuditLog(); });
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

void TLoginForm::signIn()
{
    // Opened again only if the show could not open it.
    if (!m_userFile.isOpen())
        m_userFile.open();
    const SignInMatch match =
        MatchSignIn(ReadUserRecords(m_userFile), ui->Edit1->text(), ui->password->text());
    if (!match.signedIn) {
        ShowMessage(QStringLiteral("Login or Password incorrect"));
        return;
    }
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
    Guarded([&] {
        if (m_addUserForm)
            m_addUserForm->exec();
    });
}
