#pragma once

#include "link/serial_port.h"

#include <chrono>
#include <memory>
#include <string>

namespace pravenor::sim {
class ConverterModel;
class SimulatedLine;
} // namespace pravenor::sim

namespace pravenor::frontend {

// The kinds of line a front end can talk over. Another kind (a network address, say) is one
// more enumerator, one more rule in ChooseLine and one more port made in ConverterLine.
enum class LineKind
{
    SerialDevice,  // a real port through QSerialPort: --port DEVICE, or the program setup's port
    DemoConverter, // the built-in simulated converter on an in-memory line
};

// The line the command line asked for, decided once at the start.
struct LineChoice
{
    LineKind kind = LineKind::SerialDevice;
    std::string device; // what the program opens instead of the setup's port; empty: the setup's
};

LineChoice ChooseLine(bool demo, const std::string& device);

// The line a front end talks over. The simulated converter's clock moves on with the ticks.
class ConverterLine
{
public:
    explicit ConverterLine(LineChoice choice);
    ~ConverterLine();
    ConverterLine(const ConverterLine&) = delete;
    ConverterLine& operator=(const ConverterLine&) = delete;

    link::SerialPort& serial() { return *m_serial; }
    bool demo() const { return m_choice.kind == LineKind::DemoConverter; }
    // The name to hand the program's port (setDeviceOverride).
    const std::string& deviceOverride() const { return m_choice.device; }
    // A tick has passed; the simulated converter answers at the line's real pace.
    void advance(std::chrono::milliseconds elapsed);
    sim::SimulatedLine* simulated() { return m_simulated; }
    sim::ConverterModel* model() { return m_model.get(); }

    static constexpr const char* kDemoDevice = "demo converter";

private:
    LineChoice m_choice;
    std::unique_ptr<sim::ConverterModel> m_model;
    std::unique_ptr<link::SerialPort> m_serial;
    sim::SimulatedLine* m_simulated = nullptr;
};

} // namespace pravenor::frontend
