#include "users/window_look.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

void PaintWindow(QWidget* window, const QColor& background)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, background);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    for (QLabel* label : window->findChildren<QLabel*>()) {
        QPalette labelPalette = label->palette();
        labelPalette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(labelPalette);
    }
}

void CentreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}
