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

    bool operator==(const SimOptions&) const = default;
};

} // namespace pravenor::sim
