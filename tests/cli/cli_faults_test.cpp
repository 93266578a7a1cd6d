// Every fault pravenor-sim can play, against the tool over a pseudo-terminal: each run ends
// within its bound, with the exit status and the report a script and a person rely on.
#include "cli_run.h"

namespace pravenor::test {
namespace {

using namespace std::chrono_literals;

struct FaultRow
{
    const char* name;
    QStringList faults;  // pravenor-sim's options
    QStringList command; // "{site}" is a settings file that differs from the converter
    int status;
    const char* out;
    const char* err; // a piece of standard error
    std::chrono::seconds bound;
    QStringList check{}; // a second run afterwards, to see what the converter holds
    const char* checkOut = "";
};

// Rows print as their names, not as bytes.
void PrintTo(const FaultRow& row, std::ostream* os)
{
    *os << row.name;
}

class CliFaults : public CliOverPty, public ::testing::WithParamInterface<FaultRow>
{
};

TEST_P(CliFaults, EndInTimeWithTheExpectedStatusAndReport)
{
    const FaultRow& row = GetParam();
    TempFolder::write(folder / "site.cfg",
                      "9    ->1\r\n10    ->4\r\n60    ->12\r\n100    ->Back door\r\n");
    startSimulator(row.faults);
    QStringList command = row.command;
    command.replaceInStrings("{site}", Q(folder / "site.cfg"));
    const CliRun run = cli(command, row.bound);
    ASSERT_TRUE(run.ended) << "still running after " << row.bound.count() << " s\n" << run.err;
    EXPECT_EQ(run.status, row.status) << run.err;
    EXPECT_EQ(run.out, row.out);
    EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
    if (!row.check.isEmpty()) {
        const CliRun check = cli(row.check, 10s);
        EXPECT_EQ(check.out, row.checkOut) << check.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliFaults,
    ::testing::Values(
        FaultRow{"NoAnswerTwice",
                 {"--no-answer=2"},
                 {"get", "10"},
                 0,
                 "10=4800 baud\n",
                 "ERROR timeout wo SOH.",
                 15s},
        FaultRow{"LateBeyondTheTimeOut",
                 {"--late=4000:1"},
                 {"get", "10"},
                 0,
                 "10=4800 baud\n",
                 "ERROR timeout wo SOH.",
                 15s},
        FaultRow{"BadChecksum",
                 {"--bad-checksum"},
                 {"get", "10"},
                 4,
                 "",
                 "pravenor-cli: ERROR reading setting from converter. Reading cancelled!",
                 10s},
        FaultRow{"NackOnASingleWrite",
                 {"--nack"},
                 {"set", "10=1"},
                 4,
                 "",
                 "pravenor-cli: setting 10 (Paging serial speed:) was not written",
                 10s},
        FaultRow{"NackOnWriteAll",
                 {"--nack"},
                 {"write", "{site}"},
                 4,
                 "",
                 "pravenor-cli: writing the settings failed",
                 10s},
        FaultRow{"NackOnRestart",
                 {"--nack"},
                 {"restart"},
                 4,
                 "",
                 "pravenor-cli: the converter did not confirm the restart",
                 10s},
        FaultRow{"TooLong", {"--too-long"}, {"get", "10"}, 4, "", "ERROR too long info.", 15s},
        FaultRow{
            "ShortReply", {"--short-reply"}, {"get", "10"}, 4, "", "ERROR reply too short.", 10s},
        FaultRow{
            "BodyStops", {"--body-stops"}, {"get", "10"}, 4, "", "ERROR timeout wo body.", 20s},
        FaultRow{"Chatter",
                 {"--chatter=50"},
                 {"get", "10", "100"},
                 0,
                 "10=4800 baud\n100=Hall door\n",
                 "",
                 10s},
        FaultRow{"Noise",
                 {"--noise=0.05:7"},
                 {"get", "10", "60", "100"},
                 0,
                 "10=4800 baud\n60=BleepCode: C\n100=Hall door\n",
                 "ERROR checksum.",
                 10s},
        FaultRow{"BufferPositionNotADigit",
                 {"--buffer-position=X"},
                 {"page", "--address", "1234", "--bleep", "3"},
                 4,
                 "",
                 "the converter gave no buffer position; the call is not sent.",
                 10s},
        FaultRow{"PowerCutDuringWriteAll",
                 {"--power-cut=1:2"},
                 {"write", "{site}"},
                 0,
                 "",
                 "The port is back: the command starts again.",
                 60s,
                 {"get", "10", "100"},
                 "10=19200 baud\n100=Back door\n"},
        // The position request goes unanswered, and the port goes while it is awaited.
        FaultRow{"PowerCutDuringAPagerCall",
                 {"--no-answer=1", "--power-cut=1:2"},
                 {"page", "--address", "1234", "--bleep", "3"},
                 4,
                 "",
                 "went away before the pager call was sent: the call was not sent",
                 20s},
        FaultRow{"TimeoutBoundsTheWholeCommand",
                 {"--no-answer"},
                 {"--timeout", "2", "read", "-o", "{site}"},
                 4,
                 "",
                 "the command did not finish within 2 s (--timeout): step 1 of",
                 8s},
        FaultRow{"PowerCutLongerThanThePortWait",
                 {"--power-cut=600:1"},
                 {"--port-wait", "2", "write", "{site}"},
                 3,
                 "",
                 "went away and did not come back within 2 s",
                 15s}),
    [](const ::testing::TestParamInfo<FaultRow>& row) { return std::string(row.param.name); });

} // namespace
} // namespace pravenor::test
