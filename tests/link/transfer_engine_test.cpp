// The transfer engine in tick time against the simulated converter: what the converter
// receives, in which order and when, and what the user is told.
#include "fake_port.h"
#include "sim_bench.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace pravenor;
using link::EngineState;
using settings::SettingValue;
using sim::FaultRepeat;
using test::SimBench;
using Bytes = std::vector<std::uint8_t>;

namespace {

const Bytes kWakeUp{0x01, 0x01, 0x80, 0x7F};

std::vector<int> itemsOf(const std::vector<SimBench::Request>& requests, std::uint8_t command)
{
    std::vector<int> items;
    for (const auto& r : requests) {
        if (r.command == command)
            items.push_back(r.item);
    }
    return items;
}

int count(const std::string& text, const std::string& part)
{
    int n = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
        ++n;
    return n;
}

// Bytes the host wrote since the last call.
class LineWatch
{
public:
    explicit LineWatch(const sim::SimulatedLine& line)
        : m_line(line), m_seen(line.bytesFromHost().size())
    {
    }
    Bytes fresh()
    {
        const auto& all = m_line.bytesFromHost();
        Bytes out(all.begin() + static_cast<long>(m_seen), all.end());
        m_seen = all.size();
        return out;
    }

private:
    const sim::SimulatedLine& m_line;
    std::size_t m_seen;
};

bool startsWith(const Bytes& bytes, const Bytes& prefix)
{
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

} // namespace

TEST(TransferEngine, ReadAllServesItemsInItemOrder)
{
    SimBench b;
    b.model.setNumber(0, 2);
    b.model.setNumber(9, 1);
    b.model.setNumber(44, 150);
    b.model.setNumber(60, 11);
    b.model.setText(100, "Main entrance");
    b.model.setText(132, "1234");
    b.world.start();
    b.tick();

    b.world.engine.request(link::Job::ReadAll);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);

    std::vector<int> expected{0, 5};
    for (int i = 9; i <= 14; ++i)
        expected.push_back(i);
    expected.push_back(17);
    for (int i = 20; i <= 91; ++i)
        expected.push_back(i);
    for (int i = 100; i <= 147; ++i)
        expected.push_back(i);
    EXPECT_EQ(itemsOf(b.requests(), 0x77), expected);

    EXPECT_TRUE(b.world.logged("Reading of settings successfull."));
    EXPECT_FALSE(b.world.view.barVisible());
    EXPECT_EQ(b.world.engine.ErrorCount(), 0);
    EXPECT_EQ(b.world.view.progress().find("ERROR"), std::string::npos);

    const auto& stores = b.world.stores;
    EXPECT_EQ(stores.UnitValues[9], SettingValue::Text("1"));
    EXPECT_EQ(stores.WorkValues[9], SettingValue::Text("1"));
    EXPECT_EQ(stores.UnitValues[60], SettingValue::Text("11"));
    EXPECT_EQ(stores.UnitValues[100], SettingValue::Text("Main entrance"));
    EXPECT_EQ(b.world.controls.chosenPosition(44), 150);
    EXPECT_EQ(b.world.controls.choiceText(60), "BleepCode: B");
    EXPECT_EQ(b.world.controls.text(32), "1234");
    // Item 5 is exchanged but has no visible box: its value is stored, not shown.
    EXPECT_EQ(stores.UnitValues[5], SettingValue::Text("0"));
    EXPECT_EQ(b.world.controls.chosenPosition(5), -1);

    EXPECT_NE(
        b.world.view.progress().find("Read setting 9   [Item: 9 Value: forward to relay OK\r\n"),
        std::string::npos);
    EXPECT_TRUE(b.world.logged(
        "Gelezen uit unit:  [Item: 9 Value: 1]  [Item: 9 Value: forward to relay OK"));
}

