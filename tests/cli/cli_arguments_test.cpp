// What the command line is taken to mean, and what is refused before any port is opened.
#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/json_text.h"
#include "cli/setting_argument.h"

#include <gtest/gtest.h>
#include <sstream>

namespace pravenor::cli {
namespace {

using settings::SettingValue;

struct ValueRow
{
    const char* argument;
    int item;            // -1: refused
    SettingValue value;  // when taken
    const char* refusal; // part of the reason when refused
};

// Rows print as their arguments, not as bytes.
void PrintTo(const ValueRow& row, std::ostream* os)
{
    *os << row.argument;
}

class SettingValues : public ::testing::TestWithParam<ValueRow>
{
};

TEST_P(SettingValues, AreTakenByPositionOrExactTextAndOtherwiseRefused)
{
    const ValueRow& row = GetParam();
    const ParsedSetting parsed = ParseSettingArgument(row.argument);
    if (row.item < 0) {
        EXPECT_NE(parsed.error.find(row.refusal), std::string::npos) << parsed.error;
        return;
    }
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.setting.item, row.item);
    EXPECT_EQ(parsed.setting.value, row.value);
}

const std::string kLongText(101, 'x');
const std::string kTooLongText = "100=" + kLongText;

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingValues,
    ::testing::Values(
        ValueRow{"10=4800 baud", 10, SettingValue::Number(2), ""},
        ValueRow{"10=2", 10, SettingValue::Number(2), ""},
        ValueRow{"10=0", 10, SettingValue::Number(0), ""},
        ValueRow{"0=Debug info", 0, SettingValue::Number(2), ""},
        ValueRow{"44=1500 seconds", 44, SettingValue::Number(150), ""},
        ValueRow{"52=1 minutes", 52, SettingValue::Number(1), ""},
        ValueRow{"91=BleepCode: F", 91, SettingValue::Number(15), ""},
        ValueRow{"100=Hall door", 100, SettingValue::Text("Hall door"), ""},
        ValueRow{"100=", 100, SettingValue::Text(""), ""},
        ValueRow{"108=a=b", 108, SettingValue::Text("a=b"), ""},
        ValueRow{"124=Caf\xc3\xa9", 124, SettingValue::Text("Caf\xe9"), ""},
        ValueRow{"147=1234567890", 147, SettingValue::Text("1234567890"), ""},
        ValueRow{"10=5", -1, {}, "\"5\" is no choice of setting 10 (Paging serial speed:)"},
        ValueRow{"10=4800", -1, {}, "is no choice"},
        ValueRow{"44=2000 seconds", -1, {}, "  4  40 seconds\n  ... 146 more; 44=? lists all 151"},
        ValueRow{"44=?", -1, {}, "  150  1500 seconds"},
        ValueRow{"10=4800 Baud", -1, {}, "is no choice"}, ValueRow{"10=-1", -1, {}, "is no choice"},
        ValueRow{"10=+2", -1, {}, "is no choice"}, ValueRow{"10= 2", -1, {}, "is no choice"},
        ValueRow{"147=12345678901", -1, {}, "has 11 characters; it takes at most 10"},
        ValueRow{kTooLongText.c_str(), -1, {}, "it takes at most 100"},
        ValueRow{"100=\xce\xa9", -1, {}, "(Windows-1252) cannot carry"},
        ValueRow{"100=A\x1e"
                 "B",
                 -1,
                 {},
                 "holds control characters"},
        ValueRow{"5=1", -1, {}, "setting 5 is not one the program shows"},
        ValueRow{"92=0", -1, {}, "setting 92 is not one the program shows"},
        ValueRow{"251=0", -1, {}, "\"251\" is no setting number"},
        ValueRow{"x=1", -1, {}, "\"x\" is no setting number"},
        ValueRow{"10", -1, {}, "\"10\" is not ITEM=VALUE"}));

