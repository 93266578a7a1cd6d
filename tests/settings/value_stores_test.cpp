#include "settings/value_stores.h"

#include <gtest/gtest.h>

namespace pravenor::settings {
namespace {

void fillDistinct(ValueStores::Store& store, const std::string& tag)
{
    for (std::size_t n = 0; n < store.size(); ++n)
        store[n] = SettingValue::Text(tag + std::to_string(n));
}

TEST(ValueStores, ForgetSetsEveryEntryToTheNumberMinusOne)
{
    ValueStores stores;
    fillDistinct(stores.WorkValues, "w");
    fillDistinct(stores.UnitValues, "u");
    stores.ForgetWorkValues();
    for (const SettingValue& v : stores.WorkValues)
        EXPECT_EQ(v, SettingValue::Number(-1));
    EXPECT_EQ(stores.UnitValues[250], SettingValue::Text("u250"));

    stores.ForgetUnitValues();
    for (const SettingValue& v : stores.UnitValues)
        EXPECT_EQ(v, SettingValue::Number(-1));
}

TEST(ValueStores, ClearItemRequestsLeavesEntry250)
{
    ValueStores stores;
    EXPECT_EQ(stores.ItemRequest[0], Request::None);
    stores.ItemRequest.fill(Request::Write);
    stores.ClearItemRequests();
    for (int n = 0; n < 250; ++n)
        EXPECT_EQ(stores.ItemRequest[static_cast<std::size_t>(n)], Request::None) << n;
    EXPECT_EQ(stores.ItemRequest[250], Request::Write);
}

TEST(ValueStores, CopiesKeepTheKindOfEveryEntry)
{
    ValueStores stores;
    fillDistinct(stores.WorkValues, "w");
    stores.FileValues[3] = SettingValue::Text("3");
    stores.FileValues[4] = SettingValue::Number(2.5);
    stores.FileValues[200] = SettingValue::Number(7);
    const ValueStores::Store file = stores.FileValues;

    stores.FileToWork();
    EXPECT_EQ(stores.WorkValues, file);
    EXPECT_TRUE(stores.WorkValues[0].isEmpty());
    EXPECT_TRUE(stores.WorkValues[3].isText());
    EXPECT_TRUE(stores.WorkValues[4].isNumber());

    fillDistinct(stores.WorkValues, "x");
    const ValueStores::Store work = stores.WorkValues;
    stores.WorkToFile();
    EXPECT_EQ(stores.FileValues, work);
    EXPECT_EQ(stores.WorkValues, work);
}

} // namespace
} // namespace pravenor::settings