TEST(TransferEngine, WriteAllTakesEveryControlFirst)
{
    SimBench b;
    b.model.setNumber(5, 7);
    auto& controls = b.world.controls;
    controls.setChosenPosition(0, 1);
    controls.setChosenPosition(9, 1);
    controls.setChosenPosition(44, 150);
    controls.setChosenPosition(60, 12);
    for (int n : {10, 11, 12, 13, 14, 17})
        controls.setChosenPosition(n, 0);
    for (int n = 20; n <= 91; ++n) {
        if (controls.chosenPosition(n) < 0)
            controls.setChosenPosition(n, 1);
    }
    controls.setText(0, "Alarm text");
    controls.setText(32, "12345");
    b.world.stores.WorkValues[5] = SettingValue::Number(4); // loaded from a file, say
    b.world.start();
    b.tick();

    b.world.engine.request(link::Job::WriteAll);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);

    EXPECT_EQ(b.model.number(0), 1);
    EXPECT_EQ(b.model.number(44), 150);
    EXPECT_EQ(b.model.number(60), 12);
    EXPECT_EQ(b.model.number(91), 1);
    // A hidden box gives 0, whatever the store held before.
    EXPECT_EQ(b.model.number(5), 0);
    EXPECT_EQ(b.model.text(100), "Alarm text");
    EXPECT_EQ(b.model.text(132), "12345");
    EXPECT_EQ(b.model.text(101), "");
    EXPECT_TRUE(b.world.logged("Writing of settings successfull."));
    EXPECT_EQ(b.world.stores.UnitValues[44], SettingValue::Number(150));
    EXPECT_EQ(b.world.stores.UnitValues[100], SettingValue::Text("Alarm text"));

    const std::vector<int> written = itemsOf(b.requests(), 0x57);
    EXPECT_EQ(written.size(), 2u + 6u + 1u + 72u + 48u);
    EXPECT_TRUE(std::is_sorted(written.begin(), written.end()));
    EXPECT_NE(
        b.world.view.progress().find("Writing [Item: 9 Value:  forward to relay -> SAVED.\r\n"),
        std::string::npos);
    EXPECT_NE(b.world.view.progress().find("Writing [Item: 100 Value: Alarm text OK -> SAVED.\r\n"),
              std::string::npos);
}

TEST(TransferEngine, PendingRequestsAreServedInItemOrderWhateverTheKind)
{
    SimBench b;
    b.world.start();
    b.tick();
    b.world.controls.setChosenPosition(10, 2);
    b.world.sync.TakeValue(10);
    b.world.stores.ItemRequest[10] = settings::Request::Write;
    b.world.stores.ItemRequest[9] = settings::Request::Read;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }), 0);
    const auto requests = b.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].command, 0x77);
    EXPECT_EQ(requests[0].item, 9);
    EXPECT_EQ(requests[1].command, 0x57);
    EXPECT_EQ(requests[1].item, 10);
}

TEST(TransferEngine, WakesTheConverterOnlyAfterTheLinkWasQuiet)
{
    SimBench b;
    b.world.start();
    b.tick();
    LineWatch watch(b.line);
    auto& requests = b.world.stores.ItemRequest;

    // The first exchange of the run: wake-up, then the request 250 ms (10 ticks) later.
    requests[0] = settings::Request::Read;
    b.tick();
    EXPECT_EQ(watch.fresh(), kWakeUp);
    for (int i = 1; i < 10; ++i) {
        b.tick();
        ASSERT_TRUE(watch.fresh().empty()) << "tick " << i;
    }
    b.tick();
    EXPECT_TRUE(startsWith(watch.fresh(), {0x01, 0x09, 0x01, 0x00, 0x02, 0x77, 0x1F, 0x00}));
    const long readStart = b.ticks;
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);

    // Within 2 s of the read: no wake-up, the request goes out on the tick after dispatch.
    b.tick(static_cast<int>(readStart + 70 - b.ticks));
    requests[9] = settings::Request::Read;
    b.tick();
    EXPECT_TRUE(watch.fresh().empty());
    b.tick();
    EXPECT_TRUE(startsWith(watch.fresh(), {0x01, 0x09, 0x01, 0x00, 0x02, 0x77, 0x1F, 0x09}));
    const long secondReadStart = b.ticks;
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);

    // More than 2 s after it: woken again.
    b.tick(static_cast<int>(secondReadStart + 81 - b.ticks));
    requests[9] = settings::Request::Read;
    b.tick();
    EXPECT_EQ(watch.fresh(), kWakeUp);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);
    watch.fresh();

    // A write keeps the converter awake for 5 s.
    b.tick(100);
    b.world.controls.setChosenPosition(9, 1);
    b.world.sync.TakeValue(9);
    requests[9] = settings::Request::Write;
    b.tick();
    EXPECT_EQ(watch.fresh(), kWakeUp);
    b.tick(10);
    const long writeStart = b.ticks;
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);
    watch.fresh();
    b.tick(static_cast<int>(writeStart + 190 - b.ticks));
    requests[9] = settings::Request::Read;
    b.tick();
    EXPECT_TRUE(watch.fresh().empty());
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);
}

