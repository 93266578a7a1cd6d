// Finding a setting by its number, its full name or the value on screen.
#include "program/setting_search.h"
#include "settings/catalogue.h"
#include "settings/page_layout.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pravenor {
namespace {

using settings::SettingValue;

settings::ValueStores::Store searchedScreen()
{
    settings::ValueStores::Store shown;
    for (int item = 0; item < settings::kItemCount; ++item)
        shown[static_cast<std::size_t>(item)] =
            settings::IsTextItem(item) ? SettingValue::Text("") : SettingValue::Number(0);
    shown[10] = SettingValue::Number(3);                       // "9600 baud"
    shown[112] = SettingValue::Text("Boiler ALARM");           // input 5's alarm text
    shown[120] = SettingValue::Text("Boiler contact failure"); // input 5's failure text
    shown[144] = SettingValue::Text("1005");                   // input 5's error address
    return shown;
}

std::vector<int> itemsFound(const std::string& query)
{
    std::vector<int> items;
    for (const program::SettingMatch& match : program::FindSettings(query, searchedScreen()))
        items.push_back(match.item);
    return items;
}

TEST(FindSettings, MatchesNumberNameAndValueWithTheNumberFirst)
{
    const struct
    {
        const char* query;
        std::vector<int> first; // the matches the list starts with, in order
        std::size_t count;      // how many in all
    } rows[] = {
        {"120", {120}, 1},
        {"5 error text at failure", {120}, 1},
        {"input 5, error, TEXT", {120, 128}, 2},
        {"9600", {10}, 1},
        {"boiler", {112, 120}, 2},
        {"1005", {144}, 1},
        // The item of that very number first, then those whose number holds it.
        {"44", {44, 144}, 2},
        {"nothing like this", {}, 0},
        {"   ", {}, 0},
    };
    for (const auto& row : rows) {
        const std::vector<int> found = itemsFound(row.query);
        EXPECT_EQ(found.size(), row.count) << row.query;
        ASSERT_GE(found.size(), row.first.size()) << row.query;
        EXPECT_EQ(std::vector<int>(found.begin(), found.begin() + row.first.size()), row.first)
            << row.query;
    }
}

TEST(FindSettings, GivesTheFullNameAndTheValueAsShownAndOnlySettingsThePagesShow)
{
    const auto matches = program::FindSettings("paging", searchedScreen());
    ASSERT_FALSE(matches.empty());
    EXPECT_EQ(matches[0].name, "Paging serial speed:");
    EXPECT_EQ(matches[0].value, "9600 baud");
    for (const program::SettingMatch& match : matches)
        EXPECT_TRUE(settings::ItemInUse(match.item)) << match.item; // not 5, 7, 15, 18, 19
    EXPECT_EQ(program::FindSettings("input", searchedScreen(), 3).size(), 3u);
}

} // namespace
} // namespace pravenor
