#include "app/text_functions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pravenor::app {

std::string NumToStr(long long n)
{
    return std::to_string(n);
}

std::string SignedNumText(long long n)
{
    return n < 0 ? std::to_string(n) : " " + std::to_string(n);
}

std::string HexText(std::int16_t n)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(static_cast<std::uint16_t>(n)));
    return buffer;
}

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
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
    const std::string number(text.substr(start, end - start));
    return std::strtod(number.c_str(), nullptr);
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

} // namespace pravenor::app
