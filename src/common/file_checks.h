#pragma once

#include <QString>
#include <system_error>

// Checks made before a data file is opened or replaced, and the texts that say why not.

// Why a path is no file to read or replace: a folder, a FIFO, a device (also at the end of
// symbolic links). The empty text for a regular file and for a path that does not exist, whose
// opening then gives the system's own reason. A FIFO is never opened: that would wait for a
// writer.
QString NotARegularFileReason(const QString& path);

// The system's text for an error code (std::filesystem's, or errno as std::generic_category),
// worded as Qt words every other file error the program shows.
QString SystemErrorText(const std::error_code& error);
