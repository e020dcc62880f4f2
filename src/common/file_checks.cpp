#include "common/file_checks.h"

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