TEST(TransferEngine, ThreeFailuresCancelEverythingUntilABatchStarts)
{
    sim::FaultPlan faults;
    faults.noAnswer = FaultRepeat::times(3);
    SimBench b(faults);
    b.world.start();
    b.tick();
    LineWatch watch(b.line);

    b.world.stores.ItemRequest[0] = settings::Request::Read;
    ASSERT_GT(b.tickUntil([&] { return !b.world.view.messages().empty(); }, 2000), 0);

    const std::string failure = "[Item: 0 Waarde: ]  ERROR timeout wo SOH. \r\n";
    EXPECT_EQ(count(b.world.view.progress(), failure), 3);
    EXPECT_EQ(count(b.world.view.progress(), "Read setting 0  "), 3);
    EXPECT_TRUE(b.world.logged("Error reading unit: [Item: 0 Waarde: ]  ERROR timeout wo SOH. "));
    // Each retry comes after more than 2 s of silence, so each is woken again.
    const Bytes sent = watch.fresh();
    int wakeUps = 0;
    for (std::size_t i = 0; i + 4 <= sent.size(); ++i)
        wakeUps += std::equal(kWakeUp.begin(), kWakeUp.end(), sent.begin() + static_cast<long>(i));
    EXPECT_EQ(wakeUps, 3);

    ASSERT_EQ(b.world.view.messages().size(), 1u);
    EXPECT_EQ(b.world.view.messages()[0].title, "Pravenor by Quilmar");
    EXPECT_EQ(b.world.view.messages()[0].text,
              "ERROR reading setting from converter.\r\nReading cancelled!");
    EXPECT_TRUE(b.world.logged("ERROR reading setting from converter. Reading cancelled!"));
    EXPECT_TRUE(b.nothingPending());
    const std::string& progress = b.world.view.progress();
    EXPECT_EQ(progress.substr(progress.size() - 16), "\r\nGeannuleerd!\r\n");

    // A single request is cancelled at once, with nothing sent, until a batch starts.
    b.world.stores.ItemRequest[9] = settings::Request::Read;
    b.tick();
    EXPECT_EQ(b.world.view.messages().size(), 2u);
    EXPECT_TRUE(b.nothingPending());
    b.world.controls.setChosenPosition(9, 1);
    b.world.sync.TakeValue(9);
    b.world.stores.ItemRequest[9] = settings::Request::Write;
    b.tick();
    ASSERT_EQ(b.world.view.messages().size(), 3u);
    EXPECT_EQ(b.world.view.messages()[2].text,
              "ERROR writing setting in converter.\r\nWriting cancelled!");
    EXPECT_TRUE(watch.fresh().empty());

    b.world.engine.request(link::Job::ReadAll);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);
    EXPECT_TRUE(b.world.logged("Reading of settings successfull."));
    EXPECT_EQ(b.world.view.messages().size(), 3u);
}

TEST(TransferEngine, ATimeOutComesAfterThreeSeconds)
{
    sim::FaultPlan faults;
    faults.noAnswer = FaultRepeat::times(1);
    SimBench b(faults);
    b.world.start();
    b.tick();
    b.world.stores.ItemRequest[9] = settings::Request::Read;
    const int sentAfter =
        b.tickUntil([&] { return b.world.engine.state() == EngineState::ReadSoh; });
    ASSERT_GT(sentAfter, 0);
    const int failedAfter =
        b.tickUntil([&] { return b.world.engine.state() == EngineState::Idle; });
    EXPECT_EQ(failedAfter, 120);
}

