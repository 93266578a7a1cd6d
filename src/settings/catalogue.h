#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace pravenor::settings {

// Every converter setting is an item number 0..250. The items come in groups: a single
// general or paging setting, or one setting per contact input (item first + k for input
// k + 1). The table below is the one place that says which items exist, what they hold,
// how they travel on the wire, where they stand on the pages and how far each moves the
// progress bar; everything else is derived from it. Items in no group are reserved.
constexpr int kItemCount = 251;
constexpr int kInputCount = 8;

enum class ItemKind : std::uint8_t
{
    Choice,      // a position in the item's choice list; one byte on the wire
    DigitChoice, // a position sent as the character of its hexadecimal digit (0 as the byte 0)
    Text,        // a text, one byte a character
};

enum class ChoiceList : std::uint8_t
{
    None,
    DiagnoseLevel,
    BufferLength,
    AddressLength,
    MessageLength,
    RelayForwarding,
    PagingSpeed,
    DataBits,
    StopBits,
    Parity,
    Handshake,
    PagingSystem,
    StatusRequest,
    FixedInfo,
    InfoKind,
    InputUse,
    Guarding,
    ContactType,
    AlarmRepeat,
    ErrorRepeat,
    BleepCode,
};

// What a value byte above the read limit becomes.
enum class AboveLimit : std::uint8_t
{
    Zero,
    Limit,
};

struct ReadLimit
{
    int limit = 0;
    AboveLimit above = AboveLimit::Zero;
};

enum class Page : std::uint8_t
{
    Unseen, // the pages nobody sees
    GeneralSetup,
    PagingSetup,
    UseFrame,   // "Use input: " on every input page
    AlarmFrame, // "Generate Alarm message: "
    ErrorFrame, // "Generate Error message: "
};

struct Place
{
    Page page = Page::Unseen;
    int row = 0;          // top to bottom on the page or in the frame
    bool sameRow = false; // beside the previous control rather than below it
};

// What filling the choice lists does with the item's read and write buttons.
enum class Buttons : std::uint8_t
{
    Untouched, // left as the window made them
    Hidden,
    Shown,
};

struct ItemGroup
{
    int first;
    int count = 1;
    ItemKind kind = ItemKind::Choice;
    ChoiceList list = ChoiceList::None;
    ReadLimit read{};           // a choice read from the converter
    const char* legend;         // "#" stands for the input number
    const char* name = nullptr; // how texts name an item whose legend is on no shown page
    Place place{};
    bool inUse = false;     // its control is shown
    bool exchanged = false; // read and written by the batches
    Buttons buttons = Buttons::Untouched;
    int maxLength = 0;      // a text's longest
    int progressWeight = 1; // steps of the progress bar while the item is exchanged
};

