#pragma once

#include <chrono>

namespace pravenor::sim {

// Time on the simulated line, counted from the moment the line (or the tool) started.
using Micros = std::chrono::microseconds;

// One byte on the line: a start bit, eight data bits and a stop bit. Rounded up so that a
// simulated reply is never faster than a real one.
constexpr Micros ByteTimeAt(int baud)
{
    return Micros{(10'000'000 + baud - 1) / baud};
}

// The converter's line runs at 9600 baud: 1041.7 us a byte.
constexpr int kConverterBaud = 9600;
constexpr Micros kByteTime = ByteTimeAt(kConverterBaud);

} // namespace pravenor::sim
