#pragma once

#include "sim/fault_plan.h"
#include "sim/line_timing.h"

#include <cstdint>
#include <random>
#include <span>
#include <string_view>
#include <vector>

namespace pravenor::sim {

enum class ReplyFault
{
    None,
    NoAnswer,
    BodyStops,
    TooLong,
    ShortReply,
    Nack,
    BadChecksum,
};

std::string_view replyFaultName(ReplyFault fault);

// What goes on the line in answer to one request.
struct ShapedReply
{
    std::vector<std::uint8_t> bytes; // empty: no answer
    Micros delay{0};                 // extra wait before the first byte
    ReplyFault fault = ReplyFault::None;
    int noiseBytes = 0;
};

// Turns the model's correct replies into faulty ones as the plan asks, counting down the
// plan's repeats. The one place where faults are made; the in-memory line and the tool
// both go through it.
class FaultInjector
{
public:
    explicit FaultInjector(FaultPlan plan);

    ShapedReply shape(std::span<const std::uint8_t> reply);

    // The unsolicited line, with its CR LF.
    std::vector<std::uint8_t> chatterLine() const;

    // The plan with the repeats that are left.
    const FaultPlan& plan() const { return m_plan; }

private:
    bool noiseNow();

    FaultPlan m_plan;
    std::mt19937 m_random;
};

} // namespace pravenor::sim
