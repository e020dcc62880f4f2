#include "users/sign_in.h"

#include "common/windows1252.h"

SignInMatch MatchSignIn(const QList<UserRecord>& records, const QByteArray& login,
                        const QByteArray& typedPassword)
{
    const QByteArray scrambled = ScramblePassword(typedPassword);
    SignInMatch match;
    for (const UserRecord& record : records) {
        if (record.login != login || record.password != scrambled)
            continue;
        match.level = match.signedIn ? qMin(match.level, record.level) : record.level;
        match.signedIn = true;
        match.userId = record.id;
    }
    return match;
}

SignInMatch MatchSignIn(const QList<UserRecord>& records, const QString& login,
                        const QString& typedPassword)
{
    // Such a text cannot have been stored: its "?" would match another text.
    if (!FitsWindows1252(login) || !FitsWindows1252(typedPassword))
        return {};
    return MatchSignIn(records, EncodeWindows1252(login), EncodeWindows1252(typedPassword));
}
