#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include "common/delphi_time.h" // ToDelphiDateTime, FromDelphiDateTime

// The audit file ConfigActions.dt: 376-byte records, appended only, each written whole at
// the end of the file and synced to the disk before AppendAuditEntry returns. Created
// readable by its owner only (Linux).

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
// The same, stamped with userId: a sign-in before CurrentUserId is set, an account created
// at the sign-in window by the administrator who authorised it.
void AppendAuditEntryAs(qint32 userId, const QString& action, const QString& details);
// Every whole record of the file, in file order.
QList<AuditRecord> ReadAuditEntries();
// Forgets the open file (tests start each case afresh).
void ResetAuditLog();

// The actions and their detail texts: the seven of the main windows, then sign-ins and
// the user administration.
namespace AuditAction
{
inline const QString AlarmModification = QStringLiteral("alarm modfication ");
inline const QString TimingModification = QStringLiteral("Timing Modfication ");
inline const QString CalibrationModification = QStringLiteral("calibration modfication ");
inline const QString CsvExport = QStringLiteral("SAVE CSV FILE ");
inline const QString PdfReport = QStringLiteral("pdf report ");
inline const QString PdfSave = QStringLiteral("PDF Save ");
inline const QString AddNewUser = QStringLiteral("Add new user ");
// Stamped with the user signed in.
inline const QString SignIn = QStringLiteral("Sign in ");
// A login and password that matched no account; stamped with CurrentUserId (0).
inline const QString SignInFailed = QStringLiteral("Sign in failed ");
// The failure that starts the refusal of attempts.
inline const QString SignInLocked = QStringLiteral("Sign in locked ");
// An attempt made while attempts are refused; its password is not even compared.
inline const QString SignInRefused = QStringLiteral("Sign in refused ");
// An administrator's login and password given to create an account at the sign-in window.
inline const QString AdminCheck = QStringLiteral("Admin check ");
inline const QString AdminCheckFailed = QStringLiteral("Admin check failed ");
// Stamped with the creator: the signed-in user, or the administrator who authorised it.
inline const QString UserCreated = QStringLiteral("User created ");
// One per account removed by "Supprimmer tout".
inline const QString UserDeleted = QStringLiteral("User deleted ");
// A download written although the download dialog found it wrong.
inline const QString DownloadSavedAnyway = QStringLiteral("download saved anyway ");
// The cut-short end of the user or audit file moved to a side file before a write.
inline const QString DamagedTailMoved = QStringLiteral("damaged tail moved ");
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
// "login:" and the login as typed; a password is never part of any details.
QString Login(const QString& typedLogin);
// "failures:" + count + " seconds:" + seconds + " login:" + the login (last, where a long
// login is cut).
QString Locked(const QString& typedLogin, int failures, qint64 seconds);
// "seconds left:" + seconds + " login:" + the login.
QString Refused(const QString& typedLogin, qint64 secondsLeft);
// The side file's name (which holds the file's) + " bytes:" + the tail's size.
QString DamagedTail(const QString& sideFileName, qint64 bytes);
} // namespace AuditDetails
