#include "app/program_folder.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace pravenor::app {
namespace {

using test::TempFolder;

// Sets an environment variable (a UTF-8 value) for one test and puts the old value back.
class EnvironmentVariable
{
public:
    EnvironmentVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        set(value);
    }
    ~EnvironmentVariable() { set(m_old ? m_old->c_str() : nullptr); }

private:
    void set(const char* value)
    {
#ifdef _WIN32
        // The wide environment, which the program reads there; an empty value removes it.
        const std::filesystem::path name(m_name);
        const std::filesystem::path text(
            std::u8string(value ? reinterpret_cast<const char8_t*>(value) : u8""));
        _wputenv_s(name.c_str(), text.c_str());
#else
        if (value)
            setenv(m_name, value, 1);
        else
            unsetenv(m_name);
#endif
    }

    const char* m_name;
    std::optional<std::string> m_old;
};

class ProgramFolderTest : public ::testing::Test
{
protected:
    ProgramFolderTest()
    {
        for (const char* name : {"home", "env", "exe", "user"})
            std::filesystem::create_directory(root / name);
        inputs = {root / "home", root / "env", root / "exe", root / "user"};
    }

    TempFolder root;
    ProgramFolderInputs inputs;
};

TEST_F(ProgramFolderTest, EachSourceWinsInItsTurn)
{
    TempFolder::write(root / "exe" / "Pravenor.set", "");
    EXPECT_EQ(ResolveProgramFolder(inputs), root / "home");
    inputs.homeArgument.reset();
    EXPECT_EQ(ResolveProgramFolder(inputs), root / "env");
    inputs.homeEnvironment = std::filesystem::path(); // PRAVENOR_HOME set but empty
    EXPECT_EQ(ResolveProgramFolder(inputs), root / "exe");
    std::filesystem::remove(root / "exe" / "Pravenor.set");
    EXPECT_EQ(ResolveProgramFolder(inputs), root / "user");
}

TEST_F(ProgramFolderTest, ExecutableFolderCountsWhenItHoldsAnyOfTheProgramsFiles)
{
    inputs.homeArgument.reset();
    inputs.homeEnvironment.reset();
    const struct
    {
        const char* name;
        bool folder;
        bool counts;
    } rows[] = {
        {"Pravenor.set", false, true}, {"default.set", false, true}, {"Instellingen", true, true},
        {"Pravenor.set", true, false}, {"default.set", true, false}, {"Instellingen", false, false},
        {"Log", true, false},
    };
    EXPECT_EQ(ResolveProgramFolder(inputs), root / "user");
    for (const auto& row : rows) {
        const std::filesystem::path entry = root / "exe" / row.name;
        if (row.folder)
            std::filesystem::create_directory(entry);
        else
            TempFolder::write(entry, "");
        EXPECT_EQ(ResolveProgramFolder(inputs), root / (row.counts ? "exe" : "user"))
            << row.name << (row.folder ? " as a folder" : " as a file");
        std::filesystem::remove(entry);
    }
}

TEST(HomeArgument, ReadsBothSpellings)
{
    using Args = std::vector<std::string>;
    EXPECT_EQ(HomeArgument(Args{"/LOG", "--home", "/srv/p"}), std::filesystem::path("/srv/p"));
    EXPECT_EQ(HomeArgument(Args{"--home=/srv/q", "/DEBUG"}), std::filesystem::path("/srv/q"));
    EXPECT_EQ(HomeArgument(Args{"--home", "dir with blanks"}),
              std::filesystem::path("dir with blanks"));
    EXPECT_EQ(HomeArgument(Args{}), std::nullopt);
    EXPECT_EQ(HomeArgument(Args{"/LOG", "/DEBUG"}), std::nullopt);
    EXPECT_EQ(HomeArgument(Args{"--home"}), std::nullopt); // no folder given
    EXPECT_EQ(HomeArgument(Args{"--homes", "x"}), std::nullopt);
}

TEST(DefaultUserDataFolder, XdgDataHomeThenHome)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows uses %LOCALAPPDATA%";
#else
    {
        const EnvironmentVariable xdg("XDG_DATA_HOME", "/tmp/xdg");
        EXPECT_EQ(DefaultUserDataFolder(), std::filesystem::path("/tmp/xdg/Pravenor"));
    }
    const EnvironmentVariable xdg("XDG_DATA_HOME", nullptr);
    const EnvironmentVariable home("HOME", "/home/engineer");
    EXPECT_EQ(DefaultUserDataFolder(),
              std::filesystem::path("/home/engineer/.local/share/Pravenor"));
#endif
}

#ifdef _WIN32
TEST(DefaultUserDataFolder, OnWindowsPravenorInLocalAppDataWhateverLettersItsPathHas)
{
    {
        const EnvironmentVariable local("LOCALAPPDATA", "C:\\Users\\Jiří Ελένη\\AppData\\Local");
        EXPECT_EQ(DefaultUserDataFolder(),
                  std::filesystem::path(u8"C:\\Users\\Jiří Ελένη\\AppData\\Local\\Pravenor"));
    }
    const EnvironmentVariable none("LOCALAPPDATA", nullptr);
    EXPECT_EQ(DefaultUserDataFolder(), std::filesystem::temp_directory_path() / "Pravenor");
}
#endif

TEST(CurrentProgramFolderInputs, TakesPravenorHomeFromTheEnvironment)
{
    {
        const EnvironmentVariable home("PRAVENOR_HOME", "/opt/pravenor");
        const ProgramFolderInputs inputs = CurrentProgramFolderInputs({"--home", "/a"}, nullptr);
        EXPECT_EQ(inputs.homeArgument, std::filesystem::path("/a"));
        EXPECT_EQ(inputs.homeEnvironment, std::filesystem::path("/opt/pravenor"));
    }
    const EnvironmentVariable home("PRAVENOR_HOME", "");
    EXPECT_EQ(CurrentProgramFolderInputs({}, nullptr).homeEnvironment, std::nullopt);
}

TEST(ExecutableFolder, IsTheFolderOfTheRunningProgram)
{
#ifdef _WIN32
    // Whatever argv[0] says: a program started from a shortcut may not be given its path.
    EXPECT_TRUE(std::filesystem::exists(ExecutableFolder("elsewhere.exe") / "app_test.exe"));
#else
    EXPECT_TRUE(std::filesystem::exists(ExecutableFolder(nullptr) / "app_test"));
#endif
}

TEST(EnsureFolder, CreatesMissingParentsAndFailsOnAFile)
{
    const TempFolder root;
    EXPECT_TRUE(EnsureFolder(root / "a" / "b"));
    EXPECT_TRUE(std::filesystem::is_directory(root / "a" / "b"));
    EXPECT_TRUE(EnsureFolder(root / "a")); // already there
    TempFolder::write(root / "file", "x");
    EXPECT_FALSE(EnsureFolder(root / "file"));
    EXPECT_FALSE(EnsureFolder(root / "file" / "sub"));
}

} // namespace
} // namespace pravenor::app
