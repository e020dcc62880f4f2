#include "common/window_look.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

void MaskPassword(QLineEdit* edit)
{
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: %1").arg(int('*')));
}

void SetTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void PaintWindow(QWidget* window, const QColor& background)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, background);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    for (QLabel* label : window->findChildren<QLabel*>())
        SetTextColor(label, Qt::white);
}
