#include "app/cp1252.h"
#include "app/regular_file.h"
#include "files/unit_data_file.h"
#include "settings/catalogue.h"
#include "support/as_ordinary_user.h"
#include "support/comma_locale.h"
#include "support/file_size_limit.h"
#include "test_screen.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pravenor::files {
namespace {

using settings::SettingValue;
using test::GoldenFile;
using test::ReadBytes;
using test::Screen;
using test::TempFolder;
using test::WriteBytes;

void ExpectNoReport(const FileResult& result)
{
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "");
    EXPECT_TRUE(result.warnings.empty());
}

void ExpectConverterValuesForgotten(const Screen& screen)
{
    for (const SettingValue& value : screen.stores.UnitValues)
        EXPECT_EQ(value, SettingValue::Number(-1));
}

// Loads hand-written content into a fresh file and returns what the load reported.
FileResult LoadContent(const TempFolder& folder, Screen& screen, const std::string& content)
{
    WriteBytes(folder / "unit.cfg", content);
    return LoadSettingsFile(folder / "unit.cfg", screen.sync);
}

TEST(LoadSettingsFile, ShowsHandWrittenFile)
{
    Screen screen;
    screen.stores.UnitValues.fill(SettingValue::Number(2));

    ExpectNoReport(LoadSettingsFile(GoldenFile("unit.cfg"), screen.sync));

    Screen expected;
    expected.set(test::GoldenChoices(), test::GoldenTexts());
    expected.takeIntoFileValues();
    test::ExpectSameSettings(screen, expected);
    EXPECT_EQ(screen.stores.WorkValues, screen.stores.FileValues);
    ExpectConverterValuesForgotten(screen);
}

TEST(SaveSettingsFile, WritesHandWrittenFileByteForByte)
{
    TempFolder folder;
    Screen screen;
    screen.set(test::GoldenChoices(), test::GoldenTexts());

    ExpectNoReport(SaveSettingsFile(folder / "saved.cfg", screen.sync));

    EXPECT_EQ(ReadBytes(folder / "saved.cfg"), ReadBytes(GoldenFile("unit.cfg")));
    EXPECT_EQ(screen.stores.FileValues[44], SettingValue::Number(150));
    EXPECT_EQ(screen.stores.WorkValues[116], SettingValue::Text("Caf\xE9 storing"));
}

// Engineers name folders after their sites, in their own letters, some beyond Windows-1252.
TEST(SaveSettingsFile, PathsWithLettersBeyondAsciiSaveReplaceAndLoad)
{
    TempFolder folder;
    const std::filesystem::path site = folder.path() / std::filesystem::path(u8"Zürich Ελλάδα");
    std::filesystem::create_directory(site);
    const std::filesystem::path file = site / std::filesystem::path(u8"Straße Ωμέγα.cfg");
    Screen screen;
    screen.set(test::GoldenChoices(), test::GoldenTexts());

    ExpectNoReport(SaveSettingsFile(file, screen.sync));
    ExpectNoReport(SaveSettingsFile(file, screen.sync)); // over the file it made

    EXPECT_EQ(ReadBytes(file), ReadBytes(GoldenFile("unit.cfg")));
    Screen loaded;
    ExpectNoReport(LoadSettingsFile(file, loaded.sync));
    test::ExpectSameSettings(loaded, screen);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(site), {}), 1);
}

