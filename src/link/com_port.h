#pragma once

#include "link/serial_port.h"

#include <cstdint>
#include <string>

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

// The device of port number n (1 is Com1). Windows: COM1..COM9, then \\.\COM10 and up.
// Elsewhere Com1..Com10 are
// /dev/ttyUSB0..9 (the usual USB adapter first), Com11..Com20 /dev/ttyACM0..9 and
// Com21..Com30 /dev/ttyS0..9; other numbers have no device (empty text).
std::string DeviceForPort(int portNumber);

// Opens, closes and watches the one serial port, logging each step.
class ComPort
{
public:
    ComPort(SerialPort& port, app::MessageLog& log, TransferView& view);

    // A device given for this run (--port) replaces the port-number mapping, for
    // pseudo-terminals and /dev/serial/by-id names. Empty: use the mapping.
    void setDeviceOverride(std::string device);
    const std::string& deviceOverride() const { return m_override; }
    // A serial device server ("tcp://HOST:PORT", "rfc2217://HOST:PORT") that replaces the
    // port-number mapping until it is emptied again; a device given for the run still wins.
    void setNetworkAddress(std::string address);
    const std::string& networkAddress() const { return m_networkAddress; }
    std::string deviceFor(std::int16_t port) const;

    // 0 when the port is open, -1 when opening failed.
    std::int16_t OpenComPort(std::int16_t port, std::int16_t speed, std::int16_t parity,
                             std::int16_t dataBits, std::int16_t stopBits, std::int16_t handshake);
    std::int16_t OpenComPort(std::int16_t port, const PortCodes& codes = {});
    void CloseComPort();
    // 1 open, -1 closed.
    std::int16_t PortIsOpen();

    SerialPort& serial() { return m_port; }

private:
    SerialPort& m_port;
    app::MessageLog& m_log;
    TransferView& m_view;
    std::string m_override;
    std::string m_networkAddress;
};

} // namespace pravenor::link
