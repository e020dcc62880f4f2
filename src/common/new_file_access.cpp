#include "common/new_file_access.h"

#include <QFile>

bool OpenWithAccess(QFile& file, QIODevice::OpenMode mode, NewFileAccess access)
{
#ifndef Q_OS_WIN
    if (access == NewFileAccess::OwnerOnly)
        return file.open(mode, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#else
    Q_UNUSED(access);
#endif
    return file.open(mode);
}
