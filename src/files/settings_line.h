#pragma once

#include "settings/setting_value.h"

#include <string>

namespace pravenor::files {

// One line of a settings file, CR LF included: the item number, "    ->" and the value.
// A choice item is written as a signed 16-bit whole number, a half rounded to the
// even neighbour; a value that is no such number is written as 0, the value the screen would
// show in its place. Any other item is written as its text, unquoted, except that each
// CR LF, lone CR and lone LF becomes one blank: a line break would split the setting over two
// lines and no reader could put it together again.
std::string SettingsLine(int item, const settings::SettingValue& value);

} // namespace pravenor::files
