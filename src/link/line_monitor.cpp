#include "link/line_monitor.h"

#include "link/engine_state.h"

#include <cstdio>

namespace pravenor::link {

LineMonitor::LineMonitor(std::function<std::int64_t()> now, std::function<int()> engineState,
                         std::size_t limit)
    : m_now(std::move(now)), m_engineState(std::move(engineState)), m_limit(limit == 0 ? 1 : limit)
{
}

void LineMonitor::byteCrossed(Direction direction, std::uint8_t byte)
{
    const std::int64_t now = m_now();
    if (m_open &&
        (m_frames.back().direction != direction || now - m_lastByteAt >= kQuietMilliseconds))
        seal();
    if (!m_open) {
        MonitoredFrame frame;
        frame.sequence = m_nextSequence++;
        frame.milliseconds = now;
        frame.direction = direction;
        frame.state = m_engineState ? m_engineState() : 0;
        m_frames.push_back(std::move(frame));
        m_open = true;
        drop();
    }
    m_frames.back().bytes.push_back(byte);
    m_lastByteAt = now;
}

void LineMonitor::frameStarts()
{
    seal();
}

void LineMonitor::seal()
{
    m_open = false;
}

void LineMonitor::drop()
{
    while (m_frames.size() > m_limit)
        m_frames.pop_front();
}

std::vector<MonitoredFrame> LineMonitor::takeCompleted()
{
    if (m_open && m_now() - m_lastByteAt >= kQuietMilliseconds)
        seal();
    std::vector<MonitoredFrame> completed;
    for (const MonitoredFrame& frame : m_frames) {
        if (frame.sequence <= m_handedOut)
            continue;
        if (m_open && frame.sequence == m_frames.back().sequence)
            break;
        completed.push_back(frame);
        m_handedOut = frame.sequence;
    }
    return completed;
}

void LineMonitor::clear()
{
    m_frames.clear();
    m_open = false;
    m_handedOut = m_nextSequence - 1;
}

std::string LineMonitor::FrameLine(const MonitoredFrame& frame, StateColumn column)
{
    const std::int64_t ms = frame.milliseconds % (24 * 3600 * 1000);
    char head[64];
    const int hours = static_cast<int>(ms / 3'600'000);
    const int minutes = static_cast<int>(ms / 60'000 % 60);
    const int seconds = static_cast<int>(ms / 1000 % 60);
    const int millis = static_cast<int>(ms % 1000);
    const char* direction = frame.direction == Direction::Sent ? "->" : "<-";
    if (column == StateColumn::Name)
        std::snprintf(head, sizeof head, "%02d:%02d:%02d.%03d  %s %-19s", hours, minutes, seconds,
                      millis, direction,
                      StateName(static_cast<EngineState>(static_cast<std::int16_t>(frame.state))));
    else
        std::snprintf(head, sizeof head, "%02d:%02d:%02d.%03d  %s %3d ", hours, minutes, seconds,
                      millis, direction, frame.state);
    std::string hex;
    std::string readable;
    for (const std::uint8_t byte : frame.bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, " %02X", byte);
        hex += digits;
        readable += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
    }
    return head + hex + "  |" + readable + "|";
}

std::string LineMonitor::text(StateColumn column) const
{
    std::string all;
    for (const MonitoredFrame& frame : m_frames)
        all += FrameLine(frame, column) + "\n";
    return all;
}

} // namespace pravenor::link
