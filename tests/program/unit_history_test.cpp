// The watcher the engine tells about every read and write: snapshots, journal rows, summary.
#include "app/message_log.h"
#include "app/program_config.h"
#include "program/unit_history.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace pravenor::program {
namespace {

using files::WriteOutcome;
using link::WriteEnd;
using settings::SettingValue;

class HistoryClock final : public app::Clock
{
public:
    app::LocalTime now() const override { return {2026, 12, 9, 6, 15, 30}; }
};

class UnitHistoryTest : public ::testing::Test
{
protected:
    UnitHistoryTest() : log(config, clock, folder.path()), history(folder.path(), clock, log)
    {
        config.LogLevel = 1;
        history.lineOpened("/dev/ttyUSB0");
    }
    std::vector<std::string> journalLines() const
    {
        std::vector<std::string> lines;
        for (const files::JournalRow& row : history.journal().read())
            lines.push_back(std::to_string(row.item) + "|" + row.setting + "|" + row.before + "|" +
                            row.after + "|" + files::OutcomeText(row.outcome) + "|" + row.snapshot);
        return lines;
    }

    test::TempFolder folder;
    HistoryClock clock;
    app::ProgramConfig config;
    app::MessageLog log;
    UnitHistory history;
};

TEST_F(UnitHistoryTest, OneRowForEveryChangeAndEveryWriteThatDidNotGetThrough)
{
    history.verify = true;
    const std::vector<int> writes{9, 20, 21, 22, 23, 112};
    history.settingRead(9, SettingValue::Text("1")); // read before the batch
    EXPECT_EQ(history.readFirst(writes), (std::vector<int>{20, 21, 22, 23, 112}));
    for (int item : {20, 21, 22, 23})
        history.settingRead(item, SettingValue::Text("0"));
    history.settingRead(112, SettingValue::Text("Door"));
    history.beforeFirstWrite();

    const std::string snapshot = "2026-12-09_06-15-30.cfg";
    const files::SnapshotContent kept =
        files::SnapshotStore::load(history.snapshots().folder() / snapshot);
    ASSERT_TRUE(kept.ok);
    EXPECT_EQ(kept.items.count(), 6u);
    EXPECT_EQ(kept.values[112], SettingValue::Text("Door"));

    history.settingWritten(9, SettingValue::Number(1), WriteEnd::Acknowledged); // unchanged
    history.settingRead(9, SettingValue::Text("1"));
    history.settingWritten(20, SettingValue::Number(1), WriteEnd::Acknowledged);
    history.settingRead(20, SettingValue::Text("1"));
    history.settingWritten(21, SettingValue::Number(1), WriteEnd::Acknowledged);
    history.settingRead(21, SettingValue::Text("0"));
    history.settingWritten(22, SettingValue::Number(1), WriteEnd::Failed);
    history.settingWritten(23, SettingValue::Number(1), WriteEnd::Failed);
    history.settingWritten(23, SettingValue::Number(1), WriteEnd::Acknowledged); // retried
    history.settingWritten(112, SettingValue::Text("Hall, \"B\""), WriteEnd::Refused);
    history.writesEnded();

    EXPECT_EQ(journalLines(),
              (std::vector<std::string>{
                  "20|Input 1, Use:|unused|in use|verified|" + snapshot,
                  "21|Input 2, Use:|unused|in use|differs after verify|" + snapshot,
                  "112|Input 5, Alarm, Text at alarm:|Door|Hall, \"B\"|refused|" + snapshot,
                  "22|Input 3, Use:|unused|in use|failed|" + snapshot,
                  "23|Input 4, Use:|unused|in use|written|" + snapshot, // no read-back came
              }));
    const WriteSummary& summary = history.lastSummary();
    EXPECT_EQ(summary.verified, (std::vector<int>{9, 20}));
    EXPECT_EQ(summary.differs, (std::vector<int>{21}));
    EXPECT_EQ(summary.written, (std::vector<int>{23}));
    EXPECT_EQ(summary.refused, (std::vector<int>{112}));
    EXPECT_EQ(summary.failed, (std::vector<int>{22}));
    EXPECT_EQ(WriteSummaryText(summary),
              "Written: 1 (Input 4, Use:)\r\nVerified: 2 (Error on Guarded inputs:; Input 1, "
              "Use:)\r\nDiffers after verify: 1 (Input 2, Use:)\r\nRefused: 1 (Input 5, Alarm, "
              "Text at alarm:)\r\nFailed: 1 (Input 3, Use:)");
    const auto rows = history.journal().read();
    EXPECT_EQ(ChangesAfter(rows, snapshot), 3);
    // What failed is no longer known; what was acknowledged is.
    EXPECT_FALSE(history.known().test(22));
    EXPECT_EQ(history.seen()[23], SettingValue::Number(1));
}

TEST_F(UnitHistoryTest, WithoutKeepingNothingIsReadFirstAndTheUnknownBeforeStaysEmpty)
{
    history.keepUnit = false;
    history.settingRead(21, SettingValue::Text("1"));
    const std::vector<int> writes{20, 21};
    EXPECT_EQ(history.unknownBefore(writes), 1);
    EXPECT_TRUE(history.readFirst(writes).empty());
    history.beforeFirstWrite();
    history.settingWritten(20, SettingValue::Number(1), WriteEnd::Acknowledged);
    history.settingWritten(21, SettingValue::Number(0), WriteEnd::Acknowledged);
    history.writesEnded();
    EXPECT_EQ(journalLines(), (std::vector<std::string>{
                                  "20|Input 1, Use:||in use|written|2026-12-09_06-15-30.cfg",
                                  "21|Input 2, Use:|in use|unused|written|2026-12-09_06-15-30.cfg",
                              }));
    EXPECT_EQ(files::SnapshotStore::load(history.snapshots().list().at(0).path).items.count(), 1u);

    history.lineOpened("/dev/ttyUSB1"); // another converter may be there
    EXPECT_EQ(history.unknownBefore(writes), 2);
}

TEST_F(UnitHistoryTest, AJournalThatCannotBeWrittenIsSaidOnceAndTheWriteGoesOn)
{
    std::filesystem::create_directories(history.journal().file()); // a folder in its place
    history.readFirst(std::vector<int>{20, 21});
    history.beforeFirstWrite();
    history.settingWritten(20, SettingValue::Number(1), WriteEnd::Acknowledged);
    history.settingWritten(21, SettingValue::Number(1), WriteEnd::Acknowledged);
    history.writesEnded();
    EXPECT_EQ(history.lastSummary().written, (std::vector<int>{20, 21}));
    int said = 0;
    for (const std::string& line : log.MessageLines())
        said += line.find("journal.csv cannot be written") != std::string::npos ? 1 : 0;
    EXPECT_EQ(said, 1);
}

} // namespace
} // namespace pravenor::program
