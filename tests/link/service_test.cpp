// Restart and pager test call through the engine, against the simulated converter.
#include "sim_bench.h"

#include <gtest/gtest.h>

using namespace pravenor;
using link::EngineState;
using sim::FaultRepeat;
using test::SimBench;
using Bytes = std::vector<std::uint8_t>;

TEST(Restart, IsSentWithoutWakeUpAndReported)
{
    SimBench b;
    b.startIdle();
    const auto before = b.line.bytesFromHost().size();
    b.world.engine.request(link::Job::Restart);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 500), 0);
    EXPECT_EQ(b.model.restarts(), 1);
    EXPECT_TRUE(b.world.logged("STATUS: RESET command sent to converter."));
    const Bytes sent(b.line.bytesFromHost().begin() + static_cast<long>(before),
                     b.line.bytesFromHost().end());
    EXPECT_EQ(sent, (Bytes{0x01, 0x06, 0x01, 0x00, 0x02, 0x52, 0xA4}));
    // The port is closed and opened again first.
    EXPECT_TRUE(b.world.logged("Comport closed by software."));
    EXPECT_TRUE(b.world.view.progress().empty());
}

TEST(Restart, ARefusalIsNotReportedAndNothingCounts)
{
    sim::FaultPlan faults;
    faults.nack = FaultRepeat::times(1);
    SimBench b(faults);
    b.startIdle();
    b.world.engine.request(link::Job::Restart);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 500), 0);
    for (const std::string& line : b.world.logMessages())
        EXPECT_EQ(line.find("RESET"), std::string::npos) << line;
}

TEST(Restart, NoAnswerIsLoggedAfterThreeSecondsAndNotCounted)
{
    sim::FaultPlan faults;
    faults.noAnswer = FaultRepeat::every();
    SimBench b(faults);
    b.startIdle();
    b.world.engine.request(link::Job::Restart);
    b.tick();
    EXPECT_EQ(b.world.engine.state(), EngineState::Restart);
    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::RestartSoh; }, 20),
              0);
    EXPECT_EQ(b.tickUntil([&] { return b.world.engine.state() == EngineState::Idle; }, 500), 120);
    EXPECT_EQ(b.world.logMessages().back(),
              "ERROR: TimeOut sending RESET command to converter. (SOH)");
    EXPECT_EQ(b.world.engine.ErrorCount(), 0);
}

TEST(Restart, WinsOverAPagerCallAskedInTheSameTick)
{
    SimBench b;
    b.startIdle();
    b.world.engine.request(link::Job::Restart);
    b.world.engine.request(link::Job::PagerCall);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 500), 0);
    EXPECT_EQ(b.model.restarts(), 1);
    EXPECT_EQ(b.model.pagerCalls(), 0);
    const auto requests = b.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, 0x52);
}

TEST(PagerCall, AsksForTheBufferPositionThenSendsTheCall)
{
    SimBench b;
    b.model.setBufferPosition(3);
    b.startIdle();
    b.world.controls.setPagerInputs("1234", "Door 4 open", 2);
    b.world.engine.request(link::Job::PagerCall);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 500), 0);
    ASSERT_TRUE(b.model.lastPagerCall().has_value());
    const sim::PagerCall& call = *b.model.lastPagerCall();
    EXPECT_EQ(call.bufferPosition, "3");
    EXPECT_EQ(call.address, "1234");
    EXPECT_EQ(call.displayText, std::optional<std::string>("Door 4 open"));
    EXPECT_EQ(call.bleepCode, "2");
    EXPECT_EQ(b.world.engine.PagerBufPos(), 3);
    EXPECT_TRUE(b.world.logged("STATUS: send call to pager via Pravenor successfull."));
    EXPECT_TRUE(b.world.view.progress().empty());
}

TEST(PagerCall, AFieldWithControlBytesIsNotSentAtAll)
{
    SimBench b;
    b.startIdle();
    const std::size_t sentBefore = b.line.bytesFromHost().size();
    b.world.controls.setPagerInputs("1\x1e"
                                    "2\x1f"
                                    "HACKED",
                                    "", 2);
    b.world.engine.request(link::Job::PagerCall);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 500), 0);
    EXPECT_FALSE(b.model.lastPagerCall().has_value());
    EXPECT_EQ(b.line.bytesFromHost().size(), sentBefore);
    EXPECT_TRUE(b.world.logged(
        "ERROR: the pager address or text holds control characters; the call is not sent."));
}

// An echo of the position request, or a reply with no digit where the position goes: the
// call would go to a slot that does not exist, so none goes.
TEST(PagerCall, ABadBufferPositionCountsAndNoCallFollows)
{
    SimBench b;
    b.model.setBufferPositionByte('X');
    b.startIdle();
    b.world.controls.setPagerInputs("77", "", -1);
    b.world.engine.request(link::Job::PagerCall);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 500), 0);
    EXPECT_EQ(b.world.engine.ErrorCount(), 1);
    EXPECT_EQ(b.model.pagerCalls(), 0);
    EXPECT_TRUE(
        b.world.logged("ERROR: the converter gave no buffer position; the call is not sent."));
}

TEST(PagerCall, FailuresOfEitherHalfAreLogged)
{
    {
        sim::FaultPlan faults;
        faults.noAnswer = FaultRepeat::times(1);
        SimBench b(faults);
        b.startIdle();
        b.world.engine.request(link::Job::PagerCall);
        ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 500), 0);
        EXPECT_TRUE(
            b.world.logged("ERROR: TimeOut sending Paging call via Pravenor (SOH request BufPos)"));
        EXPECT_EQ(b.world.engine.ErrorCount(), 1);
        EXPECT_EQ(b.model.pagerCalls(), 0);
    }
    {
        sim::FaultPlan faults;
        faults.badChecksum = FaultRepeat::times(1);
        SimBench b(faults);
        b.startIdle();
        b.world.engine.request(link::Job::PagerCall);
        ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 500), 0);
        EXPECT_TRUE(b.world.logged(
            "ERROR: Checksum error sending PagingCall to converter (CheckSumn request BufPos)"));
        EXPECT_EQ(b.world.engine.ErrorCount(), 0);
    }
}
