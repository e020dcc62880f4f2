#include "common/disk_sync.h"

#include <QFile>
#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

int SyncFileToDisk(QFile& file)
{
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0 ? 0 : errno;
#else
    return ::fsync(file.handle()) == 0 ? 0 : errno;
#endif
}

int SyncFolder([[maybe_unused]] const std::filesystem::path& folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0; // a folder we may write but not read: nothing to sync it through
    const int err = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return err;
#else
    return 0;
#endif
}
