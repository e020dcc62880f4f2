#pragma once

#include "common/errors.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QSerialPort;
class TComDataPacket;

// Failure of the serial link: the code's text, then " (Error: %d)" when the system gave
// an error code.
class EComPort : public QuivelError
{
public:
    enum Code {
        OpenFailed = 1,        // "Unable to open com port"
        WriteFailed = 2,       // "WriteFile function failed"
        ReadFailed = 3,        // "ReadFile function failed"
        PurgeFailed = 5,       // "PurgeComm function failed"
        SetStateFailed = 7,    // "SetCommState function failed"
        TimeoutsFailed = 8,    // "SetCommTimeouts failed"
        SetupFailed = 9,       // "SetupComm function failed"
        ClearErrorFailed = 10, // "ClearCommError function failed"
        NotOpen = 24,          // "Port Not Open"
    };
    EComPort(int code, int systemCode = 0);
    int code() const { return m_code; }
    int systemCode() const { return m_systemCode; }
    static QString textForCode(int code);

private:
    int m_code;
    int m_systemCode;
};

// The one serial port of the program: 57600 baud, 8N1, DTR asserted, no flow control.
// Received bytes are read on the user-interface thread as one chunk per receive event
// (everything queued at that moment) and handed to every attached listener, in the
// order of attachment, one chunk at a time.
class TComPort : public QObject
{
    Q_OBJECT
public:
    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    // The names of the serial ports present (the port-list service), sorted as text
    // without regard to case in the user's collation.
    static QStringList ListPorts();

    QString Port() const { return m_portName; }
    // Renaming an open port closes it and opens it under the new name.
    void setPort(const QString& name);
    int BaudRate() const { return m_baudRate; }
    void setBaudRate(int baud) { m_baudRate = baud; }

    bool Connected() const;
    void setConnected(bool connected);
    // Idempotent. Raises EComPort code 1 (or 7/8/9) when the device cannot be opened or set up.
    void OpenPort();
    // Idempotent.
    void ClosePort();
    void ClearBuffers(bool input, bool output);
    // Sends the bytes as they are and returns once they are written, within
    // 1000 ms + 100 ms per byte. An empty text sends nothing and succeeds even on a closed
    // port; otherwise a closed port raises "Port Not Open".
    qint64 WriteText(const QByteArray& text);
    // Whether received bytes wait to be handed to the listeners; looks at the system's queue
    // without delivering anything.
    bool HasUnreadInput();

    // The listeners, in attachment order (managed by TComDataPacket::setComPort).
    void attach(TComDataPacket* listener);
    void detach(TComDataPacket* listener);
    QList<TComDataPacket*> listeners() const;

Q_SIGNALS:
    // The port closed by itself (read failure, device gone); reported once.
    void lost(const QString& message);

private:
    void configure(QSerialPort& serial);
    void onReadyRead();
    void deliverPending();
    void scheduleDelivery();
    void onError(int error);

    QString m_portName = QStringLiteral("COM1");
    int m_baudRate = 57600;
    QSerialPort* m_serial = nullptr;
    QList<QPointer<TComDataPacket>> m_listeners;
    bool m_writing = false;
    bool m_delivering = false;
    bool m_deliveryQueued = false;
    bool m_lostReported = false;
};

// A packet listener in chunk mode: every chunk the port reads becomes one packet, raised at
// once as OnPacket. An error escaping a handler is reported through the general error
// handler (posted to the event loop) and reception goes on.
class TComDataPacket : public QObject
{
    Q_OBJECT
public:
    explicit TComDataPacket(QObject* parent = nullptr);
    ~TComDataPacket() override;

    TComPort* ComPort() const { return m_port; }
    // Attaches to the port after detaching from any previous one; the same port: no change.
    void setComPort(TComPort* port);

    // Called by the port with each chunk; also the entry point for tests that need exact
    // packet boundaries without a serial line.
    void deliver(const QByteArray& chunk);

Q_SIGNALS:
    void OnPacket(const QByteArray& packet);

private:
    QPointer<TComPort> m_port;
};
