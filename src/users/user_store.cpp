#include "users/user_store.h"

UserStore::UserStore(const QString& fileName)
    : m_file(fileName, UserRecord::Size, NewFileAccess::OwnerOnly)
{
}

void UserStore::prepare()
{
    if (!m_file.exists())
        m_file.rewriteEmpty();
    m_file.open();
}

void UserStore::append(const UserRecord& account)
{
    m_file.open();
    m_file.appendRecord(account.toBytes(), true);
    m_file.close();
}

QList<UserRecord> UserStore::readAll()
{
    m_file.open();
    return ReadUserRecords(m_file);
}

void UserStore::deleteAll()
{
    m_file.close();
    m_file.rewriteEmpty();
    m_file.open();
}

void UserStore::keepOnly(const UserRecord& account)
{
    m_file.open();
    m_file.writeRecord(0, account.toBytes());
    m_file.keepRecords(1);
}

void UserStore::close()
{
    m_file.close();
}

UserStore& SharedUserStore()
{
    static UserStore store;
    return store;
}

QList<UserRecord> ReadUserRecords(FixedRecordFile& file)
{
    return ReadAllRecords<UserRecord>(file);
}
