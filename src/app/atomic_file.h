#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pravenor::app {

struct SaveResult
{
    bool ok = true;
    std::string error;   // what went wrong, for a message box and a log line
    std::string warning; // a saved file that deserves a log line all the same
};

// Replaces the file at path with content without ever leaving it half written: the bytes go
// to a temporary file in the same folder, which is then renamed over the old file. A failed
// save leaves the old file as it was. When the folder is not found the save is tried once
// more (a network folder may come back), as the program always did.
//
// A symbolic link is followed: the file it points to is replaced and the link stays. The new
// file takes the old one's permissions and, where the system allows, its owner. Leftovers of
// earlier saves to the same file whose process has gone are removed. Where the folder allows
// no temporary file but the file itself may be written, it is written in place, and the
// warning says that this save was not crash-safe.
SaveResult WriteFileReplacing(const std::filesystem::path& path, std::string_view content);

// The temporary file of a save: path + ".saving-" + process id + "-" + a counter.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& path);

} // namespace pravenor::app
