#include "users/audit_log.h"

#include "common/errors.h"
#include "common/fixed_record_file.h"
#include "common/services.h"
#include "common/windows1252.h"
#include "users/damaged_files.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace
{
qint32 g_currentUserId = 0;
// The one handle of the audit file, bound when the sign-in window opens it.
std::unique_ptr<FixedRecordFile> g_auditFile;

FixedRecordFile& OpenFileOrRaise()
{
    if (!g_auditFile || !g_auditFile->isOpen())
        throw EInOutError(EInOutError::FileNotOpen);
    return *g_auditFile;
}
} // namespace

qint32 CurrentUserId()
{
    return g_currentUserId;
}

void SetCurrentUserId(qint32 id)
{
    g_currentUserId = id;
}

void OpenAuditLog()
{
    // Bound to the working directory of this moment; a failure below leaves it closed, so
    // that every later append reports the file as not open.
    g_auditFile = std::make_unique<FixedRecordFile>(QDir::current().absoluteFilePath(AuditFileName),
                                                    AuditRecord::Size, NewFileAccess::OwnerOnly);
    g_auditFile->setTailHandler(ReportSetAsideTail);
    if (!g_auditFile->exists()) {
        g_auditFile->rewriteEmpty();
        ShowMessage(QStringLiteral("no actions data available"));
    }
    g_auditFile->open();
}

void AppendAuditEntry(const QString& action, const QString& details)
{
    AppendAuditEntryAs(g_currentUserId, action, details);
}

void AppendAuditEntryAs(qint32 userId, const QString& action, const QString& details)
{
    FixedRecordFile& file = OpenFileOrRaise();
    AuditRecord record;
    record.userId = userId;
    record.action = EncodeWindows1252(action).left(AuditRecord::ActionArea);
    record.details = EncodeWindows1252(details).left(AuditRecord::MaxDetails);
    record.time = ToDelphiDateTime(Services::clock().localNow());
    file.appendRecord(record.toBytes(), true);
}

QList<AuditRecord> ReadAuditEntries()
{
    return ReadAllRecords<AuditRecord>(OpenFileOrRaise());
}

void ResetAuditLog()
{
    g_auditFile.reset();
}

namespace AuditDetails
{
QString Alarm(const QString& tempHigh, const QString& tempLow, const QString& humHigh,
              const QString& humLow)
{
    return QStringLiteral("TL") + tempHigh + QStringLiteral("TL") + tempLow +
           QStringLiteral(" HH") + humHigh + QStringLiteral(" HL") + humLow;
}

QString Timing(const QString& periodHours, const QString& periodMinutes)
{
    return QStringLiteral("periode H") + periodHours + QStringLiteral("perdiod min") +
           periodMinutes;
}

QString Calibration(const QString& tempOffset, const QString& humOffset)
{
    return QStringLiteral("offset t") + tempOffset + QStringLiteral("offset h") + humOffset;
}

QString PdfReport(const QString& startRecord, const QString& endRecord)
{
    return QStringLiteral("start rec:") + startRecord + QStringLiteral(" end rec:") + endRecord;
}

QString Login(const QString& typedLogin)
{
    return QStringLiteral("login:") + typedLogin;
}

QString Locked(const QString& typedLogin, int failures, qint64 seconds)
{
    return QStringLiteral("failures:") + QString::number(failures) + QStringLiteral(" seconds:") +
           QString::number(seconds) + QLatin1Char(' ') + Login(typedLogin);
}

QString Refused(const QString& typedLogin, qint64 secondsLeft)
{
    return QStringLiteral("seconds left:") + QString::number(secondsLeft) + QLatin1Char(' ') +
           Login(typedLogin);
}

QString DamagedTail(const QString& sideFileName, qint64 bytes)
{
    return QFileInfo(sideFileName).fileName() + QStringLiteral(" bytes:") + QString::number(bytes);
}
} // namespace AuditDetails