TEST(SaveSettingsFile, EverySettingComesBackWhenLoaded)
{
    TempFolder folder;
    Screen saved;
    std::map<int, int> choices;
    for (int item = 0; item <= settings::kLastChoiceItem; ++item) {
        if (const int count = saved.board.choiceEntryCount(item); count > 0)
            choices[item] = (item * 7 + 3) % count;
    }
    std::map<int, std::string> texts;
    for (int item = settings::kFirstTextItem; item <= settings::kLastTextItem; ++item)
        texts[item] = " " + std::to_string(item) + ", \"q\" -> '\t' end ";
    std::string high;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        high += static_cast<char>(byte);
    texts[102] = high.substr(0, 64);
    texts[103] = high.substr(64);
    saved.set(choices, texts);

    ASSERT_TRUE(SaveSettingsFile(folder / "unit.cfg", saved.sync).ok);
    Screen loaded;
    // The tabs load as they are; only the warning that such texts are never sent is reported.
    const FileResult result = LoadSettingsFile(folder / "unit.cfg", loaded.sync);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.warnings, std::vector<std::string>{result.message});
    EXPECT_NE(result.message.find("holds control characters"), std::string::npos);

    test::ExpectSameSettings(loaded, saved);
    EXPECT_EQ(loaded.stores.WorkValues, loaded.stores.FileValues);
    ExpectConverterValuesForgotten(loaded);
}

TEST(LoadSettingsFile, TextsWithControlBytesLoadWithAWarningNamingThem)
{
    TempFolder folder;
    Screen screen;
    const FileResult result = LoadContent(folder, screen,
                                          "100    ->1\x1e"
                                          "2\x1fHACKED\r\n101    ->Hall\r\n108    ->\x1b[2J\r\n");
    EXPECT_TRUE(result.ok);
    const std::string warning =
        "The text of setting 100, 108 in " + app::PathText(folder / "unit.cfg") +
        " holds control characters. It is loaded, but it is never written to the converter.";
    EXPECT_EQ(result.message, warning);
    EXPECT_EQ(result.warnings, std::vector<std::string>{warning});
    EXPECT_EQ(screen.board.text(0), "1\x1e"
                                    "2\x1fHACKED");
    EXPECT_EQ(screen.board.text(1), "Hall");
}

TEST(LoadSettingsFile, ReadsLinesByTheirNumberAndCarriesValues)
{
    TempFolder folder;
    Screen screen;
    ExpectNoReport(LoadContent(folder, screen,
                               "10    ->1\r\n"
                               "0    ->2\r\n"
                               "10    ->4\r\n" // a later line wins
                               "9    ->1\r\n"
                               "11\r\n" // no arrow: the value of the line before
                               "  101    ->Hall\r\n"
                               "102\r\n"
                               "100    ->first\r\n"
                               "100    ->second, \"-> third\" \r\n"
                               "13    ->7\r\n" // beyond its list: shown as the first entry
                               "92    ->5\r\n"
                               "298    ->x\r\n"));

    EXPECT_EQ(screen.board.chosenPosition(0), 2);
    EXPECT_EQ(screen.board.chosenPosition(10), 4);
    EXPECT_EQ(screen.board.chosenPosition(11), 1);
    EXPECT_EQ(screen.board.text(1), "Hall");
    EXPECT_EQ(screen.board.text(2), "Hall");
    EXPECT_EQ(screen.board.text(0), "second, \"-> third\" ");
    EXPECT_EQ(screen.board.chosenPosition(13), 0);
    EXPECT_EQ(screen.stores.FileValues[13], SettingValue::Number(7));
    EXPECT_EQ(screen.stores.WorkValues[13], SettingValue::Number(0));
    EXPECT_TRUE(screen.stores.FileValues[92].isEmpty());
}

TEST(LoadSettingsFile, KeepsFractionsUntilShownOrSaved)
{
    TempFolder folder;
    Screen screen;
    ExpectNoReport(LoadContent(folder, screen, "44    ->2.5\r\n45    ->3.5\r\n"));

    EXPECT_EQ(screen.stores.FileValues[44], SettingValue::Number(2.5));
    EXPECT_EQ(screen.board.chosenPosition(44), 2);
    EXPECT_EQ(screen.board.chosenPosition(45), 4);

    ASSERT_TRUE(SaveSettingsFile(folder / "again.cfg", screen.sync).ok);
    const std::string saved = ReadBytes(folder / "again.cfg");
    EXPECT_NE(saved.find("\r\n44    ->2\r\n45    ->4\r\n"), std::string::npos);
}

