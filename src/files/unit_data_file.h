#pragma once

#include "files/file_result.h"
#include "settings/control_sync.h"

#include <filesystem>

namespace pravenor::files {

// The message box of a unit-data file whose numbers cannot be taken over.
inline constexpr const char* kLoadFailedMessage = "Fout bij verwerken instellingen-file";
inline constexpr const char* kLoadFailedTitle = "Pravenor van Quilmar";

// Writes what is on screen to a unit-data file (*.cfg): the controls go into WorkValues and
// on into FileValues, and the file is replaced only once the new one is complete, so a failed
// save leaves the old file as it was. An empty path does nothing.
FileResult SaveSettingsFile(const std::filesystem::path& path, settings::ControlSync& sync);

// Reads a unit-data file into FileValues and WorkValues, shows it, and forgets every value
// read from the converter. A file that cannot be opened changes nothing and is reported; a
// number that cannot be held stops the load where it stands, with the program's own message
// box. An empty path does nothing.
FileResult LoadSettingsFile(const std::filesystem::path& path, settings::ControlSync& sync);

// A warning naming the text settings that hold control bytes (which the converter would read
// as frame structure, so they are never sent); ok, and nothing to say, when there are none.
FileResult ControlTextWarning(const std::filesystem::path& path,
                              const settings::ValueStores::Store& values);

} // namespace pravenor::files
