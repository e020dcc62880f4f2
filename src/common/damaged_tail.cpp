#include "common/damaged_tail.h"

#include "common/disk_sync.h"
#include "common/errors.h"
#include "common/file_checks.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace
{

// Past this many names taken the folder is not one where side files can be made.
constexpr int MaxNameAttempts = 1000;

QString Reason(int err)
{
    return SystemErrorText(std::error_code(err ? err : EIO, std::generic_category()));
}

// Opens a side file under the first free name: NewOnly, so that two programs setting tails aside
// at once never share one.
void CreateSideFile(QFile& file, const QString& baseName, NewFileAccess access)
{
    for (int n = 1; n <= MaxNameAttempts; ++n) {
        file.setFileName(n == 1 ? baseName : baseName + QStringLiteral("-%1").arg(n));
        errno = 0;
        if (OpenWithAccess(file, QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                           access))
            return;
        const int err = errno;
        if (err != EEXIST && !QFileInfo::exists(file.fileName()))
            throw EFCreateError(file.fileName(), Reason(err));
    }
    throw EFCreateError(baseName, Reason(EEXIST));
}

} // namespace

QString DamagedTailFileName(const QString& fileName, const QDateTime& when)
{
    return fileName + QStringLiteral(".damaged-") +
           when.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
}

QString SaveDamagedTail(const QString& fileName, const QByteArray& tail, NewFileAccess access,
                        const QDateTime& when)
{
    QFile side;
    CreateSideFile(side, DamagedTailFileName(fileName, when), access);
    const auto fail = [&](int err) {
        side.close();
        side.remove();
        throw EFCreateError(side.fileName(), Reason(err));
    };
    errno = 0;
    if (side.write(tail) != tail.size())
        fail(errno);
    if (const int err = SyncFileToDisk(side); err != 0 && err != EINVAL)
        fail(err);
    side.close();
    if (const int err = SyncFolder(QFileInfo(side).filesystemAbsoluteFilePath().parent_path()))
        fail(err);
    return side.fileName();
}
