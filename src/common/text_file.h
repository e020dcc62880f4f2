#pragma once

#include "common/new_file_access.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text files: Windows-1252 bytes, lines ended by CR LF when written; readers also accept a
// lone CR or LF, and a break at the very end adds no empty line.

// Splits at CR LF, CR and LF.
QList<QByteArray> SplitTextLines(const QByteArray& bytes);

// Reads a whole regular file of at most maxBytes bytes. Raises EFOpenError "Cannot open file
// ..." when it cannot be read, and at once, unopened, when it is a folder, a FIFO or a device
// (also through symbolic links); raises EFileTooLarge (an EFOpenError) for a file larger than
// maxBytes, reading no more than one byte past the limit.
QByteArray ReadWholeFile(const QString& fileName, qint64 maxBytes);
QStringList ReadTextLines(const QString& fileName, qint64 maxBytes);

// Replaces a file whole: the bytes go to a temporary file beside it ("<name>.tmp-XXXXXX"),
// synced to the disk and renamed over the name, and the folder is synced; a crash, a kill or a
// full disk leaves the earlier file or the new one. The file replaced keeps its permissions; a new
// one gets those of access, and so does the temporary file from its creation on.
// A name that is a symbolic link replaces the file the link leads to: the link stays.
// Temporary files left by an interrupted save of the same name are removed first.
// Raises EFCreateError with the system's reason on failure, the earlier file left as it was;
// a name that is or leads to a folder, a FIFO or a device is refused before anything is
// written.
void WriteWholeFile(const QString& fileName, const QByteArray& bytes,
                    NewFileAccess access = NewFileAccess::FollowUmask);
// The lines, each followed by CR LF, saved as WriteWholeFile saves.
void WriteTextLines(const QString& fileName, const QStringList& lines);
// Each line is already bytes (record lines, the CSV buffer).
void WriteByteLines(const QString& fileName, const QList<QByteArray>& lines);

// Creates or empties the file, writes the bytes, closes it, then deletes it: what was there
// cannot be read back from the disk blocks the file held. Failures raise EInOutError with the
// runtime's code ("File access denied", ...); a folder, a FIFO or a device is not touched and
// gives "File access denied".
void OverwriteThenRemove(const QString& fileName, const QByteArray& bytes);
