#include "link/tls_trust.h"

#include <cctype>
#include <string_view>

namespace pravenor::link {

std::string PinDigits(const std::string& pin)
{
    constexpr std::string_view kPrefix = "SHA256:";
    if (pin.size() < kPrefix.size())
        return {};
    for (std::size_t i = 0; i < kPrefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(pin[i])) != kPrefix[i])
            return {};
    }
    std::string digits;
    for (std::size_t i = kPrefix.size(); i < pin.size(); ++i) {
        const auto c = static_cast<unsigned char>(pin[i]);
        if (c == ':')
            continue;
        if (!std::isxdigit(c))
            return {};
        digits += static_cast<char>(std::toupper(c));
    }
    return digits.size() == 64 ? digits : std::string();
}

} // namespace pravenor::link
