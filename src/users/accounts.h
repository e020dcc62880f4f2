#pragma once

#include "common/errors.h"
#include "users/user_record.h"

#include <QList>
#include <optional>

// Rules of the user administration on the accounts of the user file.

// The identifier of audit entries made before anybody signed in (CurrentUserId at start).
// No new account gets it, so that the audit view never names an account for them.
constexpr qint32 NobodyId = 0;

// An identifier that a new account may not take: 0, or one that an account already has.
// Two accounts with one identifier would share their audit entries in the audit view.
bool IdentifierTaken(const QList<UserRecord>& accounts, qint32 id);
// The smallest free identifier above id; past the largest 32-bit number the search goes
// on from 1.
qint32 NextFreeIdentifier(const QList<UserRecord>& accounts, qint32 id);

// A taken identifier given to the add-user dialog; the message proposes the next free one.
class EIdentifierTaken : public QuivelError
{
public:
    EIdentifierTaken(qint32 id, qint32 proposal);
    qint32 proposal() const { return m_proposal; }

private:
    qint32 m_proposal;
};
// Raises EIdentifierTaken when a new account may not take the identifier.
void RequireFreeIdentifier(const QList<UserRecord>& accounts, qint32 id);

// The details of an account's audit entry: "id:7 level:5 login:marie name:Marie Durand"
// (the typed texts last, where a long one is cut). Never the password.
QString AccountDetails(const UserRecord& account);

// What "Supprimmer tout" does: it keeps one account of level 5 or more, so that nobody can
// create a first account on an emptied file. The kept one is the signed-in user's when it
// has that level, else the last one in the file; none when no account has that level.
struct DeleteAllPlan {
    std::optional<UserRecord> kept;
    QList<UserRecord> deleted; // every other account, in file order
};
DeleteAllPlan PlanDeleteAll(const QList<UserRecord>& accounts, qint32 signedInId);
