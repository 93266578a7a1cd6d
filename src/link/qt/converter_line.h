#pragma once

#include "link/serial_port.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace pravenor::sim {
class ConverterModel;
class SimulatedLine;
} // namespace pravenor::sim

namespace pravenor::link {

class DevicePort;

// The line a front end talks over: a real device through QSerialPort, a serial device
// server on the network (the device is then "tcp://HOST:PORT" or "rfc2217://HOST:PORT"),
// or, in demo mode, the built-in simulated converter on an in-memory line whose clock the
// ticks move on. Which of the first two is used follows the device each open() is given.
class ConverterLine
{
public:
    explicit ConverterLine(bool demo);
    ~ConverterLine();
    ConverterLine(const ConverterLine&) = delete;
    ConverterLine& operator=(const ConverterLine&) = delete;

    SerialPort& serial() { return *m_serial; }
    bool demo() const { return m_simulated != nullptr; }
    // A tick has passed; the simulated converter answers at the line's real pace.
    void advance(std::chrono::milliseconds elapsed);
    sim::SimulatedLine* simulated() { return m_simulated; }
    sim::ConverterModel* model() { return m_model.get(); }

    // Why the port last failed, in the system's or the network's words (Windows-1252).
    std::string lastErrorText() const;
    // The line can carry bytes now: a device open, a connection standing (a network port
    // counts as open while it still connects).
    bool usable();
    // Lines for the message log from the network line: connections made, line settings a
    // server left unconfirmed.
    void setNoteHandler(std::function<void(const std::string&)> handler);

    static constexpr const char* kDemoDevice = "demo converter";

private:
    std::unique_ptr<sim::ConverterModel> m_model;
    std::unique_ptr<SerialPort> m_serial;
    DevicePort* m_device = nullptr;
    sim::SimulatedLine* m_simulated = nullptr;
};

} // namespace pravenor::link
