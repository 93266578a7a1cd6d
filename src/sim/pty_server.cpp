#include "sim/pty_server.h"

#include "sim/converter_model.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace pravenor::sim {

namespace {

// Long enough to stay off the processor, short enough that a power cut or a stop request
// is noticed at once.
constexpr Micros kLongestWait{50'000};

} // namespace

std::string TrafficLogLine(const TrafficRecord& record)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%9.3f] ", static_cast<double>(record.at.count()) / 1e6);
    std::string line = stamp;
    switch (record.kind) {
    case TrafficKind::Received:
    case TrafficKind::Ignored:
        line += "<<";
        break;
    case TrafficKind::Sent:
    case TrafficKind::Unsolicited:
        line += ">>";
        break;
    case TrafficKind::PowerOff:
        return line + "-- power cut";
    case TrafficKind::PowerOn:
        return line + "-- power back";
    }
    if (record.bytes.empty())
        line += " (nothing)";
    for (std::uint8_t byte : record.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", byte);
        line += hex;
    }
    std::string note = record.note;
    if (record.kind == TrafficKind::Ignored)
        note = note + ", ignored";
    else if (record.kind == TrafficKind::Unsolicited)
        note = "unsolicited";
    if (!note.empty())
        line += "  (" + note + ")";
    return line;
}

PtyServer::PtyServer(ConverterModel& model, const SimOptions& options, std::ostream& out,
                     std::ostream& log)
    : m_converter(model, options.faults, ByteTimeAt(options.baud)),
      m_byteTime(ByteTimeAt(options.baud)), m_link(options.linkPath), m_out(out), m_log(log)
{
}

int PtyServer::run(int stopFd)
{
    m_start = std::chrono::steady_clock::now();
    if (!openTerminal())
        return 1;

    for (;;) {
        const Micros now = elapsed();
        deliverHostBytes(now);
        m_converter.runUntil(now);
        const bool powered = m_converter.powered(now);
        if (m_terminal && !powered) {
            closeTerminal();
        } else if (!m_terminal && powered) {
            if (!openTerminal())
                return 1;
        }
        const std::vector<std::uint8_t> due = m_converter.takeDue(now);
        if (m_terminal) {
            m_pending.insert(m_pending.end(), due.begin(), due.end());
            writePending();
        }
        writeLog();

        std::array<pollfd, 2> fds = {{{stopFd, POLLIN, 0}, {-1, 0, 0}}};
        if (m_terminal) {
            fds[1].fd = m_terminal->master();
            fds[1].events = static_cast<short>(POLLIN | (m_pending.empty() ? 0 : POLLOUT));
        }
        // To the microsecond: the bytes on the line are a millisecond apart.
        const Micros wait = pollTimeout(now);
        const timespec timeout{static_cast<time_t>(wait.count() / 1'000'000),
                               static_cast<long>(wait.count() % 1'000'000) * 1000};
        const int ready = ::ppoll(fds.data(), m_terminal ? 2 : 1, &timeout, nullptr);
        if (ready < 0 && errno != EINTR) {
            m_log << "poll: " << std::strerror(errno) << std::endl;
            return 1;
        }
        if (ready <= 0)
            continue;
        if (fds[0].revents != 0) {
            closeTerminal();
            writeLog();
            return 0;
        }
        if (m_terminal && (fds[1].revents & POLLIN) != 0)
            readHost();
    }
}

Micros PtyServer::elapsed() const
{
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - m_start);
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
    m_out << m_terminal->slavePath() << std::endl; // std::endl: a waiting reader gets it now
    return true;
}

void PtyServer::closeTerminal()
{
    if (!m_terminal)
        return;
    m_link.remove();
    m_terminal.reset();
    m_pending.clear();
    m_fromHost.clear();
}

void PtyServer::readHost()
{
    std::array<std::uint8_t, 512> buffer{};
    for (;;) {
        const ssize_t n = ::read(m_terminal->master(), buffer.data(), buffer.size());
        if (n <= 0)
            return; // EAGAIN: all taken in; EIO cannot happen while our own slave is open
        // The terminal hands the bytes over at once; on the line each takes its byte time.
        const Micros at = elapsed();
        for (ssize_t i = 0; i < n; ++i) {
            m_hostLineFreeAt = std::max(m_hostLineFreeAt, at) + m_byteTime;
            m_fromHost.push_back({m_hostLineFreeAt, buffer[static_cast<std::size_t>(i)]});
        }
    }
}

void PtyServer::deliverHostBytes(Micros now)
{
    while (!m_fromHost.empty() && m_fromHost.front().at <= now) {
        m_converter.hostByte(m_fromHost.front().byte, m_fromHost.front().at);
        m_fromHost.pop_front();
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

void PtyServer::writeLog()
{
    for (const TrafficRecord& record : m_converter.takeTraffic())
        m_log << TrafficLogLine(record) << '\n';
    m_log.flush();
}

Micros PtyServer::pollTimeout(Micros now) const
{
    std::optional<Micros> next = m_converter.nextEventAt();
    if (!m_fromHost.empty() && (!next || m_fromHost.front().at < *next))
        next = m_fromHost.front().at;
    if (!next)
        return kLongestWait;
    return std::clamp(*next - now, Micros{0}, Micros{kLongestWait});
}

} // namespace pravenor::sim
