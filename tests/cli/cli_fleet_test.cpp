// fleet read, diff and write against simulated fleets: pseudo-terminals and TCP ports served
// by one pravenor-sim each, plus single converters that fail in their own ways.
#include "cli_run.h"

#include <fstream>

namespace pravenor::test {
namespace {

using namespace std::chrono_literals;

class CliFleet : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    // Starts a simulator and adds its converters' lines to the sites file, renamed from
    // "sim-" to `prefix`, with " fast" when asked.
    void serve(const QStringList& arguments, int count, const std::string& prefix, bool fast)
    {
        simulators.push_back(std::make_unique<SimProcess>(arguments, false));
        SimProcess& simulator = *simulators.back();
        ASSERT_TRUE(simulator.ready());
        for (int unit = 0; unit < count; ++unit) {
            const std::string line = unit == 0 ? simulator.firstLine() : simulator.nextLine();
            // One converter alone prints its line only; in a fleet it is "sim-N LINE".
            const std::size_t blank = count == 1 ? 0 : line.find(' ');
            ASSERT_TRUE(count == 1 || line.rfind("sim-", 0) == 0) << line;
            const std::string name = prefix + (count == 1 ? "" : line.substr(4, blank - 4));
            sites +=
                name + " " + line.substr(count == 1 ? 0 : blank + 1) + (fast ? " fast" : "") + "\n";
        }
    }

    CliRun fleet(const QStringList& arguments)
    {
        TempFolder::write(folder / "sites.txt", sites);
        return RunCli(QStringList{"--home", Q(folder.path()), "-q", "fleet"} + arguments, 90s);
    }

    // The table's row of a unit: its words after the name, blanks squeezed.
    static std::string row(const CliRun& run, const std::string& name)
    {
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(name + " ", 0) != 0 || line.find(": ") == name.size())
                continue;
            std::istringstream words(line);
            std::string word;
            std::string squeezed;
            for (words >> word; words >> word;)
                squeezed += (squeezed.empty() ? "" : " ") + word;
            return squeezed;
        }
        return {};
    }

    std::string lineOf(const std::string& name) const
    {
        const std::size_t at = sites.find(name + " ");
        const std::size_t end = sites.find_first_of(" \n", at + name.size() + 1);
        return sites.substr(at + name.size() + 1, end - at - name.size() - 1);
    }

    RunFolder folder;
    std::vector<std::unique_ptr<SimProcess>> simulators;
    std::string sites = "# the plant: terminals and a serial device server\n";
};

TEST_F(CliFleet, AMixedFleetIsReadDiffedAndWrittenEachUnitToItsOwnFile)
{
    serve({"--count", "3"}, 3, "pty-", true);
    serve({"--count", "2", "--tcp", "0"}, 2, "net-", true);
    const QString out = Q(folder / "out");
    const CliRun read = fleet({"read", Q(folder / "sites.txt"), "-o", out});
    ASSERT_EQ(read.status, 0) << read.out << read.err;
    for (const char* name : {"pty-1", "pty-2", "pty-3", "net-1", "net-2"})
        EXPECT_EQ(row(read, name).substr(0, 4 + lineOf(name).size() + 5),
                  lineOf(name) + " done 129")
            << read.out;

    // Each file is what the unit's own read gives, and units hold settings of their own.
    const CliRun own =
        RunCli({"--home", Q(folder.path()), "-q", "--fast", "--port",
                QString::fromStdString(lineOf("net-2")), "read", "-o", Q(folder / "own.cfg")},
               60s);
    ASSERT_EQ(own.status, 0) << own.err;
    EXPECT_EQ(TempFolder::read(folder / "out" / "net-2.cfg"), TempFolder::read(folder / "own.cfg"));
    EXPECT_NE(TempFolder::read(folder / "out" / "pty-1.cfg"),
              TempFolder::read(folder / "out" / "pty-2.cfg"));

    std::string changed = TempFolder::read(folder / "out" / "pty-3.cfg");
    changed.replace(changed.find("Unit 3"), 6, "Boiler");
    TempFolder::write(folder / "out" / "pty-3.cfg", changed);
    const CliRun diff = fleet({"diff", Q(folder / "sites.txt"), out});
    EXPECT_EQ(diff.status, 1) << diff.out << diff.err;
    // The one difference, under its unit's name, before the table.
    EXPECT_EQ(
        diff.out.substr(0, diff.out.find("NAME ")),
        "pty-3: 100 Input 1, Alarm, Text Idle after Alarm: unit \"Unit 3\", file \"Boiler\"\n");
    EXPECT_NE(row(diff, "pty-3").find("differs 129"), std::string::npos) << diff.out;
    const CliRun some = fleet({"diff", Q(folder / "sites.txt"), out, "--only", "pty-1,net-2"});
    EXPECT_EQ(some.status, 0) << some.out;
    EXPECT_EQ(row(some, "pty-3"), "") << some.out;

    // Written, every unit holds exactly its own file.
    const CliRun write = fleet({"write", Q(folder / "sites.txt"), out, "--verify"});
    EXPECT_EQ(write.status, 0) << write.out << write.err;
    const CliRun after = fleet({"--json", "diff", Q(folder / "sites.txt"), out});
    EXPECT_EQ(after.status, 0) << after.out;
    EXPECT_EQ(after.out.rfind("{\"status\": 0, \"units\": [{\"name\": \"pty-1\"", 0), 0U)
        << after.out;
}

