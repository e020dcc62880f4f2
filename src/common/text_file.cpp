#include "common/text_file.h"

#include "common/errors.h"
#include "common/windows1252.h"

#include <QFile>
#include <QSaveFile>
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

QByteArray ReadWholeFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(fileName, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFOpenError(fileName, file.errorString());
    return bytes;
}

QStringList ReadTextLines(const QString& fileName)
{
    QStringList lines;
    const auto raw = SplitTextLines(ReadWholeFile(fileName));
    lines.reserve(raw.size());
    for (const QByteArray& line : raw)
        lines.append(DecodeWindows1252(line));
    return lines;
}

void WriteWholeFile(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(fileName, file.errorString());
    // commit() does not report a failed final flush: check it first, or a full disk would
    // replace the earlier file by a cut-short one.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw EFCreateError(fileName, file.errorString());
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
