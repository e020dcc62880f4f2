#include "common/errors.h"
#include "support/test_files.h"
#include "users/user_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// A record laid out byte by byte, independently of the writer under test.
QByteArray HandMadeUser(const QByteArray& idLe, const QByteArray& first, const QByteArray& family,
                        const QByteArray& login, const QByteArray& scrambled,
                        const QByteArray& levelLe)
{
    QByteArray bytes(412, '\0');
    bytes.replace(0, 4, idLe);
    const auto text = [&](int offset, const QByteArray& value) {
        bytes[offset] = char(value.size());
        bytes.replace(offset + 1, value.size(), value);
    };
    text(4, first);
    text(105, family);
    text(206, login);
    text(307, scrambled);
    bytes.replace(408, 4, levelLe);
    return bytes;
}

const QString Jean = QStringLiteral("Jean");
} // namespace

class UserStoreTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void scramblePassword_data();
    void scramblePassword();
    void recordBytes_data();
    void recordBytes();
    void textsAreCutAt100();
    void noRemainsOfAnEarlierAccount();

    void prepareCreatesAnEmptyFileOnce();
    void appendsGrowTheFileRecordByRecord();
    void deleteAllEmptiesTheFileAndKeepsItUsable();
    void fileThatCannotBeOpenedRaises();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void UserStoreTest::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
}

void UserStoreTest::cleanup()
{
    QDir::setCurrent(QDir::tempPath());
    m_dir.reset();
}

void UserStoreTest::scramblePassword_data()
{
    QTest::addColumn<QByteArray>("clear");
    QTest::addColumn<QByteArray>("scrambled");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("ascii") << QByteArray("ab") << QByteArray::fromHex("a8ab");
    QTest::newRow("the key byte becomes 0") << QByteArray("\xC9") << QByteArray(1, '\0');
    QTest::newRow("zero becomes the key") << QByteArray(1, '\0') << QByteArray("\xC9");
    QTest::newRow("high bytes") << QByteArray("\xFF\x80") << QByteArray::fromHex("3649");
}

void UserStoreTest::scramblePassword()
{
    QFETCH(QByteArray, clear);
    QFETCH(QByteArray, scrambled);
    QCOMPARE(ScramblePassword(clear), scrambled);
    QCOMPARE(ScramblePassword(scrambled), clear);
}

void UserStoreTest::recordBytes_data()
{
    QTest::addColumn<UserRecord>("record");
    QTest::addColumn<QByteArray>("bytes");

    // "É" is byte 0xC9 in Windows-1252, the key itself: stored as a zero byte.
    QTest::newRow("typed account")
        << UserRecord::fromTyped(5, Jean, QStringLiteral("Dupont"), QStringLiteral("jdupont"),
                                 QStringLiteral("abÉ"), 9)
        << HandMadeUser(QByteArray::fromHex("05000000"), "Jean", "Dupont", "jdupont",
                        QByteArray::fromHex("a8ab00"), QByteArray::fromHex("09000000"));
    QTest::newRow("empty texts, negative numbers")
        << UserRecord::fromTyped(-1, {}, {}, {}, {}, -300)
        << HandMadeUser(QByteArray::fromHex("ffffffff"), "", "", "", "",
                        QByteArray::fromHex("d4feffff"));
    QTest::newRow("accents in Windows-1252")
        << UserRecord::fromTyped(0x01020304, QStringLiteral("Zoé"), QStringLiteral("Lœuvre"),
                                 QStringLiteral("zoé"), QString(), 2)
        << HandMadeUser(QByteArray::fromHex("04030201"), "Zo\xE9", "L\x9Cuvre", "zo\xE9", "",
                        QByteArray::fromHex("02000000"));
}

void UserStoreTest::recordBytes()
{
    QFETCH(UserRecord, record);
    QFETCH(QByteArray, bytes);
    QCOMPARE(record.toBytes().toHex(), bytes.toHex());
    const UserRecord back = UserRecord::fromBytes(bytes);
    QCOMPARE(back.id, record.id);
    QCOMPARE(back.firstName, record.firstName);
    QCOMPARE(back.familyName, record.familyName);
    QCOMPARE(back.login, record.login);
    QCOMPARE(back.password, record.password);
    QCOMPARE(back.level, record.level);
}

