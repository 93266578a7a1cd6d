#pragma once

#include "sim/converter_end.h"
#include "sim/line_timing.h"

#include <cstdint>
#include <deque>
#include <ostream>
#include <poll.h>
#include <span>
#include <string>

namespace pravenor::sim {

class ConverterModel;

// One line of the tool's traffic log: time, direction, the bytes in hex and the fault played.
std::string TrafficLogLine(const TrafficRecord& record);

// The converter's end of a line served in real time, whatever carries it (a pseudo-terminal,
// a TCP connection): a terminal or socket hands the host's bytes over at once, so they wait
// here until the serial line would have carried them.
class ServedLine
{
public:
    ServedLine(ConverterModel& model, const FaultPlan& faults, int baud);

    ConverterEnd& converter() { return m_converter; }
    const ConverterEnd& converter() const { return m_converter; }

    // Bytes the host handed over at `at`; on the line each takes its byte time after the last.
    void hostSent(std::span<const std::uint8_t> bytes, Micros at);
    // Gives the converter every byte that has reached it by `now`, then lets it act until then.
    void runUntil(Micros now);
    // Forgets the bytes still on their way: the host has gone.
    void dropHostBytes();
    // Sleeps until one of `fds` is ready, the next byte arrives or the converter next acts,
    // and never so long that a power cut or a stop request waits; ppoll's result.
    int sleep(std::span<pollfd> fds, Micros now) const;
    // What the converter heard and said since the last call, a line a frame; flushed.
    void logTraffic(std::ostream& log);

private:
    ConverterEnd m_converter;
    Micros m_byteTime;
    std::deque<ConverterEnd::TimedByte> m_fromHost;
    Micros m_lineFreeAt{0};
};

} // namespace pravenor::sim
