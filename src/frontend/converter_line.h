#pragma once

#include "link/line_address.h"
#include "link/serial_port.h"
#include "link/tls_trust.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pravenor::sim {
class ConverterModel;
class SimulatedLine;
} // namespace pravenor::sim

namespace pravenor::frontend {

class DevicePort;

// The kinds of line a front end can talk over. A network address is no kind of its own: the
// program setup may give one at any time, so the serial device's port takes either.
enum class LineKind
{
    // A real port through QSerialPort, or a serial device server on the network when the line
    // opened is a network address: --port, or the program setup's port or network address.
    // Which of the two follows the kind of line each open() is given.
    SerialDevice,
    DemoConverter, // the built-in simulated converter on an in-memory line
};

// The line the command line asked for, decided once at the start.
struct LineChoice
{
    LineKind kind = LineKind::SerialDevice;
    // What the program opens instead of the setup's port; none: the setup's.
    std::optional<link::LineAddress> line;
};

LineChoice ChooseLine(bool demo, std::optional<link::LineAddress> line);

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
    // The line to hand the program's port (setDeviceOverride); none: the setup's port.
    const std::optional<link::LineAddress>& deviceOverride() const { return m_choice.line; }
    // A tick has passed; the simulated converter answers at the line's real pace.
    void advance(std::chrono::milliseconds elapsed);
    sim::SimulatedLine* simulated() { return m_simulated; }
    sim::ConverterModel* model() { return m_model.get(); }

    // The line can carry bytes now: a device open, a connection standing (a network port
    // counts as open while it still connects).
    bool usable();
    // Lines for the message log from the network line: connections made, line settings a
    // server left unconfirmed.
    void setNoteHandler(std::function<void(const std::string&)> handler);
    // What TLS addresses trust; from the next opening.
    void setTlsTrust(const link::TlsTrust& trust);
    const link::TlsTrust& tlsTrust() const { return m_trust; }
    // The certificate the network line was last refused for for want of an authority.
    std::optional<link::UnknownCertificate> unknownCertificate() const;

    static constexpr const char* kDemoDevice = "demo converter";

private:
    LineChoice m_choice;
    link::TlsTrust m_trust;
    std::unique_ptr<sim::ConverterModel> m_model;
    std::unique_ptr<link::SerialPort> m_serial;
    DevicePort* m_device = nullptr;
    sim::SimulatedLine* m_simulated = nullptr;
};

} // namespace pravenor::frontend