TEST(LoadSettingsFile, DecimalPointIsAPointUnderACommaLocale)
{
    const pravenor::test::CommaLocale locale;
    PRAVENOR_REQUIRE_COMMA_LOCALE(locale);
    TempFolder folder;
    Screen screen;
    ExpectNoReport(LoadContent(folder, screen, "10    ->2.6\r\n44    ->150.5\r\n"));

    EXPECT_EQ(screen.board.chosenPosition(10), 3);
    ASSERT_TRUE(SaveSettingsFile(folder / "again.cfg", screen.sync).ok);
    EXPECT_NE(ReadBytes(folder / "again.cfg").find("\r\n10    ->3\r\n"), std::string::npos);
    EXPECT_NE(ReadBytes(folder / "again.cfg").find("\r\n44    ->150\r\n"), std::string::npos);
}

TEST(LoadSettingsFile, PartialFileClearsWhatItDoesNotMention)
{
    TempFolder folder;
    Screen screen;
    ASSERT_TRUE(LoadSettingsFile(GoldenFile("unit.cfg"), screen.sync).ok);
    screen.stores.UnitValues.fill(SettingValue::Text("3"));

    ExpectNoReport(LoadContent(folder, screen, "0    ->1\r\n"));

    for (int item = 0; item <= settings::kLastChoiceItem; ++item) {
        EXPECT_EQ(screen.stores.FileValues[item], SettingValue::Number(item == 0 ? 1 : 0)) << item;
        if (screen.board.choiceVisible(item)) {
            EXPECT_EQ(screen.board.chosenPosition(item), item == 0 ? 1 : 0) << item;
        }
    }
    for (int box = 0; box < settings::kTextBoxCount; ++box)
        EXPECT_EQ(screen.board.text(box), "") << box;
    ExpectConverterValuesForgotten(screen);
}

TEST(SaveSettingsFile, WritesHiddenSettingsAsZero)
{
    TempFolder folder;
    Screen screen;
    ExpectNoReport(
        LoadContent(folder, screen, "1    ->5\r\n5    ->3\r\n7    ->9\r\n18    ->2\r\n"));
    EXPECT_EQ(screen.stores.WorkValues[5], SettingValue::Number(3));
    EXPECT_EQ(screen.board.chosenPosition(5), -1);

    ASSERT_TRUE(SaveSettingsFile(folder / "saved.cfg", screen.sync).ok);

    const std::string saved = ReadBytes(folder / "saved.cfg");
    for (const char* line :
         {"\r\n1    ->0\r\n", "\r\n5    ->0\r\n", "\r\n7    ->0\r\n", "\r\n18    ->0\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line;
}

TEST(SaveSettingsFile, WritesLineBreakAsBlankAndWarns)
{
    TempFolder folder;
    Screen screen;
    screen.set({}, {{105, "Line one\r\nline two"}, {140, "A\nB"}});

    const FileResult result = SaveSettingsFile(folder / "unit.cfg", screen.sync);

    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(result.warnings,
              (std::vector<std::string>{"Setting 105: line break saved as a blank.",
                                        "Setting 140: line break saved as a blank."}));
    EXPECT_EQ(screen.stores.FileValues[105], SettingValue::Text("Line one\r\nline two"));
    Screen loaded;
    ExpectNoReport(LoadSettingsFile(folder / "unit.cfg", loaded.sync));
    EXPECT_EQ(loaded.board.text(5), "Line one line two");
    EXPECT_EQ(loaded.board.text(40), "A B");
    EXPECT_EQ(loaded.board.text(6), "") << "the line after a broken text";
}

TEST(SaveSettingsFile, FailedSaveLeavesOldFileAsItWas)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit per process; WriteFileReplacing's Windows test "
                    "holds the file open instead";
#else
    TempFolder folder;
    Screen screen;
    screen.set(test::GoldenChoices(), {});
    const auto path = folder / "unit.cfg";
    WriteBytes(path, "old content\r\n");
    FileResult result;
    {
        // The new file cannot grow to its full size, whoever runs the test.
        const pravenor::test::FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        result = SaveSettingsFile(path, screen.sync);
    }

    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(path.string()), std::string::npos) << result.message;
    EXPECT_FALSE(result.critical);
    EXPECT_FALSE(result.warnings.empty());
    EXPECT_EQ(ReadBytes(path), "old content\r\n");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"unit.cfg"});
