#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pravenor::link {

// A serial device present on this system, as an engineer would pick it.
struct SerialDevice
{
    std::string path;   // a /dev/serial/by-id name when there is one, else the terminal itself
    std::string device; // the terminal it leads to, as a /dev path: "/dev/ttyUSB0"
    int portNumber = 0; // the port number (1 is Com1) that opens it; 0 when none does
    bool operator==(const SerialDevice&) const = default;
};

// The serial adapters plugged in now, found under devFolder (normally "/dev"): the
// serial/by-id names where there are any, since they say which adapter is which; otherwise
// the ttyUSB and ttyACM terminals. The built-in ttyS ports are left out: the system lists
// them whether or not anything is behind them. Sorted by path, numbers in number order.
std::vector<SerialDevice> ListSerialDevices(const std::filesystem::path& devFolder);

} // namespace pravenor::link
