#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pravenor::app {

struct SaveResult
{
    bool ok = true;
    std::string error; // what went wrong, for a message box and a log line
};

// Replaces the file at path with content without ever leaving it half written: the bytes go
// to a temporary file in the same folder, which is then renamed over the old file. A failed
// save leaves the old file as it was. When the folder is not found the save is tried once
// more (a network folder may come back), as the program always did.
SaveResult WriteFileReplacing(const std::filesystem::path& path, std::string_view content);

} // namespace pravenor::app
