#include "sim/pty_server.h"

#include "sim/converter_model.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace pravenor::sim {

PtyServer::PtyServer(ConverterModel& model, const SimOptions& options, std::ostream& out,
                     std::ostream& log)
    : m_line(model, options.faults, options.baud), m_link(options.linkPath),
      m_unitName(options.unitName), m_out(out), m_log(log)
{
    m_line.setLogName(options.unitName);
}

int PtyServer::run(int stopFd)
{
    return m_line.serve(stopFd, *this, m_log);
}

bool PtyServer::followPower(bool powered)
{
    if (m_terminal && !powered)
        closeTerminal();
    else if (!m_terminal && powered)
        return openTerminal();
    return true;
}

void PtyServer::deliver(const std::vector<std::uint8_t>& due)
{
    if (!m_terminal)
        return;
    m_pending.insert(m_pending.end(), due.begin(), due.end());
    writePending();
}

std::size_t PtyServer::watch(std::span<pollfd> fds)
{
    if (!m_terminal)
        return 0;
    fds[0] = {m_terminal->master(), static_cast<short>(POLLIN | (m_pending.empty() ? 0 : POLLOUT)),
              0};
    return 1;
}

void PtyServer::ready(std::span<const pollfd> fds)
{
    if (m_terminal && (fds[0].revents & POLLIN) != 0)
        readHost();
}

void PtyServer::stop()
{
    closeTerminal();
}

bool PtyServer::openTerminal()
{
    std::string error;
    m_terminal = PseudoTerminal::create(error);
    if (!m_terminal) {
        m_log << "pravenor-sim: " << error << std::endl;
        return false;
    }
    if (!m_link.pointTo(m_terminal->slavePath(), error)) {
        m_log << "pravenor-sim: " << error << std::endl;
        m_terminal.reset();
        return false;
    }
    m_pending.clear();
    m_log << "-- serving on " << m_terminal->slavePath() << std::endl;
    m_out << (m_unitName.empty() ? "" : m_unitName + " ") << m_terminal->slavePath()
          << std::endl; // std::endl: a waiting reader gets it now
    return true;
}

void PtyServer::closeTerminal()
{
    if (!m_terminal)
        return;
    m_link.remove();
    m_terminal.reset();
    m_pending.clear();
    m_line.dropHostBytes();
}

void PtyServer::readHost()
{
    std::array<std::uint8_t, 512> buffer{};
    for (;;) {
        const ssize_t n = ::read(m_terminal->master(), buffer.data(), buffer.size());
        if (n <= 0)
            return; // EAGAIN: all taken in; EIO cannot happen while our own slave is open
        m_line.hostSent({buffer.data(), static_cast<std::size_t>(n)}, m_line.elapsed());
    }
}

void PtyServer::writePending()
{
    while (!m_pending.empty()) {
        const ssize_t n = ::write(m_terminal->master(), m_pending.data(), m_pending.size());
        if (n > 0) {
            m_pending.erase(m_pending.begin(), m_pending.begin() + n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return; // the terminal's buffer is full; poll says when it has room
        m_log << "write: " << std::strerror(errno) << std::endl;
        m_pending.clear();
        return;
    }
}

} // namespace pravenor::sim
