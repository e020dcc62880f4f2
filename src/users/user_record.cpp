#include "users/user_record.h"

#include "common/record_file.h"
#include "common/windows1252.h"

namespace
{
constexpr int IdOffset = 0;
constexpr int FirstNameOffset = 4;
constexpr int FamilyNameOffset = 105;
constexpr int LoginOffset = 206;
constexpr int PasswordOffset = 307;
constexpr int LevelOffset = 408;
} // namespace

UserRecord UserRecord::fromTyped(qint32 id, const QString& firstName, const QString& familyName,
                                 const QString& login, const QString& password, qint32 level)
{
    UserRecord record;
    record.id = id;
    record.firstName = EncodeWindows1252(firstName).left(TextArea);
    record.familyName = EncodeWindows1252(familyName).left(TextArea);
    record.login = EncodeWindows1252(login).left(TextArea);
    record.password = ScramblePassword(password).left(TextArea);
    record.level = level;
    return record;
}

QByteArray UserRecord::toBytes() const
{
    RecordWriter writer(Size);
    writer.putInt32(IdOffset, id);
    writer.putShortString(FirstNameOffset, TextArea, firstName);
    writer.putShortString(FamilyNameOffset, TextArea, familyName);
    writer.putShortString(LoginOffset, TextArea, login);
    writer.putShortString(PasswordOffset, TextArea, password);
    writer.putInt32(LevelOffset, level);
    return writer.bytes();
}

UserRecord UserRecord::fromBytes(const QByteArray& bytes)
{
    Q_ASSERT(bytes.size() == Size);
    const RecordReader reader(bytes);
    UserRecord record;
    record.id = reader.int32At(IdOffset);
    record.firstName = reader.shortStringAt(FirstNameOffset, TextArea);
    record.familyName = reader.shortStringAt(FamilyNameOffset, TextArea);
    record.login = reader.shortStringAt(LoginOffset, TextArea);
    record.password = reader.shortStringAt(PasswordOffset, TextArea);
    record.level = reader.int32At(LevelOffset);
    return record;
}

QByteArray ScramblePassword(const QByteArray& password)
{
    QByteArray scrambled = password;
    for (char& byte : scrambled)
        byte = char(quint8(byte) ^ PasswordKey);
    return scrambled;
}

QByteArray ScramblePassword(const QString& password)
{
    return ScramblePassword(EncodeWindows1252(password));
}
