#pragma once

// Windows has no file size limit per process: the tests that need it are skipped there.
#ifndef _WIN32

#include <csignal>
#include <sys/resource.h>

namespace pravenor::test {

// Lets no file grow beyond a few bytes while it lives, so that a save fails half-way
// whoever runs the test (root included).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace pravenor::test

#endif
