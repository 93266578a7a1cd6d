#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace pravenor::ui {

// The core's texts are Windows-1252 bytes; widgets hold QStrings. This is where they meet.
QString FromCp1252(std::string_view bytes);
// A character that Windows-1252 cannot hold becomes '?'.
std::string ToCp1252(const QString& text);

} // namespace pravenor::ui
