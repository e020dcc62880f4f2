#include "common/window_placement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace
{

QScreen* ScreenOf(const QWidget* window)
{
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

void SetTransientParent(QWidget* window, QWidget* owner)
{
    window->winId();
    if (owner)
        owner->winId();
    window->windowHandle()->setTransientParent(owner ? owner->windowHandle() : nullptr);
}

// Moves the window next to the other one (to its right, else to its left, else as far from
// it as the screen allows), so that it does not hide it.
void PlaceBeside(QWidget* window, const QWidget* other)
{
    QScreen* screen = ScreenOf(other);
    if (!screen)
        return;
    // A maximised window takes the screen; sizing it here would also drop that state and leave
    // it at the size of its contents' hint (a chart window's is empty).
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    // Before its first showing a window has not taken its own size yet.
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    const QRect area = screen->availableGeometry();
    const QRect beside = other->frameGeometry();
    const QSize size = window->frameGeometry().size();
    const auto clampedTo = [&](QPoint at) {
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() + 1 - size.width())));
        at.setY(qBound(area.top(), at.y(), qMax(area.top(), area.bottom() + 1 - size.height())));
        return at;
    };
    // Right, left, below, above: the first place where it fits whole; else the widest room.
    const struct {
        int room;
        int needed;
        QPoint at;
    } places[] = {
        {area.right() - beside.right(), size.width(), {beside.right() + 1, beside.top()}},
        {beside.left() - area.left(), size.width(), {beside.left() - size.width(), beside.top()}},
        {area.bottom() - beside.bottom(), size.height(), {beside.left(), beside.bottom() + 1}},
        {beside.top() - area.top(), size.height(), {beside.left(), beside.top() - size.height()}},
    };
    const auto* best = &places[0];
    for (const auto& place : places) {
        if (place.room >= place.needed) {
            best = &place;
            break;
        }
        if (place.room - place.needed > best->room - best->needed)
            best = &place;
    }
    window->move(clampedTo(best->at));
}

} // namespace

void CentreOnScreen(QWidget* window)
{
    QScreen* screen = ScreenOf(window);
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void ShowBesideModal(QWidget* window)
{
    if (!window->isVisible()) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != window) {
            SetTransientParent(window, modal);
            window->setProperty("quivelLentTo", true);
            PlaceBeside(window, modal);
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void ReturnToOwnParent(QWidget* window)
{
    if (!window->property("quivelLentTo").toBool())
        return;
    QWidget* parent = window->parentWidget();
    SetTransientParent(window, parent ? parent->window() : nullptr);
    window->setProperty("quivelLentTo", false);
}
