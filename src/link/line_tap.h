#pragma once

#include <cstdint>

namespace pravenor::link {

enum class Direction
{
    Sent,
    Received,
};

// Sees every byte that crosses the line, for a monitor. Only set while someone watches: a
// line without a tap pays one pointer test per byte.
class LineTap
{
public:
    virtual ~LineTap() = default;
    virtual void byteCrossed(Direction direction, std::uint8_t byte) = 0;
    // A frame is about to be sent: what went before it belongs to something else.
    virtual void frameStarts() = 0;
};

} // namespace pravenor::link
