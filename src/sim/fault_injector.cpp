#include "sim/fault_injector.h"

#include "link/protocol.h"
#include "sim/frame_seal.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pravenor::sim {

namespace {

using Bytes = std::vector<std::uint8_t>;

bool take(FaultRepeat& repeat)
{
    if (repeat.count == 0)
        return false;
    if (repeat.count > 0)
        --repeat.count;
    return true;
}

// SOH, LEN placeholder and the reply's first four body bytes (header, status, command).
Bytes replyHead(std::span<const std::uint8_t> reply)
{
    Bytes head(reply.begin(),
               reply.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(6, reply.size())));
    head.resize(6, 0);
    return head;
}

// The faults in the order a reply meets them: the first one due shapes it.
struct FaultRow
{
    ReplyFault fault;
    std::string_view name;
    FaultRepeat FaultPlan::*repeat;
};
constexpr std::array<FaultRow, 6> kFaults = {{
    {ReplyFault::NoAnswer, "no answer", &FaultPlan::noAnswer},
    {ReplyFault::BodyStops, "body stops", &FaultPlan::bodyStops},
    {ReplyFault::TooLong, "too long", &FaultPlan::tooLong},
    {ReplyFault::ShortReply, "short reply", &FaultPlan::shortReply},
    {ReplyFault::Nack, "nack", &FaultPlan::nack},
    {ReplyFault::BadChecksum, "bad checksum", &FaultPlan::badChecksum},
}};

} // namespace

std::string_view replyFaultName(ReplyFault fault)
{
    for (const FaultRow& row : kFaults) {
        if (row.fault == fault)
            return row.name;
    }
    return "none";
}

FaultInjector::FaultInjector(FaultPlan plan) : m_plan(std::move(plan)), m_random(m_plan.noiseSeed)
{
}

ShapedReply FaultInjector::shape(std::span<const std::uint8_t> reply)
{
    ShapedReply shaped;
    if (take(m_plan.late))
        shaped.delay = m_plan.lateBy;

    for (const FaultRow& row : kFaults) {
        if (take(m_plan.*row.repeat)) {
            shaped.fault = row.fault;
            break;
        }
    }

    Bytes bytes;
    switch (shaped.fault) {
    case ReplyFault::None:
        bytes.assign(reply.begin(), reply.end());
        break;
    case ReplyFault::NoAnswer:
        return shaped;
    case ReplyFault::BodyStops: {
        // SOH, LEN and half the body, at least one byte of it; never the checksum.
        const std::size_t bodyLength = reply.size() > 3 ? reply.size() - 3 : 0;
        const std::size_t keep =
            std::min(reply.size(), 2 + std::max<std::size_t>(1, bodyLength / 2));
        bytes.assign(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(keep));
        break;
    }
    case ReplyFault::TooLong: {
        bytes = replyHead(reply);
        bytes.resize(static_cast<std::size_t>(std::clamp(m_plan.tooLongLen, 6, 255)), ' ');
        bytes = sealFrame(std::move(bytes));
        break;
    }
    case ReplyFault::ShortReply:
        bytes = sealFrame(replyHead(reply));
        break;
    case ReplyFault::Nack:
        bytes = replyHead(reply);
        bytes[protocol::kOffsetStatus] = protocol::kNack;
        bytes = sealFrame(std::move(bytes));
        break;
    case ReplyFault::BadChecksum:
        bytes.assign(reply.begin(), reply.end());
        if (!bytes.empty())
            bytes.back() = static_cast<std::uint8_t>(bytes.back() + 1);
        break;
    }

    if (m_plan.noiseRate > 0.0) {
        Bytes noisy;
        noisy.reserve(bytes.size() * 2);
        for (std::uint8_t byte : bytes) {
            if (noiseNow()) {
                noisy.push_back(static_cast<std::uint8_t>(m_random() >> 24));
                ++shaped.noiseBytes;
            }
            noisy.push_back(byte);
        }
        bytes = std::move(noisy);
    }
    shaped.bytes = std::move(bytes);
    return shaped;
}

std::vector<std::uint8_t> FaultInjector::chatterLine() const
{
    Bytes line(m_plan.chatterText.begin(), m_plan.chatterText.end());
    line.push_back(protocol::kCr);
    line.push_back(protocol::kLf);
    return line;
}

bool FaultInjector::noiseNow()
{
    // mt19937's output sequence is fixed by the standard, unlike the distributions, so a
    // seed gives the same noise everywhere.
    return static_cast<double>(m_random()) < m_plan.noiseRate * 4294967296.0;
}

} // namespace pravenor::sim