#endif
}

TEST(SaveSettingsFile, FailsWhereItsFolderIsAFile)
{
    TempFolder folder;
    Screen screen;
    WriteBytes(folder / "blocker", "x");

    const FileResult result = SaveSettingsFile(folder / "blocker" / "unit.cfg", screen.sync);

    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message, "");
    EXPECT_EQ(ReadBytes(folder / "blocker"), "x");
}

TEST(SaveSettingsFile, FailsInReadOnlyFolderAndKeepsOldReadOnlyFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "a read-only attribute on a Windows folder does not keep files out";
#else
    TempFolder folder;
    Screen screen;
    WriteBytes(folder / "unit.cfg", "old content\r\n");
    std::filesystem::permissions(folder / "unit.cfg", std::filesystem::perms::owner_read);
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_exec |
                                                    std::filesystem::perms::others_read |
                                                    std::filesystem::perms::others_exec);

    pravenor::test::AsOrdinaryUser([&] {
        const FileResult result = SaveSettingsFile(folder / "unit.cfg", screen.sync);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message, "");
    });
    EXPECT_EQ(ReadBytes(folder / "unit.cfg"), "old content\r\n");
#endif
}

TEST(SaveSettingsFile, WritesInPlaceWithAWarningWhereOnlyTheFileIsWritable)
{
#ifdef _WIN32
    GTEST_SKIP() << "a read-only attribute on a Windows folder does not keep files out";
#else
    TempFolder folder;
    Screen screen;
    WriteBytes(folder / "unit.cfg", "old content\r\n");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown((folder / "unit.cfg").c_str(), pravenor::test::NobodyUid(),
                          pravenor::test::NobodyGid()),
                  0);
    }
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);

    pravenor::test::AsOrdinaryUser([&] {
        const FileResult result = SaveSettingsFile(folder / "unit.cfg", screen.sync);
        EXPECT_TRUE(result.ok);
        ASSERT_EQ(result.warnings.size(), 1u);
        EXPECT_EQ(
            result.warnings[0],
            "Saved " + app::PathText(folder / "unit.cfg") +
                " in place: its folder allows no temporary file, so this save was not crash-safe.");
    });
    EXPECT_NE(ReadBytes(folder / "unit.cfg").find("\r\n147    ->\r\n"), std::string::npos);
#endif
}

// The stores and controls after the golden file was loaded and a converter value was read.
void PrepareLoadedScreen(Screen& screen)
{
    ASSERT_TRUE(LoadSettingsFile(GoldenFile("unit.cfg"), screen.sync).ok);
    screen.stores.UnitValues.fill(SettingValue::Number(1));
}

void ExpectUnchanged(const Screen& screen, const Screen& before)
{
    EXPECT_EQ(screen.stores.FileValues, before.stores.FileValues);
    EXPECT_EQ(screen.stores.WorkValues, before.stores.WorkValues);
    EXPECT_EQ(screen.stores.UnitValues, before.stores.UnitValues);
    test::ExpectSameSettings(screen, before);
}

