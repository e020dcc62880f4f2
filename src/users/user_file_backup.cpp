#include "users/user_file_backup.h"

#include "common/text_file.h"
#include "users/user_record.h"

#include <QFileInfo>

namespace
{
// Far beyond any real user file (a hundred thousand accounts); a larger one is no user file.
constexpr qint64 MaxUserFileBytes = qint64(UserRecord::Size) * 100000;
} // namespace

QString UserFileBackupName(const QString& userFileName)
{
    return userFileName + QStringLiteral(".bak");
}

void KeepUserFileBackup(const QString& userFileName)
{
    // A hard link (as for the record file) would change with the file: it is written in place.
    if (!QFileInfo::exists(userFileName))
        return;
    WriteWholeFile(UserFileBackupName(userFileName), ReadWholeFile(userFileName, MaxUserFileBytes),
                   NewFileAccess::OwnerOnly);
}

bool UserFileBackupHoldsAccounts(const QString& userFileName)
{
    const QFileInfo backup(UserFileBackupName(userFileName));
    return backup.isFile() && backup.size() >= UserRecord::Size;
}
