#include "users/sign_in.h"

#include <QTest>

namespace
{
UserRecord Account(qint32 id, const QString& login, const QString& password, qint32 level)
{
    return UserRecord::fromTyped(id, QStringLiteral("First"), QStringLiteral("Family"), login,
                                 password, level);
}

using Accounts = QList<UserRecord>;
const QString Marie = QStringLiteral("marie");
const QString Secret = QStringLiteral("secret");
} // namespace

class SignInTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rules_data();
    void rules();
};

void SignInTest::rules_data()
{
    QTest::addColumn<Accounts>("accounts");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<int>("userId");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("hidesButtons");

    const auto S = [](const char* text) { return QString::fromUtf8(text); };
    const Accounts one{Account(4, Marie, Secret, 5)};
    QTest::newRow("exact match") << one << Marie << Secret << true << 4 << 5 << false;
    QTest::newRow("upper-case first letter")
        << one << S("Marie") << Secret << false << 0 << 0 << false;
    QTest::newRow("trailing space in the login")
        << one << S("marie ") << Secret << false << 0 << 0 << false;
    QTest::newRow("trailing space in the password")
        << one << Marie << S("secret ") << false << 0 << 0 << false;
    QTest::newRow("password case") << one << Marie << S("Secret") << false << 0 << 0 << false;
    QTest::newRow("right password, other login")
        << Accounts{Account(1, "paul", "x", 5), Account(2, Marie, "y", 5)} << S("paul") << S("y")
        << false << 0 << 0 << false;
    QTest::newRow("no account at all")
        << Accounts{} << QString() << QString() << false << 0 << 0 << false;
    QTest::newRow("empty login and password")
        << Accounts{Account(1, Marie, Secret, 5), Account(6, {}, {}, 3)} << QString() << QString()
        << true << 6 << 3 << true;
    QTest::newRow("empty fields do not match a real account")
        << one << QString() << QString() << false << 0 << 0 << false;
    QTest::newRow("the later of ids 3 and 7")
        << Accounts{Account(3, Marie, Secret, 6), Account(1, "paul", Secret, 1),
                    Account(7, Marie, Secret, 8)}
        << Marie << Secret << true << 7 << 6 << false;
    QTest::newRow("levels 9 then 2")
        << Accounts{Account(1, Marie, Secret, 9), Account(2, Marie, Secret, 2)} << Marie << Secret
        << true << 2 << 2 << true;
    QTest::newRow("levels 2 then 9")
        << Accounts{Account(1, Marie, Secret, 2), Account(2, Marie, Secret, 9)} << Marie << Secret
        << true << 2 << 2 << true;
    QTest::newRow("level 4 hides, level 5 does not")
        << Accounts{Account(1, Marie, Secret, 4)} << Marie << Secret << true << 1 << 4 << true;
    QTest::newRow("password byte equal to the key")
        << Accounts{Account(1, Marie, "ÉtéÉ", 5)} << Marie << S("ÉtéÉ") << true << 1 << 5 << false;
    QTest::newRow("a character outside Windows-1252 is no \"?\"")
        << Accounts{Account(1, Marie, S("?"), 5)} << Marie << S("中") << false << 0 << 0 << false;
    QTest::newRow("login longer than 100 never matches")
        << Accounts{Account(1, QString(101, 'l'), Secret, 5)} << QString(101, 'l') << Secret
        << false << 0 << 0 << false;
    QTest::newRow("password longer than 100 never matches")
        << Accounts{Account(1, Marie, QString(101, 'p'), 5)} << Marie << QString(101, 'p') << false
        << 0 << 0 << false;
    QTest::newRow("the stored 100 characters do match")
        << Accounts{Account(1, QString(101, 'l'), QString(101, 'p'), 5)} << QString(100, 'l')
        << QString(100, 'p') << true << 1 << 5 << false;
}

void SignInTest::rules()
{
    QFETCH(Accounts, accounts);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(bool, signedIn);
    QFETCH(int, userId);
    QFETCH(int, level);
    QFETCH(bool, hidesButtons);

    const SignInMatch match = MatchSignIn(accounts, login, password);
    QCOMPARE(match.signedIn, signedIn);
    if (signedIn) {
        QCOMPARE(match.userId, userId);
        QCOMPARE(match.level, level);
    }
    QCOMPARE(match.hidesAdminButtons(), hidesButtons);
}

QTEST_GUILESS_MAIN(SignInTest)
#include "tst_sign_in.moc"
