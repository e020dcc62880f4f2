#pragma once

#include "users/audit_log.h"
#include "users/user_record.h"

#include <QList>
#include <QStringList>

// What the user list and the audit view show, row by row.

QStringList UserListHeadings(); // "ID", "First Name", "Family Name", "Login", ""
QStringList UserListRow(const UserRecord& account); // the password and level are never shown

QStringList AuditViewHeadings();
// The first name is that of the last account with the record's identifier, empty if none.
QStringList AuditViewRow(const AuditRecord& record, const QList<UserRecord>& accounts);
// The regional short date, a space and the long time; the date alone at exactly midnight.
QString AuditDateText(double days);
