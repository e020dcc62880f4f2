#include "common/clickable_label.h"

#include <QMouseEvent>

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    // A buddy makes the label draw and register its "&" shortcut; the shortcut clicks it.
    setBuddy(this);
}

bool ClickableLabel::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        emit clicked();
        return true;
    }
    return QLabel::event(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
