#include "common/fixed_record_file.h"

#include "common/disk_sync.h"
#include "common/errors.h"
#include "common/services.h"

#include <QtEndian>
#include <cerrno>
#include <cstring>

void RecordWriter::putInt32(int offset, qint32 value)
{
    qToLittleEndian(value, m_bytes.data() + offset);
}

void RecordWriter::putUInt8(int offset, quint8 value)
{
    m_bytes[offset] = char(value);
}

void RecordWriter::putDouble(int offset, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, m_bytes.data() + offset);
}

void RecordWriter::putShortString(int offset, int areaSize, const QByteArray& text)
{
    const int length = int(qMin<qsizetype>(text.size(), qMin(areaSize, 255)));
    m_bytes[offset] = char(quint8(length));
    std::memcpy(m_bytes.data() + offset + 1, text.constData(), size_t(length));
    std::memset(m_bytes.data() + offset + 1 + length, 0, size_t(areaSize - length));
}

qint32 RecordReader::int32At(int offset) const
{
    return qFromLittleEndian<qint32>(m_bytes.constData() + offset);
}

quint8 RecordReader::uint8At(int offset) const
{
    return quint8(m_bytes[offset]);
}

double RecordReader::doubleAt(int offset) const
{
    const quint64 bits = qFromLittleEndian<quint64>(m_bytes.constData() + offset);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QByteArray RecordReader::shortStringAt(int offset, int areaSize) const
{
    const int length = qMin(int(uint8At(offset)), areaSize);
    return m_bytes.mid(offset + 1, length);
}

FixedRecordFile::FixedRecordFile(QString fileName, int recordSize, NewFileAccess access)
    : m_fileName(std::move(fileName)), m_recordSize(recordSize), m_access(access),
      m_file(m_fileName)
{
}

FixedRecordFile::~FixedRecordFile() = default;

bool FixedRecordFile::exists() const
{
    return QFile::exists(m_fileName);
}

void FixedRecordFile::fail(int err)
{
    throw EInOutError(EInOutError::codeForErrno(err));
}

void FixedRecordFile::requireOpen()
{
    if (!m_file.isOpen())
        throw EInOutError(EInOutError::FileNotOpen);
}

bool FixedRecordFile::openFile(QIODevice::OpenMode mode)
{
    return OpenWithAccess(m_file, mode, m_access);
}

void FixedRecordFile::rewriteEmpty()
{
    const bool wasOpen = m_file.isOpen();
    m_file.close();
    errno = 0;
    if (!openFile(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail(errno);
    m_file.close();
    if (wasOpen)
        open();
}

void FixedRecordFile::open()
{
    m_file.close();
    errno = 0;
    if (!openFile(QIODevice::ReadWrite | QIODevice::Unbuffered))
        fail(errno ? errno : ENOENT);
}

void FixedRecordFile::close()
{
    m_file.close();
}

qint64 FixedRecordFile::recordCount()
{
    return size() / m_recordSize;
}

qint64 FixedRecordFile::size()
{
    requireOpen();
    return m_file.size();
}

QByteArray FixedRecordFile::readRecord(qint64 n)
{
    requireOpen();
    errno = 0;
    if (!m_file.seek(n * m_recordSize))
        fail(errno);
    QByteArray bytes = m_file.read(m_recordSize);
    if (bytes.size() != m_recordSize) {
        if (m_file.error() != QFileDevice::NoError)
            fail(errno);
        throw EInOutError(EInOutError::ReadBeyondEnd);
    }
    return bytes;
}

void FixedRecordFile::appendRecord(const QByteArray& record, bool syncToDisk)
{
    Q_ASSERT(record.size() == m_recordSize);
    requireOpen();
    // A device (a link to one) has no position to go to, nor a size to cut back to.
    if (m_file.isSequential()) {
        writeAt(-1, record);
        if (syncToDisk)
            this->syncToDisk();
        return;
    }
    setAsideDamagedTail();
    const qint64 end = recordCount() * m_recordSize;
    try {
        writeAt(end, record);
        if (syncToDisk)
            this->syncToDisk();
    } catch (const EInOutError&) {
        cutBackTo(end);
        throw;
    }
}

void FixedRecordFile::writeRecord(qint64 n, const QByteArray& record)
{
    Q_ASSERT(record.size() == m_recordSize);
    requireOpen();
    setAsideDamagedTail();
    const qint64 before = size();
    if (n > before / m_recordSize)
        throw EInOutError(EInOutError::ReadBeyondEnd);
    try {
        writeAt(n * m_recordSize, record);
        syncToDisk();
    } catch (const EInOutError&) {
        // Record n as a new last record: no part of it stays.
        cutBackTo(before);
        throw;
    }
}

void FixedRecordFile::keepRecords(qint64 count)
{
    requireOpen();
    setAsideDamagedTail();
    errno = 0;
    if (!m_file.resize(count * m_recordSize))
        fail(errno);
    syncToDisk();
}

void FixedRecordFile::writeAt(qint64 offset, const QByteArray& record)
{
    errno = 0;
    if (offset >= 0 && !m_file.seek(offset))
        fail(errno);
    errno = 0;
    const qint64 written = m_file.write(record);
    if (written != record.size()) {
        const int err = errno ? errno : ENOSPC;
        m_file.unsetError();
        fail(err);
    }
}

void FixedRecordFile::syncToDisk()
{
    // Devices and pipes cannot be synced; that is no failure of the record.
    if (const int err = SyncFileToDisk(m_file); err != 0 && err != EINVAL && err != EROFS)
        fail(err);
}

void FixedRecordFile::setAsideDamagedTail()
{
    if (m_file.isSequential())
        return;
    const qint64 records = recordCount();
    const qint64 whole = records * m_recordSize;
    const qint64 tailSize = size() - whole;
    if (tailSize == 0)
        return;
    errno = 0;
    if (!m_file.seek(whole))
        fail(errno);
    const QByteArray tail = m_file.read(tailSize);
    if (tail.size() != tailSize)
        fail(errno ? errno : EIO);
    SetAsideTail setAside{m_fileName,
                          SaveDamagedTail(m_fileName, tail, m_access, Services::clock().localNow()),
                          tailSize, records};
    // The tail is on the disk in its side file before it leaves this one.
    errno = 0;
    if (!m_file.resize(whole))
        fail(errno);
    syncToDisk();
    if (m_tailHandler)
        m_tailHandler(setAside);
}

void FixedRecordFile::cutBackTo(qint64 size)
{
    // At worst the piece stays, and is set aside before the next write.
    if (m_file.resize(size))
        SyncFileToDisk(m_file);
    m_file.unsetError();
}
