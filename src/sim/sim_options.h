#pragma once

#include "sim/fault_plan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pravenor::sim {

// What pravenor-sim was asked to do.
struct SimOptions
{
    std::string linkPath; // keep a symbolic link here to the current terminal
    std::string loadFile; // initial values from this unit-data file
    std::optional<std::uint8_t> bufferPositionByte;
    FaultPlan faults;
    // Serve on a TCP port instead of a pseudo-terminal (0: any free port), raw or telnet.
    std::optional<std::uint16_t> tcpPort;
    std::string tcpHost = "127.0.0.1";
    bool rfc2217 = false;

    bool operator==(const SimOptions&) const = default;
};

struct SimCommandLine
{
    SimOptions options;
    bool help = false;
    std::string error; // empty when the arguments were understood
};

// The arguments after the program name.
SimCommandLine parseSimOptions(const std::vector<std::string_view>& args);

std::string simHelpText();

} // namespace pravenor::sim
