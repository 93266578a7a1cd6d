#include "app/text_functions.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace pravenor::app {

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size())
            pos += text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
    }
    return lines;
}

// Numbers go into files and frames through to_chars, which no locale can change.
std::string NumToStr(long long n)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, result.ptr);
}

std::string SignedNumText(long long n)
{
    return n < 0 ? NumToStr(n) : " " + NumToStr(n);
}

std::string HexText(std::int16_t n)
{
    char buffer[8];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer,
                                      static_cast<unsigned>(static_cast<std::uint16_t>(n)), 16);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// What strtod gives where from_chars reports a number out of range: infinity of the sign
// when the number is too large, zero of the sign when it is too small. The order of
// magnitude is enough to tell them apart; only numbers hundreds of powers of ten away from 1
// get here.
double beyondRange(std::string_view mantissa, std::string_view exponent)
{
    const bool negative = !mantissa.empty() && mantissa.front() == '-';
    long magnitude = 0;
    bool seenDigit = false;
    bool inFraction = false;
    long zerosAfterPoint = 0;
    long integerDigits = 0;
    for (const char c : mantissa) {
        if (c == '.') {
            inFraction = true;
        } else if (isDigit(c)) {
            if (!inFraction) {
                if (c != '0' || seenDigit) {
                    seenDigit = true;
                    ++integerDigits;
                }
            } else if (!seenDigit) {
                if (c == '0') {
                    ++zerosAfterPoint;
                } else {
                    seenDigit = true;
                    magnitude = -(zerosAfterPoint + 1);
                }
            }
        }
    }
    if (integerDigits > 0)
        magnitude = integerDigits - 1;
    long power = 0;
    bool negativePower = false;
    for (const char c : exponent) {
        if (c == '-')
            negativePower = true;
        else if (isDigit(c) && power < 1'000'000) // the 'e' and a '+' are passed over
            power = power * 10 + (c - '0');
    }
    const bool tooLarge = magnitude + (negativePower ? -power : power) > 0;
    const double result = tooLarge ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -result : result;
}

// Locale-free: strtod would follow LC_NUMERIC, and a window program takes the user's
// locale, where "2.6" may read as 2. The text is a number by the rules above.
double readNumber(std::string_view mantissa, std::string_view exponent)
{
    std::string number(mantissa.substr(!mantissa.empty() && mantissa.front() == '+' ? 1 : 0));
    number += exponent;
    double value = 0.0;
    const auto [ptr, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range)
        return beyondRange(mantissa, exponent);
    return error == std::errc() ? value : 0.0;
}

} // namespace

double LeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            end = j;
        }
    }
    return readNumber(text.substr(start, i - start), text.substr(i, end - i));
}

double RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5)
        return floor;
    if (fraction > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::optional<std::int16_t> ToWhole16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double whole = RoundHalfEven(value);
    if (whole < -32768.0 || whole > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(whole);
}

bool HoldsControlBytes(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20)
            return true;
    }
    return false;
}

} // namespace pravenor::app