TEST(LoadSettingsFile, FileThatCannotBeOpenedChangesNothing)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs or /dev/zero, and links need administrator rights";
#else
    TempFolder folder;
    std::filesystem::create_directory(folder / "folder.cfg");
    ASSERT_EQ(::mkfifo((folder / "fifo.cfg").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder / "zero.cfg");
    for (const char* name : {"missing.cfg", "folder.cfg", "fifo.cfg", "zero.cfg"}) {
        Screen screen, before;
        PrepareLoadedScreen(screen);
        PrepareLoadedScreen(before);

        const FileResult result = LoadSettingsFile(folder / name, screen.sync);

        EXPECT_FALSE(result.ok) << name;
        EXPECT_NE(result.message.find(name), std::string::npos) << result.message;
        EXPECT_FALSE(result.critical) << name;
        ExpectUnchanged(screen, before);
    }
#endif
}

TEST(LoadSettingsFile, FileOverTheSizeLimitIsNamedAndChangesNothing)
{
    TempFolder folder;
    WriteBytes(folder / "huge.cfg", "0    ->1\r\n");
    std::filesystem::resize_file(folder / "huge.cfg", app::kMaxFileBytes + 1);
    Screen screen, before;
    PrepareLoadedScreen(screen);
    PrepareLoadedScreen(before);

    const FileResult result = LoadSettingsFile(folder / "huge.cfg", screen.sync);

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message,
              "The settings file " + app::PathText(folder / "huge.cfg") +
                  " is larger than 16 MiB and cannot be used. No setting has been changed.");
    ExpectUnchanged(screen, before);
}

TEST(LoadSettingsFile, UnreadableFileChangesNothing)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no POSIX mode that makes them unreadable";
#else
    TempFolder folder;
    WriteBytes(folder / "locked.cfg", "0    ->1\r\n");
    std::filesystem::permissions(folder / "locked.cfg", std::filesystem::perms::none);
    Screen screen, before;
    PrepareLoadedScreen(screen);
    PrepareLoadedScreen(before);

    pravenor::test::AsOrdinaryUser([&] {
        EXPECT_FALSE(LoadSettingsFile(folder / "locked.cfg", screen.sync).ok);
        ExpectUnchanged(screen, before);
    });
#endif
}

TEST(LoadSettingsFile, UnusableNumberStopsTheLoadThere)
{
    TempFolder folder;
    Screen screen, before;
    PrepareLoadedScreen(screen);
    PrepareLoadedScreen(before);

    const FileResult result = LoadContent(folder, screen,
                                          "0    ->1\r\n13    ->" + std::string(400, '9') +
                                              "\r\n14    ->2\r\n100    ->new\r\n");

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Fout bij verwerken instellingen-file");
    EXPECT_EQ(result.title, "Pravenor van Quilmar");
    EXPECT_TRUE(result.critical);
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings[0].find("Setting 13"), std::string::npos) << result.warnings[0];
    // Items before the failing one are taken over, the rest stays as it was.
    EXPECT_EQ(screen.stores.FileValues[0], SettingValue::Number(1));
    EXPECT_EQ(screen.stores.FileValues[10], SettingValue::Number(0));
    EXPECT_EQ(screen.stores.FileValues[13], before.stores.FileValues[13]);
    EXPECT_EQ(screen.stores.FileValues[14], before.stores.FileValues[14]);
    EXPECT_EQ(screen.stores.FileValues[100], SettingValue::Text("Main entrance"));
    EXPECT_EQ(screen.stores.WorkValues, before.stores.WorkValues);
    EXPECT_EQ(screen.stores.UnitValues, before.stores.UnitValues);
    EXPECT_EQ(screen.board.chosenPosition(0), 2);
}

TEST(UnitDataFile, EmptyPathDoesNothing)
{
    Screen screen, before;
    PrepareLoadedScreen(screen);
    PrepareLoadedScreen(before);
    screen.set({{0, 1}}, {{100, "edited"}});
    before.set({{0, 1}}, {{100, "edited"}});

    ExpectNoReport(SaveSettingsFile({}, screen.sync));
    ExpectNoReport(LoadSettingsFile({}, screen.sync));

    ExpectUnchanged(screen, before);
    EXPECT_EQ(screen.board.chosenPosition(0), 1);
}

} // namespace
} // namespace pravenor::files
