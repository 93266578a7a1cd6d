#include "sim/network_server.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pravenor::sim {

namespace {

std::string hostInAddress(const std::string& host)
{
    return host.find(':') == std::string::npos ? host : "[" + host + "]";
}

} // namespace

NetworkServer::NetworkServer(ConverterModel& model, const SimOptions& options, std::ostream& out,
                             std::ostream& log)
    : m_line(model, options.faults, options.baud), m_host(options.tcpHost),
      m_port(options.tcpPort.value_or(0)), m_telnet(options.rfc2217), m_unitName(options.unitName),
      m_out(out), m_log(log)
{
    m_line.setLogName(options.unitName);
}

NetworkServer::~NetworkServer()
{
    stopListening();
}

int NetworkServer::run(int stopFd)
{
    return m_line.serve(stopFd, *this, m_log);
}

bool NetworkServer::followPower(bool powered)
{
    if (m_listener >= 0 && !powered)
        stopListening();
    else if (m_listener < 0 && powered)
        return listen();
    return true;
}

void NetworkServer::deliver(const std::vector<std::uint8_t>& due)
{
    if (m_client < 0)
        return;
    for (std::uint8_t byte : due) {
        if (m_session)
            m_session->encode(byte, m_pending);
        else
            m_pending.push_back(byte);
    }
    writePending();
}

std::size_t NetworkServer::watch(std::span<pollfd> fds)
{
    fds[0] = {m_listener, POLLIN, 0};
    fds[1] = {m_client, static_cast<short>(POLLIN | (m_pending.empty() ? 0 : POLLOUT)), 0};
    return 2;
}

void NetworkServer::ready(std::span<const pollfd> fds)
{
    if (m_client >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0)
        readHost();
    if (m_listener >= 0 && (fds[0].revents & POLLIN) != 0)
        accept();
}

void NetworkServer::stop()
{
    stopListening();
}

bool NetworkServer::listen()
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(m_port);
    if (const int error = ::getaddrinfo(m_host.c_str(), service.c_str(), &hints, &found);
        error != 0) {
        m_log << "pravenor-sim: " << m_host << ": " << ::gai_strerror(error) << std::endl;
        return false;
    }
    const int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    const bool bound = fd >= 0 && ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                       ::bind(fd, found->ai_addr, found->ai_addrlen) == 0 && ::listen(fd, 4) == 0;
    ::freeaddrinfo(found);
    if (!bound) {
        m_log << "pravenor-sim: cannot listen on " << hostInAddress(m_host) << ":" << m_port << ": "
              << std::strerror(errno) << std::endl;
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    // Port 0 asked for any free port; after a power cut the same one is taken again.
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0) {
        m_port =
            ntohs(local.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&local)->sin6_port
                                              : reinterpret_cast<sockaddr_in*>(&local)->sin_port);
    }
    m_listener = fd;
    const std::string address = std::string(m_telnet ? "rfc2217://" : "tcp://") +
                                hostInAddress(m_host) + ":" + std::to_string(m_port);
    m_log << "-- listening on " << address << std::endl;
    m_out << (m_unitName.empty() ? "" : m_unitName + " ") << address
          << std::endl; // std::endl: a waiting reader gets it now
    return true;
}

void NetworkServer::stopListening()
{
    dropHost();
    if (m_listener >= 0)
        ::close(m_listener);
    m_listener = -1;
}

void NetworkServer::accept()
{
    const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    dropHost();
    // Reply bytes leave one at a time at the line's pace, as a device server passes them on;
    // none may wait for the host to acknowledge the one before.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_client = fd;
    m_log << "-- host connected" << std::endl;
    if (m_telnet)
        m_session.emplace();
}

void NetworkServer::dropHost()
{
    if (m_client < 0)
        return;
    ::close(m_client);
    m_client = -1;
    m_session.reset();
    m_pending.clear();
    m_line.dropHostBytes();
    m_log << "-- host disconnected" << std::endl;
}

void NetworkServer::readHost()
{
    std::array<std::uint8_t, 512> buffer{};
    for (;;) {
        const ssize_t n = ::read(m_client, buffer.data(), buffer.size());
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            dropHost();
            return;
        }
        if (n < 0)
            return;
        const Micros at = m_line.elapsed();
        std::vector<std::uint8_t> data(buffer.begin(), buffer.begin() + n);
        if (m_session) {
            data.clear();
            std::vector<std::uint8_t> reply;
            m_session->receive({buffer.data(), static_cast<std::size_t>(n)}, data, reply);
            m_pending.insert(m_pending.end(), reply.begin(), reply.end());
            for (const std::string& note : m_session->takeNotes())
                m_log << "-- host sets " << note << std::endl;
        }
        m_line.hostSent(data, at);
        writePending();
    }
}

void NetworkServer::writePending()
{
    while (m_client >= 0 && !m_pending.empty()) {
        const ssize_t n = ::send(m_client, m_pending.data(), m_pending.size(), MSG_NOSIGNAL);
        if (n > 0) {
            m_pending.erase(m_pending.begin(), m_pending.begin() + n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        dropHost();
    }
}

} // namespace pravenor::sim
