#include "pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open(QString* error)
{
    auto fail = [&](const char* step) {
        *error = QStringLiteral("%1 : %2").arg(QLatin1String(step),
                                               QString::fromLocal8Bit(std::strerror(errno)));
        close();
        return false;
    };
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (grantpt(m_master) != 0)
        return fail("grantpt");
    if (unlockpt(m_master) != 0)
        return fail("unlockpt");
    const char* name = ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slave < 0)
        return fail("open slave");
    termios tio{};
    if (tcgetattr(m_slave, &tio) != 0)
        return fail("tcgetattr");
    cfmakeraw(&tio);
    cfsetispeed(&tio, B57600);
    cfsetospeed(&tio, B57600);
    if (tcsetattr(m_slave, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    return true;
}

void PseudoTerminal::close()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
}

QByteArray PseudoTerminal::readAvailable()
{
    QByteArray result;
    if (m_master < 0)
        return result;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            result.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN, or EIO while no reader has the slave open
    }
    return result;
}

qint64 PseudoTerminal::writeSome(const QByteArray& bytes)
{
    if (m_master < 0)
        return -1;
    for (;;) {
        const ssize_t n = ::write(m_master, bytes.constData(), size_t(bytes.size()));
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        return -1;
    }
}

int PseudoTerminal::pendingForReader() const
{
    if (m_slave < 0)
        return 0;
    // A write reaches the reader's queue a little later, through a kernel work item; FIONREAD
    // alone may read 0 before that. Polling the terminal first waits for that work, so
    // "not readable" means the reader took the bytes.
    pollfd fd{m_slave, POLLIN, 0};
    if (poll(&fd, 1, 0) <= 0 || !(fd.revents & POLLIN))
        return 0;
    int n = 0;
    if (ioctl(m_slave, FIONREAD, &n) != 0 || n <= 0)
        return 1;
    return n;
}
