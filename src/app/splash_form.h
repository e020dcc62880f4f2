#pragma once

#include <QWidget>

class QTimer;

// The start-up picture. Its timer runs from creation and fires once.
class TSplashForm : public QWidget
{
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
    bool timerActive() const;

Q_SIGNALS:
    // The splash time is over: the caller shows the sign-in window.
    void finished();

public Q_SLOTS:
    void Timer1Timer();

private:
    QTimer* Timer1 = nullptr;
};
