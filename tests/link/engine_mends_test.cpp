// Where the engine protects what the user typed and what the converter is told.
#include "sim_bench.h"

#include <gtest/gtest.h>

using namespace pravenor;
using link::EngineState;
using settings::SettingValue;
using test::SimBench;

namespace {

void clickWrite(SimBench& b, int item, int position)
{
    b.world.controls.setChosenPosition(item, position);
    b.world.sync.TakeValue(item);
    b.world.stores.ItemRequest[static_cast<std::size_t>(item)] = settings::Request::Write;
}

long occurrences(const std::string& text, const std::string& part)
{
    long n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Every shown choice box at its first entry, so that a write-all sends them all.
void chooseFirstEntries(SimBench& b)
{
    for (int item = 0; item <= settings::kLastChoiceItem; ++item) {
        if (b.world.controls.choiceVisible(item))
            b.world.controls.setChosenPosition(item, 0);
    }
}

} // namespace

TEST(EngineMends, AWriteClickedDuringItsOwnWriteIsSentAfterwards)
{
    SimBench b;
    b.startIdle();
    clickWrite(b, 10, 1);
    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::WriteSoh; }), 0);
    clickWrite(b, 10, 3);

    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::Idle; }), 0);
    // The converter got 1 and the stores say so; the newer value is still to go.
    EXPECT_EQ(b.model.number(10), 1);
    EXPECT_EQ(b.world.stores.UnitValues[10], SettingValue::Number(1));
    EXPECT_EQ(b.world.stores.ItemRequest[10], settings::Request::Write);
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
    b.startIdle();
    b.world.stores.ItemRequest[13] = settings::Request::Read;
    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::ReadSoh; }), 0);
    clickWrite(b, 13, 1);

    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::Idle; }), 0);
    EXPECT_EQ(b.world.stores.UnitValues[13], SettingValue::Text("2"));
    EXPECT_EQ(b.world.stores.WorkValues[13], SettingValue::Number(1));
    EXPECT_EQ(b.world.controls.chosenPosition(13), 1);
    EXPECT_TRUE(b.world.logged("Setting 13: the value waiting to be written is kept."));
    // The progress shows what the converter holds, not the choice still to be sent.
    EXPECT_NE(b.world.view.progress().find("Read setting 13   [Item: 13 Value: odd parity OK, "
                                           "the value waiting to be written is kept.\r\n"),
              std::string::npos)
        << b.world.view.progress();

    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }), 0);
    EXPECT_EQ(b.model.number(13), 1);
}

TEST(EngineMends, AValueOutsideAByteIsRefusedAndSaidSo)
{
    SimBench b;
    b.startIdle();
    // No entry chosen: the box gives -1.
    b.world.sync.TakeValue(9);
    ASSERT_EQ(b.world.stores.WorkValues[9], SettingValue::Number(-1));
    b.world.stores.ItemRequest[9] = settings::Request::Write;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 100), 0);
    EXPECT_TRUE(b.requests().empty());
    EXPECT_EQ(b.world.view.progress(),
              "Writing [Item: 9 Value:   -> ERROR value -1 outside 0..255, not sent.\r\n");
    EXPECT_TRUE(b.world.logged("Setting 9 not written: value -1 outside 0..255."));
    EXPECT_EQ(b.world.engine.ErrorCount(), 0);

    // A bleep code of 256 or more keeps its old report.
    b.world.view.clearProgress();
    b.world.stores.WorkValues[60] = SettingValue::Number(300);
    b.world.stores.ItemRequest[60] = settings::Request::Write;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 100), 0);
    EXPECT_EQ(b.world.view.progress(),
              "Writing [Item: 60 Value:   -> Not implemented type of unit.\r\n");
    EXPECT_TRUE(b.requests().empty());
}

TEST(EngineMends, AReplyBodyThatStopsTimesOutAfterThreeSecondsOfSilence)
{
    sim::FaultPlan faults;
    faults.bodyStops = sim::FaultRepeat::times(1);
    SimBench b(faults);
    b.startIdle();
    b.world.stores.ItemRequest[9] = settings::Request::Read;
    ASSERT_GT(b.tickUntil([&] { return b.world.engine.state() == EngineState::ReadBody; }), 0);
    b.tick(2); // the part of the body that does come
    const int ticks =
        b.tickUntil([&] { return b.world.engine.state() != EngineState::ReadBody; }, 200);
    EXPECT_GE(ticks, 117);
    EXPECT_LE(ticks, 120);
    EXPECT_EQ(b.world.engine.ErrorCount(), 1);
}

struct EndlessRetry
{
    const char* name;
    sim::FaultRepeat sim::FaultPlan::*fault;
    bool write;
    const char* report; // in the progress of every retry that is reported
};

class EndlessRetries : public ::testing::TestWithParam<EndlessRetry>
{
};

// Every reply forces a retry that used to count for nothing; every third in a row now counts,
// so the ninth exchange of the first item brings the cancellation.
TEST_P(EndlessRetries, EndInTheCancelBoxAfterNineExchanges)
{
    const EndlessRetry& c = GetParam();
    sim::FaultPlan faults;
    faults.*c.fault = sim::FaultRepeat::every();
    SimBench b(faults);
    b.startIdle();
    chooseFirstEntries(b);
    b.world.engine.request(c.write ? link::Job::WriteAll : link::Job::ReadAll);

    ASSERT_GT(b.tickUntil([&] { return !b.world.view.messages().empty(); }, 5000), 0);
    EXPECT_EQ(b.world.view.messages().front().text,
              c.write ? "ERROR writing setting in converter.\r\nWriting cancelled!"
                      : "ERROR reading setting from converter.\r\nReading cancelled!");
    EXPECT_EQ(b.world.engine.ErrorCount(), 3);
    EXPECT_EQ(b.requests().size(), 9u);
    const bool firstSilent =
        std::string(c.name) == "ShortRead" || std::string(c.name) == "NackRead";
    EXPECT_EQ(occurrences(b.world.view.progress(), c.report), firstSilent ? 8 : 9);
    if (!c.write) {
        EXPECT_EQ(b.world.logMessages().size() - 4, firstSilent ? 8u : 9u)
            << "opened, closed, opened, cancelled";
        EXPECT_EQ(b.world.logMessages().back(),
                  "ERROR reading setting from converter. Reading cancelled!");
    }
    EXPECT_TRUE(b.nothingPending());
}

