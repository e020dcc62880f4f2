#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <utility>

// The general error handler: an error box titled with the application title, error icon,
// OK, the message ended by "." unless it already ends in a character at or before ".".
void ShowErrorBox(const QString& message);
QString WithFinalPeriod(const QString& message);

// The message of an exception caught by a guard.
QString MessageOf(std::exception_ptr error);

// Shows the error of the exception being handled (call from inside a catch block).
void ReportCurrentException();

// Runs the handler later, from the event loop, inside the guard: for boxes that a packet
// handler or the serial link must not wait on.
void PostGuarded(std::function<void()> handler);
// Shows an error later, from the event loop.
void PostErrorBox(const QString& message);

// Runs an event handler, timer tick or window show; an error that escapes it is shown by
// the general error handler and the program goes on. Returns false when it failed.
template <class F> bool Guarded(F&& handler)
{
    try {
        std::forward<F>(handler)();
        return true;
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}
