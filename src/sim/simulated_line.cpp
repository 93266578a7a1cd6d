#include "sim/simulated_line.h"

#include <algorithm>
#include <utility>

namespace pravenor::sim {

SimulatedLine::SimulatedLine(ConverterModel& model, FaultPlan faults)
    : m_converter(model, std::move(faults))
{
}

void SimulatedLine::advance(Micros duration)
{
    const Micros target = m_now + std::max(duration, Micros{0});
    while (!m_toConverter.empty() && m_toConverter.front().at <= target) {
        const ConverterEnd::TimedByte sent = m_toConverter.front();
        m_toConverter.pop_front();
        m_converter.hostByte(sent.byte, sent.at);
    }
    m_now = target;
    deliverDue();
}

void SimulatedLine::cutPower(Micros duration)
{
    m_converter.cutPower(m_now, duration);
    deliverDue();
}

std::vector<ReceivedFrame> SimulatedLine::framesFromHost() const
{
    std::vector<ReceivedFrame> frames;
    for (const TrafficRecord& record : m_converter.traffic()) {
        if (record.kind == TrafficKind::Received || record.kind == TrafficKind::Ignored)
            frames.push_back({record.bytes, record.kind == TrafficKind::Received});
    }
    return frames;
}

link::OpenResult SimulatedLine::open(const link::LineAddress&, const link::LineSettings& settings)
{
    m_converter.runUntil(m_now);
    if (!m_converter.powered(m_now))
        return link::OpenResult::Failed;
    deliverDue(); // what arrived before the opening is not in the new port's buffer
    m_open = true;
    m_powerLossesAtOpen = m_converter.powerLosses();
    m_input.clear();
    m_settings = settings;
    ++m_openCount;
    return link::OpenResult::Opened;
}

void SimulatedLine::close()
{
    m_open = false;
    m_input.clear();
}

bool SimulatedLine::isOpen()
{
    if (m_open && m_converter.powerLosses() != m_powerLossesAtOpen)
        close(); // the device went away under the open port
    return m_open;
}

int SimulatedLine::bytesWaiting()
{
    return isOpen() ? static_cast<int>(m_input.size()) : 0;
}

int SimulatedLine::readByte()
{
    if (!isOpen() || m_input.empty())
        return -1;
    const std::uint8_t byte = m_input.front();
    m_input.pop_front();
    return byte;
}

bool SimulatedLine::writeByte(std::uint8_t byte)
{
    if (!isOpen())
        return false;
    const Micros start = std::max(m_now, m_hostTransmitterFreeAt);
    m_hostTransmitterFreeAt = start + kByteTime;
    m_toConverter.push_back({m_hostTransmitterFreeAt, byte});
    m_fromHost.push_back(byte);
    return true;
}

void SimulatedLine::discardInput()
{
    m_input.clear();
}

void SimulatedLine::deliverDue()
{
    std::vector<std::uint8_t> due = m_converter.takeDue(m_now);
    if (isOpen())
        m_input.insert(m_input.end(), due.begin(), due.end());
}

} // namespace pravenor::sim
