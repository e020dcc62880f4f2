#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// A property every input must keep. A failure aborts, which both libFuzzer and the corpus
// driver report with the input that caused it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// The bytes libFuzzer hands over, as Qt's byte array (copied: the input is read-only).
inline QByteArray FuzzBytes(const unsigned char* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The input as the named file of a temporary folder that lives as long as the process: the
// readers under test take file names.
inline QString WriteFuzzFile(const QString& fileName, const QByteArray& bytes)
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString name = dir.filePath(fileName);
    QFile file(name);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
    return name;
}

// Equal to the bit (NaN and -0 included).
inline bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
