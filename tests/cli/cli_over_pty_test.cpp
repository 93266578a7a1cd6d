// The tool against pravenor-sim on a pseudo-terminal, on the real 25 ms ticks.
#include "cli_run.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pravenor::test {
namespace {

using namespace std::chrono_literals;

TEST_F(CliOverPty, ReadSavesTheConvertersSettingsInTheSettingsFileFormat)
{
    startSimulator({});
    const CliRun run = cli({"-q", "read", "-o", Q(folder / "read.cfg")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string file = TempFolder::read(folder / "read.cfg");
    EXPECT_TRUE(file.starts_with("0    ->0\r\n1    ->0\r\n2    ->0\r\n")) << file;
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 140);
    for (const char* line : {"\r\n9    ->1\r\n", "\r\n10    ->2\r\n", "\r\n60    ->12\r\n",
                             "\r\n100    ->Hall door\r\n", "\r\n101    ->\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
    EXPECT_TRUE(file.ends_with("\r\n147    ->\r\n")) << file;
}

TEST_F(CliOverPty, DiffListsEachDifferingSettingWithItsLegendAndBothValues)
{
    startSimulator({});
    // The converter holds the four loaded settings and zeros and empty texts elsewhere, as a
    // file that lacks a line says too.
    TempFolder::write(
        folder / "site.cfg",
        "9    ->1\r\n10    ->3\r\n60    ->12\r\n100    ->Hall door\r\n108    ->Fire!\r\n");
    // At the fast pace: reading over the terminal at the standard pace is the test above.
    const CliRun run = cli({"-q", "--fast", "diff", Q(folder / "site.cfg")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "10 Paging serial speed: unit \"4800 baud\", file \"9600 baud\"\n"
                       "108 Input 1, Alarm, Text at alarm: unit \"\", file \"Fire!\"\n");
}

TEST_F(CliOverPty, SetTakesAChoiceByItsText)
{
    startSimulator({});
    const CliRun set = cli({"set", "10=19200 baud"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_NE(set.err.find("Writing [Item: 10 Value:  19200 baud -> SAVED."), std::string::npos)
        << set.err;
    const CliRun get = cli({"get", "10"});
    EXPECT_EQ(get.out, "10=19200 baud\n") << get.err;
}

TEST_F(CliOverPty, AValueThatFitsNoChoiceIsRefusedBeforeAnythingIsSent)
{
    startSimulator({});
    const CliRun set = cli({"set", "60=3", "10=9600 Baud"});
    EXPECT_EQ(set.status, 2);
    EXPECT_NE(set.err.find("\"9600 Baud\" is no choice of setting 10 (Paging serial speed:)"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "Log")) << "the run went as far as the log";
    const CliRun get = cli({"get", "10", "60"});
    EXPECT_EQ(get.out, "10=4800 baud\n60=BleepCode: C\n") << get.err;
}

TEST_F(CliOverPty, APortHeldByAnotherProgramIsSaidWithItsProcessAndEndsWithStatusThree)
{
    startSimulator({});
    // This test process plays the other program, holding the converter under the link's name.
    const int held = ::open((folder / "converter").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const CliRun run = cli({"get", "10"});
    ::close(held);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("the port is in use by another program (process " +
                           std::to_string(::getpid()) + ")"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("dialout"), std::string::npos) << run.err;
}

TEST_F(CliOverPty, AConvertersTextIsShownWithItsControlBytesInBrackets)
{
    // A converter may hold anything; here it is given through the simulator's file.
    TempFolder::write(folder / "unit.cfg",
                      std::string(kUnit).append("101    ->\x1b[2JGone\x07\r\n"));
    simulator = std::make_unique<SimProcess>(
        QStringList{"--link", Q(folder / "converter"), "--load", Q(folder / "unit.cfg")});
    ASSERT_TRUE(simulator->ready());
    const CliRun get = cli({"get", "101"});
    EXPECT_EQ(get.out, "101=[ESC][2JGone[BEL]\n") << get.err;
    EXPECT_EQ(get.err.find('\x1b'), std::string::npos);
    const CliRun json = cli({"--json", "get", "101"});
    EXPECT_NE(json.out.find("\"value\": \"[ESC][2JGone[BEL]\""), std::string::npos) << json.out;
}

} // namespace
} // namespace pravenor::test
