#include "settings/catalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace pravenor::settings {
namespace {

std::set<int> range(int from, int to)
{
    std::set<int> items;
    for (int n = from; n <= to; ++n)
        items.insert(n);
    return items;
}

std::set<int> join(std::initializer_list<std::set<int>> parts)
{
    std::set<int> items;
    for (const auto& part : parts)
        items.insert(part.begin(), part.end());
    return items;
}

TEST(Catalogue, ExchangedItems)
{
    const std::set<int> exchanged =
        join({{0, 5}, range(9, 14), {17}, range(20, 91), range(100, 147)});
    for (int n = 0; n < kItemCount; ++n)
        EXPECT_EQ(ItemIsImplemented(n), exchanged.count(n) == 1) << n;
}

TEST(Catalogue, ItemsInUse)
{
    const std::set<int> inUse = join({{0}, range(9, 14), {17}, range(20, 91), range(100, 147)});
    for (int n = 0; n < kItemCount; ++n)
        EXPECT_EQ(ItemInUse(n), inUse.count(n) == 1) << n;
}

TEST(Catalogue, ItemKindsAndTextBoxes)
{
    for (int n = 0; n < kItemCount; ++n) {
        EXPECT_EQ(IsChoiceItem(n), n <= 91) << n;
        EXPECT_EQ(IsTextItem(n), n >= 100 && n <= 147) << n;
    }
    EXPECT_EQ(kItemCount, 251);
    EXPECT_EQ(TextBoxOf(100), 0);
    EXPECT_EQ(TextBoxOf(147), 47);
}

TEST(Catalogue, MessageTextsTake100CharactersAddresses10)
{
    for (int item = 100; item <= 147; ++item)
        EXPECT_EQ(TextBoxMaxLength(TextBoxOf(item)), item < 132 ? 100 : 10) << item;
}

} // namespace
} // namespace pravenor::settings
