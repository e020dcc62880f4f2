#include "users/user_record.h"

#include "common/errors.h"
#include "common/fixed_record_file.h"
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

bool FitsWindows1252(const QString& text)
{
    return DecodeWindows1252(EncodeWindows1252(text)) == text;
}

void RequireStorableText(const QString& field, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!FitsWindows1252(character)) {
            throw EConvertError(
                QStringLiteral("Le champ « %1 » contient un caractère qui ne peut pas être "
                               "enregistré : « %2 »")
                    .arg(field, character));
        }
        i += length - 1;
    }
}
