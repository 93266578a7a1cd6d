#pragma once

#include <cstdint>
#include <numeric>
#include <vector>

namespace pravenor::sim {

// Completes a frame whose SOH and body are in place, the LEN byte included as a placeholder:
// LEN becomes the count of bytes after SOH (itself and the checksum included) and the
// checksum byte that makes the whole frame sum to 0 modulo 256 is appended.
inline std::vector<std::uint8_t> sealFrame(std::vector<std::uint8_t> frame)
{
    frame[1] = static_cast<std::uint8_t>(frame.size());
    const unsigned sum = std::accumulate(frame.begin(), frame.end(), 0u);
    frame.push_back(static_cast<std::uint8_t>((256 - sum % 256) % 256));
    return frame;
}

} // namespace pravenor::sim
