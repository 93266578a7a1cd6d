#pragma once

#include "sim/converter_end.h"
#include "sim/line_timing.h"
#include "sim/pseudo_terminal.h"
#include "sim/sim_options.h"
#include "sim/symlink_keeper.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pravenor::sim {

class ConverterModel;

// One line of the tool's traffic log: time, direction, the bytes in hex and the fault played.
std::string TrafficLogLine(const TrafficRecord& record);

// Serves a converter model on a pseudo-terminal in real time: the terminal's path (and the
// new one after every power cut) goes to `out`, one line each, and every frame in and out
// goes to `log` in hex.
class PtyServer
{
public:
    PtyServer(ConverterModel& model, const SimOptions& options, std::ostream& out,
              std::ostream& log);

    // Serves until stopFd becomes readable (the tool passes a signalfd for SIGINT and
    // SIGTERM). 0 after a stop, 1 when the terminal could not be made or served.
    int run(int stopFd);

private:
    Micros elapsed() const;
    bool openTerminal();
    void closeTerminal();
    void readHost();
    void writePending();
    void writeLog();
    Micros pollTimeout(Micros now) const;

    void deliverHostBytes(Micros now);

    ConverterEnd m_converter;
    Micros m_byteTime;
    std::deque<ConverterEnd::TimedByte> m_fromHost; // written by the host, still on the line
    Micros m_hostLineFreeAt{0};
    SymlinkKeeper m_link;
    std::ostream& m_out;
    std::ostream& m_log;
    std::optional<PseudoTerminal> m_terminal;
    std::vector<std::uint8_t> m_pending; // due for the host, not yet taken by the terminal
    std::chrono::steady_clock::time_point m_start;
};

} // namespace pravenor::sim
