#include "users/damaged_files.h"

#include "common/services.h"
#include "users/audit_log.h"
#include "users/user_file_backup.h"
#include "users/user_record.h"

#include <QDir>
#include <QFileInfo>

namespace
{

QString FileDescription(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    if (name == UserFileName)
        return QStringLiteral("Le fichier des comptes « %1 »").arg(name);
    if (name == AuditFileName)
        return QStringLiteral("Le journal d'audit « %1 »").arg(name);
    return QStringLiteral("Le fichier « %1 »").arg(name);
}

QString Bytes(qint64 count)
{
    return count == 1 ? QStringLiteral("1 octet") : QStringLiteral("%1 octets").arg(count);
}

// What the file keeps, as "« name » garde ...".
QString Kept(const QString& name, qint64 records)
{
    if (records == 0)
        return QStringLiteral("« %1 » ne garde aucun enregistrement complet").arg(name);
    if (records == 1)
        return QStringLiteral("« %1 » garde son seul enregistrement complet").arg(name);
    return QStringLiteral("« %1 » garde ses %2 enregistrements complets")
        .arg(name, QString::number(records));
}

} // namespace

QString DamagedUserFileMessage(const QString& fileName, qint64 bytes)
{
    const QFileInfo file(fileName);
    const QString name = file.fileName();
    const QString backup = QFileInfo(UserFileBackupName(fileName)).fileName();
    const QString damage =
        QStringLiteral("Le fichier des comptes « %1 » (dossier %2) est endommagé : il contient %3 "
                       "mais aucun compte complet. Aucun compte ne peut être créé tant "
                       "qu'il n'est pas restauré. ")
            .arg(name, QDir::toNativeSeparators(file.absolutePath()), Bytes(bytes));
    if (UserFileBackupHoldsAccounts(fileName))
        return damage + QStringLiteral("Pour le restaurer : quittez le programme, remplacez « %1 » "
                                       "par une copie de « %2 » (les comptes d'avant la dernière "
                                       "modification), puis relancez le programme.")
                            .arg(name, backup);
    return damage + QStringLiteral("Aucune copie « %1 » contenant un compte n'existe dans ce "
                                   "dossier : quittez le programme, remettez « %2 » depuis votre "
                                   "sauvegarde, puis relancez le programme.")
                        .arg(backup, name);
}

QString SetAsideTailMessage(const SetAsideTail& tail)
{
    const QString side = QFileInfo(tail.sideFileName).fileName();
    return FileDescription(tail.fileName) +
           QStringLiteral(" se terminait par un enregistrement incomplet (%1), sans doute laissé "
                          "par une écriture interrompue. Il a été déplacé dans le fichier "
                          "« %2 », dans le même dossier, et %3. Conservez « %2 » pour "
                          "l'examiner.")
               .arg(Bytes(tail.bytes), side,
                    Kept(QFileInfo(tail.fileName).fileName(), tail.records));
}

void ReportSetAsideTail(const SetAsideTail& tail)
{
    // Told first: whatever happens to the entry, the user learns where the bytes went.
    MessageDlg(SetAsideTailMessage(tail), MsgKind::Warning, {MsgButton::Ok});
    AppendAuditEntry(AuditAction::DamagedTailMoved,
                     AuditDetails::DamagedTail(tail.sideFileName, tail.bytes));
}
