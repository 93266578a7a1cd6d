#pragma once

#include <map>
#include <string>

namespace pravenor::link {

// What a TLS connection to a serial device server trusts and shows: the authorities that may
// vouch for the server (none: the system's), the one certificate accepted instead of any
// authority's word, and the engineer's own certificate for servers that ask for one. Paths
// and the pin are as the user gave them.
struct TlsTrust
{
    std::string authorityFile; // PEM; empty: the system's authorities
    std::string pin;           // "SHA256:" and 64 hexadecimal digits; empty: none
    std::string certificateFile;
    std::string keyFile;
    // Certificates the user chose to trust, by the address they were met at, as SSH keeps
    // known hosts: each is pinned for its address when no pin is given.
    std::map<std::string, std::string> trusted; // address text -> "SHA256:..."

    bool operator==(const TlsTrust&) const = default;
};

// A certificate no authority vouched for, as met at an address: what a person needs to
// decide whether to trust it.
struct UnknownCertificate
{
    std::string address;
    std::string fingerprint; // "SHA256:" and 64 upper-case digits
    std::string subject;

    bool operator==(const UnknownCertificate&) const = default;
};

// The 64 upper-case digits of a pin ("SHA256:ab:cd..." or "SHA256:ABCD..."), or empty when the
// text is no pin.
std::string PinDigits(const std::string& pin);

} // namespace pravenor::link
