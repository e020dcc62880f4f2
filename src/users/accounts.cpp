#include "users/accounts.h"

#include "common/windows1252.h"
#include "users/sign_in.h"

#include <algorithm>
#include <limits>

bool IdentifierTaken(const QList<UserRecord>& accounts, qint32 id)
{
    if (id == NobodyId)
        return true;
    return std::any_of(accounts.cbegin(), accounts.cend(),
                       [id](const UserRecord& account) { return account.id == id; });
}

qint32 NextFreeIdentifier(const QList<UserRecord>& accounts, qint32 id)
{
    // At most accounts.size() + 1 steps: each taken identifier belongs to one account.
    qint32 candidate = id;
    do {
        candidate = candidate == std::numeric_limits<qint32>::max() ? 1 : candidate + 1;
    } while (IdentifierTaken(accounts, candidate));
    return candidate;
}

static QString TakenMessage(qint32 id, qint32 proposal)
{
    const QString reason =
        id == NobodyId
            ? QStringLiteral("L'identifiant 0 est réservé aux entrées du journal faites avant "
                             "toute connexion.")
            : QStringLiteral("L'identifiant %1 est déjà celui d'un autre compte.").arg(id);
    return reason + QStringLiteral(" Identifiant libre proposé : %1.").arg(proposal);
}

EIdentifierTaken::EIdentifierTaken(qint32 id, qint32 proposal)
    : QuivelError(TakenMessage(id, proposal)), m_proposal(proposal)
{
}

void RequireFreeIdentifier(const QList<UserRecord>& accounts, qint32 id)
{
    if (IdentifierTaken(accounts, id))
        throw EIdentifierTaken(id, NextFreeIdentifier(accounts, id));
}

QString AccountDetails(const UserRecord& account)
{
    return QStringLiteral("id:%1 level:%2 login:").arg(account.id).arg(account.level) +
           DecodeWindows1252(account.login) + QStringLiteral(" name:") +
           DecodeWindows1252(account.firstName) + QLatin1Char(' ') +
           DecodeWindows1252(account.familyName);
}

static std::optional<qsizetype> KeptIndex(const QList<UserRecord>& accounts, qint32 signedInId)
{
    std::optional<qsizetype> lastAdministrator;
    std::optional<qsizetype> signedInAdministrator;
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        if (!IsAdministratorLevel(accounts[i].level))
            continue;
        lastAdministrator = i;
        if (accounts[i].id == signedInId)
            signedInAdministrator = i;
    }
    return signedInAdministrator ? signedInAdministrator : lastAdministrator;
}

DeleteAllPlan PlanDeleteAll(const QList<UserRecord>& accounts, qint32 signedInId)
{
    DeleteAllPlan plan;
    const std::optional<qsizetype> kept = KeptIndex(accounts, signedInId);
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        if (kept && i == *kept)
            plan.kept = accounts[i];
        else
            plan.deleted.append(accounts[i]);
    }
    return plan;
}
