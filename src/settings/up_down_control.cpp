#include "settings/up_down_control.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(18, 12);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, &UpDownControl::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDownControl::stepDown);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void UpDownControl::setMinimum(int minimum)
{
    m_minimum = minimum;
    m_maximum = std::max(m_maximum, m_minimum);
    setPosition(m_position);
}

void UpDownControl::setMaximum(int maximum)
{
    m_maximum = maximum;
    m_minimum = std::min(m_minimum, m_maximum);
    setPosition(m_position);
}

void UpDownControl::setPosition(int position)
{
    m_position = std::clamp(position, m_minimum, m_maximum);
    showPosition();
}

void UpDownControl::setAssociate(QLineEdit* edit)
{
    if (m_associate)
        m_associate->removeEventFilter(this);
    m_associate = edit;
    if (m_associate)
        m_associate->installEventFilter(this);
    showPosition();
}

void UpDownControl::stepUp()
{
    step(+1);
}

void UpDownControl::stepDown()
{
    step(-1);
}

void UpDownControl::step(int delta)
{
    // qint64 so that a step at the limits of int cannot overflow.
    setPosition(int(std::clamp<qint64>(qint64(m_position) + delta, m_minimum, m_maximum)));
    emit Click();
}

void UpDownControl::showPosition()
{
    if (m_associate)
        m_associate->setText(QString::number(m_position));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_associate && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
