#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>

// Driving windows as a user would: their controls by name, and a modal dialog acted on
// once it is up (exec() blocks the test).

template <class T> T* Child(QWidget* window, const char* name)
{
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    if (!child)
        qFatal("no control %s", name);
    return child;
}

inline QLineEdit* Edit(QWidget* window, const char* name)
{
    return Child<QLineEdit>(window, name);
}

inline QPushButton* Button(QWidget* window, const char* name)
{
    return Child<QPushButton>(window, name);
}

// Acts once the dialog is the modal window on top. A dialog that never comes up makes *seen
// stay false; the watch ends after 20 s, or when the dialog is destroyed.
inline void WhenModal(QDialog* dialog, std::function<void()> act, bool* seen)
{
    *seen = false;
    // A child of the dialog: when the dialog never comes, the timer goes with it rather than
    // outliving the test.
    auto* timer = new QTimer(dialog);
    const QPointer<QDialog> watched(dialog);
    const QDeadlineTimer deadline(20000);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (watched && QApplication::activeModalWidget() == watched) {
            timer->stop();
            timer->deleteLater();
            *seen = true;
            act();
        } else if (!watched || deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}
