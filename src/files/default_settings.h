#pragma once

#include "files/file_result.h"
#include "settings/control_sync.h"

#include <filesystem>

namespace pravenor::files {

inline constexpr const char* kDefaultSettingsFileName = "default.set";

// Loads default.set from the program folder into FileValues and WorkValues, shows it and
// forgets every value read from the converter. A missing file gives 0 for every choice and
// empty texts, without a word; a number that cannot be held is taken as 0 and named in a
// warning line.
FileResult ReadDefaultSettings(const std::filesystem::path& programFolder,
                               settings::ControlSync& sync);

// Writes what is on screen to default.set in the program folder; the old file is replaced
// only once the new one is complete.
FileResult WriteDefaultSettings(const std::filesystem::path& programFolder,
                                settings::ControlSync& sync);

} // namespace pravenor::files
