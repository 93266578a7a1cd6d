// Every item 0..250 against one table written out from the converter's documentation: its
// kind, whether it is shown and exchanged, its list, its buttons after the lists are filled,
// its legend, a text's longest and where the progress bar stands for it.
#include "settings/catalogue.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"
#include "settings/page_layout.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace pravenor::settings {
namespace {

enum class Kind
{
    Choice,
    Text,
    Reserved,
};

enum class Btn
{
    Hidden,
    Shown,
    Untouched, // the buttons (items 60..65 have them) keep whatever state they had
};

struct Range
{
    int from;
    int to;
    Kind kind;
    bool inUse;
    bool exchanged;
    int entries; // list length
    const char* first;
    const char* last;
    Btn buttons;
    const char* legend; // one per input when the range is eight items on the input pages
    int maxLength;
    int progress; // the bar at `from`
    int step;     // the bar's step per item
};

constexpr bool Y = true;
constexpr bool N = false;

// clang-format off
const Range kItems[] = {
    {0, 0, Kind::Choice, Y, Y, 3, "No", "Debug info", Btn::Shown, "Serial Diagnose level:", 0, 0, 1},
    {1, 1, Kind::Choice, N, N, 20, "MaxLengt of buffer 0 digits", "MaxLengt of buffer 19 digits", Btn::Hidden, "", 0, 1, 1},
    {2, 4, Kind::Choice, N, N, 0, nullptr, nullptr, Btn::Hidden, "", 0, 2, 1},
    {5, 5, Kind::Choice, N, Y, 11, "Not limited", "Address length: 10", Btn::Shown, "Paging limit address length to:", 0, 5, 1},
    {6, 6, Kind::Choice, N, N, 0, nullptr, nullptr, Btn::Hidden, "", 0, 6, 1},
    {7, 7, Kind::Choice, N, N, 26, "Not limited", "Length: 25", Btn::Shown, "Paging limit message length to:", 0, 7, 1},
    {8, 8, Kind::Choice, N, N, 0, nullptr, nullptr, Btn::Hidden, "", 0, 8, 1},
    {9, 9, Kind::Choice, Y, Y, 2, "no forward to relay.", "forward to relay", Btn::Shown, "Error on Guarded inputs:", 0, 9, 1},
    {10, 10, Kind::Choice, Y, Y, 5, "1200 baud", "19200 baud", Btn::Shown, "Paging serial speed:", 0, 10, 1},
    {11, 11, Kind::Choice, Y, Y, 2, "7 bits", "8 bits", Btn::Shown, "Paging serial nr of bits:", 0, 11, 1},
    {12, 12, Kind::Choice, Y, Y, 2, "1 stopbit", "2 stopbits", Btn::Shown, "Paging serial nr of stopbits:", 0, 12, 1},
    {13, 13, Kind::Choice, Y, Y, 3, "no parity", "odd parity", Btn::Shown, "Paging serial parity:", 0, 13, 1},
    {14, 14, Kind::Choice, Y, Y, 3, "No HandShake", "CTS/RTS HandShake", Btn::Shown, "Paging serial handshake:", 0, 14, 1},
    {15, 15, Kind::Choice, N, N, 4, "Ascom/Nira", "GSMmodem", Btn::Shown, "Paging system in use:", 0, 15, 1},
    {16, 16, Kind::Choice, N, N, 0, nullptr, nullptr, Btn::Hidden, "", 0, 16, 1},
    {17, 17, Kind::Choice, Y, Y, 2, "Request status", "Do not request status", Btn::Shown, "Paging ask for status:", 0, 17, 1},
    {18, 18, Kind::Choice, N, N, 17, "No Fixed Info", "Fixed Info: F", Btn::Shown, "Paging fixed info for BOSCH system:", 0, 18, 1},
    {19, 19, Kind::Choice, N, N, 4, "Fixed num-info and variable textmessage", "Num info only", Btn::Shown, "Paging info for BOSCH system:", 0, 19, 1},
    {20, 27, Kind::Choice, Y, Y, 2, "unused", "in use", Btn::Shown, "Use:", 0, 20, 1},
    {28, 35, Kind::Choice, Y, Y, 2, "Guarded", "UnGuarded", Btn::Shown, "Guard:", 0, 28, 1},
    {36, 43, Kind::Choice, Y, Y, 2, "Normally open", "Normally closed", Btn::Shown, "Type:", 0, 36, 1},
    {44, 51, Kind::Choice, Y, Y, 151, "Not used.", "1500 seconds", Btn::Shown, "Repeat:", 0, 44, 1},
    {52, 59, Kind::Choice, Y, Y, 31, "Not used.", "30 minutes", Btn::Shown, "Repeat:", 0, 52, 1},
    {60, 67, Kind::Choice, Y, Y, 16, "BleepCode: 0", "BleepCode: F", Btn::Untouched, "Bleepcode Idle:", 0, 60, 1},
    {68, 75, Kind::Choice, Y, Y, 16, "BleepCode: 0", "BleepCode: F", Btn::Untouched, "Bleepcode Alarm:", 0, 68, 1},
    {76, 83, Kind::Choice, Y, Y, 16, "BleepCode: 0", "BleepCode: F", Btn::Untouched, "Bleepcode failure:", 0, 76, 1},
    {84, 91, Kind::Choice, Y, Y, 16, "BleepCode: 0", "BleepCode: F", Btn::Untouched, "Bleepcode Idle:", 0, 84, 1},
    {92, 99, Kind::Reserved, N, N, 0, nullptr, nullptr, Btn::Untouched, "", 0, 92, 1},
    {100, 107, Kind::Text, Y, Y, 0, nullptr, nullptr, Btn::Untouched, "Text Idle after Alarm:", 100, 100, 10},
    {108, 115, Kind::Text, Y, Y, 0, nullptr, nullptr, Btn::Untouched, "Text at alarm:", 100, 180, 10},
    {116, 123, Kind::Text, Y, Y, 0, nullptr, nullptr, Btn::Untouched, "Text at failure:", 100, 260, 10},
    {124, 131, Kind::Text, Y, Y, 0, nullptr, nullptr, Btn::Untouched, "Text Idle after failure:", 100, 340, 10},
    {132, 139, Kind::Text, Y, Y, 0, nullptr, nullptr, Btn::Untouched, "Address:", 10, 420, 4},
    {140, 147, Kind::Text, Y, Y, 0, nullptr, nullptr, Btn::Untouched, "Address:", 10, 452, 4},
    {148, 250, Kind::Reserved, N, N, 0, nullptr, nullptr, Btn::Untouched, "", 0, 484, 4},
};
// clang-format on

std::string expectedLegend(const Range& range, int item)
{
    const bool perInput = range.kind != Kind::Reserved && range.from >= 20;
    if (!perInput)
        return range.legend;
    return "Input " + std::to_string(item - range.from + 1) + ", " + range.legend;
}

TEST(Catalogue, EveryItemAsTheDocumentationStatesIt)
{
    // Buttons that filling leaves alone keep their state: try both.
    for (const bool before : {true, false}) {
        ControlBoard board;
        for (int n = 0; n < kItemButtonCount; ++n)
            board.setButtonsVisible(n, before);
        FillChoiceLists(board);

        int covered = 0;
        for (const Range& range : kItems) {
            for (int n = range.from; n <= range.to; ++n, ++covered) {
                SCOPED_TRACE("item " + std::to_string(n));
                ASSERT_EQ(n, covered);
                EXPECT_EQ(IsChoiceItem(n), range.kind == Kind::Choice);
                EXPECT_EQ(IsTextItem(n), range.kind == Kind::Text);
                EXPECT_EQ(ItemInUse(n), range.inUse);
                EXPECT_EQ(ItemIsImplemented(n), range.exchanged);
                EXPECT_EQ(ItemLegend(n), expectedLegend(range, n));
                EXPECT_EQ(ProgressPosition(n), range.progress + (n - range.from) * range.step);
                if (range.kind == Kind::Text) {
                    EXPECT_EQ(TextBoxMaxLength(TextBoxOf(n)), range.maxLength);
                }
                if (range.kind != Kind::Choice)
                    continue;

                const auto& entries = board.choiceEntries(n);
                ASSERT_EQ(static_cast<int>(entries.size()), range.entries);
                EXPECT_EQ(ChoiceEntries(n), entries);
                if (range.entries > 0) {
                    EXPECT_EQ(entries.front(), range.first);
                    EXPECT_EQ(entries.back(), range.last);
                }
                EXPECT_EQ(board.choiceVisible(n), range.inUse);
                EXPECT_EQ(board.chosenPosition(n), -1);
                if (range.buttons != Btn::Untouched) {
                    EXPECT_EQ(board.buttonsVisible(n), range.buttons == Btn::Shown);
                } else if (n < kItemButtonCount) {
                    EXPECT_EQ(board.buttonsVisible(n), before);
                }
            }
        }
        EXPECT_EQ(covered, 251);
    }
    EXPECT_EQ(kItemCount, 251);
    EXPECT_EQ(TextBoxOf(100), 0);
    EXPECT_EQ(TextBoxOf(147), 47);
    EXPECT_EQ(kProgressMaximum, 484);
}

TEST(Catalogue, UnseenLegendsNameTheInputBoxes)
{
    EXPECT_EQ(LegendText(20), "Input 1");
    EXPECT_EQ(LegendText(27), "Input 8");
    EXPECT_EQ(LegendText(33), "Guard");
    EXPECT_EQ(LegendText(43), "Type");
    EXPECT_EQ(LegendText(1), "Repeat:");
    EXPECT_EQ(LegendText(95), "");
}

// Comparisons, the journal and the report name settings by their full names, so two settings
// that share one would be mistaken for each other.
TEST(Catalogue, EveryExchangedSettingHasAFullNameOfItsOwn)
{
    std::map<std::string, int> owner;
    for (int item = 0; item < kItemCount; ++item) {
        if (!ItemIsImplemented(item))
            continue;
        const auto [it, added] = owner.emplace(SettingFullName(item), item);
        EXPECT_TRUE(added) << "items " << it->second << " and " << item << " are both \""
                           << it->first << '"';
    }
    EXPECT_EQ(SettingFullName(0), "Serial Diagnose level:");
    EXPECT_EQ(SettingFullName(20), "Input 1, Use:");
    EXPECT_EQ(SettingFullName(112), "Input 5, Alarm, Text at alarm:");
    EXPECT_EQ(SettingFullName(120), "Input 5, Error, Text at failure:");
    EXPECT_EQ(SettingFullName(95), "Item 95");
}

} // namespace
} // namespace pravenor::settings
