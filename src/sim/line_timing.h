#pragma once

#include <chrono>

namespace pravenor::sim {

// Time on the simulated line, counted from the moment the line (or the tool) started.
using Micros = std::chrono::microseconds;

// One byte on the converter's line: start bit, eight data bits and a stop bit at 9600 baud
// take 1041.7 us; rounded up so that a simulated reply is never faster than a real one.
constexpr Micros kByteTime{1042};

} // namespace pravenor::sim
