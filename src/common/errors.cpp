#include "common/errors.h"

#include <QFileInfo>
#include <cerrno>

QuivelError::QuivelError(QString message)
    : m_message(std::move(message)), m_what(m_message.toUtf8())
{
}

EConvertError EConvertError::notAnInteger(const QString& text)
{
    return EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

static QString fullPath(const QString& fileName)
{
    return QFileInfo(fileName).absoluteFilePath();
}

EFOpenError::EFOpenError(const QString& fileName, const QString& reason)
    : QuivelError(QStringLiteral("Cannot open file \"%1\". %2").arg(fullPath(fileName), reason))
{
}

// "64 Mio", "64 Kio", "1000 octets": the limits are round numbers of binary units.
static QString ByteSizeText(qint64 bytes)
{
    constexpr qint64 Kibi = 1024;
    if (bytes > 0 && bytes % (Kibi * Kibi) == 0)
        return QStringLiteral("%1 Mio").arg(bytes / (Kibi * Kibi));
    if (bytes > 0 && bytes % Kibi == 0)
        return QStringLiteral("%1 Kio").arg(bytes / Kibi);
    return QStringLiteral("%1 octets").arg(bytes);
}

EFileTooLarge::EFileTooLarge(const QString& fileName, qint64 maxBytes)
    : EFOpenError(WholeMessage{
          QStringLiteral("Le fichier \"%1\" dépasse la taille admise de %2 : il n'a pas été lu.")
              .arg(fullPath(fileName), ByteSizeText(maxBytes))})
{
}

EFCreateError::EFCreateError(const QString& fileName, const QString& reason)
    : QuivelError(QStringLiteral("Cannot create file \"%1\". %2").arg(fullPath(fileName), reason))
{
}

EListError::EListError(qint64 index)
    : QuivelError(QStringLiteral("List index out of bounds (%1)").arg(index))
{
}

EInOutError::EInOutError(int code) : QuivelError(textForCode(code)), m_code(code)
{
}

QString EInOutError::textForCode(int code)
{
    switch (code) {
    case FileNotFound:
        return QStringLiteral("File not found");
    case InvalidFilename:
        return QStringLiteral("Invalid filename");
    case TooManyOpenFiles:
        return QStringLiteral("Too many open files");
    case AccessDenied:
        return QStringLiteral("File access denied");
    case ReadBeyondEnd:
        return QStringLiteral("Read beyond end of file");
    case DiskFull:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(code);
    }
}

int EInOutError::codeForErrno(int err)
{
    switch (err) {
    case ENOENT:
        return FileNotFound;
    case EINVAL:
    case ENAMETOOLONG:
        return InvalidFilename;
    case EMFILE:
    case ENFILE:
        return TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return AccessDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return DiskFull;
    case EBADF:
        return FileNotOpen;
    default:
        return err > 0 ? err : FileNotOpen;
    }
}
