#include "common/save_temporaries.h"

#include "common/errors.h"
#include "common/file_checks.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>

namespace fs = std::filesystem;

namespace
{

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

} // namespace

QString TemporaryNameFor(const fs::path& target)
{
    return QFileInfo(target).absoluteFilePath() + TemporaryMark + RandomPart();
}

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
