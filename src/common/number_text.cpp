#include "common/number_text.h"

#include "common/errors.h"

#include <QLocale>
#include <charconv>
#include <limits>

namespace
{

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Checks the regional number grammar: [sign] digits [sep digits] [(E|e) [sign] digits].
// On success gives the same number in C notation for std::from_chars, which unlike
// strtod never follows the C runtime's LC_NUMERIC.
bool toCNotation(const QString& text, const QString& separator, QByteArray* out)
{
    int i = 0;
    const int n = int(text.size());
    QByteArray c;
    // from_chars takes no "+" in front of the number.
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            c += '-';
        ++i;
    }
    int intDigits = 0;
    while (i < n && isDigit(text[i])) {
        c += char(text[i++].unicode());
        ++intDigits;
    }
    int fracDigits = 0;
    if (!separator.isEmpty() && text.mid(i, separator.size()) == separator) {
        i += int(separator.size());
        c += '.';
        while (i < n && isDigit(text[i])) {
            c += char(text[i++].unicode());
            ++fracDigits;
        }
    }
    if (intDigits == 0 && fracDigits == 0)
        return false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        c += 'e';
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            c += char(text[i++].unicode());
        int expDigits = 0;
        while (i < n && isDigit(text[i])) {
            c += char(text[i++].unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    *out = c;
    return true;
}

} // namespace

double ParseLocaleNumber(const QString& text)
{
    const QString separator = QLocale().decimalPoint();
    QString s;
    s.reserve(text.size());
    for (QChar ch : text) {
        if (ch == QLatin1Char('%') || ch == QLatin1Char('$') || ch == QLatin1Char(' '))
            continue;
        if (ch == QLatin1Char(',') || ch == QLatin1Char('.'))
            s += separator;
        else
            s += ch;
    }
    QByteArray c;
    if (!toCNotation(s, separator, &c))
        return 0.0;
    double value = 0.0;
    const auto [end, error] = std::from_chars(c.constData(), c.constData() + c.size(), value);
    // Out of range: 0, as for any other text that is not a number.
    if (error != std::errc() || end != c.constData() + c.size())
        return 0.0;
    return value;
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
