#pragma once

#include <optional>
#include <string>

namespace pravenor::sim {

// The fields of the last pager call the converter accepted, as they came over the line.
struct PagerCall
{
    std::string bufferPosition;             // field "A"
    std::string address;                    // field "1"
    std::optional<std::string> displayText; // field "2", absent when the host left it out
    std::string bleepCode;                  // field "3", hexadecimal text

    bool operator==(const PagerCall&) const = default;
};

} // namespace pravenor::sim
