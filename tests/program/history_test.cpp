// Nothing a write can lose: the snapshot, the journal, the restore and the edits on screen,
// with the program's own engine against the simulated converter.
#include "link/protocol.h"
#include "link/recording_view.h"
#include "program/commands.h"
#include "program/program.h"
#include "program/restore_run.h"
#include "program/start_program.h"
#include "program/unsaved_edits.h"
#include "settings/control_board.h"
#include "settings/write_plan.h"
#include "sim/converter_model.h"
#include "sim/simulated_line.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace pravenor {
namespace {

using namespace std::chrono_literals;

class HistoryTestClock final : public app::Clock
{
public:
    app::LocalTime now() const override { return {2026, 12, 9, 6, 0, seconds}; }
    int seconds = 0;
};

class HistoryTestSteps final : public program::StartupSteps
{
public:
    void UpdateMessageWindow() override {}
    void ArrangeTabs() override {}
    void SetDisplayTexts() override {}
};

class HistoryTest : public ::testing::Test
{
protected:
    HistoryTest() : line(model), program(folder.path(), clock, line, controls, view)
    {
        program.port.setDeviceOverride(link::LineAddress::Device("simulated converter"));
        HistoryTestSteps steps;
        program::StartProgram(program, {}, steps);
    }
    // The requests the converter has taken in, from the n-th frame on: 'r' a read, 'w' a
    // write; anything else (a wake-up) is left out.
    std::string frameKinds(std::size_t from = 0) const
    {
        namespace p = pravenor::protocol;
        constexpr std::size_t kCommandAt = 2 + p::kRequestHeader.size();
        std::string kinds;
        const auto frames = line.framesFromHost();
        for (std::size_t n = from; n < frames.size(); ++n) {
            const auto& bytes = frames[n].bytes;
            if (bytes.size() > kCommandAt && bytes[kCommandAt] == p::kCommandRead)
                kinds += 'r';
            else if (bytes.size() > kCommandAt && bytes[kCommandAt] == p::kCommandWrite)
                kinds += 'w';
        }
        return kinds;
    }
    std::vector<files::JournalRow> journal() const { return program.history.journal().read(); }
    files::SnapshotContent newestSnapshot() const
    {
        const auto list = program.history.snapshots().list();
        return list.empty() ? files::SnapshotContent{} : files::SnapshotStore::load(list[0].path);
    }

    // Until no request is left and the engine is idle.
    void serve(int limit = 20000)
    {
        for (int n = 0; n < limit; ++n) {
            program.engine.ProcessTransfer(0);
            line.advance(25ms);
            const auto& requests = program.stores.ItemRequest;
            if (program.engine.state() == link::EngineState::Idle &&
                program.engine.batchKind() == link::Batch::None &&
                std::all_of(requests.begin(), requests.end(),
                            [](auto r) { return r == settings::Request::None; }))
                return;
        }
        FAIL() << "the engine did not finish";
    }

