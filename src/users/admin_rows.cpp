#include "users/admin_rows.h"

#include "common/delphi_time.h"
#include "common/windows1252.h"

#include <QLocale>

QStringList UserListHeadings()
{
    return {QStringLiteral("ID"), QStringLiteral("First Name"), QStringLiteral("Family Name"),
            QStringLiteral("Login"), QString()};
}

QStringList UserListRow(const UserRecord& account)
{
    return {QString::number(account.id), DecodeWindows1252(account.firstName),
            DecodeWindows1252(account.familyName), DecodeWindows1252(account.login), QString()};
}

QStringList AuditViewHeadings()
{
    return {QStringLiteral("ID"), QStringLiteral("First Name"), QStringLiteral("Action"),
            QStringLiteral("Details"), QStringLiteral("Date")};
}

static QString FirstNameOf(qint32 id, const QList<UserRecord>& accounts)
{
    for (auto it = accounts.crbegin(); it != accounts.crend(); ++it) {
        if (it->id == id)
            return DecodeWindows1252(it->firstName);
    }
    return {};
}

QStringList AuditViewRow(const AuditRecord& record, const QList<UserRecord>& accounts)
{
    return {QString::number(record.userId), FirstNameOf(record.userId, accounts),
            DecodeWindows1252(record.action), DecodeWindows1252(record.details),
            AuditDateText(record.time)};
}

// The regional long time format without its time-zone field: the stored times are local
// wall-clock times of whatever zone the machine had then.
static QString LongTimeFormatWithoutZone(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) {
            while (result.endsWith(QLatin1Char(' ')))
                result.chop(1);
            continue;
        }
        result.append(c);
    }
    return result.trimmed();
}

QString AuditDateText(double days)
{
    const WallClockTime wall = SplitDelphiDateTime(days);
    if (!wall.date.isValid())
        return {};
    const QLocale locale;
    const QString date = locale.toString(wall.date, QLocale::ShortFormat);
    if (wall.time == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + locale.toString(wall.time, LongTimeFormatWithoutZone(locale));
}
