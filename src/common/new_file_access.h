#pragma once

#include <QIODevice>

class QFile;

// Who may read and write a file that the program creates. Existing files keep their modes.
enum class NewFileAccess {
    FollowUmask, // 0666 less the user's umask
    OwnerOnly,   // 0600 on Linux and macOS, whatever the umask; the platform's default on Windows
};

// QFile::open, a file it creates getting the access given. The mode goes with the creating
// open() itself: there is no moment where others could open the new file, and the umask can
// only take bits away from 0600.
bool OpenWithAccess(QFile& file, QIODevice::OpenMode mode, NewFileAccess access);
