#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pravenor::link {

// How the bytes travel to a serial device server.
enum class NetworkProtocol
{
    RawTcp,  // the server passes bytes through and sets the line itself
    Rfc2217, // telnet with the COM-PORT-OPTION: the program sets the line
};

// A converter behind a serial device server: "tcp://HOST:PORT" or "rfc2217://HOST:PORT",
// and the same inside TLS: "tcp+tls://HOST:PORT", "rfc2217+tls://HOST:PORT". An IPv6 host is
// written in brackets: "tcp://[::1]:4001".
struct NetworkAddress
{
    NetworkProtocol protocol = NetworkProtocol::RawTcp;
    std::string host; // without brackets
    std::uint16_t port = 0;
    bool tls = false;

    bool operator==(const NetworkAddress&) const = default;
};

struct ParsedNetworkAddress
{
    std::optional<NetworkAddress> address;
    std::string error; // why the text is not a usable address; empty when it is one
};

// Whether the text names a network line at all (by its scheme), usable or not, so that a
// mistyped address is refused as one instead of being tried as a device name.
bool LooksLikeNetworkAddress(const std::string& text);
ParsedNetworkAddress ParseNetworkAddress(const std::string& text);
// The address written back as the user gives it.
std::string NetworkAddressText(const NetworkAddress& address);

} // namespace pravenor::link
