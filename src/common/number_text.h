#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The tolerant reading of a number typed by a user or held in a table cell: drops every
// "%", "$" and space, takes "," and "." as the regional decimal separator (read from
// QLocale() at every call) and gives 0 for anything that is then not a number.
double ParseLocaleNumber(const QString& text);
// The same reading with the separator given (read it once for many cells); nullopt where
// ParseLocaleNumber gives 0 for a text that is no number.
std::optional<double> TryParseLocaleNumber(QStringView text, QStringView separator);

// The general number text: rounded to 15 significant digits, no trailing zeros (and no
// separator when no digit follows it), the regional decimal separator, no digit grouping;
// scientific ("1,5E-7") below 0.00001 and from 10^15 up. 23.6 gives "23,6" under French
// settings, 24 gives "24", 0.1 + 0.2 gives "0,3".
QString GeneralNumberText(double value, QStringView separator);
QString GeneralNumberText(double value);

// Exactly two digits after the regional separator, rounded: 23.456 gives "23,46".
QString FixedTwoDecimalText(double value, QStringView separator);
QString FixedTwoDecimalText(double value);

// The strict whole-number conversion: optional leading spaces, optional sign, decimal
// digits and nothing after, within 32 bits. Anything else raises EConvertError
// "'%s' is not a valid integer value".
int StrictToInt(const QString& text);

// The same rule without raising: false when the text is not a whole number.
bool TryStrictToInt(const QString& text, int* value);
