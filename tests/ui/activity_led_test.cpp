#include "ui/activity_led.h"

#include <gtest/gtest.h>

namespace pravenor::ui {
namespace {

TEST(ActivityLed, OneByteLightsForOneTickAndSteadyTrafficBlinks)
{
    ActivityLed led;
    bool activity = false;
    EXPECT_FALSE(led.tick(activity)); // nothing sent: stays dark

    activity = true; // one byte
    EXPECT_TRUE(led.tick(activity));
    EXPECT_FALSE(led.tick(activity)); // darkened, and the flag taken
    EXPECT_FALSE(activity);
    EXPECT_FALSE(led.tick(activity));

    std::vector<bool> lit;
    for (int n = 0; n < 4; ++n) {
        activity = true; // a steady stream sets the flag before every tick
        lit.push_back(led.tick(activity));
    }
    EXPECT_EQ(lit, (std::vector<bool>{true, false, true, false}));
}

} // namespace
} // namespace pravenor::ui
