#include "link/com_port.h"

#include "app/message_log.h"
#include "app/text_functions.h"
#include "link/network_address.h"
#include "link/transfer_view.h"

namespace pravenor::link {

using app::NumToStr;
using app::SignedNumText;

std::string LineSettingsText(std::int16_t speed, std::int16_t parity, std::int16_t dataBits,
                             std::int16_t stopBits)
{
    std::string text;
    switch (speed) {
    case 0:
        text = "300";
        break;
    case 1:
        text = "1200";
        break;
    case 2:
        text = "2400";
        break;
    case 3:
        text = "4800";
        break;
    case 5:
        text = "19200";
        break;
    default:
        text = "9600";
        break;
    }
    text += parity == 1 ? ",E" : parity == 2 ? ",O" : ",N";
    text += dataBits == 0 ? ",7" : ",8";
    text += stopBits == 1 ? ",2" : ",1";
    return text;
}

LineSettings LineSettingsFor(const PortCodes& codes)
{
    LineSettings settings;
    switch (codes.speed) {
    case 0:
        settings.baudRate = 300;
        break;
    case 1:
        settings.baudRate = 1200;
        break;
    case 2:
        settings.baudRate = 2400;
        break;
    case 3:
        settings.baudRate = 4800;
        break;
    case 5:
        settings.baudRate = 19200;
        break;
    default:
        settings.baudRate = 9600;
        break;
    }
    settings.parity = codes.parity == 1   ? Parity::Even
                      : codes.parity == 2 ? Parity::Odd
                                          : Parity::None;
    settings.dataBits = codes.dataBits == 0 ? 7 : 8;
    settings.stopBits = codes.stopBits == 1 ? 2 : 1;
    settings.rtsHandshake = codes.handshake != 0 && codes.handshake != 1;
    settings.rtsEnable = codes.handshake != 0;
    return settings;
}

std::string DeviceForPort(int portNumber)
{
#ifdef _WIN32
    // COM1 to COM9 are also reserved names in every folder; from COM10 on, only the device
    // namespace knows the port.
    if (portNumber < 1)
        return {};
    return (portNumber >= 10 ? "\\\\.\\COM" : "COM") + NumToStr(portNumber);
#else
    if (portNumber >= 1 && portNumber <= 10)
        return "/dev/ttyUSB" + NumToStr(portNumber - 1);
    if (portNumber >= 11 && portNumber <= 20)
        return "/dev/ttyACM" + NumToStr(portNumber - 11);
    if (portNumber >= 21 && portNumber <= 30)
        return "/dev/ttyS" + NumToStr(portNumber - 21);
    return {};
#endif
}

ComPort::ComPort(SerialPort& port, app::MessageLog& log, TransferView& view)
    : m_port(port), m_log(log), m_view(view)
{
}

void ComPort::setDeviceOverride(std::string device)
{
    m_override = std::move(device);
}

void ComPort::setNetworkAddress(std::string address)
{
    m_networkAddress = std::move(address);
}

std::string ComPort::deviceFor(std::int16_t port) const
{
    if (!m_override.empty())
        return m_override;
    return m_networkAddress.empty() ? DeviceForPort(port + 1) : m_networkAddress;
}

std::int16_t ComPort::OpenComPort(std::int16_t port, std::int16_t speed, std::int16_t parity,
                                  std::int16_t dataBits, std::int16_t stopBits,
                                  std::int16_t handshake)
{
    const int number = port + 1;
    const std::string settingsText = LineSettingsText(speed, parity, dataBits, stopBits);
    const std::string device = deviceFor(port);
    const bool network = LooksLikeNetworkAddress(device) ||
                         (!m_networkAddress.empty() && device == m_networkAddress);
    // A mistyped address is said as one, not tried as a device name.
    const std::string addressError = network ? ParseNetworkAddress(device).error : std::string();
    const OpenResult result =
        device.empty() || !addressError.empty()
            ? OpenResult::Failed
            : m_port.open(device, LineSettingsFor({speed, parity, dataBits, stopBits, handshake}));
    if (result != OpenResult::Opened) {
        m_log.WriteLog("Error opening ComPort: " + SignedNumText(number));
        const std::string reason = device.empty()          ? "no device for this port number"
                                   : !addressError.empty() ? addressError
                                                           : m_port.failureReason();
        if (network) {
            m_log.WriteLog("Cannot open " + device + ": " + reason);
            m_view.setPortCaption("Network: " + device + " not open" +
                                  (reason.empty() ? "" : ": " + reason));
            return -1;
        }
        if (result == OpenResult::PermissionDenied)
            m_log.WriteLog("No permission to open " + device +
                           ": add your user to the dialout group (sudo usermod -aG dialout $USER), "
                           "then log out and in again.");
        else if (result == OpenResult::InUse)
            m_log.WriteLog("Cannot open " + device + ": " + reason + ".");
        // Whatever the log level, the frame tells which device failed and why.
        m_view.setPortCaption("Serial Port: " + NumToStr(number) +
                              (device.empty() ? "" : " " + device) + " not open" +
                              (reason.empty() ? "" : ": " + reason));
        return -1;
    }
    if (network) {
        // The number means nothing here; the address is what the engineer has to check.
        m_log.WriteLog(device + " opened with: " + settingsText);
        m_view.setPortCaption("Network: " + device + " " + settingsText);
        return 0;
    }
    m_log.WriteLog("Com:" + SignedNumText(number) + " opened with: " + settingsText);
    m_view.setPortCaption("Serial Port: " + NumToStr(number) + " " + settingsText);
    return 0;
}

std::int16_t ComPort::OpenComPort(std::int16_t port, const PortCodes& codes)
{
    return OpenComPort(port, codes.speed, codes.parity, codes.dataBits, codes.stopBits,
                       codes.handshake);
}

void ComPort::CloseComPort()
{
    m_port.close();
    m_log.WriteLog("Comport closed by software.");
}

std::int16_t ComPort::PortIsOpen()
{
    return m_port.isOpen() ? 1 : -1;
}

} // namespace pravenor::link
