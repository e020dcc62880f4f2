#pragma once

#include "common/errors.h"
#include "common/fixed_record_file.h"
#include "users/user_record.h"

#include <QList>

// The accounts of the user file, through one handle. Failures raise EInOutError. The file
// is created readable by its owner only (Linux): the scrambled passwords are reversible.
// Before each change the file is copied whole to ConfigAgents.dt.bak; a trailing piece
// shorter than a record is set aside (reported by ReportSetAsideTail) before any write.
class UserStore
{
public:
    explicit UserStore(const QString& fileName = UserFileName);

    // At program start: creates the file empty when missing (no message) and opens it.
    void prepare();
    // Writes the account whole after the last whole record, synced to the disk, then closes
    // the handle.
    void append(const UserRecord& account);
    // Every whole record, in file order; the handle stays open.
    QList<UserRecord> readAll();
    // Empties the file; the handle stays open.
    void deleteAll();
    // Leaves the account as the file's only record; the handle stays open. The file holds
    // at least one account at every moment, so that a crash never leaves it empty.
    void keepOnly(const UserRecord& account);
    // IsFirstRun of the file; the handle stays open.
    bool isFirstRun();
    void close();
    bool isOpen() const { return m_file.isOpen(); }

private:
    void keepBackup();

    FixedRecordFile m_file;
};

// A user file that holds bytes but not one whole account: the message says so and how to
// restore it (from the .bak when that holds an account).
class EDamagedUserFile : public QuivelError
{
public:
    EDamagedUserFile(const QString& fileName, qint64 bytes);
};

// Whether an account may be created without an administrator: only while the user file holds
// nothing at all, the first run. A file with bytes but no whole account is no first run: it
// raises EDamagedUserFile.
bool IsFirstRun(FixedRecordFile& userFile);

// The store's one handle, shared by the user administration windows.
UserStore& SharedUserStore();

// Every whole record of an open user file handle, in file order.
QList<UserRecord> ReadUserRecords(FixedRecordFile& file);
