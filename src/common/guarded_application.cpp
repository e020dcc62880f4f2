#include "common/guarded_application.h"

#include "common/error_handler.h"
#include "common/services.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // No display name: Qt would append it to every caption ("Humidité — QUIVEL CONFIG"), and the
    // captions stand as they are.
    setApplicationName(ApplicationTitle());
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    Guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
