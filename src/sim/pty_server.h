#pragma once

#include "sim/pseudo_terminal.h"
#include "sim/served_line.h"
#include "sim/sim_options.h"
#include "sim/symlink_keeper.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pravenor::sim {

class ConverterModel;

// Serves a converter model on a pseudo-terminal in real time: the terminal's path (and the
// new one after every power cut) goes to `out`, one line each, and every frame in and out
// goes to `log` in hex.
class PtyServer final : private ServedLine::Carrier
{
public:
    PtyServer(ConverterModel& model, const SimOptions& options, std::ostream& out,
              std::ostream& log);

    // Serves until stopFd becomes readable (the tool passes a signalfd for SIGINT and
    // SIGTERM). 0 after a stop, 1 when the terminal could not be made or served.
    int run(int stopFd);
    // For ServedLine::serveAll, with other lines.
    ServedLine::Binding binding() { return {&m_line, this}; }

private:
    bool followPower(bool powered) override;
    void deliver(const std::vector<std::uint8_t>& due) override;
    std::size_t watch(std::span<pollfd> fds) override;
    void ready(std::span<const pollfd> fds) override;
    void stop() override;

    bool openTerminal();
    void closeTerminal();
    void readHost();
    void writePending();

    ServedLine m_line;
    SymlinkKeeper m_link;
    std::string m_unitName;
    std::ostream& m_out;
    std::ostream& m_log;
    std::optional<PseudoTerminal> m_terminal;
    std::vector<std::uint8_t> m_pending; // due for the host, not yet taken by the terminal
};

} // namespace pravenor::sim