INSTANTIATE_TEST_SUITE_P(
    EngineMends, EndlessRetries,
    ::testing::Values(
        EndlessRetry{"ShortRead", &sim::FaultPlan::shortReply, false, " ERROR reply too short. "},
        EndlessRetry{"NackRead", &sim::FaultPlan::nack, false, " ERROR reply too short. "},
        EndlessRetry{"TooLongRead", &sim::FaultPlan::tooLong, false, " ERROR too long info. "},
        EndlessRetry{"TooLongWrite", &sim::FaultPlan::tooLong, true, " -> ERROR too long info."}),
    [](const ::testing::TestParamInfo<EndlessRetry>& param) {
        return std::string(param.param.name);
    });

TEST(EngineMends, TwoShortRepliesAreAskedAgainAndOnlyTheSecondIsLogged)
{
    sim::FaultPlan faults;
    faults.shortReply = sim::FaultRepeat::times(2);
    SimBench b(faults);
    b.startIdle();
    b.world.stores.ItemRequest[5] = settings::Request::Read;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 1000), 0);
    EXPECT_EQ(b.requests().size(), 3u);
    EXPECT_EQ(occurrences(b.world.view.progress(), " ERROR reply too short. "), 1);
    EXPECT_TRUE(b.world.logged("Error reading unit: [Item: 5 Waarde: ]  ERROR reply too short. "));
    EXPECT_EQ(b.world.engine.ErrorCount(), 0);
    EXPECT_EQ(b.world.stores.UnitValues[5], SettingValue::Text("0"));
}

TEST(EngineMends, AWriteAllWithRefusedSettingsSaysHowManyWereNotWritten)
{
    SimBench b;
    b.startIdle();
    chooseFirstEntries(b);
    b.world.controls.setChosenPosition(9, -1); // nothing chosen: -1, outside a byte
    b.world.controls.setChosenPosition(44, -1);
    b.world.engine.request(link::Job::WriteAll);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);
    EXPECT_EQ(b.world.engine.refusedCount(), 2);
    EXPECT_TRUE(b.world.logged("Writing of settings ended: 2 settings were not written."));
    EXPECT_FALSE(b.world.logged("Writing of settings successfull."));

    // The next batch starts counting afresh.
    chooseFirstEntries(b);
    b.world.engine.request(link::Job::WriteAll);
    ASSERT_GT(b.tickUntil([&] { return b.settled(); }), 0);
    EXPECT_EQ(b.world.engine.refusedCount(), 0);
    EXPECT_TRUE(b.world.logged("Writing of settings successfull."));
}

TEST(EngineMends, ATextWithControlBytesIsNeverSentAndSaidSo)
{
    SimBench b;
    b.startIdle();
    b.model.setText(100, "Hall door");
    b.world.controls.setText(0, "1\x1e"
                                "2\x1f"
                                "HACKED");
    b.world.sync.TakeValue(100);
    b.world.stores.ItemRequest[100] = settings::Request::Write;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 100), 0);
    EXPECT_EQ(b.model.text(100), "Hall door");
    EXPECT_EQ(b.world.view.progress(), "Writing [Item: 100 Value: 1[RS]2[US]HACKED OK -> ERROR "
                                       "text holds control characters, not sent.\r\n");
    EXPECT_TRUE(b.world.logged("Setting 100 not written: text holds control characters."));
    EXPECT_EQ(b.world.engine.ErrorCount(), 0);
}

TEST(EngineMends, AConvertersTextIsLoggedWithItsControlBytesShownNotObeyed)
{
    SimBench b;
    b.startIdle();
    b.model.setText(101, "\x1b[2JGone\x07");
    b.world.stores.ItemRequest[101] = settings::Request::Read;
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 200), 0);
    EXPECT_EQ(b.world.stores.UnitValues[101], SettingValue::Text("\x1b[2JGone\x07"));
    EXPECT_TRUE(b.world.logged("Gelezen uit unit:  [Item: 101 Value: [ESC][2JGone[BEL]]  [Item: "
                               "101 Value: [ESC][2JGone[BEL] OK"));
}

// The converter held up past the reply time-out: its late reply (a refusal here) reaches the
// line while the retry is on its way, and must not be taken for the retry's reply.
TEST(EngineMends, ALateReplyIsNeverCreditedToTheRetry)
{
    sim::FaultPlan faults;
    faults.late = sim::FaultRepeat::times(1);
    faults.lateBy = std::chrono::milliseconds{3500};
    faults.nack = sim::FaultRepeat::times(1);
    SimBench b(faults);
    b.startIdle();
    clickWrite(b, 10, 1);
    clickWrite(b, 11, 1);
    ASSERT_GT(b.tickUntil([&] { return b.nothingPending(); }, 2000), 0);
    EXPECT_EQ(b.model.number(11), 1);
    EXPECT_EQ(occurrences(b.world.view.progress(), "ERROR"), 1) << b.world.view.progress();
    EXPECT_EQ(b.world.engine.ErrorCount(), 0);
}
