#include "common/error_handler.h"

#include "common/errors.h"
#include "common/services.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <new>

QString WithFinalPeriod(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ShowErrorBox(const QString& message)
{
    Services::dialogs().messageBox(MsgKind::Error, ApplicationTitle(), WithFinalPeriod(message),
                                   {MsgButton::Ok});
}

QString MessageOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const QuivelError& e) {
        return e.message();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

void ReportCurrentException()
{
    const QString message = MessageOf(std::current_exception());
    try {
        ShowErrorBox(message);
    } catch (...) {
        // Nothing more can be done: the report itself failed.
    }
}

void PostGuarded(std::function<void()> handler)
{
    QObject* target = QCoreApplication::instance();
    if (!target)
        return;
    QMetaObject::invokeMethod(
        target, [handler = std::move(handler)] { Guarded(handler); }, Qt::QueuedConnection);
}

void PostErrorBox(const QString& message)
{
    PostGuarded([message] { ShowErrorBox(message); });
}
