#pragma once

#include "users/user_record.h"

#include <QList>

// Level from which a user gets the main window's "Add user", "Audit Trail" and "User List"
// buttons.
constexpr qint32 AdministratorLevel = 5;
constexpr bool IsAdministratorLevel(qint32 level)
{
    return level >= AdministratorLevel;
}

struct SignInMatch {
    bool signedIn = false;
    qint32 userId = 0; // the last matching record's identifier
    qint32 level = 0;  // the lowest level among the matching records
    bool hidesAdminButtons() const { return signedIn && !IsAdministratorLevel(level); }
};

// Scans every record, in file order, without stopping at a match. Login and password are
// compared byte for byte as typed: case matters, nothing is trimmed, and a text longer than
// what a record can hold never matches, nor one with a character outside Windows-1252.
SignInMatch MatchSignIn(const QList<UserRecord>& records, const QByteArray& login,
                        const QByteArray& typedPassword);
SignInMatch MatchSignIn(const QList<UserRecord>& records, const QString& login,
                        const QString& typedPassword);