TEST(SettingValueRefusal, ListsEveryValidChoiceWithItsPosition)
{
    const std::string error = ParseSettingArgument("10=9600").error;
    EXPECT_NE(
        error.find(
            ":\n  0  1200 baud\n  1  2400 baud\n  2  4800 baud\n  3  9600 baud\n  4  19200 baud"),
        std::string::npos)
        << error;
}

TEST(ReadableItems, AreTheExchangedOnes)
{
    EXPECT_EQ(ParseReadableItem("5").item, 5);
    EXPECT_EQ(ParseReadableItem("147").item, 147);
    EXPECT_EQ(ParseReadableItem("7").error, "setting 7 is not exchanged with the converter");
    EXPECT_EQ(ParseReadableItem("250").error, "setting 250 is not exchanged with the converter");
    EXPECT_EQ(ParseReadableItem("251").error, "\"251\" is no setting number (0 to 250)");
    EXPECT_EQ(ParseReadableItem("1e1").error, "\"1e1\" is no setting number (0 to 250)");
}

TEST(BleepCodes, AreOneHexadecimalDigitOrTheChoiceText)
{
    EXPECT_EQ(ParseBleepCode("0"), 0);
    EXPECT_EQ(ParseBleepCode("9"), 9);
    EXPECT_EQ(ParseBleepCode("A"), 10);
    EXPECT_EQ(ParseBleepCode("f"), 15);
    EXPECT_EQ(ParseBleepCode("BleepCode: C"), 12);
    EXPECT_EQ(ParseBleepCode("G"), std::nullopt);
    EXPECT_EQ(ParseBleepCode("10"), std::nullopt);
    EXPECT_EQ(ParseBleepCode(""), std::nullopt);
}

struct UsageRow
{
    std::vector<std::string> args;
    const char* error; // empty: accepted
};

void PrintTo(const UsageRow& row, std::ostream* os)
{
    for (const std::string& arg : row.args)
        *os << arg << ' ';
}

class Usage : public ::testing::TestWithParam<UsageRow>
{
};

