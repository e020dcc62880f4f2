#pragma once

#include "users/sign_in.h"
#include "users/user_record.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Failed attempts in a row at the sign-in window. The fifth starts a refusal of every
// attempt for thirty seconds; the count then starts again from zero.
class SignInAttempts
{
public:
    static constexpr int MaxFailures = 5;
    static constexpr qint64 LockSeconds = 30;

    // Whole seconds, rounded up, until attempts are taken again; 0 when they are. A clock
    // set back keeps the refusal on until its end comes.
    qint64 secondsLocked(const QDateTime& now) const;
    // Counts a failure; true when it starts the refusal.
    bool recordFailure(const QDateTime& now);
    void recordSuccess() { m_failures = 0; }

private:
    int m_failures = 0;
    QDateTime m_lockedUntil;
};

// What a login and password typed at the sign-in window are checked for.
enum class CredentialPurpose {
    SignIn,          // any matching account
    AccountCreation, // matching accounts all of level 5 or more
};

struct CredentialOutcome {
    enum class Kind {
        Granted,
        Refused,     // no account fits
        LockStarted, // refused, and the fifth failure in a row
        Locked,      // not checked: attempts are refused for secondsLocked more seconds
    };
    Kind kind = Kind::Refused;
    SignInMatch match;        // when granted
    qint64 secondsLocked = 0; // LockStarted and Locked
};

// Checks what was typed, counts the failures in a row on the clock of the services and
// appends one audit entry per attempt (two for the one that starts the refusal): the login
// as typed, never the password. A granted sign-in's entry carries the user's identifier;
// the others carry CurrentUserId (0 before the sign-in).
class CredentialCheck
{
public:
    CredentialOutcome check(const QList<UserRecord>& accounts, const QString& login,
                            const QString& password, CredentialPurpose purpose);
    qint64 secondsLocked() const;

private:
    CredentialOutcome refuse(const QString& login, CredentialPurpose purpose);

    SignInAttempts m_attempts;
};

// What the window says of an outcome that is not Granted (French, except the sign-in's own
// "Login or Password incorrect").
QString CredentialMessage(const CredentialOutcome& outcome, CredentialPurpose purpose);
QString LockedMessage(qint64 secondsLeft);
