// A user file (ConfigAgents.dt) of any bytes, read through the user store and used as the
// sign-in window and the user administration use it.

#include "common/windows1252.h"
#include "fuzz_support.h"
#include "record_layout.h"
#include "users/accounts.h"
#include "users/admin_rows.h"
#include "users/sign_in.h"
#include "users/user_record.h"
#include "users/user_store.h"

#include <cstdint>

namespace
{

void checkRecord(const UserRecord& account, const QByteArray& bytes)
{
    FUZZ_CHECK(account.id == LayoutInt32(bytes, 0));
    FUZZ_CHECK(account.firstName == LayoutText(bytes, 4, 100));
    FUZZ_CHECK(account.familyName == LayoutText(bytes, 105, 100));
    FUZZ_CHECK(account.login == LayoutText(bytes, 206, 100));
    FUZZ_CHECK(account.password == LayoutText(bytes, 307, 100));
    FUZZ_CHECK(account.level == LayoutInt32(bytes, 408));

    const QByteArray written = account.toBytes();
    FUZZ_CHECK(written.size() == UserRecord::Size);
    const UserRecord again = UserRecord::fromBytes(written);
    FUZZ_CHECK(again.id == account.id && again.level == account.level);
    FUZZ_CHECK(again.firstName == account.firstName && again.familyName == account.familyName);
    FUZZ_CHECK(again.login == account.login && again.password == account.password);

    const QStringList row = UserListRow(account);
    FUZZ_CHECK(row.size() == UserListHeadings().size());
    FUZZ_CHECK(row[0] == QString::number(account.id));
    FUZZ_CHECK(row[3] == DecodeWindows1252(account.login));
    // The password is never shown, nor written in an audit entry.
    FUZZ_CHECK(row[4].isEmpty());
    FUZZ_CHECK(AccountDetails(account).startsWith(
        QStringLiteral("id:%1 level:%2 login:").arg(account.id).arg(account.level)));
}

void checkAccounts(const QList<UserRecord>& accounts)
{
    for (const UserRecord& account : accounts) {
        // Each account signs in with its own login and password, typed as bytes or as text.
        const QByteArray password = ScramblePassword(account.password);
        const SignInMatch match = MatchSignIn(accounts, account.login, password);
        FUZZ_CHECK(match.signedIn && match.level <= account.level);
        const SignInMatch typed =
            MatchSignIn(accounts, DecodeWindows1252(account.login), DecodeWindows1252(password));
        FUZZ_CHECK(typed.signedIn && typed.userId == match.userId && typed.level == match.level);

        FUZZ_CHECK(IdentifierTaken(accounts, account.id));
        const qint32 next = NextFreeIdentifier(accounts, account.id);
        FUZZ_CHECK(next != NobodyId && !IdentifierTaken(accounts, next));
    }

    const qint32 signedIn = accounts.isEmpty() ? 1 : accounts.front().id;
    const DeleteAllPlan plan = PlanDeleteAll(accounts, signedIn);
    FUZZ_CHECK(plan.deleted.size() + (plan.kept ? 1 : 0) == accounts.size());
    const bool anyAdministrator =
        std::any_of(accounts.cbegin(), accounts.cend(),
                    [](const UserRecord& a) { return IsAdministratorLevel(a.level); });
    FUZZ_CHECK(plan.kept.has_value() == anyAdministrator);
    if (plan.kept)
        FUZZ_CHECK(IsAdministratorLevel(plan.kept->level));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    UserStore store(WriteFuzzFile(UserFileName, bytes));
    store.prepare();
    const QList<UserRecord> accounts = store.readAll();
    FUZZ_CHECK(accounts.size() == bytes.size() / UserRecord::Size);
    for (qsizetype i = 0; i < accounts.size(); ++i)
        checkRecord(accounts[i], bytes.mid(i * UserRecord::Size, UserRecord::Size));
    checkAccounts(accounts);
    return 0;
}