TEST_F(CliFleet, AUnitLostOrFailingEndsAloneAndTheOthersAreWhole)
{
    serve({"--count", "2"}, 2, "pty-", true);
    // Cut after the fleet has begun, and for longer than the fleet waits for a port.
    serve({"--power-cut=600:1.5"}, 1, "lost", false);
    serve({"--nack"}, 1, "refusing", true);
    sites += "gone /dev/pravenor-no-such-line\n";
    const QString out = Q(folder / "out");
    const CliRun read = fleet({"--port-wait", "2", "read", Q(folder / "sites.txt"), "-o", out,
                               "--only", "pty-1,lost,pty-2,gone"});
    EXPECT_EQ(read.status, 3) << read.out << read.err;
    EXPECT_NE(row(read, "lost").find("unreachable"), std::string::npos) << read.out;
    EXPECT_NE(row(read, "gone").find("unreachable 0"), std::string::npos) << read.out;
    EXPECT_FALSE(std::filesystem::exists(folder / "out" / "lost.cfg"));
    EXPECT_NE(read.err.find("2 units did not end well; again with --only lost,gone\n"),
              std::string::npos)
        << read.err;
    const CliRun whole = fleet({"diff", Q(folder / "sites.txt"), out, "--only", "pty-1,pty-2"});
    EXPECT_EQ(whole.status, 0) << whole.out;

    // A converter that fails outweighs one out of reach; the others still end done.
    const CliRun failing = fleet({"--port-wait", "2", "read", Q(folder / "sites.txt"), "-o", out,
                                  "--only", "refusing,gone,pty-1", "--jobs", "1"});
    EXPECT_EQ(failing.status, 4) << failing.out;
    EXPECT_NE(row(failing, "refusing").find("failed"), std::string::npos) << failing.out;
    EXPECT_NE(row(failing, "pty-1").find("done"), std::string::npos) << failing.out;
}

TEST_F(CliFleet, ASitesFileWithAnUnusableLineRunsNothing)
{
    sites += "door-1 /dev/pravenor-no-such-line\ndoor 2 /dev/pravenor-other\n";
    const CliRun bad = fleet({"read", Q(folder / "sites.txt"), "-o", Q(folder / "out")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(
        bad.err.find(
            "sites.txt:3: after door's line only \"fast\" may follow, not /dev/pravenor-other"),
        std::string::npos)
        << bad.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "out"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Log"));

    sites = "door-1 /dev/pravenor-no-such-line\n";
    const CliRun unknown =
        fleet({"read", Q(folder / "sites.txt"), "-o", Q(folder / "out"), "--only", "door-2"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--only door-2: no unit of that name"), std::string::npos)
        << unknown.err;
}

} // namespace
} // namespace pravenor::test
