#pragma once

#include <QString>

// The tolerant reading of a number typed by a user or held in a table cell: drops every
// "%", "$" and space, takes "," and "." as the regional decimal separator (read from
// QLocale() at every call) and gives 0 for anything that is then not a number.
double ParseLocaleNumber(const QString& text);

// The strict whole-number conversion: optional leading spaces, optional sign, decimal
// digits and nothing after, within 32 bits. Anything else raises EConvertError
// "'%s' is not a valid integer value".
int StrictToInt(const QString& text);

// The same rule without raising: false when the text is not a whole number.
bool TryStrictToInt(const QString& text, int* value);
