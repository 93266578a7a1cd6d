#pragma once

#include "link/line_address.h"
#include "link/serial_port.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pravenor::app {
class MessageLog;
}

namespace pravenor::link {

class TransferView;

// The line-setting codes every caller passes: 9600 baud, no parity, 8 data bits, 1 stop
// bit, no handshaking.
struct PortCodes
{
    std::int16_t speed = 4;
    std::int16_t parity = 0;
    std::int16_t dataBits = 1;
    std::int16_t stopBits = 0;
    std::int16_t handshake = 0;
};

// "9600,N,8,1" for the codes; unknown codes fall back to 9600, N, 1.
std::string LineSettingsText(std::int16_t speed, std::int16_t parity, std::int16_t dataBits,
                             std::int16_t stopBits);
LineSettings LineSettingsFor(const PortCodes& codes);

// Opens, closes and watches the one serial port, logging each step.
class ComPort
{
public:
    ComPort(SerialPort& port, app::MessageLog& log, TransferView& view);

    // A line given for this run (--port) replaces the port number, for pseudo-terminals,
    // /dev/serial/by-id names and serial device servers. None: use the port number.
    // `named`: the line is said by its name in the log and the frame, where its port number
    // means nothing (the user named it); otherwise as the port number, like any other.
    void setDeviceOverride(std::optional<LineAddress> address, bool named = false);
    const std::optional<LineAddress>& deviceOverride() const { return m_override; }
    // A serial device server ("tcp://HOST:PORT", "rfc2217://HOST:PORT") that replaces the
    // port number until it is emptied again; a line given for the run still wins. A refused
    // address is kept with its text and reason, and opening fails with them.
    void setNetworkAddress(ParsedLineAddress address);
    const std::string& networkAddress() const { return m_networkAddress.text; }
    // The name of the line that port opens now (empty for a port number without a device).
    std::string deviceFor(std::int16_t port) const;

    // For a program that tries a missing port again and again: a failure is said once, with
    // `whatToDo` after it, and again only when it changes or the port opened in between;
    // closing a port that never opened says nothing meanwhile. Without it every try is said.
    void sayFailuresOnce(std::string whatToDo);
    // The next failure is said even when it is the last one again (the user asked for it).
    void sayNextFailure() { m_lastFailure.clear(); }

    // 0 when the port is open, -1 when opening failed.
    std::int16_t OpenComPort(std::int16_t port, std::int16_t speed, std::int16_t parity,
                             std::int16_t dataBits, std::int16_t stopBits, std::int16_t handshake);
    std::int16_t OpenComPort(std::int16_t port, const PortCodes& codes = {});
    void CloseComPort();
    // 1 open, -1 closed.
    std::int16_t PortIsOpen();
    // Open and carrying bytes: not a connection still being made.
    bool PortIsReady() { return m_port.ready(); }

    SerialPort& serial() { return m_port; }

private:
    SerialPort& m_port;
    app::MessageLog& m_log;
    TransferView& m_view;
    ParsedLineAddress lineFor(std::int16_t port) const;

    // Logs a failure's lines, once only where failures are said once.
    void sayFailure(const std::vector<std::string>& lines);

    std::optional<LineAddress> m_override;
    ParsedLineAddress m_networkAddress;
    bool m_overrideNamed = false;
    bool m_failuresOnce = false;
    std::string m_whatToDo;
    std::string m_lastFailure; // the failure said last; empty after an open
};

} // namespace pravenor::link
