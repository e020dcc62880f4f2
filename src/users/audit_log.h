#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include "common/delphi_time.h" // ToDelphiDateTime, FromDelphiDateTime

// The audit file ConfigActions.dt: 376-byte records, appended only, each written whole at
// the end of the file and synced to the disk before AppendAuditEntry returns.

inline const QString AuditFileName = QStringLiteral("ConfigActions.dt");

struct AuditRecord {
    qint32 userId = 0;
    QByteArray action;  // Windows-1252 bytes, at most 107
    double time = 0.0;  // days since 30 December 1899, local wall-clock time
    QByteArray details; // Windows-1252 bytes, at most 250

    static constexpr int Size = 376;
    static constexpr int ActionArea = 107;
    static constexpr int MaxDetails = 250;
    QByteArray toBytes() const;
    static AuditRecord fromBytes(const QByteArray& bytes);
};

// The identifier of the signed-in user, stamped on every record; 0 until sign-in.
qint32 CurrentUserId();
void SetCurrentUserId(qint32 id);

// Binds ConfigActions.dt in the working directory; creates it empty (with the message
// "no actions data available") when missing; opens it for reading and writing.
void OpenAuditLog();
// Appends one record: CurrentUserId, the action, the details (cut to 250), the local time.
// Raises on any failure (EInOutError, "I/O error 103" when the file is not open), so the
// caller's own work after the append does not run.
void AppendAuditEntry(const QString& action, const QString& details);
// Every whole record of the file, in file order.
QList<AuditRecord> ReadAuditEntries();
// Forgets the open file (tests start each case afresh).
void ResetAuditLog();

// The seven actions and their detail texts.
namespace AuditAction
{
inline const QString AlarmModification = QStringLiteral("alarm modfication ");
inline const QString TimingModification = QStringLiteral("Timing Modfication ");
inline const QString CalibrationModification = QStringLiteral("calibration modfication ");
inline const QString CsvExport = QStringLiteral("SAVE CSV FILE ");
inline const QString PdfReport = QStringLiteral("pdf report ");
inline const QString PdfSave = QStringLiteral("PDF Save ");
inline const QString AddNewUser = QStringLiteral("Add new user ");
} // namespace AuditAction

namespace AuditDetails
{
QString Alarm(const QString& tempHigh, const QString& tempLow, const QString& humHigh,
              const QString& humLow);
QString Timing(const QString& periodHours, const QString& periodMinutes);
QString Calibration(const QString& tempOffset, const QString& humOffset);
QString PdfReport(const QString& startRecord, const QString& endRecord);
inline const QString CsvExport = QStringLiteral("save csv");
inline const QString PdfSave = QStringLiteral("PDF Save");
inline const QString AddNewUser = QString();
} // namespace AuditDetails
