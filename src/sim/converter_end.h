#pragma once

#include "sim/converter_model.h"
#include "sim/fault_injector.h"
#include "sim/fault_plan.h"
#include "sim/line_timing.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pravenor::sim {

enum class TrafficKind
{
    Received,    // a request frame with a good checksum
    Ignored,     // a frame with a bad checksum, left unanswered
    Sent,        // a reply as it goes on the line, faults and noise included
    Unsolicited, // a text line sent between exchanges
    PowerOff,
    PowerOn,
};

// One entry of the converter's traffic log, for the tool's hex log and for tests.
struct TrafficRecord
{
    Micros at{0};
    TrafficKind kind = TrafficKind::Received;
    std::vector<std::uint8_t> bytes;
    std::string note; // the fault played, if any
};

// The converter's end of the line in time: the model, the faults, and one transmitter that
// sends replies and unsolicited lines a byte at a time at the line's baud rate. Time is given by
// the caller, so the in-memory line drives it with a test clock and the tool with the real one.
// Calls must come in time order.
class ConverterEnd
{
public:
    struct TimedByte
    {
        Micros at; // when the byte has fully arrived at the host
        std::uint8_t byte;
    };

    ConverterEnd(ConverterModel& model, FaultPlan faults, Micros byteTime = kByteTime);

    // A byte from the host, fully arrived at `at`. A complete request is answered with a
    // reply that starts once this byte is in (plus an injected delay), or once the
    // transmitter is free.
    void hostByte(std::uint8_t byte, Micros at);

    // Plays what is due up to `now`: unsolicited lines and the start and end of power cuts.
    void runUntil(Micros now);

    // Bytes that have reached the host by `now`, in order.
    std::vector<std::uint8_t> takeDue(Micros now);

    // The next moment at which something happens on its own; nothing when all is quiet.
    std::optional<Micros> nextEventAt() const;

    bool powered(Micros at) const;
    // Cuts the power from `at` for `duration`, replacing any cut still to come.
    void cutPower(Micros at, Micros duration);
    // Power cuts that have begun so far; a host port open across one has lost its device.
    int powerLosses() const { return m_powerLosses; }

    const std::vector<TrafficRecord>& traffic() const { return m_traffic; }
    std::vector<TrafficRecord> takeTraffic();

    ConverterModel& model() { return m_model; }
    const FaultInjector& faults() const { return m_faults; }

private:
    struct PowerCut
    {
        Micros start;
        Micros end;
        bool begun = false;
        bool ended = false;
    };

    void send(std::vector<std::uint8_t> bytes, Micros earliest);
    bool answering(Micros at) const;
    void record(Micros at, TrafficKind kind, std::vector<std::uint8_t> bytes,
                std::string note = {});

    ConverterModel& m_model;
    FaultInjector m_faults;
    Micros m_byteTime;
    std::optional<Micros> m_lastReplyEnd;
    Micros m_frameStartAt{0}; // first byte of the request being taken in
    std::deque<TimedByte> m_outgoing;
    Micros m_transmitterFreeAt{0};
    Micros m_nextChatterAt{0};
    std::optional<PowerCut> m_cut;
    int m_powerLosses = 0;
    std::vector<TrafficRecord> m_traffic;
};

} // namespace pravenor::sim
