#include "app/cp1252.h"
#include "app/regular_file.h"
#include "files/default_settings.h"
#include "files/unit_data_file.h"
#include "settings/catalogue.h"
#include "support/file_size_limit.h"
#include "test_screen.h"

#include <gtest/gtest.h>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace pravenor::files {
namespace {

using settings::SettingValue;
using test::ReadBytes;
using test::Screen;
using test::TempFolder;
using test::WriteBytes;

// A screen as the start-up leaves it before default.set is read.
void PrepareStartingScreen(Screen& screen)
{
    screen.stores.ForgetWorkValues();
}

TEST(WriteDefaultSettings, WritesTheUnitDataFormatAndReadsBack)
{
    TempFolder folder;
    Screen saved;
    saved.set(test::GoldenChoices(), test::GoldenTexts());

    const FileResult written = WriteDefaultSettings(folder.path(), saved.sync);

    EXPECT_TRUE(written.ok);
    EXPECT_EQ(written.message, "");
    EXPECT_EQ(ReadBytes(folder / "default.set"), ReadBytes(test::GoldenFile("unit.cfg")));

    Screen loaded;
    PrepareStartingScreen(loaded);
    const FileResult read = ReadDefaultSettings(folder.path(), loaded.sync);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.message, "");
    EXPECT_TRUE(read.warnings.empty());
    test::ExpectSameSettings(loaded, saved);
    for (const SettingValue& value : loaded.stores.UnitValues)
        EXPECT_EQ(value, SettingValue::Number(-1));
}

// Every shown choice at 0 except those given, every text empty except those given.
void ExpectShown(const Screen& screen, const std::map<int, int>& choices,
                 const std::map<int, std::string>& texts)
{
    for (int item = 0; item <= settings::kLastChoiceItem; ++item) {
        const int expected = choices.contains(item) ? choices.at(item) : 0;
        EXPECT_EQ(screen.stores.FileValues[item], SettingValue::Number(expected)) << item;
        if (screen.board.choiceVisible(item)) {
            EXPECT_EQ(screen.board.chosenPosition(item), expected) << item;
        }
    }
    for (int item = settings::kFirstTextItem; item <= settings::kLastTextItem; ++item) {
        const std::string expected = texts.contains(item) ? texts.at(item) : std::string();
        EXPECT_EQ(screen.stores.FileValues[item], SettingValue::Text(expected)) << item;
        EXPECT_EQ(screen.board.text(settings::TextBoxOf(item)), expected) << item;
    }
    for (const SettingValue& value : screen.stores.UnitValues)
        EXPECT_EQ(value, SettingValue::Number(-1));
}

TEST(ReadDefaultSettings, MissingFileGivesZerosAndEmptyTextsSilently)
{
    TempFolder folder;
    Screen screen;
    PrepareStartingScreen(screen);

    const FileResult result = ReadDefaultSettings(folder.path(), screen.sync);

    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "");
    EXPECT_TRUE(result.warnings.empty());
    ExpectShown(screen, {}, {});
    EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "reading created a file";
}

TEST(ReadDefaultSettings, PartialFileSetsTheRestToZeroAndEmpty)
{
    TempFolder folder;
    Screen screen;
    ASSERT_TRUE(LoadSettingsFile(test::GoldenFile("unit.cfg"), screen.sync).ok);
    WriteBytes(folder / "default.set", "10    ->2\r\n100    ->Door\r\n");

    EXPECT_TRUE(ReadDefaultSettings(folder.path(), screen.sync).ok);

    ExpectShown(screen, {{10, 2}}, {{100, "Door"}});
}

TEST(ReadDefaultSettings, UnusableNumberBecomesZeroAndIsNamed)
{
    TempFolder folder;
    Screen screen;
    PrepareStartingScreen(screen);
    WriteBytes(folder / "default.set",
               "9    ->1\r\n13    ->1e400\r\n14    ->2\r\n101    ->after\r\n");

    const FileResult result = ReadDefaultSettings(folder.path(), screen.sync);

    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(result.warnings,
              std::vector<std::string>{
                  "default.set, setting 13: the number cannot be used, 0 taken instead."});
    ExpectShown(screen, {{9, 1}, {14, 2}}, {{101, "after"}});
}

TEST(ReadDefaultSettings, FolderInPlaceOfTheFileGivesZerosAndAWarning)
{
    TempFolder folder;
    Screen screen;
    PrepareStartingScreen(screen);
    std::filesystem::create_directory(folder / "default.set");

    const FileResult result = ReadDefaultSettings(folder.path(), screen.sync);

    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(result.warnings.size(), 1u);
    ExpectShown(screen, {}, {});
}

TEST(ReadDefaultSettings, FifoOrOversizedFileGivesZerosAndAWarningNamingIt)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs in the file system";
#else
    const struct
    {
        bool fifo;
        std::string warning;
    } rows[] = {
        {true, " could not be read; every setting starts at 0 or empty."},
        {false, " is larger than 16 MiB and cannot be used; every setting starts at 0 or empty."}};
    for (const auto& row : rows) {
        TempFolder folder;
        Screen screen;
        PrepareStartingScreen(screen);
        if (row.fifo) {
            ASSERT_EQ(::mkfifo((folder / "default.set").c_str(), 0600), 0);
        } else {
            WriteBytes(folder / "default.set", "9    ->1\r\n");
            std::filesystem::resize_file(folder / "default.set", app::kMaxFileBytes + 1);
        }

        const FileResult result = ReadDefaultSettings(folder.path(), screen.sync);

        EXPECT_TRUE(result.ok);
        EXPECT_EQ(result.warnings,
                  std::vector<std::string>{app::PathText(folder / "default.set") + row.warning});
        ExpectShown(screen, {}, {});
    }
#endif
}

TEST(WriteDefaultSettings, FailedSaveLeavesOldFileAsItWas)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit per process; WriteFileReplacing's Windows test "
                    "holds the file open instead";
#else
    TempFolder folder;
    Screen screen;
    WriteBytes(folder / "default.set", "0    ->1\r\n");
    FileResult result;
    {
        // The new file cannot grow to its full size, whoever runs the test.
        const pravenor::test::FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        result = WriteDefaultSettings(folder.path(), screen.sync);
    }

    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("default.set"), std::string::npos) << result.message;
    EXPECT_EQ(ReadBytes(folder / "default.set"), "0    ->1\r\n");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"default.set"});

    const FileResult missingFolder = WriteDefaultSettings(folder / "no such folder", screen.sync);
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_NE(missingFolder.message, "");
#endif
}

} // namespace
} // namespace pravenor::files