TEST(TransferEngine, ALostPortIsReopenedEveryFiveSecondsAndCancelsWhatWasPending)
{
    SimBench b;
    b.world.start();
    b.tick(2);
    b.line.cutPower(sim::Micros(12'000'000));
    b.world.stores.ItemRequest[0] = settings::Request::Read;
    b.tick();
    EXPECT_EQ(b.world.engine.state(), EngineState::PortLost);

    std::vector<long> failedAt;
    std::size_t seen = b.world.logMessages().size();
    ASSERT_GT(b.tickUntil(
                  [&] {
                      const auto lines = b.world.logMessages();
                      for (; seen < lines.size(); ++seen) {
                          if (lines[seen] == "Error opening ComPort:  1")
                              failedAt.push_back(b.ticks);
                      }
                      return b.world.engine.state() == EngineState::Idle;
                  },
                  2000),
              0);

    ASSERT_GE(failedAt.size(), 2u);
    for (std::size_t i = 1; i < failedAt.size(); ++i)
        EXPECT_EQ(failedAt[i] - failedAt[i - 1], 200);
    EXPECT_TRUE(b.world.logged("Comport closed by software."));
    const auto lines = b.world.logMessages();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Com: 1 opened with: 9600,N,8,1");
    EXPECT_TRUE(b.nothingPending());
    EXPECT_NE(b.world.view.progress().find("\r\nCurrent Read/Write action is cancelled!\r\n"),
              std::string::npos);
    // The log, the record of what the converter was given, says so too.
    EXPECT_EQ(lines.back(), "Current Read/Write action is cancelled!");

    // Back to work.
    b.world.stores.ItemRequest[9] = settings::Request::Read;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 200), 0);
    EXPECT_EQ(b.world.stores.UnitValues[9], SettingValue::Text("0"));
}

TEST(TransferEngine, ALostPortEndsARunningBatchWithoutASuccessReport)
{
    SimBench b;
    b.world.start();
    b.tick();
    b.world.engine.request(link::Job::ReadAll);
    b.tick(100);
    b.line.cutPower(sim::Micros(1'000'000));
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 3000), 0);
    EXPECT_FALSE(b.world.logged("Reading of settings successfull."));
    EXPECT_NE(b.world.view.progress().find("Current Read/Write action is cancelled!"),
              std::string::npos);
}

struct FailureCase
{
    const char* name;
    sim::FaultPlan faults;
    std::string readReport; // after "[Item: 9 Waarde: ] "
    std::string writeReport;
    bool counted;
};

class FailureReports : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(FailureReports, ReadIsReportedInProgressAndLogThenRetried)
{
    const FailureCase& c = GetParam();
    SimBench b(c.faults);
    b.world.start();
    b.tick();
    b.world.stores.ItemRequest[9] = settings::Request::Read;
    ASSERT_GT(b.tickUntil(
                  [&] { return b.world.view.progress().find("ERROR") != std::string::npos; }, 1000),
              0);
    EXPECT_EQ(b.world.engine.state(), EngineState::Idle);
    EXPECT_EQ(b.world.engine.ErrorCount(), c.counted ? 1 : 0);
    EXPECT_EQ(b.world.stores.ItemRequest[9], settings::Request::Read);
    EXPECT_NE(
        b.world.view.progress().find("Read setting 9  [Item: 9 Waarde: ] " + c.readReport + "\r\n"),
        std::string::npos)
        << b.world.view.progress();
    EXPECT_TRUE(b.world.logged("Error reading unit: [Item: 9 Waarde: ] " + c.readReport));

    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 1000), 0);
    EXPECT_EQ(b.world.engine.ErrorCount(), 0);
    EXPECT_EQ(b.world.stores.UnitValues[9], SettingValue::Text("0"));
}

