#include "frontend/converter_line.h"

#include "link/line_address.h"
#include "link/net/network_port.h"
#include "link/qt/qt_serial_port.h"
#include "sim/converter_model.h"
#include "sim/demo_converter.h"
#include "sim/simulated_line.h"

#include <utility>

namespace pravenor::frontend {

// A serial device or a network address, whichever kind of line open() is given.
class DevicePort final : public link::SerialPort
{
public:
    link::OpenResult open(const link::LineAddress& address,
                          const link::LineSettings& settings) override
    {
        link::SerialPort* chosen = &m_serial;
        switch (address.kind()) {
        case link::LineAddress::Kind::PortNumber:
        case link::LineAddress::Kind::DevicePath:
            break;
        case link::LineAddress::Kind::Network:
            chosen = &m_network;
            break;
        }
        if (chosen != m_current)
            m_current->close();
        m_current = chosen;
        return m_current->open(address, settings);
    }
    void close() override { m_current->close(); }
    bool isOpen() override { return m_current->isOpen(); }
    bool ready() override { return m_current->ready(); }
    int bytesWaiting() override { return m_current->bytesWaiting(); }
    int readByte() override { return m_current->readByte(); }
    bool writeByte(std::uint8_t byte) override { return m_current->writeByte(byte); }
    void discardInput() override { m_current->discardInput(); }
    std::string failureReason() const override { return m_current->failureReason(); }

    bool usable() { return m_current == &m_network ? m_network.connected() : m_serial.isOpen(); }
    link::NetworkPort& network() { return m_network; }

private:
    link::QtSerialPort m_serial;
    link::NetworkPort m_network;
    link::SerialPort* m_current = &m_serial;
};

LineChoice ChooseLine(bool demo, std::optional<link::LineAddress> line)
{
    if (demo)
        return {LineKind::DemoConverter, link::LineAddress::Device(ConverterLine::kDemoDevice)};
    return {LineKind::SerialDevice, std::move(line)};
}

ConverterLine::ConverterLine(LineChoice choice) : m_choice(std::move(choice))
{
    switch (m_choice.kind) {
    case LineKind::SerialDevice: {
        auto device = std::make_unique<DevicePort>();
        m_device = device.get();
        m_serial = std::move(device);
        break;
    }
    case LineKind::DemoConverter: {
        m_model = std::make_unique<sim::ConverterModel>();
        sim::FillDemoConverter(*m_model);
        auto line = std::make_unique<sim::SimulatedLine>(*m_model);
        m_simulated = line.get();
        m_serial = std::move(line);
        break;
    }
    }
}

ConverterLine::~ConverterLine() = default;

void ConverterLine::advance(std::chrono::milliseconds elapsed)
{
    if (m_simulated)
        m_simulated->advance(elapsed);
}

bool ConverterLine::usable()
{
    return m_device ? m_device->usable() : m_serial->isOpen();
}

void ConverterLine::setNoteHandler(std::function<void(const std::string&)> handler)
{
    if (m_device)
        m_device->network().setNoteHandler(std::move(handler));
}

void ConverterLine::setTlsTrust(const link::TlsTrust& trust)
{
    m_trust = trust;
    if (m_device)
        m_device->network().setTlsTrust(trust);
}

std::optional<link::UnknownCertificate> ConverterLine::unknownCertificate() const
{
    if (!m_device)
        return std::nullopt;
    return m_device->network().unknownCertificate();
}

} // namespace pravenor::frontend
