#include "common/text_file.h"

#include "common/errors.h"
#include "common/file_checks.h"
#include "common/windows1252.h"

#include <QFile>
#include <cerrno>

QList<QByteArray> SplitTextLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(bytes.mid(start));
    return lines;
}

namespace
{

// At most maxBytes + 1 bytes: one byte past the limit tells a file too large, even one that
// grows while it is read or that states no size (as under /proc).
QByteArray ReadAtMost(QFile& file, qint64 maxBytes)
{
    const qint64 cap = maxBytes + 1;
    constexpr qint64 Step = 64 * 1024;
    QByteArray bytes(qBound<qint64>(1, file.size() + 1, cap), Qt::Uninitialized);
    qint64 filled = 0;
    while (filled < cap) {
        if (filled == bytes.size())
            bytes.resize(qMin(cap, filled + qMax(Step, filled)));
        const qint64 got = file.read(bytes.data() + filled, bytes.size() - filled);
        if (got < 0)
            throw EFOpenError(file.fileName(), file.errorString());
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > maxBytes)
        throw EFileTooLarge(file.fileName(), maxBytes);
    bytes.truncate(filled);
    return bytes;
}

} // namespace

QByteArray ReadWholeFile(const QString& fileName, qint64 maxBytes)
{
    // Checked before opening: opening a FIFO waits for a writer, a device never ends.
    const QString notRegular = NotARegularFileReason(fileName);
    if (!notRegular.isEmpty())
        throw EFOpenError(fileName, notRegular);
    QFile file(fileName);
    if (file.size() > maxBytes)
        throw EFileTooLarge(fileName, maxBytes);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EFOpenError(fileName, file.errorString());
    return ReadAtMost(file, maxBytes);
}

QStringList ReadTextLines(const QString& fileName, qint64 maxBytes)
{
    QStringList lines;
    const auto raw = SplitTextLines(ReadWholeFile(fileName, maxBytes));
    lines.reserve(raw.size());
    for (const QByteArray& line : raw)
        lines.append(DecodeWindows1252(line));
    return lines;
}

void WriteByteLines(const QString& fileName, const QList<QByteArray>& lines)
{
    qsizetype total = 0;
    for (const QByteArray& line : lines)
        total += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(total);
    for (const QByteArray& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    WriteWholeFile(fileName, bytes);
}

void WriteTextLines(const QString& fileName, const QStringList& lines)
{
    QList<QByteArray> encoded;
    encoded.reserve(lines.size());
    for (const QString& line : lines)
        encoded.append(EncodeWindows1252(line));
    WriteByteLines(fileName, encoded);
}

void OverwriteThenRemove(const QString& fileName, const QByteArray& bytes)
{
    // A FIFO would wait for a reader, a device would be written to: refused as a folder is.
    if (!NotARegularFileReason(fileName).isEmpty())
        throw EInOutError(EInOutError::AccessDenied);
    QFile file(fileName);
    // errno right after each call: the system's reason, as the runtime reports it.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw EInOutError(EInOutError::codeForErrno(errno ? errno : EACCES));
    errno = 0;
    if (file.write(bytes) != bytes.size())
        throw EInOutError(EInOutError::codeForErrno(errno ? errno : ENOSPC));
    file.close();
    errno = 0;
    if (!QFile::remove(fileName))
        throw EInOutError(EInOutError::codeForErrno(errno ? errno : EACCES));
}