TEST_P(Usage, IsCheckedBeforeAnythingRuns)
{
    const CliOptions options = ParseCliOptions(GetParam().args);
    if (*GetParam().error == '\0')
        EXPECT_EQ(options.error, "");
    else
        EXPECT_NE(options.error.find(GetParam().error), std::string::npos) << options.error;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Usage,
    ::testing::Values(
        UsageRow{{"read", "-o", "a.cfg", "b.cfg"}, "read takes one file"},
        UsageRow{{"write"}, "write needs one settings file"},
        UsageRow{{"diff", "a.cfg", "b.cfg"}, "diff needs one settings file"},
        UsageRow{{"get"}, "get needs at least one setting number"},
        UsageRow{{"set", "10=9"}, "is no choice of setting 10"},
        UsageRow{{"page", "--address", "1234"}, "page needs --address and --bleep"},
        UsageRow{{"page", "--address", "12345678901", "--bleep", "A"}, "--address takes 1 to 10"},
        UsageRow{{"page", "--address", "1", "--bleep", "G"}, "--bleep takes"},
        UsageRow{{"restart", "now"}, "restart takes no arguments"},
        UsageRow{{"report", "a.cfg"}, "report needs -o OUT.pdf or -o OUT.html"},
        UsageRow{{"report", "-o", "r.txt"}, "report writes OUT.pdf or OUT.html"},
        UsageRow{{"report", "a.cfg", "b.cfg", "-o", "r.pdf"}, "report takes at most one"},
        UsageRow{{"read", "--site", "Plant room"}, "--site and --engineer belong to report"},
        UsageRow{{"get", "10", "-o", "r.pdf"}, "-o belongs to read and report"},
        UsageRow{{"report", "-o", "R.HTM", "--engineer", "J. Smit"}, ""},
        UsageRow{{"get", "10", "--verify"}, "--verify belongs to write"},
        UsageRow{{"get", "10", "--lenient"}, "--lenient belongs to write"},
        UsageRow{{"read", "--no-backup"}, "--no-backup belongs to write, set and restore"},
        UsageRow{{"history", "a.cfg"}, "history takes no arguments"},
        UsageRow{{"restore", "a.cfg", "b.cfg"}, "restore takes at most one snapshot file"},
        UsageRow{{"restore", "--verify", "--no-backup"}, ""},
        UsageRow{{"restart", "--json"}, "--json belongs to read, diff and get"},
        UsageRow{{"--port-wait", "-1", "get", "10"}, "--port-wait takes whole seconds"},
        UsageRow{{"--port", "/dev/x", "--com", "2", "restart"}, "give --port or --com, not both"},
        UsageRow{{"--port", "tcp://plant-room", "read"},
                 "--port tcp://plant-room: write the address as HOST:PORT"},
        UsageRow{{"--port", "rfc2217://[fd00::20]:7000", "read"}, ""},
        UsageRow{{"fleet", "read", "sites.txt"}, "fleet read needs one sites file and -o FOLDER"},
        UsageRow{{"fleet", "diff", "sites.txt"}, "fleet diff needs a sites file and the folder"},
        UsageRow{{"fleet", "check", "sites.txt"}, "fleet takes read, diff or write"},
        UsageRow{{"--port", "/dev/x", "fleet", "read", "s", "-o", "d"}, "not from --port"},
        UsageRow{{"read", "--only", "a"}, "--only and --jobs belong to fleet"},
        UsageRow{{"fleet", "--jobs", "0", "read", "s", "-o", "d"}, "--jobs takes a number"},
        UsageRow{{"fleet", "--only", ",", "diff", "s", "d"}, "--only takes the names"},
        UsageRow{{"fleet", "read", "s", "-o", "d", "--verify"}, "--verify belongs to write"},
        UsageRow{{"fleet", "write", "s", "d", "--verify", "--json", "--only=a,b", "-q"}, ""},
        UsageRow{{"--timeout", "0", "read"}, "--timeout takes whole seconds from 1"},
        UsageRow{{"--port", "tcp://[[fd00]:41", "read"}, "the address has no usable host name"},
        UsageRow{{"--port", "tcp://a\x1b[2Jb:41", "read"}, "--port tcp://a[ESC][2Jb:41: the"},
        UsageRow{{"--pin", "SHA256:12ab", "read"}, "write SHA256: and the certificate's 64"},
        UsageRow{{"--cert", "me.pem", "read"}, "--cert and --key go together"},
        UsageRow{{"--port", "tcp+tls://plant:7443", "--pin", "sha256:" + std::string(64, 'a'),
                  "--cert", "me.pem", "--key", "me.key", "--ca", "ca.pem", "read"},
                 ""},
        UsageRow{{"frobnicate"}, "unknown command frobnicate"},
        UsageRow{{"--frob", "read"}, "unknown option --frob"},
        UsageRow{{"get", "10", "--com"}, "--com needs a value"},
        UsageRow{{"--verify=yes", "write", "a.cfg"}, "unknown option --verify=yes"},
        UsageRow{{"/DEBUG", "restart", "/LOG"}, ""}, UsageRow{{"set", "--", "100=-x-"}, ""},
        UsageRow{{"page", "--text", "-", "--address", "1", "--bleep", "BleepCode: 3"}, ""}));

TEST(Options, WithoutAPortTheSimulatedConverterIsUsed)
{
    EXPECT_TRUE(ParseCliOptions({"get", "10"}).common.demo);
    EXPECT_FALSE(ParseCliOptions({"--port", "/dev/x", "get", "10"}).common.demo);
    EXPECT_EQ(ParseCliOptions({"--com", "3", "get", "10"}).comNumber, 3);
}

