#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrows that steps a whole number between its limits, without wrapping, and
// shows it in an associated read-only edit. Up and Down in the edit step it too.
class UpDownControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int position READ position WRITE setPosition)
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    // Kept within the limits; the associated edit shows it.
    void setPosition(int position);
    void setAssociate(QLineEdit* edit);

public Q_SLOTS:
    void stepUp();
    void stepDown();

Q_SIGNALS:
    // After each step of the arrows or keys, once the position has its new value (also at a
    // limit, where the position stays).
    void Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int delta);
    void showPosition();

    QToolButton* m_up;
    QToolButton* m_down;
    QLineEdit* m_associate = nullptr;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};
