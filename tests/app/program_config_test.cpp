#include "app/cp1252.h"
#include "app/program_config.h"
#include "app/regular_file.h"
#include "support/as_ordinary_user.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <string>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifndef PRAVENOR_APP_GOLDEN_DIR
#error "PRAVENOR_APP_GOLDEN_DIR must name tests/app/golden"
#endif

namespace pravenor::app {
namespace {

using test::TempFolder;

const std::filesystem::path kGolden =
    std::filesystem::path(PRAVENOR_APP_GOLDEN_DIR) / "Pravenor.set";

ProgramConfig exampleConfig()
{
    ProgramConfig config;
    config.ComPortIndex = 2; // COM3
    config.LogLevel = 2;
    config.SetPath = "D:\\Data";
    config.UnitType = 3;
    return config;
}

void expectConfig(const ProgramConfig& c, int port, int log, const std::string& path, int unit)
{
    EXPECT_EQ(c.ComPortIndex, port);
    EXPECT_EQ(c.LogLevel, log);
    EXPECT_EQ(c.SetPath, path);
    EXPECT_EQ(c.UnitType, unit);
}

ProgramConfig readText(const TempFolder& folder, const std::string& text)
{
    TempFolder::write(folder / ProgramConfig::kFileName, text);
    ProgramConfig config;
    config.ReadProgramConfig(folder / ProgramConfig::kFileName);
    return config;
}

TEST(ProgramConfig, WritesTheExampleFileByteForByte)
{
    const TempFolder folder;
    const std::string golden = TempFolder::read(kGolden);
    ASSERT_EQ(golden.size(), 92u) << "golden file missing or its line ends were converted";

    const SaveResult saved = exampleConfig().WriteProgramConfig(folder / "Pravenor.set");
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(TempFolder::read(folder / "Pravenor.set"), golden);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Pravenor.set"});
}

TEST(ProgramConfig, ReadsTheExampleFile)
{
    ProgramConfig config;
    config.ReadProgramConfig(kGolden);
    expectConfig(config, 2, 2, "D:\\Data", 3);
}

TEST(ProgramConfig, SetPathSurvivesARoundTripUnchanged)
{
    const TempFolder folder;
    for (const std::string path :
         {"C:\\Units, old", "\"D:\\My Data\"", "   leading blanks", "trailing blanks  ", "E:\\a->b",
          "\\\\server\\share\\\xE9t\xE9", ""}) {
        ProgramConfig written = exampleConfig();
        written.SetPath = path;
        ASSERT_TRUE(written.WriteProgramConfig(folder / "Pravenor.set").ok);
        ProgramConfig read;
        read.ReadProgramConfig(folder / "Pravenor.set");
        expectConfig(read, 2, 2, path, 3);
    }
}

TEST(ProgramConfig, LinesAreFoundByTheirNumbersAlone)
{
    const TempFolder folder;
    expectConfig(readText(folder, "3 anything ->7\r\n2       SetPath ->\r\n0 port->4\r\n"
                                  "0 again ->5\r\n1\r\n"),
                 5, 5, "", 7);
    // Blanks before a number are skipped; a fraction is rounded half to even.
    expectConfig(readText(folder, "0        Compoort ->2.5\r\n1      Logfile -> 3\r\n"), 2, 3, "",
                 0);
}

TEST(ProgramConfig, NumbersOutside16BitsAreRejected)
{
    const TempFolder folder;
    expectConfig(readText(folder, "0        Compoort ->99999\r\n1      Logfile ->-40000\r\n"
                                  "2       SetPath ->p\r\n3       UnitType ->32768\r\n"),
                 0, 0, "p", 0);
    expectConfig(readText(folder, "0        Compoort ->32767\r\n1      Logfile ->-32768\r\n"),
                 32767, -32768, "", 0);
}

TEST(ProgramConfig, MissingFileGivesDefaultsAndCreatesNothing)
{
    const TempFolder folder;
    ProgramConfig config;
    config.ReadProgramConfig(folder / "Pravenor.set");
    expectConfig(config, 0, 0, "", 0);
    EXPECT_TRUE(folder.names().empty());
}

TEST(ProgramConfig, UnusableFileGivesDefaultsAndIsNamedWithWhy)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs or /dev/zero, and links need administrator rights";
#else
    const TempFolder folder;
    std::filesystem::create_symlink("/dev/zero", folder / "zero.set");
    TempFolder::write(folder / "huge.set", "0        Compoort ->4\r\n");
    std::filesystem::resize_file(folder / "huge.set", kMaxFileBytes + 1);
    std::filesystem::create_directory(folder / "folder.set");
    ASSERT_EQ(::mkfifo((folder / "fifo.set").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder / "nothing", folder / "dangling.set");
    TempFolder::write(folder / "binary.set",
                      std::string("0        Compoort ->4\r\n\0\x01\x02", 26));
    const std::pair<const char*, const char*> rows[] = {
        {"zero.set", "it is not a regular file"},
        {"huge.set", "it is larger than 16 MiB"},
        {"folder.set", "it is a folder"},
        {"fifo.set", "it is not a regular file"},
        {"dangling.set", "it is a link to nothing"},
        {"binary.set", "it is not a text file"},
    };
    for (const auto& [name, why] : rows) {
        ProgramConfig config;
        config.ComPortIndex = 7;
        const std::vector<std::string> warnings = config.ReadProgramConfig(folder / name);
        EXPECT_EQ(config.ComPortIndex, 0) << name;
        EXPECT_EQ(warnings,
                  std::vector<std::string>{PathText(folder / name) + " cannot be used (" + why +
                                           "); the program starts with its defaults."});
    }
#endif
}

TEST(ProgramConfig, SaveReplacesTheWholeOldFile)
{
    const TempFolder folder;
    TempFolder::write(folder / "Pravenor.set", "0 ->9\r\n7 extra ->kept?\r\n8 ->more\r\n");
    ASSERT_TRUE(exampleConfig().WriteProgramConfig(folder / "Pravenor.set").ok);
    EXPECT_EQ(TempFolder::read(folder / "Pravenor.set"), TempFolder::read(kGolden));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Pravenor.set"});
}

TEST(ProgramConfig, SaveIntoARegularFileInsteadOfAFolderFails)
{
    const TempFolder folder;
    TempFolder::write(folder / "notafolder", "data");
    const SaveResult saved =
        exampleConfig().WriteProgramConfig(folder / "notafolder" / "Pravenor.set");
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.error.find("Pravenor.set"), std::string::npos) << saved.error;
    EXPECT_EQ(TempFolder::read(folder / "notafolder"), "data");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"notafolder"});
}

