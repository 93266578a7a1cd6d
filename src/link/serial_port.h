#pragma once

#include <cstdint>
#include <string>

namespace pravenor::link {

class LineAddress;

enum class Parity
{
    None,
    Even,
    Odd,
};

struct LineSettings
{
    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    int stopBits = 1;
    bool rtsHandshake = false; // hardware flow control on RTS/CTS
    bool rtsEnable = false;    // RTS raised; DTR is always kept low
};

enum class OpenResult
{
    Opened,
    Failed,
    PermissionDenied, // the device exists but this user may not open it
    InUse,            // another program holds the device, under this name or another
};

// The serial line to the converter: the few operations the link needs and no more. Bytes
// are passed as they are, zero bytes included; nothing blocks.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    // A port opens the kinds of address it serves and fails on the others.
    virtual OpenResult open(const LineAddress& address, const LineSettings& settings) = 0;
    virtual void close() = 0; // closing a closed port is not an error
    // Not const: a port notices here that its device has gone and closes itself.
    virtual bool isOpen() = 0;
    // Open and able to carry bytes now; a line that is still being connected is open, but
    // not ready, and no exchange should start on it.
    virtual bool ready() { return isOpen(); }
    virtual int bytesWaiting() = 0;
    virtual int readByte() = 0; // 0..255, or -1 when nothing is waiting or the read failed
    virtual bool writeByte(std::uint8_t byte) = 0;
    virtual void discardInput() = 0;
    // Why the last open failed, or why an open port went away, in words for a person
    // (Windows-1252); empty when nothing is known.
    virtual std::string failureReason() const { return {}; }
};

} // namespace pravenor::link
