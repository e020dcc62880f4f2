#pragma once

#include <QApplication>

// The application object: the last guard, so that no error ever crosses the event loop.
class GuardedApplication : public QApplication
{
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
