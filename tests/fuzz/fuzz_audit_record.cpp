// An audit file (ConfigActions.dt) of any bytes, read record by record and shown as the audit
// view shows it, under French and English regional settings.

#include "common/delphi_time.h"
#include "common/fixed_record_file.h"
#include "common/windows1252.h"
#include "fuzz_support.h"
#include "record_layout.h"
#include "users/admin_rows.h"
#include "users/audit_log.h"
#include "users/user_record.h"

#include <QLocale>
#include <cmath>
#include <cstdint>

namespace
{

// The day and time of a stored time, written back, give the time again (to the millisecond).
// Between -1 and 0 the time counts from 30 December 1899 as it does between 0 and 1.
void checkTime(double days)
{
    const WallClockTime wall = SplitDelphiDateTime(days);
    if (!wall.date.isValid()) {
        FUZZ_CHECK(!std::isfinite(days) || std::fabs(days) > 1e9);
        return;
    }
    FUZZ_CHECK(wall.time.isValid());
    const double back = ToDelphiDateTime(QDateTime(wall.date, wall.time, Qt::UTC));
    const double tolerance = 1e-8 + std::fabs(days) * 1e-15;
    FUZZ_CHECK(std::fabs(back - days) <= tolerance ||
               (days < 0 && days > -1 && std::fabs(back + days) <= tolerance));
}

void checkRecord(const AuditRecord& record, const QByteArray& bytes)
{
    FUZZ_CHECK(record.userId == LayoutInt32(bytes, 0));
    FUZZ_CHECK(record.action == LayoutText(bytes, 4, 107));
    FUZZ_CHECK(SameBits(record.time, LayoutDouble(bytes, 112)));
    FUZZ_CHECK(record.details == LayoutText(bytes, 120, 255));

    // Written again, a record holds at most 250 bytes of details and nothing else changes.
    const QByteArray written = record.toBytes();
    FUZZ_CHECK(written.size() == AuditRecord::Size);
    const AuditRecord again = AuditRecord::fromBytes(written);
    FUZZ_CHECK(again.userId == record.userId && again.action == record.action);
    FUZZ_CHECK(SameBits(again.time, record.time));
    FUZZ_CHECK(again.details == record.details.left(AuditRecord::MaxDetails));
    FUZZ_CHECK(again.toBytes() == written);

    checkTime(record.time);

    UserRecord account;
    account.id = record.userId;
    account.firstName = QByteArrayLiteral("Marie");
    for (const QLocale& locale : {QLocale(QLocale::French, QLocale::France),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        QLocale::setDefault(locale);
        const QStringList row = AuditViewRow(record, {account});
        FUZZ_CHECK(row.size() == AuditViewHeadings().size());
        FUZZ_CHECK(row[0] == QString::number(record.userId));
        FUZZ_CHECK(row[1] == QStringLiteral("Marie"));
        FUZZ_CHECK(row[2] == DecodeWindows1252(record.action));
        FUZZ_CHECK(row[3] == DecodeWindows1252(record.details));
        FUZZ_CHECK(row[4].isEmpty() == !SplitDelphiDateTime(record.time).date.isValid());
        FUZZ_CHECK(AuditViewRow(record, {})[1].isEmpty());
    }
    QLocale::setDefault(QLocale::c());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    FixedRecordFile file(WriteFuzzFile(AuditFileName, bytes), AuditRecord::Size);
    file.open();
    // Whole records only: a cut-short last one is no record.
    const QList<AuditRecord> records = ReadAllRecords<AuditRecord>(file);
    FUZZ_CHECK(records.size() == bytes.size() / AuditRecord::Size);
    for (qsizetype i = 0; i < records.size(); ++i)
        checkRecord(records[i], bytes.mid(i * AuditRecord::Size, AuditRecord::Size));
    return 0;
}
