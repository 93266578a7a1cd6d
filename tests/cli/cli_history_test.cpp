// What pravenor-cli keeps of a converter before it writes, and how it puts one back.
#include "cli_run.h"
#include "files/change_journal.h"
#include "files/snapshot_store.h"

#include <QProcess>
#include <algorithm>
#include <random>
#include <thread>

namespace pravenor::test {
namespace {

using namespace std::chrono_literals;

class CliHistory : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

    CliRun cliIn(const QStringList& arguments)
    {
        return RunCli(QStringList{"--home", Q(home.path())} + arguments, 20s);
    }
    std::vector<files::JournalRow> journalRows() const
    {
        return files::ChangeJournal(home.path()).read();
    }

    RunFolder home;
};

TEST_F(CliHistory, RestoreWritesOnlyWhatDiffersReadsItBackAndIsListedInTheHistory)
{
    // The demo converter holds the same settings in every run: a snapshot that differs in
    // two of them stands for a converter changed since.
    std::string kept = cliIn({"read"}).out;
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"\r\n10    ->3\r\n", "\r\n10    ->1\r\n"},
          {"\r\n108    ->Entrance door ALARM\r\n", "\r\n108    ->Gate\r\n"}}) {
        ASSERT_NE(kept.find(from), std::string::npos) << from;
        kept.replace(kept.find(from), from.size(), to);
    }
    TempFolder::write(home / "kept.cfg", kept);

    const CliRun restore = cliIn({"restore", "--verify", Q(home / "kept.cfg")});
    ASSERT_EQ(restore.status, 0) << restore.err;
    EXPECT_NE(restore.err.find("2 settings differ from the snapshot kept.cfg"), std::string::npos)
        << restore.err;
    std::vector<std::string> rows;
    for (const files::JournalRow& row : journalRows())
        rows.push_back(std::to_string(row.item) + " " + row.before + " > " + row.after + " " +
                       files::OutcomeText(row.outcome));
    EXPECT_EQ(rows, (std::vector<std::string>{"10 9600 baud > 2400 baud verified",
                                              "108 Entrance door ALARM > Gate verified"}));

    const CliRun history = cliIn({"history"});
    ASSERT_EQ(history.status, 0) << history.err;
    ASSERT_EQ(journalRows().size(), 2u);
    const std::string taken = journalRows()[0].snapshot;
    EXPECT_EQ(history.out.substr(0, taken.size()), taken);
    EXPECT_NE(history.out.find("  2 settings changed by the write after it\n"), std::string::npos)
        << history.out;

    // The newest snapshot is what the demo converter holds: nothing differs.
    const CliRun back = cliIn({"restore"});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_NE(back.err.find("0 settings differ from the snapshot " + taken + ": nothing to write."),
              std::string::npos)
        << back.err;
}

TEST_F(CliHistory, AWriteKilledAtAnyMomentLeavesItsSnapshotAndJournalWhole)
{
    // Every text setting changed: a write of many journal rows.
    const std::string read = cliIn({"read"}).out;
    std::string file;
    for (std::size_t at = 0, end = 0; (end = read.find("\r\n", at)) != std::string::npos;
         at = end + 2) {
        const std::string line = read.substr(at, end - at);
        file += (line.size() > 3 && line[0] == '1' && line[2] != ' ' && line[3] == ' '
                     ? line.substr(0, line.find("->") + 2) + "changed"
                     : line) +
                "\r\n";
    }
    TempFolder::write(home / "site.cfg", file);
    const QStringList write{"--home", Q(home.path()), "-q", "write", Q(home / "site.cfg")};

    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunCli(write, 20s).status, 0);
    const auto typical = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    ASSERT_GT(journalRows().size(), 10u);

    std::mt19937 random(20261209);
    std::uniform_int_distribution<long long> moment(0, typical.count());
    constexpr int kKills = 40;
    for (int n = 0; n < kKills; ++n) {
        QProcess process;
        process.setProgram(PRAVENOR_CLI_PATH);
        process.setArguments(write);
        process.start();
        ASSERT_TRUE(process.waitForStarted(5000));
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        process.kill();
        ASSERT_TRUE(process.waitForFinished(5000));

        const std::string journal = TempFolder::read(home / "History" / "journal.csv");
        ASSERT_TRUE(journal.ends_with("\r\n")) << "kill " << n << " cut a journal row";
        for (const auto& entry : std::filesystem::directory_iterator(
                 files::SnapshotStore(home.path(), "demo converter").folder())) {
            const std::string name = entry.path().filename().string();
            if (name.find(".saving-") != std::string::npos)
                continue; // what a killed save leaves; the next one clears it
            const files::SnapshotContent content = files::SnapshotStore::load(entry.path());
            ASSERT_TRUE(content.ok) << name;
            EXPECT_EQ(content.items.count(), 129u) // every exchanged item
                << "kill " << n << ": " << name;
        }
    }
}

} // namespace
} // namespace pravenor::test
