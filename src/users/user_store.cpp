#include "users/user_store.h"

#include "users/damaged_files.h"
#include "users/user_file_backup.h"

UserStore::UserStore(const QString& fileName)
    : m_file(fileName, UserRecord::Size, NewFileAccess::OwnerOnly)
{
    m_file.setTailHandler(ReportSetAsideTail);
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
    keepBackup();
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
    keepBackup();
    m_file.rewriteEmpty();
    m_file.open();
}

void UserStore::keepOnly(const UserRecord& account)
{
    m_file.open();
    keepBackup();
    m_file.writeRecord(0, account.toBytes());
    m_file.keepRecords(1);
}

bool UserStore::isFirstRun()
{
    m_file.open();
    return IsFirstRun(m_file);
}

void UserStore::keepBackup()
{
    KeepUserFileBackup(m_file.fileName());
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

EDamagedUserFile::EDamagedUserFile(const QString& fileName, qint64 bytes)
    : QuivelError(DamagedUserFileMessage(fileName, bytes))
{
}

bool IsFirstRun(FixedRecordFile& userFile)
{
    const qint64 bytes = userFile.size();
    if (bytes > 0 && userFile.recordCount() == 0)
        throw EDamagedUserFile(userFile.fileName(), bytes);
    return bytes == 0;
}
