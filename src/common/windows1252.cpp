#include "common/windows1252.h"

#include <QHash>

namespace
{

// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined (kept as C1 controls).
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

const QHash<char16_t, char>& reverseHigh()
{
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int i = 0; i < 32; ++i)
            t.insert(kHigh[i] ? kHigh[i] : char16_t(0x80 + i), char(0x80 + i));
        return t;
    }();
    return table;
}

} // namespace

QString DecodeWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b < 0xA0)
            out[i] = QChar(kHigh[b - 0x80] ? kHigh[b - 0x80] : char16_t(b));
        else
            out[i] = QChar(char16_t(b));
    }
    return text;
}

QByteArray EncodeWindows1252(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out[i] = char(u);
        } else {
            const auto it = reverseHigh().constFind(u);
            out[i] = it != reverseHigh().constEnd() ? *it : '?';
        }
    }
    return bytes;
}
