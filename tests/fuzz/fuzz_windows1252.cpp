// The Windows-1252 text of every file the program reads: bytes to text and back, and the split
// of a text file into lines.

#include "common/text_file.h"
#include "common/windows1252.h"
#include "fuzz_support.h"

#include <cstdint>
#include <cstring>

namespace
{

void checkDecode(const QByteArray& bytes)
{
    const QString text = DecodeWindows1252(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    // Every byte has its character, the five undefined ones included: nothing is lost.
    FUZZ_CHECK(EncodeWindows1252(text) == bytes);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        // Outside 0x80..0x9F the code page is Latin-1 (the record loader's fast path).
        if (b < 0x80 || b >= 0xA0)
            FUZZ_CHECK(text[i].unicode() == b);
        else
            FUZZ_CHECK(text[i].unicode() >= 0x80);
    }
}

// Any UTF-16 text, as typed: one byte per character, "?" where the code page has none.
void checkEncode(const QByteArray& bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(text.data(), bytes.constData(), size_t(text.size()) * sizeof(QChar));
    const QByteArray encoded = EncodeWindows1252(text);
    FUZZ_CHECK(encoded.size() == text.size());
    const QString back = DecodeWindows1252(encoded);
    for (qsizetype i = 0; i < text.size(); ++i)
        FUZZ_CHECK(back[i] == text[i] || encoded[i] == '?');
}

void checkLines(const QByteArray& bytes)
{
    const QList<QByteArray> lines = SplitTextLines(bytes);
    QByteArray joined;
    for (const QByteArray& line : lines) {
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'));
        joined += line;
    }
    QByteArray withoutBreaks = bytes;
    withoutBreaks.replace('\r', QByteArray()).replace('\n', QByteArray());
    FUZZ_CHECK(joined == withoutBreaks);

    // CR LF, CR and LF each end one line; a last line needs no break.
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r')
            continue;
        breaks += bytes[i] == '\r' || bytes[i] == '\n';
    }
    const bool lastUnended = !bytes.isEmpty() && !bytes.endsWith('\r') && !bytes.endsWith('\n');
    FUZZ_CHECK(lines.size() == breaks + (lastUnended ? 1 : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    checkDecode(bytes);
    checkEncode(bytes);
    checkLines(bytes);
    return 0;
}
