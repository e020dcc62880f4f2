#include "common/number_text.h"

#include "common/errors.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace
{

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isDropped(QChar c)
{
    return c == QLatin1Char('%') || c == QLatin1Char('$') || c == QLatin1Char(' ');
}

// "," and "." both stand for the regional separator, which is also taken as it is.
bool isSeparator(QChar c, QStringView separator)
{
    return c == QLatin1Char(',') || c == QLatin1Char('.') ||
           (separator.size() == 1 && c == separator[0]);
}

// Reads [sign] digits [sep digits] [(E|e) [sign] digits], "%", "$" and spaces left out, into C
// notation for std::from_chars, which unlike strtod never follows the C runtime's LC_NUMERIC.
// False when the text is not of that form.
bool toCNotation(QStringView text, QStringView separator, std::string* c)
{
    enum class At { Start, Integer, Fraction, ExponentStart, ExponentSign, Exponent };
    At at = At::Start;
    int mantissaDigits = 0;
    for (QChar ch : text) {
        if (isDropped(ch))
            continue;
        const bool sign = ch == QLatin1Char('+') || ch == QLatin1Char('-');
        if (isDigit(ch)) {
            if (at == At::Start)
                at = At::Integer;
            else if (at == At::ExponentStart || at == At::ExponentSign)
                at = At::Exponent;
            if (at == At::Integer || at == At::Fraction)
                ++mantissaDigits;
            *c += char(ch.unicode());
        } else if (sign && (at == At::Start || at == At::ExponentStart)) {
            // from_chars takes no "+" in front of the number.
            if (at == At::ExponentStart || ch == QLatin1Char('-'))
                *c += char(ch.unicode());
            at = at == At::Start ? At::Integer : At::ExponentSign;
        } else if (isSeparator(ch, separator) && (at == At::Start || at == At::Integer)) {
            at = At::Fraction;
            *c += '.';
        } else if ((ch == QLatin1Char('e') || ch == QLatin1Char('E')) && mantissaDigits > 0 &&
                   (at == At::Integer || at == At::Fraction)) {
            at = At::ExponentStart;
            *c += 'e';
        } else {
            return false;
        }
    }
    return mantissaDigits > 0 && at != At::ExponentStart && at != At::ExponentSign;
}

} // namespace

std::optional<double> TryParseLocaleNumber(QStringView text, QStringView separator)
{
    std::string c;
    c.reserve(size_t(text.size()));
    if (!toCNotation(text, separator, &c))
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(c.data(), c.data() + c.size(), value);
    // Out of range counts as no number.
    if (error != std::errc() || end != c.data() + c.size())
        return std::nullopt;
    return value;
}

double ParseLocaleNumber(const QString& text)
{
    return TryParseLocaleNumber(text, QLocale().decimalPoint()).value_or(0.0);
}

QString GeneralNumberText(double value, QStringView separator)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");
    // 15 significant digits: d.dddddddddddddde[+-]x
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view text(buffer, size_t(result.ptr - buffer));
    const size_t e = text.find('e');
    const bool negative = text.front() == '-';
    std::string digits;
    for (char ch : text.substr(0, e))
        if (ch >= '0' && ch <= '9')
            digits += ch;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exponent);

    QString out;
    if (negative)
        out += QLatin1Char('-');
    const auto appendDigits = [&out](std::string_view part) {
        out += QLatin1String(part.data(), qsizetype(part.size()));
    };
    if (exponent < -5 || exponent >= 15) {
        appendDigits(std::string_view(digits).substr(0, 1));
        if (digits.size() > 1) {
            out += separator;
            appendDigits(std::string_view(digits).substr(1));
        }
        out += QLatin1Char('E') + QString::number(exponent);
    } else if (exponent < 0) {
        out += QLatin1Char('0') + separator.toString() + QString(-exponent - 1, QLatin1Char('0'));
        appendDigits(digits);
    } else {
        const size_t whole = size_t(exponent) + 1;
        if (digits.size() <= whole) {
            appendDigits(digits);
            out += QString(qsizetype(whole - digits.size()), QLatin1Char('0'));
        } else {
            appendDigits(std::string_view(digits).substr(0, whole));
            out += separator;
            appendDigits(std::string_view(digits).substr(whole));
        }
    }
    return out;
}

QString GeneralNumberText(double value)
{
    return GeneralNumberText(value, QLocale().decimalPoint());
}

QString FixedTwoDecimalText(double value, QStringView separator)
{
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (result.ec != std::errc())
        return QStringLiteral("0") + separator.toString() + QStringLiteral("00");
    QString out = QString::fromLatin1(buffer, qsizetype(result.ptr - buffer));
    if (out == QLatin1String("-0.00"))
        out.remove(0, 1);
    return out.replace(QLatin1Char('.'), separator.toString());
}

QString FixedTwoDecimalText(double value)
{
    return FixedTwoDecimalText(value, QLocale().decimalPoint());
}

bool TryStrictToInt(const QString& text, int* value)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    if (i == n)
        return false;
    qint64 magnitude = 0;
    for (; i < n; ++i) {
        if (!isDigit(text[i]))
            return false;
        magnitude = magnitude * 10 + (text[i].unicode() - '0');
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max())
        return false;
    *value = int(result);
    return true;
}

int StrictToInt(const QString& text)
{
    int value = 0;
    if (!TryStrictToInt(text, &value))
        throw EConvertError::notAnInteger(text);
    return value;
}
