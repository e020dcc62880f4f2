#pragma once

#include <QByteArray>
#include <QtEndian>
#include <algorithm>
#include <cstring>

// The fields of a fixed-size record read straight from the documented layout, apart from the
// product's reader: little-endian numbers, texts as a length byte and a fixed area.
inline qint32 LayoutInt32(const QByteArray& record, int offset)
{
    return qFromLittleEndian<qint32>(record.constData() + offset);
}

inline double LayoutDouble(const QByteArray& record, int offset)
{
    const quint64 bits = qFromLittleEndian<quint64>(record.constData() + offset);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A length beyond the area is cut to the area.
inline QByteArray LayoutText(const QByteArray& record, int offset, int area)
{
    const int length = std::min(int(quint8(record[offset])), area);
    return record.mid(offset + 1, length);
}
