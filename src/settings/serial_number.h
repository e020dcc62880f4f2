#pragma once

#include <QString>

// The data logger's serial number: four whole numbers held as texts, field 1 first. They
// are converted only when a configuration frame is written.
struct TLoggerSerialNumber {
    QString fields[4] = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                         QStringLiteral("0")};
};