void UserStoreTest::textsAreCutAt100()
{
    const QString longName(150, QLatin1Char('n'));
    const QString longLogin(120, QLatin1Char('l'));
    const QString longPassword(130, QLatin1Char('p'));
    UserStore store;
    store.prepare();
    store.append(
        UserRecord::fromTyped(1, longName, QStringLiteral("x"), longLogin, longPassword, 5));

    const QByteArray file = ReadAll(UserFileName);
    QCOMPARE(file.size(), 412);
    QCOMPARE(quint8(file.at(4)), quint8(100));
    QCOMPARE(file.mid(5, 100), QByteArray(100, 'n'));
    QCOMPARE(quint8(file.at(206)), quint8(100));
    QCOMPARE(quint8(file.at(307)), quint8(100));
    QCOMPARE(file.mid(308, 100), QByteArray(100, char('p' ^ 0xC9)));
    QCOMPARE(file.mid(408, 4), QByteArray::fromHex("05000000"));

    const QList<UserRecord> accounts = store.readAll();
    QCOMPARE(accounts.size(), 1);
    QCOMPARE(accounts[0].firstName, QByteArray(100, 'n'));
}

void UserStoreTest::noRemainsOfAnEarlierAccount()
{
    UserStore store;
    store.prepare();
    store.append(UserRecord::fromTyped(1, QString(90, QLatin1Char('A')),
                                       QString(90, QLatin1Char('B')), QString(90, QLatin1Char('C')),
                                       QString(90, QLatin1Char('D')), 9));
    store.append(UserRecord::fromTyped(2, QStringLiteral("a"), QStringLiteral("b"),
                                       QStringLiteral("c"), QStringLiteral("d"), 1));
    const QByteArray second = ReadAll(UserFileName).mid(412);
    QCOMPARE(second.toHex(),
             HandMadeUser(QByteArray::fromHex("02000000"), "a", "b", "c",
                          QByteArray(1, char('d' ^ 0xC9)), QByteArray::fromHex("01000000"))
                 .toHex());
}

void UserStoreTest::prepareCreatesAnEmptyFileOnce()
{
    UserStore store;
    store.prepare();
    QVERIFY(QFile::exists(UserFileName));
    QCOMPARE(QFile(UserFileName).size(), 0);
    QVERIFY(store.isOpen());
    store.append(UserRecord::fromTyped(1, Jean, {}, {}, {}, 5));

    UserStore nextRun;
    nextRun.prepare();
    QCOMPARE(QFile(UserFileName).size(), 412);
    QCOMPARE(nextRun.readAll().size(), 1);
}

void UserStoreTest::appendsGrowTheFileRecordByRecord()
{
    UserStore store;
    store.prepare();
    // Two accounts with the same identifier are both kept.
    store.append(UserRecord::fromTyped(3, Jean, {}, QStringLiteral("jean"), {}, 5));
    QCOMPARE(QFile(UserFileName).size(), 412);
    QVERIFY(!store.isOpen());
    store.append(
        UserRecord::fromTyped(3, QStringLiteral("Marie"), {}, QStringLiteral("marie"), {}, 2));
    QCOMPARE(QFile(UserFileName).size(), 824);

    // A second handle, as the sign-in window keeps, sees both without reopening.
    FixedRecordFile reader(UserFileName, UserRecord::Size);
    reader.open();
    store.append(
        UserRecord::fromTyped(4, QStringLiteral("Paul"), {}, QStringLiteral("paul"), {}, 7));
    const QList<UserRecord> accounts = ReadUserRecords(reader);
    QCOMPARE(accounts.size(), 3);
    QCOMPARE(accounts[0].firstName, QByteArray("Jean"));
    QCOMPARE(accounts[1].id, 3);
    QCOMPARE(accounts[1].login, QByteArray("marie"));
    QCOMPARE(accounts[2].level, 7);
}

void UserStoreTest::deleteAllEmptiesTheFileAndKeepsItUsable()
{
    UserStore store;
    store.prepare();
    for (int id = 1; id <= 3; ++id)
        store.append(UserRecord::fromTyped(id, Jean, {}, {}, {}, 5));
    QCOMPARE(store.readAll().size(), 3);
    store.deleteAll();
    QCOMPARE(QFile(UserFileName).size(), 0);
    QVERIFY(store.isOpen());
    QVERIFY(store.readAll().isEmpty());
    store.append(UserRecord::fromTyped(9, Jean, {}, {}, {}, 5));
    QCOMPARE(store.readAll().constFirst().id, 9);
}

void UserStoreTest::fileThatCannotBeOpenedRaises()
{
    QVERIFY(QDir().mkdir(UserFileName));
    UserStore store;
    QVERIFY_THROWS_EXCEPTION(EInOutError, store.prepare());
    QVERIFY_THROWS_EXCEPTION(EInOutError,
                             store.append(UserRecord::fromTyped(1, Jean, {}, {}, {}, 5)));
}

QTEST_GUILESS_MAIN(UserStoreTest)
#include "tst_user_store.moc"
