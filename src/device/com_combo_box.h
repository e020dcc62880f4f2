#pragma once

#include <QComboBox>
#include <QPointer>

class TComPort;

// A drop-down list (no typing) of the serial ports present, bound to a port. A choice of the
// user hands the name to the port at once; a choice made in code does not.
class TComComboBox : public QComboBox
{
    Q_OBJECT
public:
    enum TComProperty { cpNone, cpPort };

    explicit TComComboBox(QWidget* parent = nullptr);

    TComPort* ComPort() const { return m_port; }
    // Binds the box; the entry equal to the port's current name is selected, or none.
    void setComPort(TComPort* port);
    TComProperty ComProperty() const { return m_property; }
    // cpPort fills the list with TComPort::ListPorts().
    void setComProperty(TComProperty property);
    bool AutoApply() const { return m_autoApply; }
    void setAutoApply(bool autoApply) { m_autoApply = autoApply; }

    // Fills the list with the ports present and selects the bound port's name.
    void fillPorts();

private Q_SLOTS:
    void ComComboBoxActivated(int index);

private:
    void selectPortName();

    QPointer<TComPort> m_port;
    TComProperty m_property = cpNone;
    bool m_autoApply = true;
};
