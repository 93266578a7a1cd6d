#pragma once

#include "link/serial_port.h"
#include "sim/converter_model.h"
#include "sim/line_timing.h"

#include <cstdint>
#include <deque>
#include <string>

namespace pravenor::sim {

// A serial port whose converter answers the moment a request is complete: no line time and
// no faults. It shows what the program's own state machine needs, apart from the pace of
// the line.
class InstantLine final : public link::SerialPort
{
public:
    explicit InstantLine(ConverterModel& model) : m_model(model) {}

    // Lets time pass for the converter's frame cutting (a partial frame is forgotten after a
    // gap); replies do not depend on it.
    void advance(Micros duration) { m_now += duration; }

    link::OpenResult open(const link::LineAddress&, const link::LineSettings&) override
    {
        m_open = true;
        m_input.clear();
        return link::OpenResult::Opened;
    }
    void close() override
    {
        m_open = false;
        m_input.clear();
    }
    bool isOpen() override { return m_open; }
    int bytesWaiting() override { return m_open ? static_cast<int>(m_input.size()) : 0; }
    int readByte() override
    {
        if (!m_open || m_input.empty())
            return -1;
        const int byte = m_input.front();
        m_input.pop_front();
        return byte;
    }
    bool writeByte(std::uint8_t byte) override
    {
        if (!m_open)
            return false;
        if (auto outcome = m_model.receive(byte, m_now))
            m_input.insert(m_input.end(), outcome->reply.begin(), outcome->reply.end());
        return true;
    }
    void discardInput() override { m_input.clear(); }

private:
    ConverterModel& m_model;
    Micros m_now{0};
    bool m_open = false;
    std::deque<std::uint8_t> m_input;
};

} // namespace pravenor::sim
