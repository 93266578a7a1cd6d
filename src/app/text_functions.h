#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pravenor::app {

// Decimal text without a leading blank: 5 -> "5", -1 -> "-1".
std::string NumToStr(long long n);

// Decimal text with a sign position, a blank for zero and positive numbers: 1 -> " 1".
// Several log lines of the converter link quote port numbers this way.
std::string SignedNumText(long long n);

// Upper-case hexadecimal without leading zeros; negative numbers give their 16-bit
// two's complement (-1 -> "FFFF").
std::string HexText(std::int16_t n);

// The decimal number at the start of a text, leading blanks and tabs skipped:
// optional sign, digits, optional fraction and exponent. 0 when the text does not start
// with a number. A number too large for a double reads as infinity.
double LeadingNumber(std::string_view text);

// Nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// RoundHalfEven, then checked against the signed 16-bit range; nothing when it does not fit
// or the value is not finite.
std::optional<std::int16_t> ToWhole16(double value);

// The lines of a text, each ended by CR LF, CR or LF (the end itself left out); a last line
// without an end is a line, an end at the very end starts none.
std::vector<std::string_view> SplitLines(std::string_view text);

// Whether a text holds a byte 0x00..0x1F. Those are the converter's frame delimiters (SOH,
// field start and end among them): a text holding one would be read as frame structure.
bool HoldsControlBytes(std::string_view text);

} // namespace pravenor::app