    test::TempFolder folder;
    HistoryTestClock clock;
    sim::ConverterModel model;
    sim::SimulatedLine line;
    settings::ControlBoard controls;
    link::RecordingView view;
    program::Program program;
};

TEST_F(HistoryTest, EditsOnScreenCountUntilWrittenSavedOrReplaced)
{
    EXPECT_TRUE(program::UnsavedEdits(program).empty());
    ASSERT_TRUE(controls.setChosenPosition(9, 1));
    ASSERT_TRUE(controls.setText(0, "Hall"));
    EXPECT_EQ(program::UnsavedEdits(program), (std::vector<int>{9, 100}));
    EXPECT_TRUE(program::SaveSettings(program, folder.path() / "a.cfg").ok);
    EXPECT_TRUE(program::UnsavedEdits(program).empty());

    controls.setChosenPosition(9, 0);
    EXPECT_EQ(program::UnsavedEdits(program), (std::vector<int>{9}));
    program::WriteSingle(program, 9);
    serve();
    EXPECT_TRUE(program::UnsavedEdits(program).empty());
    EXPECT_EQ(program::UnsavedEditsLine(1),
              "1 setting changed on screen was neither written to the unit nor saved to a file.");
}

std::size_t exchangedCount()
{
    std::size_t count = 0;
    for (int item = 0; item < settings::kItemCount; ++item)
        count += settings::ItemIsImplemented(item) ? 1 : 0;
    return count;
}

TEST_F(HistoryTest, AWriteToAConverterNeverReadKeepsWhatItHeldAndRestorePutsItBack)
{
    model.setNumber(10, 1);
    model.setNumber(20, 1);
    model.setText(100, "Door");
    ASSERT_TRUE(controls.setChosenPosition(10, 2));
    program::WriteAll(program);
    serve();

    const std::string kinds = frameKinds();
    EXPECT_EQ(kinds, std::string(exchangedCount(), 'r') + std::string(exchangedCount(), 'w'));
    const files::SnapshotContent kept = newestSnapshot();
    ASSERT_TRUE(kept.ok);
    EXPECT_EQ(kept.items.count(), exchangedCount());
    EXPECT_EQ(kept.values[10].asNumber(), 1);
    EXPECT_EQ(kept.values[20].asNumber(), 1);
    EXPECT_EQ(kept.values[100].asText(), "Door");

    // One row for each item whose value changed, before and after as the screen shows them.
    std::vector<std::string> rows;
    for (const files::JournalRow& row : journal())
        rows.push_back(std::to_string(row.item) + " " + row.before + " > " + row.after + " " +
                       files::OutcomeText(row.outcome));
    EXPECT_EQ(rows,
              (std::vector<std::string>{"10 2400 baud > 4800 baud written",
                                        "20 in use > unused written", "100 Door >  written"}));

    const std::size_t before = line.framesFromHost().size();
    const program::RestoreRun restore(kept);
    EXPECT_TRUE(restore.requestReads(program).empty()); // all seen during the write
    EXPECT_EQ(restore.requestWrites(program), (std::vector<int>{10, 20, 100}));
    serve();
    EXPECT_EQ(frameKinds(before), "www");
    EXPECT_EQ(model.number(10), 1);
    EXPECT_EQ(model.number(20), 1);
    EXPECT_EQ(model.text(100), "Door");
    EXPECT_EQ(program.history.snapshots().list().size(), 2u); // the restore was kept too
    EXPECT_EQ(journal().size(), 6u);
}

TEST_F(HistoryTest, AfterAReadAllTheWriteAllSendsItsWritesAloneAndKeepsWhatWasRead)
{
    model.setNumber(9, 3);
    model.setText(101, "Hall");
    program::ReadAll(program);
    serve();
    const settings::ValueStores::Store read = program.stores.UnitValues;
    const std::size_t before = line.framesFromHost().size();
    controls.setChosenPosition(9, 1);
    program::WriteAll(program);
    serve();
    EXPECT_EQ(frameKinds(before), std::string(exchangedCount(), 'w'));
    const files::SnapshotContent kept = newestSnapshot();
    EXPECT_EQ(kept.items.count(), exchangedCount());
    for (int item = 0; item < settings::kItemCount; ++item) {
        const auto at = static_cast<std::size_t>(item);
        if (settings::ItemIsImplemented(item)) {
            EXPECT_TRUE(settings::SameSetting(item, kept.values[at], read[at])) << item;
        }
    }
    EXPECT_EQ(kept.values[9].asNumber(), 3);
    EXPECT_EQ(kept.values[101].asText(), "Hall");
    ASSERT_EQ(journal().size(), 1u);
    EXPECT_EQ(journal()[0].item, 9);
}

TEST_F(HistoryTest, AReadBackSaysWhetherTheConverterKeptTheValue)
{
    program.history.verify = true;
    program::ReadAll(program);
    serve();
    ASSERT_TRUE(controls.setChosenPosition(20, 1));
    ASSERT_TRUE(controls.setChosenPosition(21, 1));
    program::WriteSingle(program, 20);
    program::WriteSingle(program, 21);
    for (int n = 0; n < 2000 && model.number(20) != 1; ++n) {
        program.engine.ProcessTransfer(0);
        line.advance(25ms);
    }
    model.setNumber(20, 0); // taken, and lost again before it is read back
    serve();
    EXPECT_EQ(program.history.lastSummary().differs, (std::vector<int>{20}));
    EXPECT_EQ(program.history.lastSummary().verified, (std::vector<int>{21}));
    ASSERT_EQ(journal().size(), 2u);
    EXPECT_EQ(journal()[0].outcome, files::WriteOutcome::DiffersAfterVerify);
    EXPECT_EQ(journal()[1].outcome, files::WriteOutcome::Verified);
}

TEST_F(HistoryTest, WithTheSwitchOffNothingIsReadFirstAndTheEarlierValueIsUnknown)
{
    program.history.keepUnit = false;
    model.setNumber(10, 1);
    ASSERT_TRUE(controls.setChosenPosition(10, 2));
    EXPECT_EQ(program.history.unknownBefore(std::vector<int>{10}), 1);
    program::WriteSingle(program, 10);
    serve();
    EXPECT_EQ(frameKinds(), "w");
    EXPECT_EQ(newestSnapshot().items.count(), 0u);
    ASSERT_EQ(journal().size(), 1u);
    EXPECT_EQ(journal()[0].before, "");
    EXPECT_EQ(model.number(10), 2);
}

} // namespace
} // namespace pravenor
