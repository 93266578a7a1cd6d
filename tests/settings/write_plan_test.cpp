#include "settings/write_plan.h"

#include <gtest/gtest.h>

namespace pravenor::settings {
namespace {

using Items = std::vector<int>;

TEST(WritePlan, OnlyUnknownItemsAreReadFirstAndWithoutBackupTheyAreCounted)
{
    KnownItems known;
    known.set(0);
    known.set(100);
    const Items writes{0, 9, 100, 101};
    EXPECT_EQ(PlanWrite(writes, known, true).readFirst, (Items{9, 101}));
    EXPECT_TRUE(PlanWrite(writes, known, true).unknown.empty());
    EXPECT_TRUE(PlanWrite(writes, known, false).readFirst.empty());
    EXPECT_EQ(PlanWrite(writes, known, false).unknown, (Items{9, 101}));

    known.set();
    EXPECT_TRUE(PlanWrite(writes, known, true).readFirst.empty()); // after a read-all
}

TEST(WritePlan, RestoreReadsTheUnknownAndWritesOnlyWhatDiffers)
{
    ValueStores::Store snapshot;
    ValueStores::Store unit;
    KnownItems inSnapshot;
    KnownItems known;
    auto put = [&](int item, SettingValue kept, SettingValue now, bool isKnown) {
        snapshot[static_cast<std::size_t>(item)] = std::move(kept);
        unit[static_cast<std::size_t>(item)] = std::move(now);
        inSnapshot.set(static_cast<std::size_t>(item));
        known.set(static_cast<std::size_t>(item), isKnown);
    };
    put(0, SettingValue::Number(3), SettingValue::Text("3"), true);          // same choice
    put(9, SettingValue::Number(2), SettingValue::Text("1"), true);          // differs
    put(10, SettingValue::Number(2), SettingValue::Number(2), false);        // unknown
    put(100, SettingValue::Text("Hall"), SettingValue::Text("Hall "), true); // differs
    put(101, SettingValue::Text("A"), SettingValue::Text("A"), true);
    put(1, SettingValue::Number(4), SettingValue::Number(0), true); // not exchanged
    unit[11] = SettingValue::Number(7);                             // not in the snapshot
    known.set(11);

    RestorePlan plan = PlanRestore(snapshot, inSnapshot, unit, known);
    EXPECT_EQ(plan.readFirst, (Items{10}));
    EXPECT_EQ(plan.writes, (Items{9, 100}));

    unit[10] = SettingValue::Text("5"); // read: it differs too
    known.set(10);
    plan = PlanRestore(snapshot, inSnapshot, unit, known);
    EXPECT_TRUE(plan.readFirst.empty());
    EXPECT_EQ(plan.writes, (Items{9, 10, 100}));
}

} // namespace
} // namespace pravenor::settings
