#pragma once

#include "link/serial_port.h"

#include <chrono>
#include <memory>

namespace pravenor::sim {
class ConverterModel;
class SimulatedLine;
} // namespace pravenor::sim

namespace pravenor::link {

// The line a front end talks over: a real device through QSerialPort, or, in demo mode, the
// built-in simulated converter on an in-memory line whose clock the ticks move on.
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

    static constexpr const char* kDemoDevice = "demo converter";

private:
    std::unique_ptr<sim::ConverterModel> m_model;
    std::unique_ptr<SerialPort> m_serial;
    sim::SimulatedLine* m_simulated = nullptr;
};

} // namespace pravenor::link
