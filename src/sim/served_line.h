#pragma once

#include "sim/converter_end.h"
#include "sim/line_timing.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <ostream>
#include <poll.h>
#include <span>
#include <string>
#include <vector>

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
    // What carries the line to the host, a terminal or a socket: it is brought up and down
    // with the converter's power, handed the converter's bytes, and says what to wait on.
    class Carrier
    {
    public:
        virtual ~Carrier() = default;
        // Brings the carrier up or down to match the power; false when it cannot come up.
        virtual bool followPower(bool powered) = 0;
        // The converter's bytes that are due at the host now.
        virtual void deliver(const std::vector<std::uint8_t>& due) = 0;
        // Fills in the descriptors to wait on, at most kMostWatched; how many it filled.
        virtual std::size_t watch(std::span<pollfd> fds) = 0;
        // The descriptors of watch() after the wait, with what they are ready for.
        virtual void ready(std::span<const pollfd> fds) = 0;
        // The end of the run: the carrier taken down for good.
        virtual void stop() = 0;
    };
    static constexpr std::size_t kMostWatched = 2;

    // A line and what carries it, one of many served at once.
    struct Binding
    {
        ServedLine* line;
        Carrier* carrier;
    };

    ServedLine(ConverterModel& model, const FaultPlan& faults, int baud);

    // Names the line's traffic in the log when many lines share it ("sim-3 [ 1.250] << ...").
    void setLogName(std::string name) { m_logName = std::move(name); }

    // Serves the converter through the carrier in real time until stopFd becomes readable:
    // 0 after a stop, 1 when the carrier could not come up or the wait failed (said in `log`,
    // which also gets the traffic).
    int serve(int stopFd, Carrier& carrier, std::ostream& log);
    // The same for many lines in one wait, each at its own pace on its own clock: one line's
    // quiet or busy spell changes nothing for the others.
    static int serveAll(int stopFd, std::span<const Binding> lines, std::ostream& log);
    // The time since serve() began, the converter's clock.
    Micros elapsed() const;

    ConverterEnd& converter() { return m_converter; }
    const ConverterEnd& converter() const { return m_converter; }

    // Bytes the host handed over at `at`; on the line each takes its byte time after the last.
    void hostSent(std::span<const std::uint8_t> bytes, Micros at);
    // Gives the converter every byte that has reached it by `now`, then lets it act until then.
    void runUntil(Micros now);
    // Forgets the bytes still on their way: the host has gone.
    void dropHostBytes();
    // How long the line may sleep from `now`: until the next byte arrives or the converter
    // next acts, and never so long that a power cut or a stop request waits.
    Micros mayWait(Micros now) const;
    // What the converter heard and said since the last call, a line a frame; flushed.
    void logTraffic(std::ostream& log);

private:
    ConverterEnd m_converter;
    Micros m_byteTime;
    std::deque<ConverterEnd::TimedByte> m_fromHost;
    Micros m_lineFreeAt{0};
    std::chrono::steady_clock::time_point m_start;
    std::string m_logName;
};

} // namespace pravenor::sim