TEST(Options, FleetTakesItsSitesFolderUnitsAndJobs)
{
    const CliOptions write =
        ParseCliOptions({"fleet", "write", "s.txt", "out", "--only", "a,b", "--jobs", "3"});
    EXPECT_EQ(write.fleet.action, FleetAction::Write);
    EXPECT_EQ(write.fleet.sites, "s.txt");
    EXPECT_EQ(write.fleet.folder, "out");
    EXPECT_EQ(write.fleet.only, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(write.fleet.jobs, 3);
    EXPECT_FALSE(write.common.demo);
    EXPECT_EQ(ParseCliOptions({"fleet", "read", "s.txt", "-o", "out"}).fleet.folder, "out");
}

TEST(Options, FastIsOffUnlessAsked)
{
    EXPECT_FALSE(ParseCliOptions({"read"}).common.fast);
    EXPECT_TRUE(ParseCliOptions({"read", "--fast"}).common.fast);
    EXPECT_TRUE(ParseCliOptions({"--fast", "--demo", "read"}).common.fast);
}

TEST(Options, ArgumentsArePassedOnAsTheBytesGiven)
{
    EXPECT_EQ(ParseCliOptions({"read", "-o", "caf\xe9.cfg"}).file, "caf\xe9.cfg");
    EXPECT_EQ(ParseCliOptions({"--port", "/dev/\xff", "get", "10"}).common.device, "/dev/\xff");
}

TEST(Options, ReadKeepsItsFileWithOrWithoutDashO)
{
    EXPECT_EQ(ParseCliOptions({"read", "a.cfg"}).file, "a.cfg");
    EXPECT_EQ(ParseCliOptions({"read", "-o", "a.cfg"}).file, "a.cfg");
    EXPECT_EQ(ParseCliOptions({"--output=a.cfg", "read"}).file, "a.cfg");
}

TEST(JsonStrings, EscapeQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(JsonString("Hall door"), "\"Hall door\"");
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("\r\n\t"), "\"\\r\\n\\t\"");
    EXPECT_EQ(JsonString(std::string("\x01\x1f", 2)), "\"\\u0001\\u001f\"");
    EXPECT_EQ(JsonString("Caf\xc3\xa9"), "\"Caf\xc3\xa9\"");
}

TEST(ConsoleOutput, WithoutATerminalEveryFinishedProgressLineAndLogLineIsALine)
{
    std::ostringstream err;
    {
        Console console(err, false, false, 80);
        console.bar(0, 484, 10);
        console.progress("Read setting 10  ");
        console.logLine("12:00:00 Gelezen uit unit: 10");
        console.progress(" [Item: 10 Value: 4800 baud OK\r\n");
        console.progress("\r\nGeannuleerd!\r\nRead setting 11  ");
    }
    EXPECT_EQ(err.str(), "12:00:00 Gelezen uit unit: 10\n"
                         "Read setting 10   [Item: 10 Value: 4800 baud OK\n"
                         "Geannuleerd!\n"
                         "Read setting 11  \n");
}

TEST(ConsoleOutput, OnATerminalTheBarStaysBelowTheLogLinesAndIsErasedAtTheEnd)
{
    std::ostringstream err;
    {
        Console console(err, true, false, 80);
        console.bar(0, 100, 50);
        console.progress("Read setting 44  ");
        console.logLine("12:00:00 a log line");
    }
    const std::string bar = "[############............]  50%  Read setting 44  ";
    EXPECT_EQ(err.str(), "\r\033[K[############............]  50%\r\033[K" + bar +
                             "\r\033[K12:00:00 a log line\n\r\033[K" + bar + "\r\033[K");
}

TEST(ConsoleOutput, QuietShowsOnlyFailures)
{
    std::ostringstream err;
    {
        Console console(err, false, true, 80);
        console.progress("Read setting 10  OK\r\n");
        console.logLine("12:00:00 Comport closed by software.");
        console.failure("setting 10 could not be read");
    }
    EXPECT_EQ(err.str(), "pravenor-cli: setting 10 could not be read\n");
}

} // namespace
} // namespace pravenor::cli
