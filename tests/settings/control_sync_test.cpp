#include "scripted_controls.h"
#include "settings/choice_lists.h"
#include "settings/control_sync.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pravenor::settings {
namespace {

class ControlSyncTest : public ::testing::Test
{
protected:
    ControlSyncTest()
    {
        FillChoiceLists(controls);
        stores.ForgetWorkValues();
        stores.ForgetUnitValues();
    }
    SettingValue& work(int item) { return stores.WorkValues[static_cast<std::size_t>(item)]; }
    SettingValue& unit(int item) { return stores.UnitValues[static_cast<std::size_t>(item)]; }
    Request& request(int item) { return stores.ItemRequest[static_cast<std::size_t>(item)]; }
    ControlBoard& board() { return controls.board; }

    test::ScriptedControls controls;
    ValueStores stores;
    ControlSync sync{stores, controls};
};

TEST_F(ControlSyncTest, ShowValueChoosesTheWholeNumberPosition)
{
    const struct
    {
        int item;
        SettingValue value;
        int position;
        const char* shown;
    } cases[] = {
        {10, SettingValue::Number(3), 3, "9600 baud"},
        {10, SettingValue::Text("3"), 3, "9600 baud"},
        {10, SettingValue::Text(" 1 baud"), 1, "2400 baud"},
        {10, SettingValue::Number(2.5), 2, "4800 baud"},
        {10, SettingValue::Number(3.5), 4, "19200 baud"},
        {14, SettingValue::Number(1), 1, "No HandShake, active RTS"},
        {44, SettingValue::Number(150), 150, "1500 seconds"},
        {0, SettingValue(), 0, "No"},
    };
    for (const auto& c : cases) {
        work(c.item) = c.value;
        sync.ShowValue(c.item);
        EXPECT_EQ(board().chosenPosition(c.item), c.position) << c.value.asText();
        EXPECT_EQ(board().choiceText(c.item), c.shown);
        EXPECT_EQ(work(c.item), c.value) << "a value that could be shown stays as it was";
    }
}

TEST_F(ControlSyncTest, ShowValueMinusOneLeavesNothingChosen)
{
    board().setChosenPosition(10, 2);
    sync.ShowValue(10);
    EXPECT_EQ(board().chosenPosition(10), -1);
    EXPECT_EQ(work(10), SettingValue::Number(-1));
}

TEST_F(ControlSyncTest, ShowValueReplacesWhatCannotBeShownByZero)
{
    for (const SettingValue& bad :
         {SettingValue::Number(5), SettingValue::Number(-2), SettingValue::Number(40000),
          SettingValue::Number(32767.5), SettingValue::Number(-1e300), SettingValue::Text("99")}) {
        board().setChosenPosition(10, 3);
        work(10) = bad;
        sync.ShowValue(10);
        EXPECT_EQ(board().chosenPosition(10), 0) << bad.asText();
        EXPECT_EQ(work(10), SettingValue::Number(0)) << bad.asText();
    }
}

TEST_F(ControlSyncTest, AlarmRepeatAbove150ShowsNotUsedAndTurnsRed)
{
    work(44) = SettingValue::Text("200");
    unit(44) = SettingValue::Text("200");
    sync.ShowValue(44);
    EXPECT_EQ(board().choiceText(44), "Not used.");
    EXPECT_EQ(work(44), SettingValue::Number(0));
    EXPECT_EQ(unit(44), SettingValue::Text("200"));
    sync.RefreshSettingControls();
    EXPECT_EQ(board().choiceColour(44), ControlColour::Red);
}

TEST_F(ControlSyncTest, ShowValueReplacesWhatTheControlRefuses)
{
    controls.refusedPosition = 2;
    work(13) = SettingValue::Number(2);
    sync.ShowValue(13);
    EXPECT_EQ(board().chosenPosition(13), 0);
    EXPECT_EQ(work(13), SettingValue::Number(0));

    controls.refusedText = "refused";
    work(101) = SettingValue::Text("refused");
    sync.ShowValue(101);
    EXPECT_EQ(board().text(1), "0");
    EXPECT_EQ(work(101), SettingValue::Number(0));
}

TEST_F(ControlSyncTest, ShowValueLeavesHiddenBoxesAlone)
{
    board().setChosenPosition(5, 3);
    work(5) = SettingValue::Number(999);
    sync.ShowValue(5);
    EXPECT_EQ(board().chosenPosition(5), 3);
    EXPECT_EQ(work(5), SettingValue::Number(999));

    controls.hiddenTexts = {7};
    board().setText(7, "before");
    work(107) = SettingValue::Text("after");
    sync.ShowValue(107);
    EXPECT_EQ(board().text(7), "before");

    // Items without a control.
    work(150) = SettingValue::Text("x");
    controls.calls.clear();
    sync.ShowValue(150);
    EXPECT_TRUE(controls.calls.empty());
    EXPECT_EQ(work(150), SettingValue::Text("x"));
}

TEST_F(ControlSyncTest, ShowValueTextReadingAndCut)
{
    const struct
    {
        int item;
        SettingValue value;
        std::string shown;
    } cases[] = {
        {100, SettingValue::Text("Main entrance"), "Main entrance"},
        {100, SettingValue::Number(-1), "-1"},
        {100, SettingValue(), ""},
        {100, SettingValue::Number(2.5), "2.5"},
        {131, SettingValue::Text(std::string(150, 'x')), std::string(100, 'x')},
        {132, SettingValue::Text("12345678901234"), "1234567890"},
        {147, SettingValue::Text("  0612345"), "  0612345"},
    };
    for (const auto& c : cases) {
        work(c.item) = c.value;
        sync.ShowValue(c.item);
        EXPECT_EQ(board().text(c.item - 100), c.shown) << c.item;
        EXPECT_EQ(work(c.item), c.value) << "the store itself is not cut";
    }
}

TEST_F(ControlSyncTest, TakeValueReadsVisibleControlsAndZeroOrEmptyForHidden)
{
    board().setChosenPosition(10, 2);
    board().setChosenPosition(5, 3);
    board().setText(0, "Lift");
    board().setText(7, "hidden text");
    controls.hiddenTexts = {7};
    for (int item : {10, 11, 5, 100, 107})
        sync.TakeValue(item);
    EXPECT_EQ(work(10), SettingValue::Number(2));
    EXPECT_EQ(work(11), SettingValue::Number(-1)); // nothing chosen
    EXPECT_EQ(work(5), SettingValue::Number(0));
    EXPECT_EQ(work(100), SettingValue::Text("Lift"));
    EXPECT_EQ(work(107), SettingValue::Text(""));

    work(95) = SettingValue::Text("reserved");
    sync.TakeValue(95);
    EXPECT_EQ(work(95), SettingValue::Text("reserved"));
}

TEST_F(ControlSyncTest, AllValuesGoInItemOrderChoicesThenTexts)
{
    for (int n = 0; n <= 91; ++n)
        work(n) = SettingValue::Number(1);
    std::vector<std::string> shows;
    std::vector<std::string> takes;
    for (int n = 0; n <= 91; ++n) {
        if (board().choiceVisible(n)) {
            shows.push_back("set choice " + std::to_string(n));
            takes.push_back("get choice " + std::to_string(n));
        }
    }
    for (int j = 0; j < 48; ++j) {
        shows.push_back("set text " + std::to_string(j));
        takes.push_back("get text " + std::to_string(j));
    }

    controls.calls.clear();
    sync.ShowAllValues();
    EXPECT_EQ(controls.calls, shows);

    work(1) = SettingValue::Number(7);
    work(95) = SettingValue::Text("reserved");
    work(200) = SettingValue::Text("reserved");
    controls.calls.clear();
    sync.TakeAllValues();
    EXPECT_EQ(controls.calls, takes);
    EXPECT_EQ(work(1), SettingValue::Number(0)); // hidden
    EXPECT_EQ(work(20), SettingValue::Number(1));
    EXPECT_EQ(work(100), SettingValue::Text("-1"));
    EXPECT_EQ(work(95), SettingValue::Text("reserved"));
    EXPECT_EQ(work(200), SettingValue::Text("reserved"));
}

TEST_F(ControlSyncTest, RefreshComparesChoicesByNumberReading)
{
    const struct
    {
        int chosen;
        SettingValue unitValue;
        ControlColour colour;
    } cases[] = {
        {3, SettingValue::Text("3"), ControlColour::WindowText},
        {3, SettingValue::Number(3), ControlColour::WindowText},
        {3, SettingValue::Number(-1), ControlColour::Red},
        {-1, SettingValue::Number(-1), ControlColour::WindowText},
        {0, SettingValue(), ControlColour::WindowText},
        {2, SettingValue::Number(2.5), ControlColour::Red},
        {4, SettingValue::Text("3"), ControlColour::Red},
    };
    for (const auto& c : cases) {
        board().setChosenPosition(10, c.chosen);
        unit(10) = c.unitValue;
        sync.RefreshSettingControls();
        EXPECT_EQ(board().choiceColour(10), c.colour) << c.chosen << " vs " << c.unitValue.asText();
    }
}

TEST_F(ControlSyncTest, RefreshComparesTextsExactly)
{
    const struct
    {
        const char* text;
        SettingValue unitValue;
        ControlColour colour;
    } cases[] = {
        {"Main entrance", SettingValue::Text("Main entrance"), ControlColour::WindowText},
        {"Main entrance", SettingValue::Text("main entrance"), ControlColour::Red},
        {"Main entrance", SettingValue::Text("Main entrance "), ControlColour::Red},
        {"", SettingValue::Number(-1), ControlColour::Red},
        {"-1", SettingValue::Number(-1), ControlColour::WindowText},
        {"", SettingValue(), ControlColour::WindowText},
        {"3", SettingValue::Number(3), ControlColour::WindowText},
    };
    for (const auto& c : cases) {
        board().setText(4, c.text);
        unit(104) = c.unitValue;
        sync.RefreshSettingControls();
        EXPECT_EQ(board().textColour(4), c.colour) << c.text << " vs " << c.unitValue.asText();
    }
}

TEST_F(ControlSyncTest, RefreshFreezesTheColourWhileARequestIsPending)
{
    board().setChosenPosition(10, 3);
    board().setText(0, "abc");
    sync.RefreshSettingControls();
    ASSERT_EQ(board().choiceColour(10), ControlColour::Red);
    ASSERT_EQ(board().textColour(0), ControlColour::Red);

    unit(10) = SettingValue::Number(3);
    unit(100) = SettingValue::Text("abc");
    for (const Request pending : {Request::Read, Request::Write}) {
        request(10) = pending;
        request(100) = pending;
        sync.RefreshSettingControls();
        EXPECT_EQ(board().choiceColour(10), ControlColour::Red);
        EXPECT_EQ(board().textColour(0), ControlColour::Red);
    }
    request(10) = Request::None;
    request(100) = Request::None;
    sync.RefreshSettingControls();
    EXPECT_EQ(board().choiceColour(10), ControlColour::WindowText);
    EXPECT_EQ(board().textColour(0), ControlColour::WindowText);
}

TEST_F(ControlSyncTest, RefreshColoursHiddenBoxesToo)
{
    board().setChosenPosition(5, 2);
    sync.RefreshSettingControls();
    EXPECT_EQ(board().choiceColour(5), ControlColour::Red);
    unit(5) = SettingValue::Number(2);
    sync.RefreshSettingControls();
    EXPECT_EQ(board().choiceColour(5), ControlColour::WindowText);
}

TEST_F(ControlSyncTest, AfterLoadingEveryShownChoiceAndTextIsRed)
{
    for (int n = 0; n <= 91; ++n)
        work(n) = SettingValue::Number(0);
    for (int n = 100; n <= 147; ++n)
        work(n) = SettingValue::Text("");
    sync.ShowAllValues();
    sync.RefreshSettingControls();
    for (int n = 0; n <= 91; ++n)
        EXPECT_EQ(board().choiceColour(n),
                  board().choiceVisible(n) ? ControlColour::Red : ControlColour::WindowText)
            << n;
    for (int j = 0; j < 48; ++j)
        EXPECT_EQ(board().textColour(j), ControlColour::Red) << j;
}

TEST_F(ControlSyncTest, ClearComboSelectionsClearsEveryBox)
{
    for (int n = 0; n <= 91; ++n)
        board().highlightChoice(n);
    sync.ClearComboSelections();
    for (int n = 0; n <= 91; ++n)
        EXPECT_FALSE(board().choiceHighlighted(n)) << n;
}

} // namespace
} // namespace pravenor::settings
