#include "users/add_user_form.h"

#include "ui_add_user_form.h"

#include "common/error_handler.h"
#include "common/number_text.h"
#include "common/window_look.h"
#include "common/window_placement.h"
#include "users/accounts.h"
#include "users/audit_log.h"
#include "users/user_store.h"

#include <QShowEvent>

namespace
{
void RequireFirstRun()
{
    // A damaged user file raises its own message here.
    if (!SharedUserStore().isFirstRun())
        throw QuivelError(QStringLiteral("Le fichier des comptes contient déjà un compte : un "
                                         "nouveau compte doit être autorisé par un "
                                         "administrateur (lien « Create New Account »)."));
}
} // namespace

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

int TAddUserForm::execCreatingAs(qint32 creatorId)
{
    return execWith(creatorId, true);
}

int TAddUserForm::execFirstAccount()
{
    return execWith(std::nullopt, false);
}

int TAddUserForm::execWith(std::optional<qint32> creatorId, bool audited)
{
    m_creator = creatorId;
    m_audited = audited;
    const int result = exec();
    // The main window's "Add user" shows it with plain exec(): the signed-in user creates.
    m_creator.reset();
    m_audited = true;
    return result;
}

void TAddUserForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        m_saved.reset();
        CentreOnScreen(this);
    }
}

void TAddUserForm::BitBtn1Click()
{
    Guarded([&] { save(); });
}

void TAddUserForm::save()
{
    // Nobody signed in and no administrator: only the first account of an empty user file.
    if (m_creator == NobodyId || !m_audited)
        RequireFirstRun();
    const int id = StrictToInt(ui->Edit1->text());
    const int level = StrictToInt(ui->Edit5->text());
    RequireStorableText(QStringLiteral("First Name"), ui->Edit2->text());
    RequireStorableText(QStringLiteral("Family name"), ui->Edit3->text());
    RequireStorableText(QStringLiteral("Login"), ui->Edit4->text());
    RequireStorableText(QStringLiteral("Password"), ui->Password->text());
    try {
        RequireFreeIdentifier(SharedUserStore().readAll(), id);
    } catch (const EIdentifierTaken& taken) {
        ui->Edit1->setText(QString::number(taken.proposal()));
        throw;
    }
    const UserRecord account = UserRecord::fromTyped(
        id, ui->Edit2->text(), ui->Edit3->text(), ui->Edit4->text(), ui->Password->text(), level);
    // Before the account is written: the entry states that its creation was asked for.
    if (m_audited)
        AppendAuditEntryAs(m_creator.value_or(CurrentUserId()), AuditAction::UserCreated,
                           AccountDetails(account));
    SharedUserStore().append(account);
    m_saved = account;
    // The next account is not given this one's password, nor shown it.
    ui->Password->clear();
    accept();
}

void TAddUserForm::BitBtn2Click()
{
    Guarded([&] {
        SharedUserStore().close();
        reject();
    });
}
