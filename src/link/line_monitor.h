#pragma once

#include "link/line_tap.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace pravenor::link {

struct MonitoredFrame
{
    long sequence = 0;             // counts every frame ever seen, dropped ones included
    std::int64_t milliseconds = 0; // when its first byte crossed
    Direction direction = Direction::Sent;
    int state = 0; // the engine's state when it began
    std::vector<std::uint8_t> bytes;
};

// Groups the bytes on the line into frames: a frame ends where the direction turns or a new
// frame is sent, or once the line has been quiet for a while. Keeps the newest frames only.
class LineMonitor final : public LineTap
{
public:
    static constexpr std::size_t kDefaultLimit = 10'000;
    static constexpr std::int64_t kQuietMilliseconds = 100;

    LineMonitor(std::function<std::int64_t()> now, std::function<int()> engineState,
                std::size_t limit = kDefaultLimit);

    void byteCrossed(Direction direction, std::uint8_t byte) override;
    void frameStarts() override;

    // The frames that are complete and not handed out before, oldest first.
    std::vector<MonitoredFrame> takeCompleted();
    // Every frame kept, the one still growing included.
    const std::deque<MonitoredFrame>& frames() const { return m_frames; }
    void clear();

    // How a line gives the engine's state: its number, or what it was doing.
    enum class StateColumn
    {
        Number,
        Name,
    };
    // "15:04:05.123  -> 350  01 0C 52 ...  |..R...|": time, direction, state, hex, text; by
    // name "15:04:05.123  -> read            01 0C 52 ...".
    static std::string FrameLine(const MonitoredFrame& frame,
                                 StateColumn column = StateColumn::Number);
    // Every kept frame, one line each, for the clipboard.
    std::string text(StateColumn column = StateColumn::Number) const;

private:
    void seal();
    void drop();

    std::function<std::int64_t()> m_now;
    std::function<int()> m_engineState;
    std::size_t m_limit;
    std::deque<MonitoredFrame> m_frames;
    bool m_open = false; // the newest frame still takes bytes
    std::int64_t m_lastByteAt = 0;
    long m_nextSequence = 1;
    long m_handedOut = 0; // the sequence of the last frame takeCompleted gave
};

} // namespace pravenor::link
