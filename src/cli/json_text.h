#pragma once

#include <string>
#include <string_view>

namespace pravenor::cli {

// A JSON string literal, quotes included, of UTF-8 text: quotes, backslashes and control
// characters escaped, everything else as it stands.
std::string JsonString(std::string_view utf8);

} // namespace pravenor::cli
