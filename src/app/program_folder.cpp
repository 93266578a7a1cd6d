#include "app/program_folder.h"

#include "app/program_config.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pravenor::app {

namespace {

std::optional<std::filesystem::path> environmentPath(const char* name)
{
#ifdef _WIN32
    // The wide environment: the narrow one holds the ANSI code page, in which a user name
    // such as "Jiří" or "Ελένη" has no spelling.
    const std::filesystem::path wideName(name);
    const wchar_t* value = _wgetenv(wideName.c_str());
    if (value == nullptr || *value == L'\0')
        return std::nullopt;
#else
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
#endif
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
#elif defined(_WIN32)
    // Started from a shortcut or the Explorer, argv[0] may be a bare name; the module's own
    // path is always whole. A path longer than the buffer is cut off, and then not used.
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > 0 && length < buffer.size()) {
        buffer.resize(length);
        return std::filesystem::path(buffer).parent_path();
    }
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
