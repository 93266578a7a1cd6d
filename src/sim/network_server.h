#pragma once

#include "sim/served_line.h"
#include "sim/sim_options.h"
#include "sim/telnet_server.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pravenor::sim {

class ConverterModel;

// Serves a converter model on a TCP port in real time, as a serial device server would: raw
// bytes, or telnet with the COM-PORT-OPTION. One host at a time; a new connection replaces
// the one before. The address to give the program ("tcp://127.0.0.1:4001") goes to `out`
// once listening (again after every power cut, during which nothing listens), and every
// frame in and out goes to `log` in hex.
class NetworkServer final : private ServedLine::Carrier
{
public:
    NetworkServer(ConverterModel& model, const SimOptions& options, std::ostream& out,
                  std::ostream& log);
    ~NetworkServer() override;
    NetworkServer(const NetworkServer&) = delete;
    NetworkServer& operator=(const NetworkServer&) = delete;

    // Serves until stopFd becomes readable. 0 after a stop, 1 when it could not listen.
    int run(int stopFd);
    // For ServedLine::serveAll, with other lines.
    ServedLine::Binding binding() { return {&m_line, this}; }

private:
    bool followPower(bool powered) override;
    void deliver(const std::vector<std::uint8_t>& due) override;
    std::size_t watch(std::span<pollfd> fds) override;
    void ready(std::span<const pollfd> fds) override;
    void stop() override;

    bool listen();
    void stopListening();
    void accept();
    void dropHost();
    void readHost();
    void writePending();

    ServedLine m_line;
    std::string m_host;
    std::uint16_t m_port;
    bool m_telnet;
    std::string m_unitName;
    std::ostream& m_out;
    std::ostream& m_log;
    int m_listener = -1;
    int m_client = -1;
    std::optional<TelnetServer> m_session;
    std::vector<std::uint8_t> m_pending;
};

} // namespace pravenor::sim
