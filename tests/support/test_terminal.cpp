#include "support/test_terminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

TestTerminal::TestTerminal()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return;
    m_path = QString::fromLocal8Bit(ptsname(m_master));
    m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    tcgetattr(m_slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(m_slave, TCSANOW, &tio);
}

TestTerminal::~TestTerminal()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool TestTerminal::write(const QByteArray& bytes)
{
    return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

QByteArray TestTerminal::sent()
{
    QByteArray bytes;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}
