#include "app/cp1252.h"
#include "app/message_log.h"
#include "app/program_config.h"
#include "support/as_ordinary_user.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pravenor::app {
namespace {

using test::TempFolder;

class FixedClock final : public Clock
{
public:
    LocalTime time{2026, 12, 6, 14, 3, 7};
    LocalTime now() const override { return time; }
};

class MessageLogTest : public ::testing::Test
{
protected:
    MessageLogTest() { config.LogLevel = 2; }

    std::string logFile(const std::string& name) const
    {
        return TempFolder::read(folder / "Log" / name);
    }

    TempFolder folder;
    ProgramConfig config;
    FixedClock clock;
    MessageLog log{config, clock, folder.path()};
};

TEST_F(MessageLogTest, LineIsTimeOfDayBlankAndMessage)
{
    ASSERT_FALSE(std::filesystem::exists(folder / "Log")); // the first message creates it
    log.WriteLog("Comport closed by software.");
    clock.time = {2026, 12, 6, 9, 5, 3};
    log.WriteLog("");
    EXPECT_EQ(log.MessageLineCount(), 2);
    EXPECT_EQ(log.MessageLines()[0], "14:03:07 Comport closed by software.");
    EXPECT_EQ(log.MessageLines()[1], "09:05:03 ");
    EXPECT_EQ(log.MessageLines()[2], "");
    EXPECT_EQ(logFile("06122026.log"), "14:03:07 Comport closed by software.\r\n09:05:03 \r\n");
}

TEST_F(MessageLogTest, BufferKeepsTheLast25Lines)
{
    for (int i = 1; i <= 25; ++i)
        log.WriteLog("m" + std::to_string(i));
    EXPECT_EQ(log.MessageLineCount(), 25);
    EXPECT_EQ(log.MessageLines()[0], "14:03:07 m1");
    EXPECT_EQ(log.MessageLines()[24], "14:03:07 m25");

    log.WriteLog("m26");
    EXPECT_EQ(log.MessageLineCount(), 25);
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(log.MessageLines()[static_cast<std::size_t>(i)],
                  "14:03:07 m" + std::to_string(i + 2));

    log.ClearMessageLines();
    EXPECT_EQ(log.MessageLineCount(), 0);
    for (const std::string& line : log.MessageLines())
        EXPECT_EQ(line, "");
    log.WriteLog("again");
    EXPECT_EQ(log.MessageLines()[0], "14:03:07 again");
}

TEST_F(MessageLogTest, LogLevelZeroWritesNothingAnywhere)
{
    std::vector<std::string> echoed;
    log.setLineObserver([&](const std::string& line) { echoed.push_back(line); });
    config.LogLevel = 0;
    log.WriteLog("Comport opened.");
    EXPECT_EQ(log.MessageLineCount(), 0);
    EXPECT_TRUE(echoed.empty());
    EXPECT_TRUE(folder.names().empty()); // not even the Log folder

    // The level is looked at on every call; any value but 0 logs.
    config.LogLevel = -1;
    log.WriteLog("Comport opened.");
    EXPECT_EQ(log.MessageLineCount(), 1);
    EXPECT_EQ(echoed, std::vector<std::string>{"14:03:07 Comport opened."});
    EXPECT_EQ(logFile("06122026.log"), "14:03:07 Comport opened.\r\n");
}

TEST_F(MessageLogTest, FileIsNamedByDayMonthYear)
{
    const struct
    {
        LocalTime time;
        const char* name;
    } cases[] = {
        {{2026, 12, 6, 0, 0, 0}, "06122026.log"},
        {{2027, 1, 31, 23, 59, 59}, "31012027.log"},
        {{999, 2, 3, 12, 0, 0}, "03020999.log"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(log.LogFilePath(c.time), folder / "Log" / c.name);
}

TEST_F(MessageLogTest, DayChangeContinuesInTheNextDaysFile)
{
    clock.time = {2026, 12, 31, 23, 59, 59};
    log.WriteLog("old year");
    clock.time = {2027, 1, 1, 0, 0, 1};
    log.WriteLog("new year");
    EXPECT_EQ(logFile("31122026.log"), "23:59:59 old year\r\n");
    EXPECT_EQ(logFile("01012027.log"), "00:00:01 new year\r\n");
    EXPECT_EQ(log.MessageLineCount(), 2);
}

TEST_F(MessageLogTest, AppendsToAnExistingFile)
{
    std::filesystem::create_directory(folder / "Log");
    TempFolder::write(folder / "Log" / "06122026.log", "earlier run\r\n");
    log.WriteLog("later run");
    EXPECT_EQ(logFile("06122026.log"), "earlier run\r\n14:03:07 later run\r\n");
}

TEST_F(MessageLogTest, MessageWithLineBreakIsWrittenUnchanged)
{
    log.WriteLog("first\r\nsecond");
    EXPECT_EQ(log.MessageLineCount(), 1);
    EXPECT_EQ(log.MessageLines()[0], "14:03:07 first\r\nsecond");
    EXPECT_EQ(logFile("06122026.log"), "14:03:07 first\r\nsecond\r\n");
}

TEST_F(MessageLogTest, FileIsUtf8WhileTheBufferKeepsTheBytes)
{
    log.WriteLog("Caf\xE9 \x80 5");
    EXPECT_EQ(log.MessageLines()[0], "14:03:07 Caf\xE9 \x80 5");
    EXPECT_EQ(logFile("06122026.log"), "14:03:07 Caf\xC3\xA9 \xE2\x82\xAC 5\r\n");
}

TEST_F(MessageLogTest, UnwritableLogLosesTheLineFromTheFileOnly)
{
    TempFolder::write(folder / "Log", "not a folder");
    std::vector<std::string> notes;
    log.setFileFailureObserver([&](const std::string& note) { notes.push_back(note); });
    log.WriteLog("lost in the file");
    log.WriteLog("lost again");
    // Said once, in the message window and to the front end.
#ifdef _WIN32
    const std::string why = "No such file or directory"; // Windows: the path is not found
#else
    const std::string why = "Not a directory";
#endif
    const std::string note = "The day's log file " + PathText(folder / "Log" / "06122026.log") +
                             " cannot be written (" + why +
                             "): messages are not kept in a file until it can.";
    ASSERT_EQ(log.MessageLineCount(), 3);
    EXPECT_EQ(log.MessageLines()[0], "14:03:07 lost in the file");
    EXPECT_EQ(log.MessageLines()[1], "14:03:07 " + note);
    EXPECT_EQ(log.MessageLines()[2], "14:03:07 lost again");
    EXPECT_EQ(notes, std::vector<std::string>{note});
    EXPECT_EQ(TempFolder::read(folder / "Log"), "not a folder");

    // Said again only after the file could be written in between.
    std::filesystem::remove(folder / "Log");
    log.WriteLog("kept");
    EXPECT_EQ(logFile("06122026.log"), "14:03:07 kept\r\n");
    std::filesystem::remove_all(folder / "Log");
    TempFolder::write(folder / "Log", "not a folder");
    log.WriteLog("lost once more");
    EXPECT_EQ(notes.size(), 2u);
}

TEST_F(MessageLogTest, DayFileThatIsAFifoLosesTheLineFromTheFileOnly)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs in the file system";
#else
    std::filesystem::create_directory(folder / "Log");
    ASSERT_EQ(::mkfifo((folder / "Log" / "06122026.log").c_str(), 0600), 0);
    // Without a reader, opening it for writing would block for good; with one it is
    // still not a file to append to.
    const int reader = ::open((folder / "Log" / "06122026.log").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    log.WriteLog("with a reader");
    char byte = 0;
    EXPECT_EQ(::read(reader, &byte, 1), 0);
    ::close(reader);
    log.WriteLog("without a reader");
    EXPECT_EQ(log.MessageLineCount(), 3); // and the note that the file cannot be written
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "Log" / "06122026.log"));
#endif
}

TEST_F(MessageLogTest, ReadOnlyLogFolderLosesTheLineFromTheFileOnly)
{
#ifdef _WIN32
    GTEST_SKIP() << "a read-only attribute on a Windows folder does not keep files out";
#else
    std::filesystem::create_directory(folder / "Log");
    std::filesystem::permissions(folder / "Log", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    test::AsOrdinaryUser([&] {
        log.WriteLog("lost in the file");
        EXPECT_EQ(log.MessageLineCount(), 2); // and the note that the file cannot be written
    });
    EXPECT_FALSE(std::filesystem::exists(folder / "Log" / "06122026.log"));
#endif
}

TEST_F(MessageLogTest, OnlyTheLogFolderItselfIsCreated)
{
    // The program folder is missing too: creating Log alone cannot help.
    MessageLog elsewhere(config, clock, folder / "gone");
    elsewhere.WriteLog("nowhere");
    EXPECT_EQ(elsewhere.MessageLineCount(), 2); // and the note that the file cannot be written
    EXPECT_TRUE(folder.names().empty());
}

} // namespace
} // namespace pravenor::app
