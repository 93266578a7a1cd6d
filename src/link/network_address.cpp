#include "link/network_address.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace pravenor::link {

namespace {

struct Scheme
{
    const char* prefix;
    NetworkProtocol protocol;
    bool tls;
};

constexpr Scheme kSchemes[] = {
    {"tcp://", NetworkProtocol::RawTcp, false},
    {"rfc2217://", NetworkProtocol::Rfc2217, false},
    {"tcp+tls://", NetworkProtocol::RawTcp, true},
    {"rfc2217+tls://", NetworkProtocol::Rfc2217, true},
};

// Brackets only enclose an IPv6 host; a blank, a slash or a control byte is in no host name.
bool usableHost(const std::string& host)
{
    return !host.empty() && std::none_of(host.begin(), host.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == ' ' || c == '/' || c == '[' || c == ']';
    });
}

bool startsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

bool LooksLikeNetworkAddress(const std::string& text)
{
    return std::any_of(std::begin(kSchemes), std::end(kSchemes),
                       [&](const Scheme& scheme) { return startsWithNoCase(text, scheme.prefix); });
}

ParsedNetworkAddress ParseNetworkAddress(const std::string& text)
{
    const auto scheme =
        std::find_if(std::begin(kSchemes), std::end(kSchemes),
                     [&](const Scheme& s) { return startsWithNoCase(text, s.prefix); });
    if (scheme == std::end(kSchemes))
        return {std::nullopt, "a network address starts with tcp://, rfc2217://, tcp+tls:// or "
                              "rfc2217+tls://"};
    const std::string rest = text.substr(std::char_traits<char>::length(scheme->prefix));

    std::string host;
    std::string portText;
    if (!rest.empty() && rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
            return {std::nullopt, "write the address as HOST:PORT, an IPv6 host in brackets"};
        host = rest.substr(1, close - 1);
        portText = rest.substr(close + 2);
    } else {
        const std::size_t colon = rest.rfind(':');
        if (colon == std::string::npos || rest.find(':') != colon)
            return {std::nullopt, "write the address as HOST:PORT, an IPv6 host in brackets"};
        host = rest.substr(0, colon);
        portText = rest.substr(colon + 1);
    }
    if (!usableHost(host))
        return {std::nullopt, "the address has no usable host name"};

    unsigned port = 0;
    const char* last = portText.data() + portText.size();
    const auto [end, error] = std::from_chars(portText.data(), last, port);
    if (portText.empty() || error != std::errc{} || end != last || port < 1 || port > 65535)
        return {std::nullopt, "the port of a network address is a number from 1 to 65535"};
    return {NetworkAddress{scheme->protocol, host, static_cast<std::uint16_t>(port), scheme->tls},
            {}};
}

std::string NetworkAddressText(const NetworkAddress& address)
{
    const std::string scheme =
        std::string(address.protocol == NetworkProtocol::RawTcp ? "tcp" : "rfc2217") +
        (address.tls ? "+tls://" : "://");
    const bool bracketed = address.host.find(':') != std::string::npos;
    return scheme + (bracketed ? "[" + address.host + "]" : address.host) + ":" +
           std::to_string(address.port);
}

} // namespace pravenor::link
