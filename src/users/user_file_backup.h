#pragma once

#include <QString>

// "ConfigAgents.dt.bak": the user file as it was before its last change.
QString UserFileBackupName(const QString& userFileName);

// Replaces the .bak by a whole copy of the user file as it is now, before the file changes. The
// copy goes to a temporary file beside the .bak, synced to the disk and renamed over it, so a
// kill or a full disk leaves the earlier .bak or the new one, never a part. A new .bak is
// readable by its owner only, as the user file is. Nothing is done when the user file does not
// exist. Raises EFOpenError (the user file cannot be read) or EFCreateError naming the .bak.
void KeepUserFileBackup(const QString& userFileName);

// True when the .bak holds at least one whole account: something to restore from.
bool UserFileBackupHoldsAccounts(const QString& userFileName);
