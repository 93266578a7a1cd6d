#include "sim/frame_assembler.h"

#include "link/protocol.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace pravenor::sim {

FrameAssembler::FrameAssembler(Micros gap) : m_gap(gap) {}

std::optional<ReceivedFrame> FrameAssembler::push(std::uint8_t byte, Micros at)
{
    if (!m_bytes.empty() && at - m_lastByteAt > m_gap) {
        m_dropped += static_cast<long long>(m_bytes.size());
        m_bytes.clear();
    }
    m_lastByteAt = at;

    if (m_bytes.empty()) {
        if (byte == protocol::kSoh)
            m_bytes.push_back(byte);
        else
            ++m_dropped;
        return std::nullopt;
    }

    m_bytes.push_back(byte);
    // LEN counts itself and the checksum, so a frame is LEN + 1 bytes. LEN 0 and 1 cannot
    // hold a checksum at all (the wake-up sequence starts with such a frame); they end at LEN.
    const std::size_t total = std::max<std::size_t>(2, std::size_t{m_bytes[1]} + 1);
    if (m_bytes.size() < total)
        return std::nullopt;

    ReceivedFrame frame;
    const unsigned sum = std::accumulate(m_bytes.begin(), m_bytes.end(), 0u);
    frame.checksumOk = sum % 256 == 0;
    frame.bytes = std::exchange(m_bytes, {});
    return frame;
}

void FrameAssembler::reset()
{
    m_dropped += static_cast<long long>(m_bytes.size());
    m_bytes.clear();
}

} // namespace pravenor::sim
