#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The request frames the program sends, built without a port: SOH, LEN (the bytes after
// SOH, LEN and checksum included), body, and a checksum that makes all bytes sum to 0
// modulo 256. The byte layer only puts them on the line.
namespace pravenor::link {

using Frame = std::vector<std::uint8_t>;

Frame ReadRequestFrame(int item);
// `value` is what stands between the value tag and the field end: one byte for a choice,
// the characters of a text (at most 243, so that LEN fits its byte).
Frame WriteFrame(int item, std::string_view value);
Frame RestartFrame();
// The first half of a pager call: where the converter will keep the call.
Frame BufferPositionFrame();
// The most of a pager's address and of its display text that a call carries.
constexpr std::size_t kPagerAddressLength = 10;
constexpr std::size_t kPagerDisplayLength = 40;

// The fields of a pager call: "A" the buffer position, "1" the address (kPagerAddressLength
// characters at most), "2" the display text (kPagerDisplayLength at most, left out when
// empty), "3" the bleep code in hexadecimal; each as tag, 0x1F, text, 0x1E.
std::string PagerCallText(int bufferPosition, std::string_view address,
                          std::string_view displayInfo, int bleepPosition);
Frame PagerCallFrame(std::string_view callText);

} // namespace pravenor::link
