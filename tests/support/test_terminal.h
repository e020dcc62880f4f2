#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal held by the test itself: the port under test opens its slave; the test
// writes on the master the bytes a logger never sends, and reads what the program sent.
// The slave is held open too, so the line stays up between the port's reads.
class TestTerminal
{
public:
    TestTerminal();
    ~TestTerminal();
    TestTerminal(const TestTerminal&) = delete;
    TestTerminal& operator=(const TestTerminal&) = delete;

    QString path() const { return m_path; }
    bool write(const QByteArray& bytes);
    // Everything the program wrote since the last call.
    QByteArray sent();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
