#pragma once

#include <filesystem>

class QFile;

// Putting written bytes and renames on the disk. Each returns 0 or the system's errno.

// The file's written bytes (fsync, _commit on Windows).
int SyncFileToDisk(QFile& file);

// A rename is on the disk only once the folder that holds it is. 0 where a folder cannot be
// opened or synced on this system.
int SyncFolder(const std::filesystem::path& folder);
