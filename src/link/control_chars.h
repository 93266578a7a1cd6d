#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pravenor::link {

// How a received byte reads in the log: "[STX]" for control bytes, "[RUBOUT]" for 127, the
// byte itself otherwise.
std::string ControlCharName(int byte);

// A text as it may safely be shown anywhere, a terminal included: control bytes, 127 and the
// five bytes Windows-1252 leaves undefined (C1 controls once decoded) in brackets, every other
// byte as it is. A converter's text can then never drive the screen it is shown on.
std::string VisibleText(std::string_view text);

// The value of a hexadecimal digit at the start of a text: "0".."9", "A".."F", "a".."f";
// "-" gives 15; anything else, and the empty text, 0.
std::int16_t HexDigitValue(std::string_view text);

} // namespace pravenor::link
