#pragma once

#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// Limits of this process for the length of a scope (Unix), restored when it ends.

// Writes past this many bytes fail with EFBIG, for root too: a full disk on demand. SIGXFSZ,
// which would end the process, is ignored meanwhile.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

// The address space may grow by at most `room` bytes: a piece of code that would take much
// more memory fails with std::bad_alloc instead of passing unnoticed, or exhausting the
// machine. No bound where the current size cannot be read.
class AddressSpaceBound
{
public:
    explicit AddressSpaceBound(rlim_t room)
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly) || ::getrlimit(RLIMIT_AS, &m_saved) != 0)
            return;
        const rlim_t pages = statm.readLine().split(' ').value(0).toULongLong();
        if (pages == 0)
            return;
        rlimit limit = m_saved;
        limit.rlim_cur = pages * rlim_t(::sysconf(_SC_PAGESIZE)) + room;
        m_active = limit.rlim_cur < m_saved.rlim_max && ::setrlimit(RLIMIT_AS, &limit) == 0;
    }
    ~AddressSpaceBound()
    {
        if (m_active)
            ::setrlimit(RLIMIT_AS, &m_saved);
    }
    AddressSpaceBound(const AddressSpaceBound&) = delete;
    AddressSpaceBound& operator=(const AddressSpaceBound&) = delete;

private:
    rlimit m_saved{};
    bool m_active = false;
};
