#include "users/window_look.h"

#include <QLabel>
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
