#pragma once

#include "common/fixed_record_file.h"
#include "users/credential_check.h"

#include <QWidget>
#include <memory>

class TAddUserForm;
class TAdminCheckForm;

namespace Ui
{
class TLoginForm;
}

// The sign-in window: borderless, shown once per run. Showing it runs FormShow (the add-user
// dialog first when the user file is empty, then the audit file is opened; a user file with
// bytes but no whole account is reported as damaged and creates nothing). A
// matching login and password set CurrentUserId, emit signedIn and close the window.
// Every attempt is audited; after five failures in a row attempts are refused for thirty
// seconds. Once the user file holds an account, "&Create New Account" first asks for an
// administrator's login and password (TAdminCheckForm, a child of this window).
class TLoginForm : public QWidget
{
    Q_OBJECT
public:
    explicit TLoginForm(QWidget* parent = nullptr);
    ~TLoginForm() override;

    // The dialog shown when the user file is empty and by "&Create New Account".
    void setAddUserForm(TAddUserForm* form);
    bool SignedIn() const { return m_signedIn; }

signals:
    // Emitted after CurrentUserId is set, before the window closes. userId is that of the
    // last matching account in the file; level is the LOWEST level among all the matching
    // accounts: below AdministratorLevel the main window's "Add user", "Audit Trail" and
    // "User List" buttons stay hidden.
    void signedIn(qint32 userId, qint32 level);
    // "&Exit".
    void exitRequested();

public slots:
    // Run by every show of the window, before it becomes visible.
    void FormShow();
    void BitBtn1Click(); // "&Sign-in"
    void BitBtn2Click(); // "&Exit"
    void Label3Click();  // "&Create New Account"
    void passwordKeyPress();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void openUserFile();
    void signIn();
    void createAccount();
    void auditFirstAccount();
    CredentialOutcome check(const QString& login, const QString& password,
                            CredentialPurpose purpose);

    std::unique_ptr<Ui::TLoginForm> ui;
    TAddUserForm* m_addUserForm = nullptr;
    TAdminCheckForm* m_adminCheckForm = nullptr;
    CredentialCheck m_credentials;
    // Its own handle of the user file, only read, open until the program ends.
    FixedRecordFile m_userFile;
    bool m_signedIn = false;
};
