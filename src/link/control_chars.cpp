#include "link/control_chars.h"

#include <array>

namespace pravenor::link {

namespace {

constexpr std::array<const char*, 32> kControlNames = {
    "[NULL]", "[SOH]", "[STX]", "[ETX]", "[EOT]", "[ENQ]",  "[ACK]", "[BEL]",
    "[BS]",   "[HT]",  "[LF]",  "[VT]",  "[FF]",  "[CR]",   "[SO]",  "[SI]",
    "[DLE]",  "[DC1]", "[DC2]", "[DC3]", "[DC4]", "[NACK]", "[SYN]", "[ETB]",
    "[CAN]",  "[EM]",  "[SUB]", "[ESC]", "[FS]",  "[GS]",   "[RS]",  "[US]",
};

} // namespace

std::string ControlCharName(int byte)
{
    if (byte >= 0 && byte < 32)
        return kControlNames[static_cast<std::size_t>(byte)];
    if (byte == 127)
        return "[RUBOUT]";
    return std::string(1, static_cast<char>(byte));
}

std::string VisibleText(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string visible;
    visible.reserve(text.size());
    for (const char c : text) {
        const int byte = static_cast<unsigned char>(c);
        if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D)
            visible += std::string("[") + kHex[byte >> 4] + kHex[byte & 15] + "]";
        else
            visible += ControlCharName(byte);
    }
    return visible;
}

std::int16_t HexDigitValue(std::string_view text)
{
    if (text.empty())
        return 0;
    const char c = text.front();
    if (c >= '0' && c <= '9')
        return static_cast<std::int16_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<std::int16_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<std::int16_t>(c - 'a' + 10);
    if (c == '-')
        return 15;
    return 0;
}

} // namespace pravenor::link
