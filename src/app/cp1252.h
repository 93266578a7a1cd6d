#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pravenor::app {

// Texts inside the program are Windows-1252 bytes: settings files written on Windows load
// unchanged and every character is one byte on the serial line. These two functions are the
// only place where that meets Unicode (the window and the log file).
//
// Every byte maps to a character; the five bytes that Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control characters of the same code, as
// Windows itself does, so that any byte string survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

// Characters that Windows-1252 cannot hold become '?'; so does each malformed UTF-8
// sequence.
std::string Utf8ToCp1252(std::string_view utf8);

// One character each way, for callers that hold Unicode code points (the window's edge).
char32_t Cp1252ToCodePoint(unsigned char byte);
// -1 when the code point has no Windows-1252 byte.
int CodePointToCp1252(char32_t codePoint);

// A path as Windows-1252 text, for messages and log lines.
std::string PathText(const std::filesystem::path& path);

} // namespace pravenor::app
