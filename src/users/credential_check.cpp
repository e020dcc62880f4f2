#include "users/credential_check.h"

#include "common/services.h"
#include "users/audit_log.h"

namespace
{
QDateTime Now()
{
    // UTC: a change to or from summer time neither lengthens nor shortens the refusal.
    return Services::clock().utcNow().toUTC();
}

bool Fits(const SignInMatch& match, CredentialPurpose purpose)
{
    if (purpose == CredentialPurpose::AccountCreation)
        return match.signedIn && IsAdministratorLevel(match.level);
    return match.signedIn;
}
} // namespace

qint64 SignInAttempts::secondsLocked(const QDateTime& now) const
{
    if (!m_lockedUntil.isValid() || now >= m_lockedUntil)
        return 0;
    const qint64 ms = now.msecsTo(m_lockedUntil);
    return (ms + 999) / 1000;
}

bool SignInAttempts::recordFailure(const QDateTime& now)
{
    if (++m_failures < MaxFailures)
        return false;
    m_failures = 0;
    m_lockedUntil = now.addSecs(LockSeconds);
    return true;
}

CredentialOutcome CredentialCheck::check(const QList<UserRecord>& accounts, const QString& login,
                                         const QString& password, CredentialPurpose purpose)
{
    CredentialOutcome outcome;
    if (const qint64 seconds = secondsLocked()) {
        AppendAuditEntry(AuditAction::SignInRefused, AuditDetails::Refused(login, seconds));
        outcome.kind = CredentialOutcome::Kind::Locked;
        outcome.secondsLocked = seconds;
        return outcome;
    }
    const SignInMatch match = MatchSignIn(accounts, login, password);
    if (!Fits(match, purpose))
        return refuse(login, purpose);
    const QString& action =
        purpose == CredentialPurpose::SignIn ? AuditAction::SignIn : AuditAction::AdminCheck;
    AppendAuditEntryAs(match.userId, action, AuditDetails::Login(login));
    m_attempts.recordSuccess();
    outcome.kind = CredentialOutcome::Kind::Granted;
    outcome.match = match;
    return outcome;
}

CredentialOutcome CredentialCheck::refuse(const QString& login, CredentialPurpose purpose)
{
    // Counted before the audit entry: a failing audit file does not stop the count.
    const bool lockStarted = m_attempts.recordFailure(Now());
    const QString& action = purpose == CredentialPurpose::SignIn ? AuditAction::SignInFailed
                                                                 : AuditAction::AdminCheckFailed;
    AppendAuditEntry(action, AuditDetails::Login(login));
    CredentialOutcome outcome;
    if (lockStarted) {
        AppendAuditEntry(
            AuditAction::SignInLocked,
            AuditDetails::Locked(login, SignInAttempts::MaxFailures, SignInAttempts::LockSeconds));
        outcome.kind = CredentialOutcome::Kind::LockStarted;
        outcome.secondsLocked = SignInAttempts::LockSeconds;
    }
    return outcome;
}

qint64 CredentialCheck::secondsLocked() const
{
    return m_attempts.secondsLocked(Now());
}

QString LockedMessage(qint64 secondsLeft)
{
    return QStringLiteral("Trop de tentatives de connexion échouées : nouvel essai possible "
                          "dans %1 %2.")
        .arg(secondsLeft)
        .arg(secondsLeft > 1 ? QStringLiteral("secondes") : QStringLiteral("seconde"));
}

QString CredentialMessage(const CredentialOutcome& outcome, CredentialPurpose purpose)
{
    switch (outcome.kind) {
    case CredentialOutcome::Kind::LockStarted:
        return QStringLiteral("%1 tentatives de connexion échouées de suite : les connexions "
                              "sont refusées pendant %2 secondes.")
            .arg(SignInAttempts::MaxFailures)
            .arg(SignInAttempts::LockSeconds);
    case CredentialOutcome::Kind::Locked:
        return LockedMessage(outcome.secondsLocked);
    case CredentialOutcome::Kind::Refused:
        if (purpose == CredentialPurpose::AccountCreation)
            return QStringLiteral("Identifiant ou mot de passe incorrect, ou compte de niveau "
                                  "inférieur à 5 : création de compte refusée.");
        return QStringLiteral("Login or Password incorrect");
    case CredentialOutcome::Kind::Granted:
        break;
    }
    return {};
}
