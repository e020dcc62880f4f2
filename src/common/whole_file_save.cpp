#include "common/text_file.h"

#include "common/disk_sync.h"
#include "common/errors.h"
#include "common/file_checks.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <filesystem>

// A whole-file save writes a temporary file beside the file it replaces, syncs it to the disk,
// renames it over the name, then syncs the folder: a crash, a kill or a full disk leaves the
// earlier file or the new one, never a part of either.

namespace fs = std::filesystem;

namespace
{

// Ours are "<name>.tmp-" and six letters or digits; earlier versions of the program saved
// through QSaveFile, whose leftovers are "<name>." and six letters.
const QString TemporaryMark = QStringLiteral(".tmp-");
constexpr qsizetype RandomLength = 6;
constexpr int MaxLinkHops = 40;

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity NameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity NameCase = Qt::CaseSensitive;
#endif

QString RandomPart()
{
    static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString part;
    for (qsizetype i = 0; i < RandomLength; ++i)
        part +=
            QLatin1Char(Alphabet[QRandomGenerator::global()->bounded(int(sizeof Alphabet) - 1)]);
    return part;
}

bool IsRandomPart(QStringView text, bool digitsToo)
{
    return text.size() == RandomLength && std::all_of(text.begin(), text.end(), [&](QChar c) {
               return c.unicode() < 128 && (c.isLetter() || (digitsToo && c.isDigit()));
           });
}

// "backup", "BACKUP", "Backup": a suffix a person chose, never taken for a leftover.
bool LooksLikeAWord(QStringView text)
{
    const QStringView tail = text.mid(1);
    const auto isLower = [](QChar c) { return c.isLower(); };
    const auto isUpper = [](QChar c) { return c.isUpper(); };
    const bool tailLower = std::all_of(tail.begin(), tail.end(), isLower);
    const bool tailUpper = std::all_of(tail.begin(), tail.end(), isUpper);
    return (tailLower && text.front().isLetter()) || (tailUpper && text.front().isUpper());
}

bool IsStaleTemporaryOf(const QString& entry, const QString& name)
{
    if (entry.size() <= name.size() + 1 || !entry.startsWith(name, NameCase) ||
        entry.at(name.size()) != u'.')
        return false;
    const QStringView rest = QStringView(entry).mid(name.size());
    if (rest.startsWith(TemporaryMark))
        return IsRandomPart(rest.mid(TemporaryMark.size()), true);
    const QStringView suffix = rest.mid(1);
    return IsRandomPart(suffix, false) && !LooksLikeAWord(suffix);
}

// A save killed before its rename leaves its temporary file; the next save of the name
// removes it (and a leftover that cannot be removed does not stop the save).
void RemoveStaleTemporaries(const fs::path& target)
{
    const QFileInfo info(target);
    const QString name = info.fileName();
    QDirIterator entries(info.absolutePath(), QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    while (entries.hasNext()) {
        entries.next();
        if (IsStaleTemporaryOf(entries.fileName(), name))
            QFile::remove(entries.filePath());
    }
}

// The file a save replaces: the name, or the end of its chain of symbolic links, so that a link
// set up to keep the data elsewhere stays a link. A link to nothing yet names the file to create.
fs::path SaveTarget(const QString& fileName)
{
    fs::path path = QFileInfo(fileName).filesystemAbsoluteFilePath();
    std::error_code error;
    for (int hop = 0; fs::is_symlink(fs::symlink_status(path, error)); ++hop) {
        if (hop == MaxLinkHops)
            throw EFCreateError(fileName, SystemErrorText(std::make_error_code(
                                              std::errc::too_many_symbolic_link_levels)));
        const fs::path next = fs::read_symlink(path, error);
        if (error)
            throw EFCreateError(fileName, SystemErrorText(error));
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

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
        const QString base = QFileInfo(m_target).absoluteFilePath() + TemporaryMark;
        for (int attempt = 0;; ++attempt) {
            m_file.setFileName(base + RandomPart());
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
    RemoveStaleTemporaries(target);
    PendingSave save(fileName, target, access);
    save.write(bytes);
    save.commit();
}
