#include "common/previous_generation.h"

#include "common/errors.h"
#include "common/file_checks.h"

#include <QFileInfo>
#include <filesystem>

// A second name on the same data (a hard link) needs no room on a full disk, and the save that
// follows puts a new file under the name; a copy where links are not possible.
void KeepPreviousGeneration(const QString& fileName)
{
    const QFileInfo current(fileName);
    if (!current.isFile())
        return;
    const std::filesystem::path from = current.filesystemAbsoluteFilePath();
    std::filesystem::path backup = from;
    backup += ".bak";
    std::error_code error;
    std::filesystem::remove(backup, error);
    error.clear();
    std::filesystem::create_hard_link(from, backup, error);
    if (error) {
        error.clear();
        std::filesystem::copy_file(from, backup, std::filesystem::copy_options::overwrite_existing,
                                   error);
    }
    if (error)
        throw EFCreateError(QString::fromStdU16String(backup.u16string()), SystemErrorText(error));
}
