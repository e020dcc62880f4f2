#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Every failure is raised as one of these; the general error handler shows message().
class QuivelError : public std::exception
{
public:
    explicit QuivelError(QString message);
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};

// "'%s' is not a valid integer value"
class EConvertError : public QuivelError
{
public:
    using QuivelError::QuivelError;
    static EConvertError notAnInteger(const QString& text);
};

// "Cannot open file "%s". %s" with the full path and the system's reason.
class EFOpenError : public QuivelError
{
public:
    EFOpenError(const QString& fileName, const QString& reason);

protected:
    struct WholeMessage {
        QString text;
    };
    explicit EFOpenError(WholeMessage message) : QuivelError(std::move(message.text)) {}
};

// A file larger than its reader takes: refused unread, in French, naming the file (full path)
// and the limit. A file-open error all the same, for whoever handles those.
class EFileTooLarge : public EFOpenError
{
public:
    EFileTooLarge(const QString& fileName, qint64 maxBytes);
};

// "Cannot create file "%s". %s" with the full path and the system's reason.
class EFCreateError : public QuivelError
{
public:
    EFCreateError(const QString& fileName, const QString& reason);
};

// "List index out of bounds (%d)"
class EListError : public QuivelError
{
public:
    explicit EListError(qint64 index);
};

// Input/output failure on a record-structured file, by runtime error code.
class EInOutError : public QuivelError
{
public:
    enum Code {
        FileNotFound = 2,
        InvalidFilename = 3,
        TooManyOpenFiles = 4,
        AccessDenied = 5,
        ReadBeyondEnd = 100,
        DiskFull = 101,
        FileNotOpen = 103,
    };

    explicit EInOutError(int code);
    int code() const { return m_code; }
    static QString textForCode(int code);
    // Maps an errno value of a failed file operation to its runtime code.
    static int codeForErrno(int err);

private:
    int m_code;
};
