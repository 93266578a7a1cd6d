#pragma once

namespace pravenor::settings {

// Every converter setting is an item number 0..250: choice items 0..91 (the value is a
// position in the item's choice list), text items 100..147; the rest is reserved.
constexpr int kItemCount = 251;
constexpr int kLastChoiceItem = 91;
constexpr int kFirstTextItem = 100;
constexpr int kLastTextItem = 147;
constexpr int kTextBoxCount = kLastTextItem - kFirstTextItem + 1; // 48
constexpr int kChoiceBoxCount = kLastChoiceItem + 1;               // 92
constexpr int kItemButtonCount = 66;                               // read/write buttons 0..65

constexpr bool IsChoiceItem(int item)
{
    return item >= 0 && item <= kLastChoiceItem;
}

constexpr bool IsTextItem(int item)
{
    return item >= kFirstTextItem && item <= kLastTextItem;
}

// Text box j shows text item 100 + j.
constexpr int TextBoxOf(int item)
{
    return item - kFirstTextItem;
}

// The items that are read from and written to the converter.
constexpr bool ItemIsImplemented(int item)
{
    return item == 0 || item == 5 || (item >= 9 && item <= 14) || item == 17 ||
           (item >= 20 && item <= kLastChoiceItem) || IsTextItem(item);
}

// The items whose control is shown; a hidden choice box is never given a value and taking
// its value yields 0.
constexpr bool ItemInUse(int item)
{
    return item == 0 || (item >= 9 && item <= 14) || item == 17 ||
           (item >= 20 && item <= kLastChoiceItem) || IsTextItem(item);
}

// Message texts take up to 100 characters, addresses (text boxes 32..47) up to 10.
constexpr int TextBoxMaxLength(int textBox)
{
    return textBox < 32 ? 100 : 10;
}

} // namespace pravenor::settings
