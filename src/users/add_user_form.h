#pragma once

#include "users/user_record.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui
{
class TAddUserForm;
}

// Creates accounts. Its creation prepares the user file; the fields keep what was typed, so
// the next opening shows the last account entered. An identifier already taken is refused
// and the next free one proposed. Each account saved is audited before it is written, as
// created by the signed-in user, or by the creator given to execCreatingAs. Created by nobody
// (no one signed in, no administrator), it saves only into an empty user file.
class TAddUserForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAddUserForm(QWidget* parent = nullptr);
    ~TAddUserForm() override;

    // exec(), the account saved audited as created by creatorId (the administrator who
    // authorised it at the sign-in window, or nobody while the user file is empty).
    int execCreatingAs(qint32 creatorId);
    // exec() for the first account, before the audit file is open: the account is saved
    // without an audit entry, which the caller appends once the file is open.
    int execFirstAccount();
    // The account saved during the last showing, if any.
    const std::optional<UserRecord>& SavedAccount() const { return m_saved; }

public slots:
    void BitBtn1Click(); // "Save"
    void BitBtn2Click(); // "Close"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void save();
    int execWith(std::optional<qint32> creatorId, bool audited);

    std::unique_ptr<Ui::TAddUserForm> ui;
    std::optional<qint32> m_creator; // none: the signed-in user
    bool m_audited = true;
    std::optional<UserRecord> m_saved;
};
