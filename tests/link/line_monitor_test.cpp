#include "link/line_monitor.h"
#include "sim_bench.h"

#include <gtest/gtest.h>

namespace pravenor::test {
namespace {

using link::Direction;
using link::LineMonitor;

TEST(LineMonitor, RecordsAReadAllsFramesInOrder)
{
    SimBench bench;
    bench.model.setNumber(9, 1);
    LineMonitor monitor([&] { return static_cast<std::int64_t>(bench.ticks) * 25; },
                        [&] { return static_cast<int>(bench.world.engine.state()); });
    bench.world.start();
    bench.world.engine.bytes().setTap(&monitor);
    bench.world.engine.request(link::Job::ReadAll);
    ASSERT_GT(
        bench.tickUntil([&] { return bench.world.logged("Reading of settings successfull."); }), 0);
    bench.tick(10);

    const std::vector<link::MonitoredFrame> frames = monitor.takeCompleted();
    // Per item a request and its reply; the wake-up bytes come before the first request.
    std::vector<link::MonitoredFrame> requests;
    std::vector<link::MonitoredFrame> replies;
    for (const auto& frame : frames)
        (frame.direction == Direction::Sent ? requests : replies).push_back(frame);
    ASSERT_EQ(replies.size(), 129u);
    ASSERT_EQ(requests.size(), 130u);
    EXPECT_EQ(requests[1].bytes.front(), 0x01); // SOH
    EXPECT_EQ(requests[1].state, 350);          // sent by the read step
    EXPECT_EQ(replies.front().bytes.front(), 0x01);
    for (std::size_t n = 1; n < frames.size(); ++n)
        EXPECT_LE(frames[n - 1].milliseconds, frames[n].milliseconds);
    EXPECT_TRUE(monitor.takeCompleted().empty()); // each frame is handed out once
    EXPECT_NE(LineMonitor::FrameLine(requests[1]).find(" -> 350  01 "), std::string::npos)
        << LineMonitor::FrameLine(requests[1]);
}

TEST(LineMonitor, KeepsOnlyTheNewestFramesPastItsLimit)
{
    std::int64_t now = 0;
    LineMonitor monitor([&] { return now; }, [] { return 10; }, 3);
    for (std::uint8_t n = 0; n < 5; ++n) {
        monitor.frameStarts();
        monitor.byteCrossed(Direction::Sent, n);
        monitor.byteCrossed(Direction::Sent, 0xAA);
        now += 10;
    }
    ASSERT_EQ(monitor.frames().size(), 3u);
    EXPECT_EQ(monitor.frames().front().bytes, (std::vector<std::uint8_t>{2, 0xAA}));
    EXPECT_EQ(monitor.frames().back().sequence, 5);
}

} // namespace
} // namespace pravenor::test