TEST_P(FailureReports, WriteIsReportedInProgressOnlyThenRetried)
{
    const FailureCase& c = GetParam();
    SimBench b(c.faults);
    b.world.start();
    b.tick();
    b.world.controls.setChosenPosition(9, 1);
    b.world.sync.TakeValue(9);
    b.world.stores.ItemRequest[9] = settings::Request::Write;
    const auto logBefore = b.world.logMessages().size();
    ASSERT_GT(b.tickUntil(
                  [&] { return b.world.view.progress().find("ERROR") != std::string::npos; }, 1000),
              0);
    EXPECT_EQ(b.world.engine.state(), EngineState::Idle);
    EXPECT_EQ(b.world.engine.ErrorCount(), c.counted ? 1 : 0);
    EXPECT_EQ(b.world.view.progress(),
              "Writing [Item: 9 Value:  forward to relay" + c.writeReport + "\r\n");
    // The log has the write line and nothing of the failure.
    const auto lines = b.world.logMessages();
    ASSERT_EQ(lines.size(), logBefore + 1);
    EXPECT_EQ(lines.back(), " [Item: 9 Value: 1] Writing [Item: 9 Value:  forward to relay");

    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 1000), 0);
    EXPECT_EQ(b.model.number(9), 1);
    EXPECT_EQ(b.world.engine.ErrorCount(), 0);
}

namespace {

sim::FaultPlan once(FaultRepeat sim::FaultPlan::*fault)
{
    sim::FaultPlan plan;
    plan.*fault = FaultRepeat::times(1);
    return plan;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    TransferEngine, FailureReports,
    ::testing::Values(FailureCase{"NoAnswer", once(&sim::FaultPlan::noAnswer),
                                  " ERROR timeout wo SOH. ", " -> ERROR timeout on SOH.", true},
                      FailureCase{"BadChecksum", once(&sim::FaultPlan::badChecksum),
                                  " ERROR checksum. ", " -> ERROR checksum.", true},
                      FailureCase{"TooLong", once(&sim::FaultPlan::tooLong),
                                  " ERROR too long info. ", " -> ERROR too long info.", false},
                      FailureCase{"BodyStops", once(&sim::FaultPlan::bodyStops),
                                  " ERROR timeout wo body. ", " -> ERROR timeout on body.", true}),
    [](const ::testing::TestParamInfo<FailureCase>& param) {
        return std::string(param.param.name);
    });

TEST(TransferEngine, AWriteRefusedByTheConverterIsCountedAndWrittenAgain)
{
    sim::FaultPlan faults;
    faults.nack = FaultRepeat::times(1);
    SimBench b(faults);
    b.world.start();
    b.tick();
    b.world.controls.setChosenPosition(11, 1);
    b.world.sync.TakeValue(11);
    b.world.stores.ItemRequest[11] = settings::Request::Write;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 1000), 0);
    EXPECT_EQ(b.world.view.progress(), "Writing [Item: 11 Value:  8 bits -> program ERROR NACK.\r\n"
                                       "Writing [Item: 11 Value:  8 bits -> SAVED.\r\n");
    EXPECT_EQ(b.model.number(11), 1);
}

TEST(TransferEngine, AReplyTooShortToNameAnItemIsAskedAgainSilently)
{
    sim::FaultPlan faults;
    faults.shortReply = FaultRepeat::times(1);
    SimBench b(faults);
    b.world.start();
    b.tick();
    b.world.stores.ItemRequest[5] = settings::Request::Read;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 1000), 0);
    EXPECT_EQ(count(b.world.view.progress(), "Read setting 5  "), 2);
    EXPECT_EQ(b.world.view.progress().find("ERROR"), std::string::npos);
    EXPECT_EQ(itemsOf(b.requests(), 0x77), (std::vector<int>{5, 5}));
}

TEST(TransferEngine, DebugLevelTwoAddsDetailAndTheBatchReportToTheProgress)
{
    for (const app::DebugMode level : {app::DebugMode::Off, app::DebugMode::Debug}) {
        SimBench b;
        b.world.debugLevel = level;
        b.model.setNumber(9, 1);
        b.world.start();
        b.tick();
        b.world.engine.request(link::Job::ReadAll);
        ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);
        const std::string& progress = b.world.view.progress();
        const bool detailed = level == app::DebugMode::Debug;
        EXPECT_EQ(progress.find("Reading of settings successfull.\r\n") != std::string::npos,
                  detailed);
        EXPECT_EQ(progress.find(
                      "Read setting 9   [Item: 9 Value: 1]  [Item: 9 Value: forward to relay OK") !=
                      std::string::npos,
                  detailed);
        EXPECT_TRUE(b.world.logged("Reading of settings successfull."));
    }
}

