#pragma once

#include "common/new_file_access.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// Fixed-size records serialized field by field, little-endian, never by casting a struct.

class RecordWriter
{
public:
    explicit RecordWriter(int size) : m_bytes(size, '\0') {}
    void putInt32(int offset, qint32 value);
    void putUInt8(int offset, quint8 value);
    void putDouble(int offset, double value);
    // A length byte at offset, then the text in an area of areaSize bytes; the text is
    // cut to areaSize (and to 255) and the rest of the area stays zero.
    void putShortString(int offset, int areaSize, const QByteArray& text);
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

class RecordReader
{
public:
    explicit RecordReader(const QByteArray& bytes) : m_bytes(bytes) {}
    qint32 int32At(int offset) const;
    quint8 uint8At(int offset) const;
    double doubleAt(int offset) const;
    // The text behind a length byte; a length beyond the area is cut to the area.
    QByteArray shortStringAt(int offset, int areaSize) const;

private:
    const QByteArray& m_bytes;
};

// A file of fixed-size records with no header. A trailing piece shorter than a record is
// not a record; appends go after the last whole record and so overwrite it. Failures
// raise EInOutError with the runtime's code ("Disk full", "File access denied", ...,
// "I/O error 103" when the file is not open).
class FixedRecordFile
{
public:
    FixedRecordFile(QString fileName, int recordSize,
                    NewFileAccess access = NewFileAccess::FollowUmask);
    ~FixedRecordFile();

    const QString& fileName() const { return m_fileName; }
    int recordSize() const { return m_recordSize; }
    bool exists() const;

    // Creates the file empty, or empties it; the handle is left closed unless it was open.
    void rewriteEmpty();
    // Opens for reading and writing; an open handle is closed and opened again.
    void open();
    void close();
    bool isOpen() const { return m_file.isOpen(); }

    qint64 recordCount();
    // Reads record n whole.
    QByteArray readRecord(qint64 n);
    // Writes one whole record after the last whole record, in one write that reaches the
    // file at once; with syncToDisk, also flushed to the disk before returning.
    void appendRecord(const QByteArray& record, bool syncToDisk);
    // Overwrites whole record n (n at most the record count), synced to the disk.
    void writeRecord(qint64 n, const QByteArray& record);
    // Cuts the file after its first count records, synced to the disk.
    void keepRecords(qint64 count);

private:
    [[noreturn]] void fail(int err);
    void requireOpen();
    bool openFile(QIODevice::OpenMode mode);
    void writeAt(qint64 offset, const QByteArray& record);
    void syncToDisk();

    QString m_fileName;
    int m_recordSize;
    NewFileAccess m_access;
    QFile m_file;
};

// Every whole record of the file in file order, each decoded by T::fromBytes.
template <class T> QList<T> ReadAllRecords(FixedRecordFile& file)
{
    QList<T> records;
    const qint64 count = file.recordCount();
    records.reserve(count);
    for (qint64 n = 0; n < count; ++n)
        records.append(T::fromBytes(file.readRecord(n)));
    return records;
}
