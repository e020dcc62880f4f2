#pragma once

#include "common/damaged_tail.h"

#include <QString>

// What the user is told of a damaged user or audit file.

// A user file with bytes but no whole account: which file, and how to restore it, from the
// .bak when that holds an account, else from the user's own backup (French).
QString DamagedUserFileMessage(const QString& fileName, qint64 bytes);

// What the user is told of a tail of the user or audit file set aside: which file, how many
// bytes, where they went, what the file keeps (French).
QString SetAsideTailMessage(const SetAsideTail& tail);

// The tail handler of the user and audit files: a warning box with that message, then an
// audit entry "damaged tail moved " naming the side file. Raises when the entry cannot be
// appended, so that the write that found the tail does not go on unaudited.
void ReportSetAsideTail(const SetAsideTail& tail);