TEST(TransferEngine, TheWindowsCancelEndsABatchWithoutASuccessReport)
{
    SimBench b;
    b.world.start();
    b.tick();
    b.world.engine.request(link::Job::ReadAll);
    b.tick(50);
    b.world.stores.ItemRequest.fill(settings::Request::None);
    b.world.engine.endBatchByUser();
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }, 500), 0);
    b.tick(10);
    EXPECT_FALSE(b.world.logged("Reading of settings successfull."));
}

TEST(TransferEngine, WithoutTheStartSignalNothingIsServed)
{
    test::FakePort port;
    port.nextOpen = link::OpenResult::Failed;
    test::LinkWorld world(port);
    world.start();
    world.stores.ItemRequest[0] = settings::Request::Read;
    world.engine.request(link::Job::ReadAll);
    world.tick(500);
    EXPECT_EQ(world.engine.state(), EngineState::Initial);
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(world.engine.requested(link::Job::ReadAll));
}

TEST(TransferEngine, AwaitingAPortThatFailedAtStartTriesItEveryFiveSeconds)
{
    test::FakePort port;
    port.nextOpen = link::OpenResult::Failed;
    test::LinkWorld world(port);
    world.start();
    world.engine.awaitPort();
    ASSERT_EQ(world.engine.state(), EngineState::PortLost);
    const int opensBefore = port.openCount;
    world.tick(199);
    EXPECT_EQ(port.openCount, opensBefore);
    world.tick();
    EXPECT_EQ(port.openCount, opensBefore + 1);
    port.nextOpen = link::OpenResult::Opened;
    world.tick(200);
    EXPECT_EQ(world.engine.state(), EngineState::Idle);
    world.stores.ItemRequest[9] = settings::Request::Read;
    world.tick(20);
    EXPECT_FALSE(port.written.empty());
}

TEST(TransferEngine, TheProgressBarFollowsTheItems)
{
    test::FakePort port;
    test::LinkWorld world(port);
    struct Case
    {
        int item;
        int value;
    };
    for (const Case& c : {Case{0, 0}, Case{91, 91}, Case{100, 100}, Case{101, 110}, Case{131, 410},
                          Case{132, 420}, Case{147, 480}}) {
        world.engine.UpdateProgress(c.item);
        EXPECT_TRUE(world.view.barVisible());
        EXPECT_EQ(world.view.barMaximum(), 484);
        EXPECT_EQ(world.view.barValue(), c.value) << c.item;
    }
    world.engine.UpdateProgress(-1);
    EXPECT_FALSE(world.view.barVisible());
    world.stores.ItemRequest[3] = settings::Request::Read;
    world.stores.ItemRequest[250] = settings::Request::Write;
    world.engine.UpdateProgress(-1);
    EXPECT_TRUE(world.view.barVisible());
    EXPECT_EQ(world.view.barMaximum(), 250);
    EXPECT_EQ(world.view.barValue(), 2);
}

TEST(TransferEngine, TextTheConverterSendsWhileIdleIsLogged)
{
    sim::FaultPlan faults;
    faults.chatterEvery = std::chrono::milliseconds(400);
    faults.chatterText = "ALARM 3";
    SimBench b(faults);
    b.world.start();
    b.tick(100);
    const auto lines = b.world.logMessages();
    EXPECT_GE(std::count(lines.begin(), lines.end(), "ALARM 3"), 4);
}

// Replies scripted byte by byte, for cases the simulated converter never produces.
class ScriptedReplies : public ::testing::Test
{
protected:
    void SetUp() override
    {
        world.start();
        world.tick();
    }
    // Wake-up, 250 ms, request sent; after a failure the line is waited out first.
    void dispatch(int item, settings::Request request, bool afterFailure = false)
    {
        world.stores.ItemRequest[static_cast<std::size_t>(item)] = request;
        world.tick(11 + (afterFailure ? world.engine.paceTicks().lineSettle : 0));
        port.written.clear();
    }

