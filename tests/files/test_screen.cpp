#include "test_screen.h"

#include "settings/catalogue.h"
#include "settings/choice_lists.h"

#include <gtest/gtest.h>

namespace pravenor::files::test {

std::filesystem::path GoldenFile(const std::string& name)
{
    return std::filesystem::path(PRAVENOR_FILES_GOLDEN_DIR) / name;
}

Screen::Screen()
{
    settings::FillChoiceLists(board);
}

void Screen::set(const std::map<int, int>& choices, const std::map<int, std::string>& texts)
{
    for (int item = 0; item <= settings::kLastChoiceItem; ++item) {
        if (!board.choiceVisible(item))
            continue;
        const auto given = choices.find(item);
        ASSERT_TRUE(board.setChosenPosition(item, given == choices.end() ? 0 : given->second))
            << item;
    }
    for (int item = settings::kFirstTextItem; item <= settings::kLastTextItem; ++item) {
        const auto given = texts.find(item);
        board.setText(settings::TextBoxOf(item),
                      given == texts.end() ? std::string() : given->second);
    }
}

void Screen::takeIntoFileValues()
{
    sync.TakeAllValues();
    stores.WorkToFile();
}

std::map<int, int> GoldenChoices()
{
    return {{0, 2},   {9, 1},   {10, 3}, {11, 1}, {13, 2},   {14, 1}, {17, 1}, {20, 1},  {21, 1},
            {27, 1},  {29, 1},  {36, 1}, {43, 1}, {44, 150}, {45, 6}, {51, 1}, {52, 30}, {53, 5},
            {60, 15}, {61, 10}, {68, 1}, {75, 9}, {76, 12},  {84, 3}, {91, 15}};
}

std::map<int, std::string> GoldenTexts()
{
    return {{100, "Main entrance"},
            {101, "Kitchen, fire door"},
            {108, "Alarm \"zone 2\" -> call 112"},
            {109, "  leading and trailing  "},
            {116, "Caf\xE9 storing"},
            {117, "->"},
            {124, "1234"},
            {132, "0612345678"},
            {140, "A12"},
            {147, " x "}};
}

void ExpectSameSettings(const Screen& actual, const Screen& expected)
{
    for (int item = 0; item <= settings::kLastChoiceItem; ++item) {
        EXPECT_EQ(actual.board.chosenPosition(item), expected.board.chosenPosition(item)) << item;
        EXPECT_EQ(actual.stores.FileValues[item].asNumber(),
                  expected.stores.FileValues[item].asNumber())
            << item;
    }
    for (int item = settings::kFirstTextItem; item <= settings::kLastTextItem; ++item) {
        const int box = settings::TextBoxOf(item);
        EXPECT_EQ(actual.board.text(box), expected.board.text(box)) << item;
        EXPECT_EQ(actual.stores.FileValues[item].asText(),
                  expected.stores.FileValues[item].asText())
            << item;
    }
}

} // namespace pravenor::files::test
