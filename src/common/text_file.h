#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text files: Windows-1252 bytes, lines ended by CR LF when written; readers also accept a
// lone CR or LF, and a break at the very end adds no empty line.

// Splits at CR LF, CR and LF.
QList<QByteArray> SplitTextLines(const QByteArray& bytes);

// Reads a whole file; raises EFOpenError "Cannot open file ..." when it cannot be read.
QByteArray ReadWholeFile(const QString& fileName);
QStringList ReadTextLines(const QString& fileName);

// Writes a whole file, each line followed by CR LF. The file is replaced at once, so a
// crash or a full disk never leaves half a file; raises EFCreateError on failure.
void WriteWholeFile(const QString& fileName, const QByteArray& bytes);
void WriteTextLines(const QString& fileName, const QStringList& lines);
// Each line is already bytes (record lines, the CSV buffer).
void WriteByteLines(const QString& fileName, const QList<QByteArray>& lines);

// Creates or empties the file, writes the bytes, closes it, then deletes it: what was there
// cannot be read back from the disk blocks the file held. Failures raise EInOutError with the
// runtime's code ("File access denied", ...).
void OverwriteThenRemove(const QString& fileName, const QByteArray& bytes);
