#include "link/com_port.h"

#include "app/message_log.h"
#include "app/text_functions.h"
#include "link/control_chars.h"
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

ComPort::ComPort(SerialPort& port, app::MessageLog& log, TransferView& view)
    : m_port(port), m_log(log), m_view(view)
{
}

void ComPort::setDeviceOverride(std::optional<LineAddress> address, bool named)
{
    m_override = std::move(address);
    m_overrideNamed = named;
}

void ComPort::setNetworkAddress(ParsedLineAddress address)
{
    m_networkAddress = std::move(address);
}

ParsedLineAddress ComPort::lineFor(std::int16_t port) const
{
    if (m_override)
        return {m_override->text(), m_override, {}};
    if (!m_networkAddress.text.empty())
        return m_networkAddress;
    const LineAddress numbered = LineAddress::Port(port + 1);
    if (numbered.device().empty())
        return {{}, std::nullopt, "no device for this port number"};
    return {numbered.text(), numbered, {}};
}

std::string ComPort::deviceFor(std::int16_t port) const
{
    return lineFor(port).text;
}

void ComPort::sayFailuresOnce(std::string whatToDo)
{
    m_failuresOnce = true;
    m_whatToDo = std::move(whatToDo);
}

void ComPort::sayFailure(const std::vector<std::string>& lines)
{
    std::string failure;
    for (const std::string& line : lines)
        failure += line + '\n';
    if (m_failuresOnce && failure == m_lastFailure)
        return;
    for (const std::string& line : lines)
        m_log.WriteLog(line);
    if (!m_failuresOnce)
        return;
    if (!m_whatToDo.empty())
        m_log.WriteLog(m_whatToDo);
    // Said only when it was shown: a failure while the log is still off is said at the next.
    if (m_log.writing())
        m_lastFailure = failure;
}

std::int16_t ComPort::OpenComPort(std::int16_t port, std::int16_t speed, std::int16_t parity,
                                  std::int16_t dataBits, std::int16_t stopBits,
                                  std::int16_t handshake)
{
    const int number = port + 1;
    const std::string settingsText = LineSettingsText(speed, parity, dataBits, stopBits);
    const ParsedLineAddress line = lineFor(port);
    // As the log shows any byte: a control byte in a name given by hand must not reach a
    // terminal or the log file as itself.
    const std::string device = VisibleText(line.text);
    // A refused network address is still a network line: it is said as one, not tried.
    const bool network =
        line.address ? line.address->kind() == LineAddress::Kind::Network : !line.text.empty();
    const OpenResult result =
        line.address ? m_port.open(*line.address,
                                   LineSettingsFor({speed, parity, dataBits, stopBits, handshake}))
                     : OpenResult::Failed;
    // A device given for the run is the line itself; its port number means nothing.
    const bool given = !network && m_override.has_value() && m_overrideNamed;
    if (result != OpenResult::Opened) {
        std::vector<std::string> lines{given ? "Error opening " + device
                                             : "Error opening ComPort: " + SignedNumText(number)};
        const std::string reason = line.address ? m_port.failureReason() : line.error;
        if (network) {
            lines.push_back("Cannot open " + device + ": " + reason);
            sayFailure(lines);
            m_view.setPortCaption("Network: " + device + " not open" +
                                  (reason.empty() ? "" : ": " + reason));
            return -1;
        }
        if (result == OpenResult::PermissionDenied)
            lines.push_back("No permission to open " + device +
                            ": add your user to the dialout group (sudo usermod -aG dialout "
                            "$USER), then log out and in again.");
        else if (result == OpenResult::InUse)
            lines.push_back("Cannot open " + device + ": " + reason + ".");
        sayFailure(lines);
        // Whatever the log level, the frame tells which device failed and why.
        m_view.setPortCaption("Serial Port: " + (given ? device : NumToStr(number)) +
                              (device.empty() || given ? "" : " " + device) + " not open" +
                              (reason.empty() ? "" : ": " + reason));
        return -1;
    }
    m_lastFailure.clear();
    if (network || given) {
        // The number means nothing here; the address is what the engineer has to check.
        m_log.WriteLog(device + " opened with: " + settingsText);
        m_view.setPortCaption((network ? "Network: " : "Serial Port: ") + device + " " +
                              settingsText);
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
    const bool wasOpen = m_port.isOpen();
    m_port.close();
    // Between two tries of a port that will not open there is nothing to tell.
    if (wasOpen || !m_failuresOnce || m_lastFailure.empty())
        m_log.WriteLog("Comport closed by software.");
}

std::int16_t ComPort::PortIsOpen()
{
    return m_port.isOpen() ? 1 : -1;
}

} // namespace pravenor::link
