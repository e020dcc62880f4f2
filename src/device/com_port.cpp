#include "device/com_port.h"

#include "common/error_handler.h"
#include "common/services.h"

#include <QCollator>
#include <QDeadlineTimer>
#include <QLocale>
#include <QMetaObject>
#include <QScopedValueRollback>
#include <QSerialPort>
#include <algorithm>
#include <cerrno>

namespace
{

// The system error code of a failed call, from what the port itself reports (errno may have
// been changed by any call after the one that failed).
int SystemCode(const QSerialPort& serial)
{
    switch (serial.error()) {
    case QSerialPort::DeviceNotFoundError:
        return ENOENT;
    case QSerialPort::PermissionError:
        return EACCES;
    case QSerialPort::OpenError:
        return EBUSY;
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
        return EIO;
    case QSerialPort::ResourceError:
        return ENXIO;
    case QSerialPort::TimeoutError:
        return ETIMEDOUT;
    case QSerialPort::UnsupportedOperationError:
        return ENOTSUP;
    default:
        return 0;
    }
}

QString composeMessage(int code, int systemCode)
{
    QString text = EComPort::textForCode(code);
    if (systemCode > 0)
        text += QStringLiteral(" (Error: %1)").arg(systemCode);
    return text;
}

} // namespace

EComPort::EComPort(int code, int systemCode)
    : QuivelError(composeMessage(code, systemCode)), m_code(code), m_systemCode(systemCode)
{
}

QString EComPort::textForCode(int code)
{
    switch (code) {
    case OpenFailed:
        return QStringLiteral("Unable to open com port");
    case WriteFailed:
        return QStringLiteral("WriteFile function failed");
    case ReadFailed:
        return QStringLiteral("ReadFile function failed");
    case PurgeFailed:
        return QStringLiteral("PurgeComm function failed");
    case SetStateFailed:
        return QStringLiteral("SetCommState function failed");
    case TimeoutsFailed:
        return QStringLiteral("SetCommTimeouts failed");
    case SetupFailed:
        return QStringLiteral("SetupComm function failed");
    case ClearErrorFailed:
        return QStringLiteral("ClearCommError function failed");
    case NotOpen:
        return QStringLiteral("Port Not Open");
    default:
        return QStringLiteral("Com port error %1").arg(code);
    }
}

TComPort::TComPort(QObject* parent) : QObject(parent)
{
}

TComPort::~TComPort()
{
    ClosePort();
}

QStringList TComPort::ListPorts()
{
    QStringList names = Services::ports().portNames();
    QCollator collator(QLocale{});
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    return names;
}

void TComPort::setPort(const QString& name)
{
    if (name == m_portName)
        return;
    m_portName = name;
    if (Connected()) {
        ClosePort();
        OpenPort();
    }
}

bool TComPort::Connected() const
{
    return m_serial && m_serial->isOpen();
}

void TComPort::setConnected(bool connected)
{
    if (connected)
        OpenPort();
    else
        ClosePort();
}

void TComPort::OpenPort()
{
    if (Connected())
        return;
    ClosePort(); // a port object left behind by a lost device
    auto* serial = new QSerialPort(this);
    // A name that is a path (a pseudo-terminal) is used as it is; others are looked up in /dev.
    serial->setPortName(m_portName);
    if (!serial->open(QIODevice::ReadWrite)) {
        const int code = SystemCode(*serial);
        delete serial;
        throw EComPort(EComPort::OpenFailed, code);
    }
    try {
        configure(*serial);
    } catch (...) {
        serial->close();
        delete serial;
        throw;
    }
    m_serial = serial;
    m_lostReported = false;
    connect(serial, &QSerialPort::readyRead, this, &TComPort::onReadyRead);
    connect(serial, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { onError(int(error)); });
}

// 57600 8N1 (or the baud rate set), no flow control, DTR asserted.
void TComPort::configure(QSerialPort& serial)
{
    const bool lineSet = serial.setBaudRate(m_baudRate) && serial.setDataBits(QSerialPort::Data8) &&
                         serial.setParity(QSerialPort::NoParity) &&
                         serial.setStopBits(QSerialPort::OneStop) &&
                         serial.setFlowControl(QSerialPort::NoFlowControl);
    if (!lineSet)
        throw EComPort(EComPort::SetStateFailed, SystemCode(serial));
    // A pseudo-terminal has no modem lines: that refusal, and only that one, is harmless.
    if (!serial.setDataTerminalReady(true) &&
        serial.error() != QSerialPort::UnsupportedOperationError)
        throw EComPort(EComPort::SetStateFailed, SystemCode(serial));
    serial.clearError();
}

void TComPort::ClosePort()
{
    if (!m_serial)
        return;
    QSerialPort* serial = m_serial;
    m_serial = nullptr;
    disconnect(serial, nullptr, this, nullptr);
    if (serial->isOpen()) {
        serial->clear(); // pending bytes of either direction are dropped, as on Windows
        serial->close();
    }
    // Closing may happen inside one of its own signals (a handler, an error).
    serial->deleteLater();
}

