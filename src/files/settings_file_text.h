#pragma once

#include "settings/value_stores.h"

#include <string>
#include <vector>

namespace pravenor::files {

// The whole of a settings file: one line per choice item, then one per text item.
struct SettingsFileText
{
    std::string content;
    // One line per setting that could not be written as it is held (a line break in a text,
    // a choice value that is no 16-bit whole number); the file is still complete.
    std::vector<std::string> warnings;
};

SettingsFileText BuildSettingsFileText(const settings::ValueStores::Store& fileValues);

} // namespace pravenor::files