namespace catalogue_detail {

using enum ItemKind;
using enum ChoiceList;
using enum Page;
using enum Buttons;
constexpr ReadLimit Upto(int limit)
{
    return {limit, AboveLimit::Zero};
}
constexpr ReadLimit CappedAt(int limit)
{
    return {limit, AboveLimit::Limit};
}

constexpr std::array kGroups = std::to_array<ItemGroup>({
    {.first = 0,
     .list = DiagnoseLevel,
     .read = Upto(2),
     .legend = "Serial Diagnose level:",
     .place = {GeneralSetup, 0},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 1, .list = BufferLength, .legend = "Repeat:", .buttons = Hidden},
    {.first = 2, .count = 3, .legend = "Repeat:", .buttons = Hidden},
    {.first = 5,
     .list = AddressLength,
     .read = Upto(9),
     .legend = "Paging limit address length to:",
     .place = {PagingSetup, 6},
     .exchanged = true,
     .buttons = Shown},
    {.first = 6, .legend = "Repeat:", .buttons = Hidden},
    {.first = 7,
     .list = MessageLength,
     .legend = "Paging limit message length to:",
     .place = {PagingSetup, 7},
     .buttons = Shown},
    {.first = 8, .legend = "Repeat:", .buttons = Hidden},
    {.first = 9,
     .list = RelayForwarding,
     .read = Upto(3),
     .legend = "Error on Guarded inputs:",
     .place = {GeneralSetup, 1},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 10,
     .list = PagingSpeed,
     .read = Upto(4),
     .legend = "Paging serial speed:",
     .place = {PagingSetup, 0},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 11,
     .list = DataBits,
     .read = Upto(1),
     .legend = "Paging serial nr of bits:",
     .place = {PagingSetup, 1},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 12,
     .list = StopBits,
     .read = Upto(1),
     .legend = "Paging serial nr of stopbits:",
     .place = {PagingSetup, 2},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 13,
     .list = Parity,
     .read = Upto(2),
     .legend = "Paging serial parity:",
     .place = {PagingSetup, 3},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 14,
     .list = Handshake,
     .read = Upto(2),
     .legend = "Paging serial handshake:",
     .place = {PagingSetup, 4},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 15,
     .list = PagingSystem,
     .legend = "Paging system in use:",
     .place = {PagingSetup, 8},
     .buttons = Shown},
    {.first = 16, .legend = "Repeat:", .buttons = Hidden},
    {.first = 17,
     .list = StatusRequest,
     .read = Upto(1),
     .legend = "Paging ask for status:",
     .place = {PagingSetup, 5},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 18,
     .list = FixedInfo,
     .legend = "Paging fixed info for BOSCH system:",
     .place = {PagingSetup, 10},
     .buttons = Shown},
    {.first = 19,
     .list = InfoKind,
     .legend = "Paging info for BOSCH system:",
     .place = {PagingSetup, 9},
     .buttons = Shown},
    {.first = 20,
     .count = kInputCount,
     .list = InputUse,
     .read = Upto(1),
     .legend = "Input #",
     .name = "Use:",
     .place = {UseFrame, 0},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 28,
     .count = kInputCount,
     .list = Guarding,
     .read = Upto(1),
     .legend = "Guard",
     .name = "Guard:",
     .place = {UseFrame, 1, true},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 36,
     .count = kInputCount,
     .list = ContactType,
     .read = Upto(1),
     .legend = "Type",
     .name = "Type:",
     .place = {UseFrame, 2, true},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 44,
     .count = kInputCount,
     .list = AlarmRepeat,
     .read = CappedAt(250),
     .legend = "Repeat:",
     .place = {AlarmFrame, 5},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 52,
     .count = kInputCount,
     .list = ErrorRepeat,
     .read = CappedAt(30),
     .legend = "Repeat:",
     .place = {ErrorFrame, 5},
     .inUse = true,
     .exchanged = true,
     .buttons = Shown},
    {.first = 60,
     .count = kInputCount,
     .kind = DigitChoice,
     .list = BleepCode,
     .legend = "Bleepcode Idle:",
     .place = {AlarmFrame, 4, true},
     .inUse = true,
     .exchanged = true},
    {.first = 68,
     .count = kInputCount,
     .kind = DigitChoice,
     .list = BleepCode,
     .legend = "Bleepcode Alarm:",
     .place = {AlarmFrame, 3},
     .inUse = true,
     .exchanged = true},
    {.first = 76,
     .count = kInputCount,
     .kind = DigitChoice,
     .list = BleepCode,
     .legend = "Bleepcode failure:",
     .place = {ErrorFrame, 3},
     .inUse = true,
     .exchanged = true},
    {.first = 84,
     .count = kInputCount,
     .kind = DigitChoice,
     .list = BleepCode,
     .legend = "Bleepcode Idle:",
     .place = {ErrorFrame, 4, true},
     .inUse = true,
     .exchanged = true},
    {.first = 100,
     .count = kInputCount,
     .kind = Text,
     .legend = "Text Idle after Alarm:",
     .place = {AlarmFrame, 2},
     .inUse = true,
     .exchanged = true,
     .maxLength = 100,
     .progressWeight = 10},
    {.first = 108,
     .count = kInputCount,
     .kind = Text,
     .legend = "Text at alarm:",
     .place = {AlarmFrame, 1},
     .inUse = true,
     .exchanged = true,
     .maxLength = 100,
     .progressWeight = 10},
    {.first = 116,
     .count = kInputCount,
     .kind = Text,
     .legend = "Text at failure:",
     .place = {ErrorFrame, 1},
     .inUse = true,
     .exchanged = true,
     .maxLength = 100,
     .progressWeight = 10},
    {.first = 124,
     .count = kInputCount,
     .kind = Text,
     .legend = "Text Idle after failure:",
     .place = {ErrorFrame, 2},
     .inUse = true,
     .exchanged = true,
     .maxLength = 100,
     .progressWeight = 10},
    {.first = 132,
     .count = kInputCount,
     .kind = Text,
     .legend = "Address:",
     .place = {AlarmFrame, 0},
     .inUse = true,
     .exchanged = true,
     .maxLength = 10,
     .progressWeight = 4},
    {.first = 140,
     .count = kInputCount,
     .kind = Text,
     .legend = "Address:",
     .place = {ErrorFrame, 0},
     .inUse = true,
     .exchanged = true,
     .maxLength = 10,
     .progressWeight = 4},
});

constexpr int LastOf(const ItemGroup& group)
{
    return group.first + group.count - 1;
}

constexpr auto BuildGroupIndex()
{
    std::array<std::int8_t, kItemCount> index{};
    index.fill(-1);
    for (std::size_t g = 0; g < kGroups.size(); ++g) {
        for (int item = kGroups[g].first; item <= LastOf(kGroups[g]); ++item)
            index[static_cast<std::size_t>(item)] = static_cast<std::int8_t>(g);
    }
    return index;
}

constexpr auto kGroupIndex = BuildGroupIndex();

// Groups stand in item order without overlap, choices before texts, and the texts in one
// unbroken run, so that text box j can show the j-th text item.
constexpr bool WellOrdered()
{
    for (std::size_t g = 1; g < kGroups.size(); ++g) {
        const ItemGroup& before = kGroups[g - 1];
        const ItemGroup& group = kGroups[g];
        if (group.first <= LastOf(before) || LastOf(group) >= kItemCount)
            return false;
        if (before.kind == Text && (group.kind != Text || group.first != LastOf(before) + 1))
            return false;
    }
    return true;
}
static_assert(WellOrdered());

constexpr const ItemGroup& FirstTextGroup()
{
    std::size_t g = 0;
    while (kGroups[g].kind != Text)
        ++g;
    return kGroups[g];
}

} // namespace catalogue_detail

