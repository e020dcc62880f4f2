#include "device/com_combo_box.h"

#include "common/error_handler.h"
#include "device/com_port.h"

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, &TComComboBox::ComComboBoxActivated);
}

void TComComboBox::setComPort(TComPort* port)
{
    m_port = port;
    selectPortName();
}

void TComComboBox::setComProperty(TComProperty property)
{
    m_property = property;
    if (property == cpPort)
        fillPorts();
}

void TComComboBox::fillPorts()
{
    clear();
    addItems(TComPort::ListPorts());
    selectPortName();
}

void TComComboBox::selectPortName()
{
    setCurrentIndex(m_port ? findText(m_port->Port(), Qt::MatchFixedString | Qt::MatchCaseSensitive)
                           : -1);
}

void TComComboBox::ComComboBoxActivated(int index)
{
    Guarded([&] {
        if (m_autoApply && m_port && index >= 0)
            m_port->setPort(itemText(index));
    });
}
