#pragma once

#include <cstdint>

namespace pravenor::app {

// How much the program shows of its work (DebugLevel), by the numbers the converter
// program has always used: "/LOG" on the command line gives Log, "/DEBUG" gives Debug, which
// adds the detail of every exchange to the progress text and shows the service controls.
enum class DebugMode : std::int16_t
{
    Off = 0,
    Log = 1,
    Debug = 2
};

} // namespace pravenor::app
