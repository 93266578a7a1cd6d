#include "app/program_folder.h"

#include "app/program_config.h"

#include <cstdlib>
#include <system_error>

namespace pravenor::app {

namespace {

std::optional<std::filesystem::path> environmentPath(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::filesystem::path(value);
}

// Where to go when the environment names no home at all (a service account, say).
std::filesystem::path fallbackFolder()
{
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    return (error ? std::filesystem::path(".") : temp) / "Pravenor";
}

// A copy unpacked with its default.set or its Instellingen folder, but never started yet,
// is as much a program folder as one that has saved its configuration.
bool holdsProgramFiles(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_regular_file(folder / ProgramConfig::kFileName, error) ||
           std::filesystem::is_regular_file(folder / "default.set", error) ||
           std::filesystem::is_directory(folder / "Instellingen", error);
}

} // namespace

std::filesystem::path ResolveProgramFolder(const ProgramFolderInputs& inputs)
{
    if (inputs.homeArgument && !inputs.homeArgument->empty())
        return *inputs.homeArgument;
    if (inputs.homeEnvironment && !inputs.homeEnvironment->empty())
        return *inputs.homeEnvironment;
    if (!inputs.executableFolder.empty() && holdsProgramFiles(inputs.executableFolder))
        return inputs.executableFolder;
    return inputs.userDataFolder;
}

std::filesystem::path DefaultUserDataFolder()
{
#ifdef _WIN32
    if (auto local = environmentPath("LOCALAPPDATA"))
        return *local / "Pravenor";
    return fallbackFolder();
#else
    if (auto xdg = environmentPath("XDG_DATA_HOME"))
        return *xdg / "Pravenor";
    if (auto home = environmentPath("HOME"))
        return *home / ".local" / "share" / "Pravenor";
    return fallbackFolder();
#endif
}

std::filesystem::path ExecutableFolder(const char* argv0)
{
    std::error_code error;
#ifdef __linux__
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && !self.empty())
        return self.parent_path();
#endif
    if (argv0 == nullptr || *argv0 == '\0')
        return {};
    const std::filesystem::path absolute = std::filesystem::absolute(argv0, error);
    return error ? std::filesystem::path() : absolute.parent_path();
}

std::optional<std::filesystem::path> HomeArgument(const std::vector<std::string>& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--home" && i + 1 < args.size())
            return std::filesystem::path(args[i + 1]);
        if (args[i].rfind("--home=", 0) == 0)
            return std::filesystem::path(args[i].substr(7));
    }
    return std::nullopt;
}

ProgramFolderInputs CurrentProgramFolderInputs(const std::vector<std::string>& args,
                                               const char* argv0)
{
    return {HomeArgument(args), environmentPath("PRAVENOR_HOME"), ExecutableFolder(argv0),
            DefaultUserDataFolder()};
}

bool EnsureFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    std::filesystem::create_directories(folder, error);
    return !error && std::filesystem::is_directory(folder, error);
}

} // namespace pravenor::app
