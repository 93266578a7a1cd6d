#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace pravenor::sim::testing {

using Bytes = std::vector<std::uint8_t>;

// "01 09 1E" -> {0x01, 0x09, 0x1E}; golden frames are written this way in the tests.
inline Bytes hex(std::string_view text)
{
    Bytes bytes;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        bytes.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

// The other way round, upper case and one blank apart, so that a failing comparison of two
// frames shows both in the notation of the golden data.
inline std::string hexOf(const Bytes& bytes)
{
    std::string text;
    for (std::uint8_t byte : bytes) {
        char two[4];
        std::snprintf(two, sizeof two, text.empty() ? "%02X" : " %02X", byte);
        text += two;
    }
    return text;
}

} // namespace pravenor::sim::testing