TEST(ProgramConfig, FailedSaveLeavesTheOldFileIntact)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit per process; WriteFileReplacing's Windows test "
                    "holds the file open instead";
#else
    const TempFolder folder;
    const std::string old = "0        Compoort ->0\r\n";
    TempFolder::write(folder / "Pravenor.set", old);
    ProgramConfig config = exampleConfig();
    config.SetPath = std::string(200, 'x');
    SaveResult saved;
    {
        const test::FileSizeLimit limit(40);
        ASSERT_TRUE(limit.active());
        saved = config.WriteProgramConfig(folder / "Pravenor.set");
    }
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.error.empty());
    EXPECT_EQ(TempFolder::read(folder / "Pravenor.set"), old);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"Pravenor.set"});
#endif
}

TEST(ProgramConfig, SaveIntoAReadOnlyFolderLeavesTheOldReadOnlyFileIntact)
{
#ifdef _WIN32
    GTEST_SKIP() << "a read-only attribute on a Windows folder does not keep files out";
#else
    const TempFolder folder;
    const std::string old = "0        Compoort ->0\r\n";
    TempFolder::write(folder / "Pravenor.set", old);
    // Neither the folder nor the file may be written (a writable file would be saved in place).
    std::filesystem::permissions(folder / "Pravenor.set", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    test::AsOrdinaryUser([&] {
        const SaveResult saved = exampleConfig().WriteProgramConfig(folder / "Pravenor.set");
        EXPECT_FALSE(saved.ok);
        EXPECT_FALSE(saved.error.empty());
    });
    EXPECT_EQ(TempFolder::read(folder / "Pravenor.set"), old);
#endif
}

} // namespace
} // namespace pravenor::app
