#pragma once

#include "users/credential_check.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

namespace Ui
{
class TAdminCheckForm;
}

// Asks, at the sign-in window, for the login and password of an account of level 5 or more
// before an account is created. Accepted once they fit; closed when attempts are refused.
class TAdminCheckForm : public QDialog
{
    Q_OBJECT
public:
    using Check = std::function<CredentialOutcome(const QString& login, const QString& password)>;

    explicit TAdminCheckForm(QWidget* parent = nullptr);
    ~TAdminCheckForm() override;

    void setCheck(Check check);
    // The administrator's identifier, once accepted.
    std::optional<qint32> AdministratorId() const { return m_administratorId; }

public slots:
    void ValiderButtonClick(); // also Enter in the password field
    void AnnulerButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TAdminCheckForm> ui;
    Check m_check;
    std::optional<qint32> m_administratorId;
};
