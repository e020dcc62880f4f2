#include "users/user_list_form.h"

#include "ui_user_list_form.h"

#include "common/error_handler.h"
#include "common/services.h"
#include "common/window_look.h"
#include "common/windows1252.h"
#include "users/accounts.h"
#include "users/admin_rows.h"
#include "users/audit_log.h"
#include "users/user_store.h"

#include <QShowEvent>

namespace
{
QString KeptText(const UserRecord& kept)
{
    return QStringLiteral("Le compte « %1 » (identifiant %2) est le dernier compte de niveau 5 "
                          "ou plus : il est conservé.")
        .arg(DecodeWindows1252(kept.login))
        .arg(kept.id);
}

// Why nothing is deleted, when nothing is.
std::optional<QString> RefusalText(const QList<UserRecord>& accounts, const DeleteAllPlan& plan)
{
    if (accounts.isEmpty())
        return QStringLiteral("Aucun compte à supprimer.");
    // An emptied file would let anybody create a first account at the next start.
    if (!plan.kept)
        return QStringLiteral("Suppression refusée : aucun compte de niveau 5 ou plus ne "
                              "resterait pour gérer les comptes.");
    if (plan.deleted.isEmpty())
        return QStringLiteral("Aucun compte à supprimer. ") + KeptText(*plan.kept);
    return std::nullopt;
}

QString QuestionText(const DeleteAllPlan& plan)
{
    const qsizetype count = plan.deleted.size();
    const QString question = count == 1 ? QStringLiteral("Supprimer 1 compte ?")
                                        : QStringLiteral("Supprimer %1 comptes ?").arg(count);
    return question + QLatin1Char(' ') + KeptText(*plan.kept);
}
} // namespace

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
    Guarded([&] { fillRows(); });
}

void TUserListForm::fillRows()
{
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
}

void TUserListForm::BitBtn1Click()
{
    Guarded([&] { deleteAll(); });
}

void TUserListForm::deleteAll()
{
    const QList<UserRecord> accounts = SharedUserStore().readAll();
    const DeleteAllPlan plan = PlanDeleteAll(accounts, CurrentUserId());
    if (const std::optional<QString> refusal = RefusalText(accounts, plan)) {
        MessageDlg(*refusal, MsgKind::Warning, {MsgButton::Ok});
        return;
    }
    if (MessageDlg(QuestionText(plan), MsgKind::Confirmation, {MsgButton::Yes, MsgButton::No}) !=
        MsgButton::Yes)
        return;
    // Each removal is on file before the accounts go.
    for (const UserRecord& account : plan.deleted)
        AppendAuditEntry(AuditAction::UserDeleted, AccountDetails(account));
    SharedUserStore().keepOnly(*plan.kept);
    fillRows();
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
