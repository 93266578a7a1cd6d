#pragma once

#include "link/network_address.h"

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace pravenor::link {

// The port numbers the program offers: Com1..Com30.
inline constexpr int kPortCount = 30;

// The device of port number n (1 is Com1). Windows: COM1..COM9, then \\.\COM10 and up (from
// COM10 on only the device namespace knows the port). Elsewhere Com1..Com10 are
// /dev/ttyUSB0..9 (the usual USB adapter first), Com11..Com20 /dev/ttyACM0..9 and
// Com21..Com30 /dev/ttyS0..9; other numbers have no device (empty text).
inline std::string DeviceForPort(int portNumber)
{
#ifdef _WIN32
    if (portNumber < 1)
        return {};
    return (portNumber >= 10 ? "\\\\.\\COM" : "COM") + std::to_string(portNumber);
#else
    if (portNumber >= 1 && portNumber <= 10)
        return "/dev/ttyUSB" + std::to_string(portNumber - 1);
    if (portNumber >= 11 && portNumber <= 20)
        return "/dev/ttyACM" + std::to_string(portNumber - 11);
    if (portNumber >= 21 && portNumber <= kPortCount)
        return "/dev/ttyS" + std::to_string(portNumber - 21);
    return {};
#endif
}

// Where the converter's line is: a port number, a device path (a pseudo-terminal, a
// /dev/serial/by-id name) or a serial device server on the network. Read once where the user
// gives it; below that, a line is opened by its kind, never by looking at a name again.
// The type itself lives in this header, so that the ports beneath the link (link/qt, the
// simulated line) take it without linking the link; only the reading is in the link.
class LineAddress
{
public:
    enum class Kind
    {
        PortNumber,
        DevicePath,
        Network,
    };

    static LineAddress Port(int number) { return LineAddress(PortNumber{number}); }
    static LineAddress Device(std::string path) { return LineAddress(DevicePath{std::move(path)}); }
    // text: the address as the user wrote it, which is how the program names it back.
    static LineAddress Network(NetworkAddress address, std::string text)
    {
        return LineAddress(NetworkLine{std::move(address), std::move(text)});
    }

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    // The port number; 0 for the other kinds.
    int portNumber() const
    {
        const auto* port = std::get_if<PortNumber>(&m_value);
        return port != nullptr ? port->number : 0;
    }
    // The device to open for a port number or a device path; empty for a network address and
    // for a port number without a device.
    std::string device() const
    {
        if (const auto* port = std::get_if<PortNumber>(&m_value))
            return DeviceForPort(port->number);
        if (const auto* path = std::get_if<DevicePath>(&m_value))
            return path->path;
        return {};
    }
    // Only for Kind::Network.
    const NetworkAddress& network() const { return std::get<NetworkLine>(m_value).address; }
    // How the log and the port caption name the line: the port number's device, the path, or
    // the network address as written.
    std::string text() const
    {
        const auto* network = std::get_if<NetworkLine>(&m_value);
        return network != nullptr ? network->text : device();
    }

    bool operator==(const LineAddress&) const = default;

private:
    struct PortNumber
    {
        int number = 0;
        bool operator==(const PortNumber&) const = default;
    };
    struct DevicePath
    {
        std::string path;
        bool operator==(const DevicePath&) const = default;
    };
    struct NetworkLine
    {
        NetworkAddress address;
        std::string text;
        bool operator==(const NetworkLine&) const = default;
    };
    using Value = std::variant<PortNumber, DevicePath, NetworkLine>;

    explicit LineAddress(Value value) : m_value(std::move(value)) {}

    Value m_value; // in the order of Kind
};

// A line address read from the user's text, or why the text is none. text is kept as given,
// so that a refused address can still be named.
struct ParsedLineAddress
{
    std::string text;
    std::optional<LineAddress> address;
    std::string error; // empty when address holds one
};

// A device as the command line or a sites file names it: a text with a network scheme is a
// network address (a mistyped one is refused as such, not tried as a device name); any other
// text is a device path. An empty text is no address and no error: nothing is given.
ParsedLineAddress ParseLineAddress(const std::string& text);
// The text of a field that takes a network address only (Program Setup). An empty text is no
// address and no error: the port number is used.
ParsedLineAddress ParseNetworkLine(const std::string& text);

} // namespace pravenor::link
