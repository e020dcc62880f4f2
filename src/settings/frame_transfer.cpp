#include "settings/frame_transfer.h"

#include "common/number_text.h"
#include "device/com_port.h"

FrameTransfer::FrameTransfer(QObject* parent) : QObject(parent), m_timer(this)
{
    m_timer.setObjectName(QStringLiteral("SendTimer"));
    m_timer.setInterval(TickMs);
    // Items are meant to be TickMs apart; a coarse timer may fire early.
    m_timer.setTimerType(Qt::PreciseTimer);
}

void FrameTransfer::start()
{
    m_itemCounter = 0;
    m_timer.start();
}

void FrameTransfer::checkSerialNumber(const TFrameSources& sources)
{
    // Every tick, whatever its item: a serial-number field that is not a whole number
    // stops the frame before its first byte.
    for (const QString& field : sources.serial)
        StrictToInt(field);
}

int FrameTransfer::tick()
{
    const int item = m_itemCounter;
    try {
        const TFrameSources sources = m_readSources ? m_readSources() : TFrameSources{};
        checkSerialNumber(sources);
        const quint8 byte = ConfigurationFrameItem(item, sources);
        if (!m_write)
            throw EComPort(EComPort::NotOpen);
        m_write(QByteArray(1, char(byte)));
    } catch (...) {
        m_timer.stop();
        throw;
    }
    if (item == LastItem)
        m_timer.stop();
    ++m_itemCounter;
    return item;
}
