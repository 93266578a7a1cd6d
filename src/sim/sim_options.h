#pragma once

#include "sim/fault_plan.h"
#include "sim/line_timing.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pravenor::sim {

// What pravenor-sim was asked to do; its command line is read by the tool (sim/tool).
struct SimOptions
{
    std::string linkPath; // keep a symbolic link here to the current terminal
    std::string loadFile; // initial values from this unit-data file
    std::optional<std::uint8_t> bufferPositionByte;
    int baud = kConverterBaud; // the pace of the bytes in both directions
    FaultPlan faults;
    // Serve on a TCP port instead of a pseudo-terminal (0: any free port), raw or telnet.
    std::optional<std::uint16_t> tcpPort;
    std::string tcpHost = "127.0.0.1";
    bool rfc2217 = false;
    // Converters served at once, each with settings of its own; see FleetSettings.
    int count = 1;
    // One of many: the line printed is "NAME PATH" (a sites file's line) and its traffic in
    // the log is named.
    std::string unitName;

    bool operator==(const SimOptions&) const = default;
};

} // namespace pravenor::sim
