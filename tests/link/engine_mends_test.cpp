// Where the engine protects what the user typed and what the converter is told.
#include "sim_bench.h"

#include <gtest/gtest.h>

using namespace pravenor;
using link::EngineState;
using settings::SettingValue;
using test::SimBench;

namespace {

void startIdle(SimBench& b)
{
    b.world.start();
    b.tick();
}

void clickWrite(SimBench& b, int item, int position)
{
    b.world.controls.setChosenPosition(item, position);
    b.world.sync.TakeValue(item);
    b.world.stores.ItemRequest[static_cast<std::size_t>(item)] = settings::kWriteRequest;
}

} // namespace

TEST(EngineMends, AWriteClickedDuringItsOwnWriteIsSentAfterwards)
{
    SimBench b;
    startIdle(b);
    clickWrite(b, 10, 1);
    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::WriteSoh; }), 0);
    clickWrite(b, 10, 3);

    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::Idle; }), 0);
    // The converter got 1 and the stores say so; the newer value is still to go.
    EXPECT_EQ(b.model.number(10), 1);
    EXPECT_EQ(b.world.stores.UnitValues[10], SettingValue::Number(1));
    EXPECT_EQ(b.world.stores.ItemRequest[10], settings::kWriteRequest);
    EXPECT_EQ(b.world.controls.chosenPosition(10), 3);

    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }), 0);
    EXPECT_EQ(b.model.number(10), 3);
    EXPECT_EQ(b.world.stores.UnitValues[10], SettingValue::Number(3));
    b.world.sync.RefreshSettingControls();
    EXPECT_EQ(b.world.controls.choiceColour(10), settings::ControlColour::WindowText);
}

TEST(EngineMends, AWriteClickedDuringAReadOfTheItemIsNotOverwritten)
{
    SimBench b;
    b.model.setNumber(13, 2);
    startIdle(b);
    b.world.stores.ItemRequest[13] = settings::kReadRequest;
    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::ReadSoh; }), 0);
    clickWrite(b, 13, 1);

    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::Idle; }), 0);
    EXPECT_EQ(b.world.stores.UnitValues[13], SettingValue::Text("2"));
    EXPECT_EQ(b.world.stores.WorkValues[13], SettingValue::Number(1));
    EXPECT_EQ(b.world.controls.chosenPosition(13), 1);
    EXPECT_TRUE(b.world.logged("Setting 13: the value waiting to be written is kept."));

    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }), 0);
    EXPECT_EQ(b.model.number(13), 1);
}

TEST(EngineMends, AValueOutsideAByteIsRefusedAndSaidSo)
{
    SimBench b;
    startIdle(b);
    // No entry chosen: the box gives -1.
    b.world.sync.TakeValue(9);
    ASSERT_EQ(b.world.stores.WorkValues[9], SettingValue::Number(-1));
    b.world.stores.ItemRequest[9] = settings::kWriteRequest;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 100), 0);
    EXPECT_TRUE(b.requests().empty());
    EXPECT_EQ(b.world.view.progress(),
              "Writing [Item: 9 Value:   -> ERROR value -1 outside 0..255, not sent.\r\n");
    EXPECT_TRUE(b.world.logged("Setting 9 not written: value -1 outside 0..255."));
    EXPECT_EQ(b.world.engine.ErrorCount(), 0);

    // A bleep code of 256 or more keeps its old report.
    b.world.view.clearProgress();
    b.world.stores.WorkValues[60] = SettingValue::Number(300);
    b.world.stores.ItemRequest[60] = settings::kWriteRequest;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 100), 0);
    EXPECT_EQ(b.world.view.progress(), "Writing [Item: 60 Value:   -> Not implemented type of unit.\r\n");
    EXPECT_TRUE(b.requests().empty());
}

TEST(EngineMends, AReplyBodyThatStopsTimesOutAfterThreeSecondsOfSilence)
{
    sim::FaultPlan faults;
    faults.bodyStops = sim::FaultRepeat::times(1);
    SimBench b(faults);
    startIdle(b);
    b.world.stores.ItemRequest[9] = settings::kReadRequest;
    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::ReadBody; }), 0);
    b.tick(2); // the part of the body that does come
    const int ticks = b.tickUntil([&] { return b.world.engine.state() != EngineState::ReadBody; }, 200);
    EXPECT_GE(ticks, 117);
    EXPECT_LE(ticks, 120);
    EXPECT_EQ(b.world.engine.ErrorCount(), 1);
}
