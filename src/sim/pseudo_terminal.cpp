#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace pravenor::sim {

namespace {

std::string systemError(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

bool addFlags(int fd, int statusFlags)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags != -1 && ::fcntl(fd, F_SETFL, flags | statusFlags) != -1 &&
           ::fcntl(fd, F_SETFD, FD_CLOEXEC) != -1;
}

} // namespace

std::optional<PseudoTerminal> PseudoTerminal::create(std::string& error)
{
    PseudoTerminal terminal;
    if (::openpty(&terminal.m_master, &terminal.m_slave, nullptr, nullptr, nullptr) != 0) {
        error = systemError("openpty");
        return std::nullopt;
    }
    char name[256] = {};
    if (::ttyname_r(terminal.m_slave, name, sizeof name) != 0) {
        error = "ttyname: " + std::string(std::strerror(errno));
        return std::nullopt;
    }
    terminal.m_slavePath = name;

    termios settings{};
    if (::tcgetattr(terminal.m_slave, &settings) != 0) {
        error = systemError("tcgetattr");
        return std::nullopt;
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(terminal.m_slave, TCSANOW, &settings) != 0) {
        error = systemError("tcsetattr");
        return std::nullopt;
    }
    if (!addFlags(terminal.m_master, O_NONBLOCK) || !addFlags(terminal.m_slave, 0)) {
        error = systemError("fcntl");
        return std::nullopt;
    }
    return terminal;
}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : m_master(std::exchange(other.m_master, -1)), m_slave(std::exchange(other.m_slave, -1)),
      m_slavePath(std::move(other.m_slavePath))
{
}

PseudoTerminal& PseudoTerminal::operator=(PseudoTerminal&& other) noexcept
{
    if (this != &other) {
        close();
        m_master = std::exchange(other.m_master, -1);
        m_slave = std::exchange(other.m_slave, -1);
        m_slavePath = std::move(other.m_slavePath);
    }
    return *this;
}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

void PseudoTerminal::close()
{
    if (m_slave != -1)
        ::close(m_slave);
    if (m_master != -1)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
}

} // namespace pravenor::sim
