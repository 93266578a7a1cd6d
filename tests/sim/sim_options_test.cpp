#include "sim/tool/sim_command_line.h"

#include <chrono>
#include <gtest/gtest.h>

namespace pravenor::sim {
namespace {

using namespace std::chrono_literals;

TEST(SimOptions, EveryFaultOptionFillsItsPartOfThePlan)
{
    const FaultRepeat every = FaultRepeat::every();
    const struct
    {
        std::vector<std::string_view> args;
        FaultPlan expected;
    } cases[] = {
        {{"--no-answer"}, {.noAnswer = every}},
        {{"--no-answer=3"}, {.noAnswer = FaultRepeat::times(3)}},
        {{"--late=500"}, {.late = every, .lateBy = 500ms}},
        {{"--late=3500:2"}, {.late = FaultRepeat::times(2), .lateBy = 3500ms}},
        {{"--bad-checksum=1"}, {.badChecksum = FaultRepeat::times(1)}},
        {{"--nack"}, {.nack = every}},
        {{"--too-long=2"}, {.tooLong = FaultRepeat::times(2)}},
        {{"--short-reply=all"}, {.shortReply = every}},
        {{"--body-stops=4"}, {.bodyStops = FaultRepeat::times(4)}},
        {{"--chatter=1000"}, {.chatterEvery = 1000ms}},
        {{"--chatter=250:RING"}, {.chatterEvery = 250ms, .chatterText = "RING"}},
        {{"--noise=0.05:7"}, {.noiseRate = 0.05, .noiseSeed = 7}},
        {{"--noise=1"}, {.noiseRate = 1.0}},
        {{"--power-cut=3:10"}, {.powerCutFor = 3s, .powerCutAfter = 10s}},
        {{"--power-cut=0.5"}, {.powerCutFor = 500ms, .powerCutAfter = 5s}},
        {{"--nack=2", "--bad-checksum"}, {.badChecksum = every, .nack = FaultRepeat::times(2)}},
        {{"--deaf-after-reply=30"}, {.deafAfterReply = 30ms}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        const SimCommandLine parsed = parseSimOptions(c.args);
        EXPECT_EQ(parsed.error, "");
        EXPECT_FALSE(parsed.help);
        EXPECT_EQ(parsed.options.faults, c.expected);
    }
}

TEST(SimOptions, LinkLoadAndBufferPosition)
{
    const SimCommandLine parsed =
        parseSimOptions({"--link", "/tmp/conv", "--load=unit.cfg", "--buffer-position=X"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.linkPath, "/tmp/conv");
    EXPECT_EQ(parsed.options.loadFile, "unit.cfg");
    EXPECT_EQ(parsed.options.bufferPositionByte, std::optional<std::uint8_t>('X'));
    EXPECT_EQ(parsed.options.faults, FaultPlan{});

    EXPECT_EQ(parsed.options.baud, 9600);

    const SimCommandLine other =
        parseSimOptions({"--link=/dev/conv", "--load", "a b.cfg", "--baud=19200"});
    EXPECT_EQ(other.options.linkPath, "/dev/conv");
    EXPECT_EQ(other.options.loadFile, "a b.cfg");
    EXPECT_EQ(other.options.baud, 19200);
}

TEST(SimOptions, TcpTakesAPortWithAnOptionalHost)
{
    const SimOptions plain = parseSimOptions({"--tcp", "7000"}).options;
    EXPECT_EQ(plain.tcpPort, 7000);
    EXPECT_EQ(plain.tcpHost, "127.0.0.1");
    EXPECT_FALSE(plain.rfc2217);
    const SimOptions telnet = parseSimOptions({"--tcp=[::1]:0", "--rfc2217"}).options;
    EXPECT_EQ(telnet.tcpPort, 0);
    EXPECT_EQ(telnet.tcpHost, "::1");
    EXPECT_TRUE(telnet.rfc2217);
    EXPECT_EQ(parseSimOptions({"--count", "50", "--tcp=65486"}).options.count, 50);
}

TEST(SimOptions, NoArgumentsServeWithoutFaults)
{
    const SimCommandLine parsed = parseSimOptions({});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options, SimOptions{});
}

TEST(SimOptions, HelpIsAsked)
{
    EXPECT_TRUE(parseSimOptions({"--help"}).help);
    EXPECT_TRUE(parseSimOptions({"--nack", "-h"}).help);
}

TEST(SimOptions, RejectsWhatItDoesNotUnderstand)
{
    const std::vector<std::vector<std::string_view>> cases = {
        {"--nack=0"},
        {"--nack=-1"},
        {"--nack=x"},
        {"--nack="},
        {"--late"},
        {"--late=abc"},
        {"--late=0"},
        {"--late=100:0"},
        {"--noise=1.5"},
        {"--noise=-0.1"},
        {"--noise=0.1:x"},
        {"--power-cut=0"},
        {"--power-cut=x"},
        {"--power-cut=2:-1"},
        {"--chatter=0"},
        {"--chatter"},
        {"--link"},
        {"--load="},
        {"--buffer-position=12"},
        {"--tcp=65536"},
        {"--tcp"},
        {"--rfc2217"},
        {"--rfc2217=yes", "--tcp=0"},
        {"--tcp=0", "--link=/tmp/conv"},
        {"--count=0"},
        {"--count=1001"},
        {"--count=2", "--link=/tmp/conv"},
        {"--count=10", "--tcp=65530"},
        {"--baud=0"},
        {"--baud"},
        {"--deaf-after-reply=0"},
        {"--deaf-after-reply"},
        {"--bogus"},
        {"unit.cfg"},
        {"-x"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.front());
        EXPECT_NE(parseSimOptions(args).error, "");
    }
}

TEST(SimOptions, HelpExplainsEveryOption)
{
    const std::string help = simHelpText();
    for (const char* option :
         {"--link", "--load", "--buffer-position", "--no-answer", "--late", "--bad-checksum",
          "--nack", "--too-long", "--short-reply", "--body-stops", "--chatter", "--noise",
          "--power-cut", "--baud", "--deaf-after-reply", "--tcp", "--rfc2217", "--count", "--help"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

} // namespace
} // namespace pravenor::sim