    test::FakePort port;
    test::LinkWorld world{port};
};

TEST_F(ScriptedReplies, NoLenAfterSohTimesOut)
{
    dispatch(9, settings::Request::Read);
    port.feed(Bytes{0x01});
    world.tick();
    EXPECT_EQ(world.engine.state(), EngineState::ReadLen);
    world.tick(119);
    EXPECT_EQ(world.engine.state(), EngineState::ReadLen);
    world.tick();
    EXPECT_EQ(world.engine.state(), EngineState::Idle);
    EXPECT_TRUE(world.logged("Error reading unit: [Item: 9 Waarde: ]  ERROR timeout wo LEN. "));
    EXPECT_EQ(world.engine.ErrorCount(), 1);

    world.controls.setChosenPosition(9, 0);
    world.sync.TakeValue(9);
    world.view.clearProgress();
    dispatch(9, settings::Request::Write, true);
    port.feed(Bytes{0x01});
    world.tick(121);
    EXPECT_EQ(world.view.progress(),
              "Writing [Item: 9 Value:  no forward to relay. -> ERROR timeout on LEN.\r\n");
    EXPECT_EQ(world.engine.ErrorCount(), 2);
}

TEST_F(ScriptedReplies, APagerCallAfterAGoodPositionCanStillBeRefused)
{
    auto answer = [&](EngineState waiting, const Bytes& reply) {
        for (int n = 0; n < 50 && world.engine.state() != waiting; ++n)
            world.tick();
        ASSERT_EQ(world.engine.state(), waiting);
        port.feed(reply);
    };
    world.engine.request(link::Job::PagerCall);
    answer(EngineState::PagerPositionSoh,
           Bytes{0x01, 0x08, 0x01, 0x00, 0x06, 0x41, 0x1F, 0x33, 0x5D});
    answer(EngineState::PagerCallSoh, Bytes{0x01, 0x06, 0x01, 0x00, 0x15, 0x50, 0x93});
    world.tick(20);
    EXPECT_EQ(world.engine.PagerBufPos(), 3);
    EXPECT_TRUE(world.logged("ERROR: send call to pager via Pravenor FAILED."));
}

// A network line that is still connecting carries no exchange, and one that drops during an
// exchange is a lost port on that tick, not a converter that did not answer.
TEST_F(ScriptedReplies, AConnectingLineWaitsAndADroppedOneIsLostAtOnce)
{
    port.connected = false;
    world.stores.ItemRequest[9] = settings::Request::Read;
    world.tick(200);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(world.engine.state(), EngineState::Idle);
    port.connected = true;
    world.tick(11);
    EXPECT_EQ(world.engine.state(), EngineState::ReadSoh);
    port.isOpenNow = false;
    world.tick();
    EXPECT_EQ(world.engine.state(), EngineState::PortLost);
    EXPECT_EQ(world.engine.ErrorCount(), 0);
}

TEST_F(ScriptedReplies, BytesBeforeSohAreDroppedOnePerTick)
{
    dispatch(9, settings::Request::Read);
    port.feed(std::string("OK\r\n"));
    port.feed(
        Bytes{0x01, 0x0D, 0x00, 0x01, 0x06, 0x77, 0x1F, 0x09, 0x1E, 0x77, 0x1F, 0x01, 0x1E, 0x79});
    world.tick(4);
    EXPECT_EQ(world.engine.state(), EngineState::ReadSoh);
    world.tick(); // SOH
    world.tick(); // LEN
    world.tick(); // body
    EXPECT_EQ(world.engine.state(), EngineState::ReadJudge);
    world.tick();
    EXPECT_EQ(world.stores.UnitValues[9], SettingValue::Text("1"));
}