void TComPort::ClearBuffers(bool input, bool output)
{
    if (!input && !output)
        return;
    if (!Connected())
        throw EComPort(EComPort::PurgeFailed);
    QSerialPort::Directions directions;
    if (input)
        directions |= QSerialPort::Input;
    if (output)
        directions |= QSerialPort::Output;
    if (!m_serial->clear(directions))
        throw EComPort(EComPort::PurgeFailed, SystemCode(*m_serial));
}

qint64 TComPort::WriteText(const QByteArray& text)
{
    if (text.isEmpty())
        return 0;
    if (!Connected())
        throw EComPort(EComPort::NotOpen);
    QSerialPort* serial = m_serial;
    qint64 written = 0;
    {
        // Waiting for the write may read incoming bytes; they are delivered afterwards from
        // the event loop, never inside WriteText.
        const QScopedValueRollback writing(m_writing, true);
        written = serial->write(text);
        if (written != text.size()) {
            const int code = SystemCode(*serial);
            serial->clear(QSerialPort::Output);
            throw EComPort(EComPort::WriteFailed, code);
        }
        QDeadlineTimer deadline(1000 + 100 * text.size());
        while (serial->bytesToWrite() > 0) {
            if (deadline.hasExpired() ||
                !serial->waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())))) {
                const int code = SystemCode(*serial);
                if (m_serial == serial)
                    serial->clear(QSerialPort::Output); // no stale half command later
                scheduleDelivery();
                throw EComPort(EComPort::WriteFailed, code);
            }
        }
    }
    scheduleDelivery();
    return written;
}

bool TComPort::HasUnreadInput()
{
    if (!m_serial || !m_serial->isOpen())
        return false;
    if (m_serial->bytesAvailable() == 0) {
        // Reads what the system holds; the delivery it triggers goes out from the event loop.
        const QScopedValueRollback writing(m_writing, true);
        m_serial->waitForReadyRead(0);
    }
    // A read failure inside the wait closes the port.
    const bool unread = m_serial && m_serial->bytesAvailable() > 0;
    scheduleDelivery();
    return unread;
}

void TComPort::attach(TComDataPacket* listener)
{
    if (!listener)
        return;
    for (const QPointer<TComDataPacket>& l : std::as_const(m_listeners))
        if (l == listener)
            return;
    m_listeners.append(listener);
}

void TComPort::detach(TComDataPacket* listener)
{
    m_listeners.removeIf(
        [listener](const QPointer<TComDataPacket>& l) { return l.isNull() || l == listener; });
}

QList<TComDataPacket*> TComPort::listeners() const
{
    QList<TComDataPacket*> result;
    for (const QPointer<TComDataPacket>& l : m_listeners)
        if (l)
            result.append(l);
    return result;
}

void TComPort::onReadyRead()
{
    if (m_writing || m_delivering) {
        scheduleDelivery();
        return;
    }
    deliverPending();
}

// Hands everything queued now, as one chunk, to every listener in attachment order.
void TComPort::deliverPending()
{
    if (m_writing || m_delivering || !m_serial || !m_serial->isOpen())
        return;
    const QByteArray chunk = m_serial->readAll();
    if (chunk.isEmpty())
        return;
    {
        const QScopedValueRollback delivering(m_delivering, true);
        const QList<TComDataPacket*> targets = listeners(); // a handler may attach another
        for (TComDataPacket* listener : targets) {
            if (listener)
                listener->deliver(chunk);
        }
    }
    scheduleDelivery();
}

// Bytes that arrived while a write or a handler was running go out from the event loop.
void TComPort::scheduleDelivery()
{
    if (m_deliveryQueued || !m_serial || m_serial->bytesAvailable() <= 0)
        return;
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_deliveryQueued = false;
            Guarded([&] { deliverPending(); });
        },
        Qt::QueuedConnection);
}

// A read failure or a device that went away (the adapter unplugged, the line hung up) is
// reported once; the port is then closed so that a later OpenPort starts afresh.
void TComPort::onError(int error)
{
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    if (m_lostReported)
        return;
    m_lostReported = true;
    const int code = m_serial ? SystemCode(*m_serial) : 0;
    const QString message = EComPort(EComPort::ReadFailed, code).message();
    PostErrorBox(message);
    QPointer<QSerialPort> failed = m_serial;
    QMetaObject::invokeMethod(
        this,
        [this, failed, message] {
            if (failed && failed == m_serial)
                ClosePort();
            Q_EMIT lost(message);
        },
        Qt::QueuedConnection);
}

TComDataPacket::TComDataPacket(QObject* parent) : QObject(parent)
{
}

TComDataPacket::~TComDataPacket()
{
    if (m_port)
        m_port->detach(this);
}

void TComDataPacket::setComPort(TComPort* port)
{
    if (port == m_port)
        return;
    if (m_port)
        m_port->detach(this);
    m_port = port;
    if (port)
        port->attach(this);
}

void TComDataPacket::deliver(const QByteArray& chunk)
{
    try {
        Q_EMIT OnPacket(chunk);
    } catch (...) {
        // Reported without blocking the link; reception goes on with the next chunk.
        PostErrorBox(MessageOf(std::current_exception()));
    }
}
