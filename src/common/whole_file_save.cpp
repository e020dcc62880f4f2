#include "common/text_file.h"

#include "common/disk_sync.h"
#include "common/errors.h"
#include "common/file_checks.h"
#include "common/save_temporaries.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <filesystem>

// A whole-file save writes a temporary file beside the file it replaces, syncs it to the disk,
// renames it over the name, then syncs the folder: a crash, a kill or a full disk leaves the
// earlier file or the new one, never a part of either.

namespace fs = std::filesystem;

namespace
{

// Why a call on the file failed, as the system says it. Qt reports a write cut short as no
// error at all ("Unknown error"): errno (Unix) or the system's last error then says why.
QString FailureReason(const QFileDevice& file, int err)
{
#ifdef Q_OS_UNIX
    if (err != 0)
        return SystemErrorText(std::error_code(err, std::generic_category()));
#else
    Q_UNUSED(err);
#endif
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return qt_error_string(-1);
}

// The temporary file of one save; removed unless it became the file.
class PendingSave
{
public:
    PendingSave(const QString& shownName, fs::path target, NewFileAccess access)
        : m_shownName(shownName), m_target(std::move(target)), m_access(access)
    {
        create();
    }
    ~PendingSave()
    {
        if (!m_renamed) {
            m_file.close();
            m_file.remove();
        }
    }
    PendingSave(const PendingSave&) = delete;
    PendingSave& operator=(const PendingSave&) = delete;

    void write(const QByteArray& bytes)
    {
        errno = 0;
        if (m_file.write(bytes) != bytes.size())
            fail(FailureReason(m_file, errno));
    }

    void commit()
    {
        keepPermissions();
        // A file system that cannot sync (EINVAL) has nothing more to give.
        if (const int err = SyncFileToDisk(m_file); err != 0 && err != EINVAL)
            fail(FailureReason(m_file, err));
        m_file.close();
        if (m_file.error() != QFileDevice::NoError)
            fail(m_file.errorString());
        std::error_code error;
        fs::rename(QFileInfo(m_file).filesystemAbsoluteFilePath(), m_target, error);
        if (error)
            fail(SystemErrorText(error));
        m_renamed = true;
        if (const int err = SyncFolder(m_target.parent_path()))
            fail(SystemErrorText(std::error_code(err, std::generic_category())));
    }

private:
    [[noreturn]] void fail(const QString& reason) const
    {
        throw EFCreateError(m_shownName, reason);
    }

    // Created new, never opened over something there (NewOnly), with the permissions of its
    // access; a name taken by chance is tried again with another.
    void create()
    {
        for (int attempt = 0;; ++attempt) {
            m_file.setFileName(TemporaryNameFor(m_target));
            errno = 0;
            if (OpenWithAccess(m_file,
                               QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                               m_access))
                return;
            const int err = errno;
            if (!QFileInfo::exists(m_file.fileName()) || attempt == 100)
                fail(FailureReason(m_file, err));
        }
    }

    // The file replaced keeps its permissions (someone may have set them on purpose).
    void keepPermissions()
    {
        const QFileInfo earlier(m_target);
        if (!earlier.exists())
            return;
        const auto user = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
        m_file.setPermissions(earlier.permissions() & ~user);
    }

    QString m_shownName;
    fs::path m_target;
    NewFileAccess m_access;
    QFile m_file;
    bool m_renamed = false;
};

} // namespace

void WriteWholeFile(const QString& fileName, const QByteArray& bytes, NewFileAccess access)
{
    if (fileName.isEmpty())
        throw EFCreateError(fileName, QStringLiteral("Aucun nom de fichier n'a été donné."));
    // Refused before anything is written: a link to a device must not become a plain file, a
    // device must not be replaced, and a FIFO must not be waited on.
    const QString notRegular = NotARegularFileReason(fileName);
    if (!notRegular.isEmpty())
        throw EFCreateError(fileName, notRegular);
    const fs::path target = SaveTarget(fileName);
    // A file or folder its owner made read-only is kept, also when the system would let us
    // (root): whoever protected it wants it as it is.
    const QString readOnly = ReadOnlyReason(fileName, target);
    if (!readOnly.isEmpty())
        throw EFCreateError(fileName, readOnly);
    RemoveStaleTemporaries(target);
    PendingSave save(fileName, target, access);
    save.write(bytes);
    save.commit();
}
