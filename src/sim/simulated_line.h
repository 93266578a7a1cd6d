#pragma once

#include "link/serial_port.h"
#include "sim/converter_end.h"
#include "sim/converter_model.h"
#include "sim/fault_plan.h"
#include "sim/line_timing.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace pravenor::sim {

// A serial port whose other end is a simulated converter, on a clock the test moves. Bytes
// travel at 9600 baud in both directions: what the host writes reaches the converter a byte
// time apart, and a reply becomes readable byte by byte as its arrival time passes. No wall
// clock, no threads: nothing happens between two calls of advance().
class SimulatedLine : public link::SerialPort
{
public:
    explicit SimulatedLine(ConverterModel& model, FaultPlan faults = {});

    void advance(Micros duration);
    Micros now() const { return m_now; }

    // The converter loses power from now for `duration`: the port closes, cannot be opened,
    // and what was on the way is lost.
    void cutPower(Micros duration);

    // Every byte the host has written, in order.
    const std::vector<std::uint8_t>& bytesFromHost() const { return m_fromHost; }
    // The request frames the converter has taken in (good and bad checksums alike).
    std::vector<ReceivedFrame> framesFromHost() const;
    const std::vector<TrafficRecord>& traffic() const { return m_converter.traffic(); }

    int openCount() const { return m_openCount; }
    const link::LineSettings& lastSettings() const { return m_settings; }
    ConverterEnd& converter() { return m_converter; }

    link::OpenResult open(const link::LineAddress& address,
                          const link::LineSettings& settings) override;
    void close() override;
    bool isOpen() override;
    int bytesWaiting() override;
    int readByte() override;
    bool writeByte(std::uint8_t byte) override;
    void discardInput() override;

private:
    void deliverDue();

    ConverterEnd m_converter;
    Micros m_now{0};
    Micros m_hostTransmitterFreeAt{0};
    std::deque<ConverterEnd::TimedByte> m_toConverter;
    std::deque<std::uint8_t> m_input;
    std::vector<std::uint8_t> m_fromHost;
    bool m_open = false;
    int m_powerLossesAtOpen = 0;
    int m_openCount = 0;
    link::LineSettings m_settings;
};

} // namespace pravenor::sim
