#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pravenor::app {

// Where Pravenor.set, default.set, Log/ and Instellingen/ live.
struct ProgramFolderInputs
{
    std::optional<std::filesystem::path> homeArgument;    // --home DIR
    std::optional<std::filesystem::path> homeEnvironment; // PRAVENOR_HOME
    std::filesystem::path executableFolder;
    std::filesystem::path userDataFolder; // see DefaultUserDataFolder
};

// --home wins, then PRAVENOR_HOME; then the executable's own folder when it already holds a
// Pravenor.set, a default.set or an Instellingen folder (a copy carried around on a stick
// keeps working as before); else the per-user data folder.
std::filesystem::path ResolveProgramFolder(const ProgramFolderInputs& inputs);

// On Linux $XDG_DATA_HOME/Pravenor or ~/.local/share/Pravenor; on Windows
// %LOCALAPPDATA%\Pravenor.
std::filesystem::path DefaultUserDataFolder();

// The folder holding the running executable (argv0 as a fall-back).
std::filesystem::path ExecutableFolder(const char* argv0);

// Reads "--home DIR" or "--home=DIR" from the arguments.
std::optional<std::filesystem::path> HomeArgument(const std::vector<std::string>& args);

// The inputs as this process sees them.
ProgramFolderInputs CurrentProgramFolderInputs(const std::vector<std::string>& args,
                                               const char* argv0);

// Creates the folder (and its parents) when missing; false when that fails.
bool EnsureFolder(const std::filesystem::path& folder);

} // namespace pravenor::app