constexpr std::span<const ItemGroup> ItemGroups()
{
    return catalogue_detail::kGroups;
}

// The group of an item, or nullptr for a reserved item or a number outside 0..250.
constexpr const ItemGroup* GroupOf(int item)
{
    if (item < 0 || item >= kItemCount)
        return nullptr;
    const int g = catalogue_detail::kGroupIndex[static_cast<std::size_t>(item)];
    return g < 0 ? nullptr : &catalogue_detail::kGroups[static_cast<std::size_t>(g)];
}

constexpr int kFirstTextItem = catalogue_detail::FirstTextGroup().first;
constexpr int kLastTextItem = catalogue_detail::LastOf(catalogue_detail::kGroups.back());
constexpr int kLastChoiceItem = [] {
    int last = 0;
    for (const ItemGroup& group : catalogue_detail::kGroups) {
        if (group.kind != ItemKind::Text)
            last = catalogue_detail::LastOf(group);
    }
    return last;
}();
constexpr int kTextBoxCount = kLastTextItem - kFirstTextItem + 1;
constexpr int kChoiceBoxCount = kLastChoiceItem + 1;
// The window carries read/write buttons for items 0..65.
constexpr int kItemButtonCount = 66;
// The start-up gives English captions to the read/write pairs of items 0..20 only; the
// others lie on pages nobody sees and keep the captions they were designed with.
constexpr int kCaptionedButtonPairs = 21;
// The pairs designed with Dutch captions ("Lezen", "Schrijven") rather than "Read" and
// "PROGRAM"; none of them is among the captioned pairs.
constexpr std::array kDutchButtonItems{25, 30, 31};

constexpr bool HasDutchButtons(int item)
{
    for (const int dutch : kDutchButtonItems) {
        if (dutch == item)
            return true;
    }
    return false;
}
static_assert(kDutchButtonItems.front() >= kCaptionedButtonPairs);

// Requests are kept and served for items 0..249: nothing ever asks for the last item.
constexpr int kLastServedItem = kItemCount - 2;

constexpr bool IsChoiceItem(int item)
{
    return item >= 0 && item <= kLastChoiceItem;
}

constexpr bool IsTextItem(int item)
{
    return item >= kFirstTextItem && item <= kLastTextItem;
}

// Text box j shows text item kFirstTextItem + j.
constexpr int TextBoxOf(int item)
{
    return item - kFirstTextItem;
}

// The items that are read from and written to the converter.
constexpr bool ItemIsImplemented(int item)
{
    const ItemGroup* group = GroupOf(item);
    return group && group->exchanged;
}

// The items whose control is shown; a hidden choice box is never given a value and taking
// its value yields 0.
constexpr bool ItemInUse(int item)
{
    const ItemGroup* group = GroupOf(item);
    return group && group->inUse;
}

constexpr int TextBoxMaxLength(int textBox)
{
    return GroupOf(kFirstTextItem + textBox)->maxLength;
}

// Where the progress bar stands when item n is sent: every item before it moves the bar by
// its group's weight, and an item in no group by the weight of the group before it.
constexpr int ProgressPosition(int item)
{
    int position = 0;
    int from = 0;
    int weight = 1;
    for (const ItemGroup& group : catalogue_detail::kGroups) {
        if (group.first > item)
            break;
        position += (group.first - from) * weight;
        from = group.first;
        weight = group.progressWeight;
    }
    return position + (item - from) * weight;
}

// The bar's end: just past the last item.
constexpr int kProgressMaximum = ProgressPosition(kLastTextItem + 1);

} // namespace pravenor::settings
