// What the window does with its command line: it starts, whatever it is given, unless asked
// for its help or version.
#include "program/start_program.h"
#include "ui/window_command_line.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pravenor::ui {
namespace {

TEST(WindowCommandLine, AnyCommandLineStartsTheWindowAndUnknownWordsAreNoted)
{
    const struct
    {
        std::vector<std::string> args;
        int level;
        bool demo;
        const char* device;
        const char* err;
    } rows[] = {
        {{"xx/DEBUGyy"}, 2, false, "", ""},
        {{"/debug"}, 0, false, "", "pravenor: unknown argument /debug passed over\n"},
        {{"/LOGFILE"}, 1, false, "", ""},
        {{"/LOG", "--demo", "/DEBUG"}, 2, true, "", ""},
        {{"--port", "/dev/ttyUSB0", "-x", "site"},
         0,
         false,
         "/dev/ttyUSB0",
         "pravenor: unknown argument -x passed over\npravenor: unknown argument site passed "
         "over\n"},
        {{"--demo", "--port", "/dev/ttyS0"},
         0,
         true,
         "",
         "pravenor: --demo uses the simulated converter; --port /dev/ttyS0 is passed over\n"},
        {{"/LOG", "--port"}, 1, false, "", "pravenor: --port needs a value; passed over\n"},
        // Qt's own options are Qt's, with their values.
        {{"-style", "fusion", "-reverse", "--stylesheet=dark.qss", "-platform", "xcb", "--demo"},
         0,
         true,
         "",
         ""},
    };
    for (const auto& row : rows) {
        const std::string shown = ::testing::PrintToString(row.args);
        const WindowCommandLine read = ReadWindowCommandLine(row.args, "1.0");
        EXPECT_FALSE(read.exitStatus.has_value()) << shown;
        EXPECT_EQ(static_cast<int>(program::DebugLevelFor(read.options.commandLine)), row.level)
            << shown;
        EXPECT_EQ(read.options.demo, row.demo) << shown;
        EXPECT_EQ(read.options.device, row.device) << shown;
        EXPECT_EQ(read.err, row.err) << shown;
        EXPECT_EQ(read.out, "") << shown;
    }
}

TEST(WindowCommandLine, HelpAndVersionAnswerAndEnd)
{
    const WindowCommandLine help = ReadWindowCommandLine({"/DEBUG", "--help"}, "1.0");
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("usage: pravenor [options]\n", 0), 0u);
    EXPECT_NE(help.out.find("--port DEVICE"), std::string::npos);

    const WindowCommandLine version = ReadWindowCommandLine({"whatever", "--version"}, "1.0");
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "pravenor 1.0\n");
    EXPECT_EQ(version.err, "");

    const WindowCommandLine home = ReadWindowCommandLine({"--home", "/srv/pravenor"}, "1.0");
    ASSERT_TRUE(home.options.home.has_value());
    EXPECT_EQ(*home.options.home, "/srv/pravenor");
}

} // namespace
} // namespace pravenor::ui
