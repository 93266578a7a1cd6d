#include "settings/choice_lists.h"
#include "settings/control_board.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pravenor::settings {
namespace {

using Entries = std::vector<std::string>;

class FillChoiceListsTest : public ::testing::Test
{
protected:
    FillChoiceListsTest() { FillChoiceLists(board); }
    const Entries& list(int n) const { return board.choiceEntries(n); }
    ControlBoard board;
};

TEST_F(FillChoiceListsTest, ShortListsEntryForEntry)
{
    EXPECT_EQ(list(0), (Entries{"No", "Diagnose", "Debug info"}));
    EXPECT_EQ(list(10),
              (Entries{"1200 baud", "2400 baud", "4800 baud", "9600 baud", "19200 baud"}));
    EXPECT_EQ(list(13), (Entries{"no parity", "even parity", "odd parity"}));
    EXPECT_EQ(list(14), (Entries{"No HandShake", "No HandShake, active RTS", "CTS/RTS HandShake"}));
    EXPECT_EQ(list(15), (Entries{"Ascom/Nira", "Bosch LBB5800", "Bosch AlfaDesk", "GSMmodem"}));
    EXPECT_EQ(list(19),
              (Entries{"Fixed num-info and variable textmessage", "Only variable textmessage",
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
    ControlBoard once;
    FillChoiceLists(once);
    for (int n = 0; n <= 91; ++n) {
        EXPECT_EQ(board.choiceEntries(n), once.choiceEntries(n)) << n;
        EXPECT_EQ(board.chosenPosition(n), -1) << n;
    }
    EXPECT_EQ(board.pagerBleepEntries().size(), 16u);
    EXPECT_EQ(board.pagerBleepPosition(), -1);
}

} // namespace
} // namespace pravenor::settings
