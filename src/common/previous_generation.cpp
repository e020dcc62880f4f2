#include "common/previous_generation.h"

#include "common/disk_sync.h"
#include "common/errors.h"
#include "common/file_checks.h"
#include "common/save_temporaries.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace fs = std::filesystem;

namespace
{

constexpr int NameAttempts = 100;

[[noreturn]] void FailBackup(const QString& fileName, const fs::path& backup, const QString& why)
{
    throw EFCreateError(
        fileName, QStringLiteral("La copie de sécurité %1 n'a pas pu être faite : %2. Le fichier "
                                 "%3 n'a pas été remplacé.")
                      .arg(QString::fromStdU16String(backup.filename().u16string()), why,
                           QFileInfo(fileName).fileName()));
}

// A copy is on the disk before it takes the .bak's name, as a whole-file save is.
std::error_code CopyToDisk(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::none, error);
    if (error)
        return error;
    QFile copy(QFileInfo(to).absoluteFilePath());
    if (!copy.open(QIODevice::ReadWrite))
        return std::make_error_code(std::errc::io_error);
    if (const int err = SyncFileToDisk(copy); err != 0 && err != EINVAL)
        return std::error_code(err, std::generic_category());
    return {};
}

// A second name on the data of `from`: a hard link needs no room on a full disk, and the save
// that follows puts a new file under the name; a copy where links are not possible. Gives
// file_exists, and leaves `to` alone, when the name is taken.
std::error_code LinkOrCopy(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::create_hard_link(from, to, error);
    if (!error || error == std::errc::file_exists)
        return error;
    error = CopyToDisk(from, to);
    if (error && error != std::errc::file_exists) {
        std::error_code ignored;
        fs::remove(to, ignored);
    }
    return error;
}

// The .bak-to-be beside the .bak; a name taken by chance is tried again with another.
fs::path MakeTemporary(const fs::path& from, const fs::path& backup, std::error_code& error)
{
    for (int attempt = 0;; ++attempt) {
        const fs::path temporary = QFileInfo(TemporaryNameFor(backup)).filesystemAbsoluteFilePath();
        error = LinkOrCopy(from, temporary);
        if (error != std::errc::file_exists || attempt == NameAttempts)
            return temporary;
    }
}

} // namespace

void KeepPreviousGeneration(const QString& fileName)
{
    const QFileInfo current(fileName);
    if (!current.isFile())
        return;
    // The data: where the name leads, the file the save will replace.
    const fs::path from = SaveTarget(fileName);
    fs::path backup = current.filesystemAbsoluteFilePath();
    backup += ".bak";
    QString readOnly = ReadOnlyReason(fileName, from);
    if (readOnly.isEmpty())
        readOnly = ReadOnlyFolderReason(fileName, backup.parent_path());
    if (!readOnly.isEmpty())
        throw EFCreateError(fileName, readOnly);

    // Already the .bak (a save killed after this step, before its rename): nothing to add.
    if (std::error_code notThere; fs::equivalent(from, backup, notThere))
        return;
    RemoveStaleTemporaries(backup);
    std::error_code error;
    const fs::path temporary = MakeTemporary(from, backup, error);
    if (error)
        FailBackup(fileName, backup, SystemErrorText(error));
    fs::rename(temporary, backup, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        FailBackup(fileName, backup, SystemErrorText(error));
    }
    if (const int err = SyncFolder(backup.parent_path()))
        FailBackup(fileName, backup,
                   SystemErrorText(std::error_code(err, std::generic_category())));
}
