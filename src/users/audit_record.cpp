#include "common/fixed_record_file.h"
#include "users/audit_log.h"

namespace
{
constexpr int UserIdOffset = 0;
constexpr int ActionOffset = 4;
constexpr int TimeOffset = 112;
constexpr int DetailsOffset = 120;
constexpr int DetailsArea = 255;
} // namespace

QByteArray AuditRecord::toBytes() const
{
    RecordWriter writer(Size);
    writer.putInt32(UserIdOffset, userId);
    writer.putShortString(ActionOffset, ActionArea, action);
    writer.putDouble(TimeOffset, time);
    writer.putShortString(DetailsOffset, DetailsArea, details.left(MaxDetails));
    return writer.bytes();
}

AuditRecord AuditRecord::fromBytes(const QByteArray& bytes)
{
    Q_ASSERT(bytes.size() == Size);
    const RecordReader reader(bytes);
    AuditRecord record;
    record.userId = reader.int32At(UserIdOffset);
    record.action = reader.shortStringAt(ActionOffset, ActionArea);
    record.time = reader.doubleAt(TimeOffset);
    record.details = reader.shortStringAt(DetailsOffset, DetailsArea);
    return record;
}
