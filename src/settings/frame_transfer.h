#pragma once

#include "device/protocol.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <functional>

// The configuration frame written one item per tick of SendTimer (50 ms). Each tick reads
// the sources anew, so a change made during a transfer is seen by the items after it.
// A failed tick stops the transfer where it is and raises its error once; nothing more is
// written until the next start().
class FrameTransfer : public QObject
{
    Q_OBJECT
public:
    static constexpr int TickMs = 50;
    static constexpr int LastItem = Protocol::FrameLength - 1;

    using SourcesReader = std::function<TFrameSources()>;
    using ByteWriter = std::function<void(const QByteArray&)>;

    explicit FrameTransfer(QObject* parent = nullptr);

    void setSourcesReader(SourcesReader reader) { m_readSources = std::move(reader); }
    void setByteWriter(ByteWriter writer) { m_write = std::move(writer); }

    // From item 0, even in the middle of a running transfer. The first item goes out one
    // tick later.
    void start();
    bool isRunning() const { return m_timer.isActive(); }
    // The index of the item the next tick writes.
    int itemCounter() const { return m_itemCounter; }
    QTimer* timer() { return &m_timer; }

    // Writes the item at the counter and returns its index. On failure the timer is
    // stopped, the counter stays and the error is raised.
    int tick();

private:
    static void checkSerialNumber(const TFrameSources& sources);

    QTimer m_timer;
    quint8 m_itemCounter = 0;
    SourcesReader m_readSources;
    ByteWriter m_write;
};
