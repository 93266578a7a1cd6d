#include "link/qt/converter_line.h"

#include "link/net/network_port.h"
#include "link/network_address.h"
#include "link/qt/qt_serial_port.h"
#include "sim/converter_model.h"
#include "sim/demo_converter.h"
#include "sim/simulated_line.h"

namespace pravenor::link {

// A serial device or a network address, whichever the device name given to open() is.
class DevicePort final : public SerialPort
{
public:
    OpenResult open(const std::string& device, const LineSettings& settings) override
    {
        SerialPort* chosen = LooksLikeNetworkAddress(device) ? static_cast<SerialPort*>(&m_network)
                                                             : static_cast<SerialPort*>(&m_serial);
        if (chosen != m_current)
            m_current->close();
        m_current = chosen;
        return m_current->open(device, settings);
    }
    void close() override { m_current->close(); }
    bool isOpen() override { return m_current->isOpen(); }
    int bytesWaiting() override { return m_current->bytesWaiting(); }
    int readByte() override { return m_current->readByte(); }
    bool writeByte(std::uint8_t byte) override { return m_current->writeByte(byte); }
    void discardInput() override { m_current->discardInput(); }
    std::string failureReason() const override { return m_current->failureReason(); }

    std::string lastErrorText() const
    {
        return m_current == &m_network ? m_network.lastErrorText() : m_serial.lastErrorText();
    }
    bool usable() { return m_current == &m_network ? m_network.connected() : m_serial.isOpen(); }
    NetworkPort& network() { return m_network; }

private:
    QtSerialPort m_serial;
    NetworkPort m_network;
    SerialPort* m_current = &m_serial;
};

ConverterLine::ConverterLine(bool demo)
{
    if (!demo) {
        auto device = std::make_unique<DevicePort>();
        m_device = device.get();
        m_serial = std::move(device);
        return;
    }
    m_model = std::make_unique<sim::ConverterModel>();
    sim::FillDemoConverter(*m_model);
    auto line = std::make_unique<sim::SimulatedLine>(*m_model);
    m_simulated = line.get();
    m_serial = std::move(line);
}

ConverterLine::~ConverterLine() = default;

void ConverterLine::advance(std::chrono::milliseconds elapsed)
{
    if (m_simulated)
        m_simulated->advance(elapsed);
}

std::string ConverterLine::lastErrorText() const
{
    return m_device ? m_device->lastErrorText() : std::string();
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

} // namespace pravenor::link
