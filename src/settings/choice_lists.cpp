#include "settings/choice_lists.h"

#include "app/text_functions.h"
#include "settings/catalogue.h"

namespace pravenor::settings {

using app::HexText;
using app::NumToStr;

namespace {

std::vector<std::string> numbered(const std::string& first, int from, int to,
                                  const std::string& prefix, const std::string& suffix, int step = 1)
{
    std::vector<std::string> entries;
    if (!first.empty())
        entries.push_back(first);
    for (int p = from; p <= to; ++p)
        entries.push_back(prefix + NumToStr(static_cast<long long>(p) * step) + suffix);
    return entries;
}

} // namespace

std::vector<std::string> BleepCodeEntries()
{
    std::vector<std::string> entries;
    for (int p = 0; p <= 15; ++p)
        entries.push_back("BleepCode: " + HexText(static_cast<std::int16_t>(p)));
    return entries;
}

std::vector<std::string> ChoiceEntries(int item)
{
    switch (item) {
    case 0:
        return {"No", "Diagnose", "Debug info"};
    case 1:
        return numbered("", 0, 19, "MaxLengt of buffer ", " digits");
    case 5:
        return numbered("Not limited", 1, 10, "Address length: ", "");
    case 7:
        return numbered("Not limited", 1, 25, "Length: ", "");
    case 9:
        return {"no forward to relay.", "forward to relay"};
    case 10:
        return {"1200 baud", "2400 baud", "4800 baud", "9600 baud", "19200 baud"};
    case 11:
        return {"7 bits", "8 bits"};
    case 12:
        return {"1 stopbit", "2 stopbits"};
    case 13:
        return {"no parity", "even parity", "odd parity"};
    case 14:
        return {"No HandShake", "No HandShake, active RTS", "CTS/RTS HandShake"};
    case 15:
        return {"Ascom/Nira", "Bosch LBB5800", "Bosch AlfaDesk", "GSMmodem"};
    case 17:
        return {"Request status", "Do not request status"};
    case 18: {
        std::vector<std::string> entries{"No Fixed Info"};
        for (int d = 0; d <= 15; ++d)
            entries.push_back("Fixed Info: " + HexText(static_cast<std::int16_t>(d)));
        return entries;
    }
    case 19:
        return {"Fixed num-info and variable textmessage", "Only variable textmessage",
                "Variable num-info and textmessage", "Num info only"};
    default:
        break;
    }
    if (item >= 20 && item <= 27)
        return {"unused", "in use"};
    if (item >= 28 && item <= 35)
        return {"Guarded", "UnGuarded"};
    if (item >= 36 && item <= 43)
        return {"Normally open", "Normally closed"};
    if (item >= 44 && item <= 51)
        return numbered("Not used.", 1, 150, "", " seconds", 10);
    if (item >= 52 && item <= 59)
        return numbered("Not used.", 1, 30, "", " minutes");
    if (item >= 60 && item <= kLastChoiceItem)
        return BleepCodeEntries();
    return {};
}

namespace {

void appendEntries(SettingControls& controls, int item)
{
    for (const std::string& entry : ChoiceEntries(item))
        controls.appendChoiceEntry(item, entry);
}

} // namespace

void FillChoiceLists(SettingControls& controls)
{
    for (int n = 0; n <= kLastChoiceItem; ++n) {
        controls.clearChoiceList(n);
        controls.setChoiceVisible(n, false);
    }
    for (int n = 0; n <= 40; ++n)
        controls.setButtonsVisible(n, false);

    // The general and paging items: some are shown, the others keep a list but stay hidden.
    for (int n : {0, 1, 5, 7, 9, 10, 11, 12, 13, 14, 15, 17, 18, 19}) {
        controls.setChoiceVisible(n, ItemInUse(n));
        if (n == 19)
            controls.clearChoiceList(n);
        appendEntries(controls, n);
        controls.setButtonsVisible(n, n != 1);
    }

    // The input pages: use, guarding, contact type, alarm and error repeat.
    for (int n = 20; n <= 59; ++n) {
        controls.setChoiceVisible(n, true);
        controls.clearChoiceList(n);
        appendEntries(controls, n);
        controls.setChoiceVisible(n, true);
        controls.setButtonsVisible(n, true);
    }

    // Bleep codes; these items have no buttons.
    for (int n = 60; n <= kLastChoiceItem; ++n) {
        controls.setChoiceVisible(n, true);
        controls.clearChoiceList(n);
        appendEntries(controls, n);
        controls.setChoiceVisible(n, true);
    }

    controls.clearPagerBleepList();
    for (const std::string& entry : BleepCodeEntries())
        controls.appendPagerBleepEntry(entry);
    controls.setPagerBleepVisible(false);
}

} // namespace pravenor::settings