TEST_F(ScriptedReplies, AReplyForAnotherItemIsStoredUnderThatItem)
{
    world.stores.ItemRequest[10] = settings::Request::Read;
    dispatch(9, settings::Request::Read);
    port.feed(
        Bytes{0x01, 0x0D, 0x00, 0x01, 0x06, 0x77, 0x1F, 0x0A, 0x1E, 0x77, 0x1F, 0x02, 0x1E, 0x77});
    world.tick(4);
    EXPECT_EQ(world.stores.UnitValues[10], SettingValue::Text("2"));
    EXPECT_EQ(world.stores.ItemRequest[10], settings::Request::None);
    EXPECT_EQ(world.stores.ItemRequest[9], settings::Request::Read);
    EXPECT_EQ(world.controls.chosenPosition(10), 2);
}

TEST_F(ScriptedReplies, AnUnreadableItemIsAFailure)
{
    dispatch(9, settings::Request::Read);
    port.feed(
        Bytes{0x01, 0x0D, 0x00, 0x01, 0x06, 0x77, 0x1F, 0x06, 0x1E, 0x77, 0x1F, 0x02, 0x1E, 0x7B});
    world.tick(4);
    EXPECT_EQ(world.view.progress(),
              "Read setting 9  [Item: 9 Waarde: ]  ERROR reading setup!\r\n");
    EXPECT_TRUE(world.logged("Error reading unit: [Item: 9 Waarde: ]  ERROR reading setup!"));
    EXPECT_EQ(world.engine.ErrorCount(), 1);
}

TEST_F(ScriptedReplies, TheLongestAcceptedReplyAndOneByteMore)
{
    // LEN 197: 198 bytes, accepted. A text item takes the 185 characters in it.
    Bytes reply{0x01, 197, 0x00, 0x01, 0x06, 0x77, 0x1F, 100, 0x1E, 0x77, 0x1F};
    reply.insert(reply.end(), 185, 'x');
    reply.push_back(0x1E);
    int sum = 0;
    for (auto b : reply)
        sum += b;
    reply.push_back(static_cast<std::uint8_t>((256 - sum % 256) % 256));
    ASSERT_EQ(reply.size(), 198u);
    dispatch(100, settings::Request::Read);
    port.feed(reply);
    world.tick(4);
    EXPECT_EQ(world.stores.UnitValues[100], SettingValue::Text(std::string(185, 'x')));
    // The box holds 100 characters.
    EXPECT_EQ(world.controls.text(0), std::string(100, 'x'));

    // LEN 198: too long when the 199th byte arrives, whatever the checksum.
    Bytes longer{0x01, 198, 0x00, 0x01, 0x06, 0x77, 0x1F, 100, 0x1E, 0x77, 0x1F};
    longer.insert(longer.end(), 188, 'y');
    ASSERT_EQ(longer.size(), 199u);
    world.view.clearProgress();
    dispatch(100, settings::Request::Read);
    port.feed(longer);
    world.tick(3);
    EXPECT_EQ(world.view.progress(), "Read setting 100   ERROR too long info. \r\n");
    EXPECT_EQ(world.engine.ErrorCount(), 0);
}

TEST(TransferEngine, ARequestWhosePortWillNotOpenVanishes)
{
    test::FakePort port;
    test::LinkWorld world(port);
    world.start();
    world.tick();
    port.nextOpen = link::OpenResult::Failed;

    // A read-all that cannot reopen the port ends the tick; the restart waits for the next.
    world.engine.request(link::Job::ReadAll);
    world.engine.request(link::Job::Restart);
    world.tick();
    EXPECT_FALSE(world.engine.requested(link::Job::ReadAll));
    EXPECT_TRUE(world.engine.requested(link::Job::Restart));
    EXPECT_EQ(world.engine.batchKind(), link::Batch::None);

    // A write-all that cannot reopen it lets the restart try in the same tick.
    port.isOpenNow = true;
    world.engine.request(link::Job::WriteAll);
    world.tick();
    EXPECT_FALSE(world.engine.requested(link::Job::WriteAll));
    EXPECT_FALSE(world.engine.requested(link::Job::Restart));
    const auto lines = world.logMessages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Error opening ComPort:  1"), 3);
    world.tick();
    EXPECT_EQ(world.engine.state(), EngineState::PortLost);
}
