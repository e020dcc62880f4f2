#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair: the simulator speaks on the master; the program under test opens
// the slave by its path. The simulator also holds one slave descriptor that it never reads,
// so the line stays up between the reader's opens and it can see how many bytes are still
// waiting for the reader (FIONREAD).
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens the pair in raw mode (no byte translated, no echo). False with *error set on failure.
    bool open(QString* error);
    // Closes both descriptors: the reader sees the line hang up.
    void close();
    bool isOpen() const { return m_master >= 0; }

    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Reads what the reader wrote (non-blocking); empty when nothing is there.
    QByteArray readAvailable();
    // Writes as much as the line takes now (non-blocking); returns the bytes taken, or -1
    // when the line is gone.
    qint64 writeSome(const QByteArray& bytes);
    // Bytes written by the simulator that the reader has not taken yet (0: all taken).
    int pendingForReader() const;

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
