#include "settings/choice_lists.h"

#include "settings/control_board.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace pravenor::settings {
namespace {

using Entries = std::vector<std::string>;

struct ListShape
{
    int from;
    int to;
    int count;
    const char* first;
    const char* last;
};

// Every choice item: entry count, first and last entry.
constexpr ListShape kShapes[] = {
    {0, 0, 3, "No", "Debug info"},
    {1, 1, 20, "MaxLengt of buffer 0 digits", "MaxLengt of buffer 19 digits"},
    {2, 4, 0, nullptr, nullptr},
    {5, 5, 11, "Not limited", "Address length: 10"},
    {6, 6, 0, nullptr, nullptr},
    {7, 7, 26, "Not limited", "Length: 25"},
    {8, 8, 0, nullptr, nullptr},
    {9, 9, 2, "no forward to relay.", "forward to relay"},
    {10, 10, 5, "1200 baud", "19200 baud"},
    {11, 11, 2, "7 bits", "8 bits"},
    {12, 12, 2, "1 stopbit", "2 stopbits"},
    {13, 13, 3, "no parity", "odd parity"},
    {14, 14, 3, "No HandShake", "CTS/RTS HandShake"},
    {15, 15, 4, "Ascom/Nira", "GSMmodem"},
    {16, 16, 0, nullptr, nullptr},
    {17, 17, 2, "Request status", "Do not request status"},
    {18, 18, 17, "No Fixed Info", "Fixed Info: F"},
    {19, 19, 4, "Fixed num-info and variable textmessage", "Num info only"},
    {20, 27, 2, "unused", "in use"},
    {28, 35, 2, "Guarded", "UnGuarded"},
    {36, 43, 2, "Normally open", "Normally closed"},
    {44, 51, 151, "Not used.", "1500 seconds"},
    {52, 59, 31, "Not used.", "30 minutes"},
    {60, 91, 16, "BleepCode: 0", "BleepCode: F"},
};

void expectAllLists(const ControlBoard& board)
{
    int covered = 0;
    for (const ListShape& shape : kShapes) {
        for (int n = shape.from; n <= shape.to; ++n, ++covered) {
            const Entries& entries = board.choiceEntries(n);
            ASSERT_EQ(static_cast<int>(entries.size()), shape.count) << "item " << n;
            if (shape.count == 0)
                continue;
            EXPECT_EQ(entries.front(), shape.first) << "item " << n;
            EXPECT_EQ(entries.back(), shape.last) << "item " << n;
        }
    }
    EXPECT_EQ(covered, 92);
}

class FillChoiceListsTest : public ::testing::Test
{
protected:
    FillChoiceListsTest() { FillChoiceLists(board); }
    const Entries& list(int n) const { return board.choiceEntries(n); }
    ControlBoard board;
};

TEST_F(FillChoiceListsTest, EveryListHasItsCountFirstAndLastEntry)
{
    expectAllLists(board);
}

TEST_F(FillChoiceListsTest, ShortListsEntryForEntry)
{
    EXPECT_EQ(list(0), (Entries{"No", "Diagnose", "Debug info"}));
    EXPECT_EQ(list(10), (Entries{"1200 baud", "2400 baud", "4800 baud", "9600 baud", "19200 baud"}));
    EXPECT_EQ(list(13), (Entries{"no parity", "even parity", "odd parity"}));
    EXPECT_EQ(list(14), (Entries{"No HandShake", "No HandShake, active RTS", "CTS/RTS HandShake"}));
    EXPECT_EQ(list(15), (Entries{"Ascom/Nira", "Bosch LBB5800", "Bosch AlfaDesk", "GSMmodem"}));
    EXPECT_EQ(list(19), (Entries{"Fixed num-info and variable textmessage", "Only variable textmessage",
                                 "Variable num-info and textmessage", "Num info only"}));
}

TEST_F(FillChoiceListsTest, GeneratedEntriesAtTheirPositions)
{
    const struct
    {
        int item;
        int position;
        const char* text;
    } cases[] = {
        {1, 5, "MaxLengt of buffer 5 digits"},
        {5, 1, "Address length: 1"},
        {5, 10, "Address length: 10"},
        {7, 1, "Length: 1"},
        {7, 10, "Length: 10"},
        {14, 1, "No HandShake, active RTS"},
        {18, 1, "Fixed Info: 0"},
        {18, 10, "Fixed Info: 9"},
        {18, 11, "Fixed Info: A"},
        {18, 16, "Fixed Info: F"},
        {44, 1, "10 seconds"},
        {51, 2, "20 seconds"},
        {44, 99, "990 seconds"},
        {44, 150, "1500 seconds"},
        {52, 1, "1 minutes"},
        {59, 15, "15 minutes"},
        {60, 9, "BleepCode: 9"},
        {91, 10, "BleepCode: A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list(c.item).at(static_cast<std::size_t>(c.position)), c.text)
            << "item " << c.item << " position " << c.position;
}

TEST_F(FillChoiceListsTest, OnlyItemsInUseHaveVisibleBoxes)
{
    const std::set<int> hidden = {1, 2, 3, 4, 5, 6, 7, 8, 15, 16, 18, 19};
    for (int n = 0; n <= 91; ++n)
        EXPECT_EQ(board.choiceVisible(n), hidden.count(n) == 0) << n;
}

TEST(FillChoiceLists, ButtonVisibility)
{
    // Buttons 60..65 keep whatever state they had; try both.
    for (const bool before : {true, false}) {
        ControlBoard board;
        for (int n = 0; n <= 65; ++n)
            board.setButtonsVisible(n, before);
        FillChoiceLists(board);
        const std::set<int> hidden = {1, 2, 3, 4, 6, 8, 16};
        for (int n = 0; n <= 59; ++n)
            EXPECT_EQ(board.buttonsVisible(n), hidden.count(n) == 0) << n;
        for (int n = 60; n <= 65; ++n)
            EXPECT_EQ(board.buttonsVisible(n), before) << n;
    }
}

TEST_F(FillChoiceListsTest, PagerBleepListFilledAndHidden)
{
    EXPECT_FALSE(board.pagerBleepVisible());
    EXPECT_EQ(board.pagerBleepEntries(), list(60));
    EXPECT_EQ(board.pagerBleepEntries().size(), 16u);
    EXPECT_EQ(board.pagerBleepPosition(), -1);
}

TEST_F(FillChoiceListsTest, SecondRunRebuildsTheSameWithNothingChosen)
{
    for (int n = 0; n <= 91; ++n)
        board.setChosenPosition(n, board.choiceEntryCount(n) > 0 ? 1 : -1);
    board.appendChoiceEntry(2, "stray");
    board.setPagerInputs("123", "info", 5);

    FillChoiceLists(board);
    expectAllLists(board);
    for (int n = 0; n <= 91; ++n)
        EXPECT_EQ(board.chosenPosition(n), -1) << n;
    EXPECT_EQ(board.pagerBleepEntries().size(), 16u);
    EXPECT_EQ(board.pagerBleepPosition(), -1);
}

} // namespace
} // namespace pravenor::settings
