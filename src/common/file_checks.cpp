#include "common/file_checks.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>

namespace
{

QString KindReason(const QFileInfo& info)
{
    if (info.isDir())
        return QStringLiteral("C'est un dossier, pas un fichier.");
    std::error_code error;
    const auto type = std::filesystem::status(info.filesystemFilePath(), error).type();
    if (type == std::filesystem::file_type::fifo)
        return QStringLiteral("C'est un tube nommé (FIFO), pas un fichier ordinaire.");
    return QStringLiteral("C'est un périphérique ou un fichier spécial, pas un fichier ordinaire.");
}

// An absent file or folder is no read-only one: the save itself finds out what is wrong.
bool OwnerMayNotWrite(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        return false;
    return (status.permissions() & std::filesystem::perms::owner_write) ==
           std::filesystem::perms::none;
}

} // namespace

QString NotARegularFileReason(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    QString reason = KindReason(info);
    // The user sees only the name: say where it leads.
    if (info.isSymLink())
        reason += QStringLiteral(" Le nom est un lien symbolique vers \"%1\".")
                      .arg(info.canonicalFilePath());
    return reason;
}

QString SystemErrorText(const std::error_code& error)
{
#ifdef Q_OS_UNIX
    // Every category holds errno values here.
    return qt_error_string(error.value());
#else
    return QString::fromLocal8Bit(error.message());
#endif
}

QString ReadOnlyReason(const QString& fileName, const std::filesystem::path& target)
{
    if (OwnerMayNotWrite(target))
        return QStringLiteral("Le fichier %1 est en lecture seule : il n'a pas été remplacé. "
                              "Retirez la protection en écriture (propriétés du fichier) puis "
                              "recommencez.")
            .arg(QFileInfo(fileName).fileName());
    return ReadOnlyFolderReason(fileName, target.parent_path());
}

QString ReadOnlyFolderReason([[maybe_unused]] const QString& fileName,
                             [[maybe_unused]] const std::filesystem::path& folder)
{
#ifdef Q_OS_WIN
    return {};
#else
    if (!OwnerMayNotWrite(folder))
        return {};
    return QStringLiteral("Le dossier \"%1\" est en lecture seule : %2 n'y a pas été "
                          "enregistré. Retirez la protection en écriture (propriétés du dossier) "
                          "puis recommencez.")
        .arg(QDir::toNativeSeparators(QString::fromStdU16String(folder.u16string())),
             QFileInfo(fileName).fileName());
#endif
}
