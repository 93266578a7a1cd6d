// Nothing a write can lose: the snapshot, the journal, the restore and the edits on screen,
// with the program's own engine against the simulated converter.
#include "link/recording_view.h"
#include "program/commands.h"
#include "program/program.h"
#include "program/restore_run.h"
#include "program/start_program.h"
#include "program/unsaved_edits.h"
#include "settings/control_board.h"
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
        program.port.setDeviceOverride("simulated converter");
        HistoryTestSteps steps;
        program::StartProgram(program, {}, steps);
    }
    // Until no request is left and the engine is idle.
    void serve(int limit = 20000)
    {
        for (int n = 0; n < limit; ++n) {
            program.engine.ProcessTransfer(0);
            line.advance(25ms);
            const auto& requests = program.stores.ItemRequest;
            if (program.engine.state() == link::EngineState::Idle &&
                program.engine.BatchKind == link::kNoBatch &&
                std::all_of(requests.begin(), requests.end(), [](auto r) { return r == 0; }))
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

} // namespace
} // namespace pravenor
