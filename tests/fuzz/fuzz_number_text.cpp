// The number readers of typed texts and table cells (ParseLocaleNumber, StrictToInt) and the
// number texts written back, under a French and an English default QLocale, with the C
// runtime in French: the result never depends on either.

#include "common/errors.h"
#include "common/number_text.h"
#include "fuzz_support.h"

#include <QLocale>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace
{

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The reading as documented, written apart from the product's: "%", "$" and spaces dropped,
// "," and "." the separator, [sign] digits [sep [digits]] or [sign] sep digits, then
// [(E|e) [sign] digits]; out of the double's range is no number.
std::optional<double> ReferenceNumber(const QString& text)
{
    std::string s;
    for (QChar c : text) {
        if (c == u'%' || c == u'$' || c == u' ')
            continue;
        if (c.unicode() >= 0x80)
            return std::nullopt;
        s += c == u',' ? '.' : char(c.unicode());
    }
    size_t i = 0;
    const auto digits = [&] {
        const size_t start = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t mantissa = digits();
    if (i < s.size() && s[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (digits() == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    const size_t from = s[0] == '+' ? 1 : 0;
    double value = 0;
    const auto [end, error] = std::from_chars(s.data() + from, s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

// Leading spaces, an optional sign, decimal digits and nothing else, within 32 bits.
std::optional<int> ReferenceInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!isAsciiDigit(text[i]))
            return std::nullopt;
        magnitude = std::min<qint64>(magnitude * 10 + (text[i].unicode() - u'0'), 1LL << 40);
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

// What is written back (calibrated cells, statistics) reads again as the value, to its
// 15 significant digits, or to the hundredth.
void checkNumberTexts(double value, const QString& separator)
{
    if (!std::isfinite(value))
        return;
    const QString general = GeneralNumberText(value, separator);
    FUZZ_CHECK(general.count(separator) <= 1);
    const auto reread = TryParseLocaleNumber(general, separator);
    // Rounded to 15 digits, the largest doubles go beyond the range and the tiniest below it.
    FUZZ_CHECK(reread.has_value() || std::fabs(value) < 1e-300 ||
               std::fabs(value) > 1.797693134862315e308);
    if (reread && std::fabs(value) >= std::numeric_limits<double>::min())
        FUZZ_CHECK(std::fabs(*reread - value) <= std::fabs(value) * 1e-14);

    const QString fixed = FixedTwoDecimalText(value, separator);
    const qsizetype at = fixed.indexOf(separator);
    FUZZ_CHECK(at > 0 && at == fixed.size() - 3);
    const auto fixedReread = TryParseLocaleNumber(fixed, separator);
    FUZZ_CHECK(fixedReread.has_value());
    FUZZ_CHECK(std::fabs(*fixedReread - value) <= 0.005 + std::fabs(value) * 1e-15);
}

void checkText(const QString& text)
{
    const std::optional<double> expected = ReferenceNumber(text);
    const std::optional<int> expectedInteger = ReferenceInteger(text);
    std::optional<double> parsed[2];
    static const QLocale locales[2] = {QLocale(QLocale::French, QLocale::France),
                                       QLocale(QLocale::English, QLocale::UnitedStates)};
    for (int l = 0; l < 2; ++l) {
        QLocale::setDefault(locales[l]);
        const QString separator = QLocale().decimalPoint();
        const double value = ParseLocaleNumber(text);
        parsed[l] = TryParseLocaleNumber(text, separator);
        FUZZ_CHECK(SameBits(value, parsed[l].value_or(0.0)));
        FUZZ_CHECK(parsed[l].has_value() == expected.has_value());
        if (expected)
            FUZZ_CHECK(SameBits(*parsed[l], *expected));

        int integer = 0;
        const bool whole = TryStrictToInt(text, &integer);
        FUZZ_CHECK(whole == expectedInteger.has_value());
        if (whole)
            FUZZ_CHECK(integer == *expectedInteger);
        try {
            FUZZ_CHECK(StrictToInt(text) == integer && whole);
        } catch (const EConvertError& e) {
            FUZZ_CHECK(!whole);
            FUZZ_CHECK(e.message() ==
                       QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
        if (parsed[l])
            checkNumberTexts(*parsed[l], separator);
    }
    // "," and "." are the separator under every regional setting: one reading for both.
    FUZZ_CHECK(parsed[0].has_value() == parsed[1].has_value());
    if (parsed[0])
        FUZZ_CHECK(SameBits(*parsed[0], *parsed[1]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The C runtime's decimal comma, where the machine has the locale: it must change nothing.
    static const bool frenchRuntime =
        std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr || std::setlocale(LC_ALL, "") != nullptr;
    Q_UNUSED(frenchRuntime);

    const QByteArray bytes = FuzzBytes(data, size);
    // Typed text (any character) and the single-byte characters of a cell or packet.
    checkText(QString::fromUtf8(bytes));
    checkText(QString::fromLatin1(bytes));
    // Every double, subnormals and extremes included, through the texts written back.
    if (bytes.size() >= 8) {
        double value;
        std::memcpy(&value, bytes.constData(), sizeof value);
        for (const char* separator : {",", "."})
            checkNumberTexts(value, QString::fromLatin1(separator));
    }
    QLocale::setDefault(QLocale::c());
    return 0;
}
