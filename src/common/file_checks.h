#pragma once

#include <QString>
#include <filesystem>
#include <system_error>

// Checks made before a data file is opened or replaced, and the texts that say why not.

// Why a path is no file to read or replace: a folder, a FIFO, a device (also at the end of
// symbolic links). The empty text for a regular file and for a path that does not exist, whose
// opening then gives the system's own reason. A FIFO is never opened: that would wait for a
// writer.
QString NotARegularFileReason(const QString& path);

// Why a save must not replace `target`, the file at the end of `fileName`'s links, nor write
// beside it: its owner made the file, or (Unix) the folder, read-only. Read from the owner's
// write permission, so that root, whom the system lets write anyway, is refused too. The empty
// text when nothing stands in the way; the texts name the file as the user gave it.
QString ReadOnlyReason(const QString& fileName, const std::filesystem::path& target);
// The folder only: `fileName` is to be written into `folder`. A folder's read-only attribute
// on Windows says nothing about writing in it: never a reason there.
QString ReadOnlyFolderReason(const QString& fileName, const std::filesystem::path& folder);

// The system's text for an error code (std::filesystem's, or errno as std::generic_category),
// worded as Qt words every other file error the program shows.
QString SystemErrorText(const std::error_code& error);
