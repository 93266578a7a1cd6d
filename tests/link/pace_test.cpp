// The fast link: the same exchanges in less time, every wait as long as ever, and a converter
// that cannot keep up gets the standard pace back.
#include "sim/demo_converter.h"
#include "sim_bench.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>

using namespace pravenor;
using namespace std::chrono_literals;
using link::EngineState;
using link::Pace;
using test::SimBench;

namespace {

const std::string kFallBackLine =
    "Fast link: the converter did not keep up; back to the standard pace for this run.";

void startIdle(SimBench& b, const Pace& pace)
{
    b.world.engine.setPace(pace);
    b.world.start();
    b.tick(20); // past the start's pause
}

// Ticks until `done`, noting on the line's clock when the step that made it true ran.
std::optional<sim::Micros> stepWhen(SimBench& b, const std::function<bool()>& done,
                                    int limit = 50'000)
{
    for (int n = 0; n < limit; ++n) {
        const sim::Micros at = b.line.now();
        b.tick();
        if (done())
            return at;
    }
    return std::nullopt;
}

int wakeUps(const SimBench& b)
{
    static const std::vector<std::uint8_t> wakeUp = {0x01, 0x01, 0x80, 0x7F};
    const auto& sent = b.line.bytesFromHost();
    int n = 0;
    for (auto at = std::search(sent.begin(), sent.end(), wakeUp.begin(), wakeUp.end());
         at != sent.end(); at = std::search(at + 1, sent.end(), wakeUp.begin(), wakeUp.end()))
        ++n;
    return n;
}

std::ptrdiff_t countLogged(const SimBench& b, const std::string& message)
{
    const auto lines = b.world.logMessages();
    return std::count(lines.begin(), lines.end(), message);
}

struct BatchRun
{
    std::string progress;
    std::vector<std::string> log;
    std::vector<std::vector<std::uint8_t>> requests;
    decltype(settings::ValueStores::UnitValues) unit;
    sim::Micros took{0};
};

BatchRun runBatch(const Pace& pace, bool write)
{
    SimBench b;
    sim::FillDemoConverter(b.model);
    for (int n = 0; n <= settings::kLastChoiceItem; ++n) {
        if (b.world.controls.choiceVisible(n))
            b.world.controls.setChosenPosition(n, 1);
    }
    startIdle(b, pace);
    const sim::Micros start = b.line.now();
    b.world.engine.request(write ? link::Job::WriteAll : link::Job::ReadAll);
    EXPECT_GT(b.tickUntil([&] { return b.settled(); }, 100'000), 0);
    BatchRun run{b.world.view.progress(),
                 b.world.logMessages(),
                 {},
                 b.world.stores.UnitValues,
                 b.line.now() - start};
    for (const sim::ReceivedFrame& f : b.line.framesFromHost())
        run.requests.push_back(f.bytes);
    return run;
}

} // namespace

TEST(Pace, TheFastPaceTicksOftenOnlyWhileBusyAndTheStandardPaceNever)
{
    for (const Pace& pace : {link::kStandardPace, link::kFastPace}) {
        SCOPED_TRACE(pace.fast() ? "fast" : "standard");
        SimBench b;
        startIdle(b, pace);
        EXPECT_EQ(b.world.engine.tickInterval(), 25ms);
        b.world.engine.request(link::Job::ReadAll);
        std::set<long> busyIntervals;
        ASSERT_GT(b.tickUntil(
                      [&] {
                          busyIntervals.insert(
                              static_cast<long>(b.world.engine.tickInterval().count()));
                          return b.settled();
                      },
                      100'000),
                  0);
        EXPECT_EQ(b.world.engine.tickInterval(), 25ms);
        EXPECT_EQ(*busyIntervals.begin(), pace.busyTick.count());
        EXPECT_EQ(*busyIntervals.rbegin(), 25);
    }
}

TEST(Pace, ABatchAtTheFastPaceDoesAndSaysWhatTheStandardPaceDoesInAThirdOfTheTime)
{
    for (const bool write : {false, true}) {
        SCOPED_TRACE(write ? "write-all" : "read-all");
        const BatchRun standard = runBatch(link::kStandardPace, write);
        const BatchRun fast = runBatch(link::kFastPace, write);
        EXPECT_EQ(fast.progress, standard.progress);
        EXPECT_EQ(fast.log, standard.log);
        EXPECT_EQ(fast.requests, standard.requests);
        EXPECT_EQ(fast.unit, standard.unit);
        EXPECT_LT(fast.took * 3, standard.took);
    }
}

// Each wait measured on the line's clock from the step that starts it to the step that ends it.
class Waits : public ::testing::TestWithParam<Pace>
{
};

TEST_P(Waits, KeepTheirLengthInTime)
{
    const Pace pace = GetParam();
    {
        SCOPED_TRACE("the pause after a wake-up, then the reply wait for SOH");
        sim::FaultPlan silent;
        silent.noAnswer = sim::FaultRepeat::every();
        SimBench b(silent);
        startIdle(b, pace);
        b.world.stores.ItemRequest[9] = settings::Request::Read;
        const auto dispatched =
            stepWhen(b, [&] { return b.world.engine.state() == EngineState::Read; });
        const auto sent =
            stepWhen(b, [&] { return b.world.engine.state() == EngineState::ReadSoh; });
        const auto gaveUp =
            stepWhen(b, [&] { return b.world.engine.state() == EngineState::Idle; });
        ASSERT_TRUE(dispatched && sent && gaveUp);
        EXPECT_EQ(*sent - *dispatched, 250ms);
        EXPECT_EQ(*gaveUp - *sent, 3s);
        EXPECT_EQ(wakeUps(b), 1);
    }
    {
        SCOPED_TRACE("the pause between tries on a lost port");
        SimBench b;
        startIdle(b, pace);
        b.line.cutPower(30s);
        const auto failures = [&] { return countLogged(b, "Error opening ComPort:  1"); };
        const auto first = stepWhen(b, [&] { return failures() == 1; });
        const auto second = stepWhen(b, [&] { return failures() == 2; });
        ASSERT_TRUE(first && second);
        EXPECT_EQ(*second - *first, 5s);
    }
}

INSTANTIATE_TEST_SUITE_P(BothPaces, Waits, ::testing::Values(link::kStandardPace, link::kFastPace),
                         [](const auto& paceInfo) {
                             return paceInfo.param.fast() ? "Fast" : "Standard";
                         });

struct AwakeRow
{
    bool fast;
    bool write;
    std::chrono::milliseconds after; // from the first request to the second one's dispatch
    bool wakeUp;
};

TEST(Pace, TheConverterCountsAsAwakeTwoSecondsAfterAReadAndFiveAfterAWrite)
{
    const AwakeRow rows[] = {
        {false, false, 1900ms, false}, {false, false, 2100ms, true}, {false, true, 4900ms, false},
        {false, true, 5100ms, true},   {true, false, 1900ms, false}, {true, false, 2100ms, true},
        {true, true, 4900ms, false},   {true, true, 5100ms, true},
    };
    for (const AwakeRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.fast) + " " + std::to_string(row.write) + " " +
                     std::to_string(row.after.count()));
        SimBench b;
        startIdle(b, row.fast ? link::kFastPace : link::kStandardPace);
        const settings::Request request =
            row.write ? settings::Request::Write : settings::Request::Read;
        const EngineState sending = row.write ? EngineState::WriteSoh : EngineState::ReadSoh;
        for (int item : {9, 10}) {
            b.world.controls.setChosenPosition(item, 1);
            b.world.sync.TakeValue(item);
        }
        b.world.stores.ItemRequest[9] = request;
        const auto sent = stepWhen(b, [&] { return b.world.engine.state() == sending; });
        ASSERT_TRUE(sent);
        ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);
        const int before = wakeUps(b);
        // The request is seen at the first tick after it is made, idle ticks being 25 ms.
        while (b.line.now() + 25ms <= *sent + row.after)
            b.tick();
        b.world.stores.ItemRequest[10] = request;
        const auto dispatched =
            stepWhen(b, [&] { return b.world.engine.state() != EngineState::Idle; });
        ASSERT_TRUE(dispatched);
        EXPECT_EQ(wakeUps(b) - before, row.wakeUp ? 1 : 0) << (*dispatched - *sent).count();
    }
}

struct FallBackRow
{
    const char* name;
    sim::FaultPlan faults;
    bool fast;
    bool fallsBack;
};

TEST(Pace, TheFirstFailedExchangeAtTheFastPaceBringsBackTheStandardPaceAndTheBatchEndsWhole)
{
    const FallBackRow rows[] = {
        {"needs 30 ms after a reply", {.deafAfterReply = 30ms}, true, true},
        {"one reply lost", {.noAnswer = sim::FaultRepeat::times(1)}, true, true},
        {"one bad checksum", {.badChecksum = sim::FaultRepeat::times(1)}, true, true},
        {"one short reply", {.shortReply = sim::FaultRepeat::times(1)}, true, true},
        {"the standard pace is slow enough", {.deafAfterReply = 30ms}, false, false},
        {"a converter that keeps up", {}, true, false},
    };
    for (const FallBackRow& row : rows) {
        SCOPED_TRACE(row.name);
        SimBench b(row.faults);
        sim::FillDemoConverter(b.model);
        startIdle(b, row.fast ? link::kFastPace : link::kStandardPace);
        b.world.engine.request(link::Job::ReadAll);
        ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 100'000), 0);

        EXPECT_TRUE(b.world.logged("Reading of settings successfull."));
        EXPECT_EQ(countLogged(b, kFallBackLine), row.fallsBack ? 1 : 0);
        EXPECT_EQ(b.world.engine.pace(),
                  row.fast && !row.fallsBack ? link::kFastPace : link::kStandardPace);
        long unheard = 0;
        for (const sim::TrafficRecord& r : b.line.traffic())
            unheard += r.note == "too soon after the last reply" ? 1 : 0;
        EXPECT_LE(unheard, 3);
        for (int item = 100; item <= 147; ++item)
            EXPECT_EQ(b.world.stores.UnitValues[static_cast<std::size_t>(item)].asText(),
                      b.model.text(item));
    }
}
