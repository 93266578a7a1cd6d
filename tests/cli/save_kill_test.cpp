// A save that is killed at any moment leaves the whole old file or the whole new one, and
// the next save clears what the killed one left behind.
#include "cli_run.h"

#include <algorithm>
#include <random>
#include <thread>

namespace pravenor::test {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> leftovers(const TempFolder& folder)
{
    std::vector<std::string> names = folder.names();
    std::erase_if(names,
                  [](const std::string& name) { return name.rfind("unit.cfg.saving-", 0) != 0; });
    return names;
}

TEST(SaveKill, EveryKillLeavesTheOldOrTheNewFileAndTheNextSaveClearsLeftovers)
{
    EnsureQtApplication();
    TempFolder folder;
    const std::filesystem::path file = folder / "unit.cfg";
    const QStringList read{"--home", Q(folder / "home"), "read", "-o", Q(file)};
    const std::string old = "10    ->1\r\n100    ->the old file\r\n";

    // The demo converter always holds the same settings, so every save writes the same bytes.
    std::vector<std::chrono::microseconds> durations;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(RunCli(read, 20s).status, 0);
        durations.push_back(std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start));
    }
    const std::string fresh = TempFolder::read(file);
    ASSERT_EQ(std::count(fresh.begin(), fresh.end(), '\n'), 140);
    std::sort(durations.begin(), durations.end());
    const auto typical = durations[2];

    // Kills spread over a whole run; the save is its last step.
    std::mt19937 random(20240611);
    std::uniform_int_distribution<long long> moment(0, typical.count());
    int keptOld = 0, gotNew = 0, leftBehind = 0, ranThrough = 0;
    // On a loaded machine (the sanitizer build, tests beside it) a run takes several times as
    // long, so the kills stop at a time budget as well as at a count.
    constexpr int kKills = 120;
    const auto budgetEnd = std::chrono::steady_clock::now() + 45s;
    int kills = 0;
    for (int n = 0; n < kKills && (n < 30 || std::chrono::steady_clock::now() < budgetEnd);
         ++n, ++kills) {
        TempFolder::write(file, old);
        const std::vector<std::string> before = leftovers(folder);
        QProcess process;
        process.setProgram(PRAVENOR_CLI_PATH);
        process.setArguments(read);
        process.start();
        ASSERT_TRUE(process.waitForStarted(5000));
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        process.kill();
        ASSERT_TRUE(process.waitForFinished(5000));
        const bool killed = process.exitStatus() == QProcess::CrashExit;
        const std::string now = TempFolder::read(file);
        ASSERT_TRUE(now == old || now == fresh)
            << "kill " << n << " left " << now.size() << " bytes";
        (now == old ? keptOld : gotNew) += 1;
        if (leftovers(folder).size() > before.size())
            ++leftBehind;
        if (!killed) {
            ++ranThrough;
            EXPECT_EQ(leftovers(folder), std::vector<std::string>{}) << "a finished save left them";
        }
    }
    ASSERT_EQ(RunCli(read, 20s).status, 0);
    EXPECT_EQ(TempFolder::read(file), fresh);
    EXPECT_EQ(leftovers(folder), std::vector<std::string>{});
    std::cout << "[ kills    ] " << kills << " runs, a run takes " << typical.count()
              << " us: " << keptOld << " kept the old file, " << gotNew << " have the new one, "
              << leftBehind << " were killed mid-save and left a temporary file, " << ranThrough
              << " ended before the kill\n";
    EXPECT_GT(keptOld, 0);
    EXPECT_GT(gotNew, 0);
}

} // namespace
} // namespace pravenor::test
