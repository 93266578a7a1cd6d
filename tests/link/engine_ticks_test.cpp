// Against a converter that answers at once, the engine wastes no tick.
#include "link_fixture.h"
#include "sim/converter_model.h"
#include "sim/instant_line.h"

#include <gtest/gtest.h>

using namespace pravenor;

namespace {

// What the state machine needs for a batch of n items when every reply is there at once:
// one tick takes up the request and marks the items; the first item is dispatched with a
// wake-up and sent 10 ticks later, the others find the converter awake; each exchange takes
// a dispatch, the send, SOH, LEN, the body and the judgement; one tick reports success.
long minimumBatchTicks(int items)
{
    const long firstWakeUp = link::kStandardPace.ticks(link::kWakeUpPause) - 1;
    return 1 + firstWakeUp + 6L * items + 1;
}

int exchangedItems()
{
    int n = 0;
    for (int item = 0; item < settings::kItemCount; ++item)
        n += settings::ItemIsImplemented(item) ? 1 : 0;
    return n;
}

long batchTicks(bool write)
{
    sim::ConverterModel model;
    sim::InstantLine line(model);
    test::LinkWorld world(line);
    for (int n = 0; n <= settings::kLastChoiceItem; ++n) {
        if (world.controls.choiceVisible(n))
            world.controls.setChosenPosition(n, 1);
    }
    world.start();
    world.tick(20); // past the start's poll delay; the converter has not been woken
    const std::string done =
        write ? "Writing of settings successfull." : "Reading of settings successfull.";
    world.engine.request(write ? link::Job::WriteAll : link::Job::ReadAll);
    for (long ticks = 1; ticks <= 10'000; ++ticks) {
        world.tick();
        line.advance(sim::Micros(25'000));
        if (world.logged(done))
            return ticks;
    }
    return -1;
}

} // namespace

TEST(EngineTicks, ABatchTakesNoTickMoreThanTheStateMachineNeeds)
{
    ASSERT_EQ(exchangedItems(), 129);
    EXPECT_EQ(batchTicks(false), minimumBatchTicks(129));
    EXPECT_EQ(batchTicks(true), minimumBatchTicks(129));
}
