#pragma once

#include "common/damaged_tail.h"
#include "common/new_file_access.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <functional>

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
// not a record, and nothing is written over it: before a record is written or records are cut
// it is moved to a side file of its own (SaveDamagedTail), and the file is cut back to its
// whole records. An append that fails
// leaves the file as it was. Failures raise EInOutError with the runtime's code ("Disk full",
// "File access denied", ..., "I/O error 103" when the file is not open); a side file that
// cannot be written raises EFCreateError, the file left untouched.
class FixedRecordFile
{
public:
    using TailHandler = std::function<void(const SetAsideTail&)>;

    FixedRecordFile(QString fileName, int recordSize,
                    NewFileAccess access = NewFileAccess::FollowUmask);
    ~FixedRecordFile();

    const QString& fileName() const { return m_fileName; }
    int recordSize() const { return m_recordSize; }
    bool exists() const;
    // Told of each tail set aside, after the file was cut back and before the write that found
    // it; an error it raises stops that write.
    void setTailHandler(TailHandler handler) { m_tailHandler = std::move(handler); }

    // Creates the file empty, or empties it (a trailing piece too); the handle is left closed
    // unless it was open.
    void rewriteEmpty();
    // Opens for reading and writing; an open handle is closed and opened again.
    void open();
    void close();
    bool isOpen() const { return m_file.isOpen(); }

    qint64 recordCount();
    // Bytes, whole records and any trailing piece.
    qint64 size();
    // Reads record n whole.
    QByteArray readRecord(qint64 n);
    // Writes one whole record after the last whole record, in one write that reaches the
    // file at once; with syncToDisk, also flushed to the disk before returning. On failure the
    // file is cut back to its size before, so that no part of the record stays.
    void appendRecord(const QByteArray& record, bool syncToDisk);
    // Overwrites whole record n (n at most the record count: then it appends), synced to the
    // disk; a failure never leaves the file longer than it was.
    void writeRecord(qint64 n, const QByteArray& record);
    // Cuts the file after its first count records, synced to the disk.
    void keepRecords(qint64 count);

private:
    [[noreturn]] void fail(int err);
    void requireOpen();
    bool openFile(QIODevice::OpenMode mode);
    void writeAt(qint64 offset, const QByteArray& record);
    void syncToDisk();
    void setAsideDamagedTail();
    void cutBackTo(qint64 size);

    QString m_fileName;
    int m_recordSize;
    NewFileAccess m_access;
    QFile m_file;
    TailHandler m_tailHandler;
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
