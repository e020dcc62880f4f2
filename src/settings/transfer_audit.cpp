#include "settings/transfer_audit.h"

#include "common/number_text.h"
#include "users/audit_log.h"

namespace
{
QString StartText(bool restart)
{
    // A start from zero erases the logger's records: named as such.
    return restart ? QStringLiteral(" départ:ZÉRO, mémoire du datalogger effacée")
                   : QStringLiteral(" départ:suite");
}

// A clock field as the frame reads it, on two digits; "?" when it is no whole number.
QString ClockField(const QString& text)
{
    int value = 0;
    if (!TryStrictToInt(text, &value))
        return QStringLiteral("?");
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString ClockText(const TFrameSources& s)
{
    return QStringLiteral(" horloge ") + ClockField(s.day) + QLatin1Char('/') +
           ClockField(s.month) + QLatin1Char('/') + ClockField(s.year) + QLatin1Char(' ') +
           ClockField(s.hours) + QLatin1Char(':') + ClockField(s.minutes);
}

QString OffsetText(const QString& typed)
{
    // The number the frame encodes; QString::number writes a point under any locale.
    return QString::number(ParseLocaleNumber(typed), 'g', 6);
}

QString SerialText(const TFrameSources& s)
{
    QString text = QStringLiteral(" sn ");
    for (int i = 0; i < 4; ++i) {
        int value = 0;
        if (i > 0)
            text += QLatin1Char('/');
        text += TryStrictToInt(s.serial[i], &value) ? QString::number(LowByte(value))
                                                    : QStringLiteral("?");
    }
    return text;
}
} // namespace

QString TransferAuditDetails(const TFrameSources& sources)
{
    return AuditDetails::Timing(sources.periodHours, sources.periodMinutes) +
           StartText(sources.restart) + ClockText(sources) + QStringLiteral(" offset t") +
           OffsetText(sources.tempOffset) + QStringLiteral(" offset h") +
           OffsetText(sources.humOffset) + SerialText(sources);
}
