#pragma once

#include "sim/line_timing.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pravenor::sim {

struct ReceivedFrame
{
    std::vector<std::uint8_t> bytes; // SOH to checksum byte
    bool checksumOk = false;
};

// Cuts the bytes the host sends into frames the way the converter's receiver does: a frame
// starts at SOH, its second byte says how many follow, and nothing else is looked at until
// the frame is complete. Bytes outside a frame are dropped, and so is a partial frame when
// the line has been quiet for longer than the gap, so that one lost byte cannot swallow the
// next request.
class FrameAssembler
{
public:
    static constexpr Micros kDefaultGap{100'000};

    explicit FrameAssembler(Micros gap = kDefaultGap);

    // The frame that this byte completes, whatever its checksum; nothing otherwise.
    std::optional<ReceivedFrame> push(std::uint8_t byte, Micros at);

    void reset();
    // Whether a frame has begun and is not yet complete or forgotten at `at`.
    bool inFrame(Micros at) const { return !m_bytes.empty() && at - m_lastByteAt <= m_gap; }
    // Bytes dropped so far: outside frames or in forgotten partial frames.
    long long droppedBytes() const { return m_dropped; }

private:
    Micros m_gap;
    Micros m_lastByteAt{0};
    std::vector<std::uint8_t> m_bytes;
    long long m_dropped = 0;
};

} // namespace pravenor::sim
