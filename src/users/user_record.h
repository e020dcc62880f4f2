#pragma once

#include <QByteArray>
#include <QString>

// The user file ConfigAgents.dt: 412-byte records, one per account, in the order added.

inline const QString UserFileName = QStringLiteral("ConfigAgents.dt");

struct UserRecord {
    qint32 id = 0;
    QByteArray firstName;  // Windows-1252 bytes, at most 100
    QByteArray familyName; // Windows-1252 bytes, at most 100
    QByteArray login;      // Windows-1252 bytes, at most 100
    QByteArray password;   // scrambled, at most 100 bytes
    qint32 level = 0;

    static constexpr int Size = 412;
    static constexpr int TextArea = 100;

    // The account as typed in the add-user dialog: texts in Windows-1252, the password
    // scrambled, each cut to 100 bytes.
    static UserRecord fromTyped(qint32 id, const QString& firstName, const QString& familyName,
                                const QString& login, const QString& password, qint32 level);

    // The bytes after each text are zero: a record never carries remains of another account.
    QByteArray toBytes() const;
    static UserRecord fromBytes(const QByteArray& bytes);
};

// True when every character of the text has its byte in Windows-1252: any other character
// would be stored as "?", and two different passwords would then be one.
bool FitsWindows1252(const QString& text);
// Raises EConvertError, in French, naming the field and the first character that does not fit.
void RequireStorableText(const QString& field, const QString& text);

// The key of the password scrambling, the same for every installation: existing user files
// depend on it.
constexpr quint8 PasswordKey = 0xC9;

// Each byte XOR the key: same length, applying it twice gives the input back. Not a
// protection, only what existing user files hold.
QByteArray ScramblePassword(const QByteArray& password);
QByteArray ScramblePassword(const QString& password);
