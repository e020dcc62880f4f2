#pragma once

#include <QByteArray>
#include <QString>

// The ANSI code page of a French Windows system, used by every text and record file.
QString DecodeWindows1252(const QByteArray& bytes);
// Characters outside the code page become "?".
QByteArray EncodeWindows1252(const QString& text);
