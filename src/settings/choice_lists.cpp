#include "settings/choice_lists.h"

#include "app/text_functions.h"
#include "settings/catalogue.h"

namespace pravenor::settings {

using app::HexText;
using app::NumToStr;

namespace {

std::vector<std::string> numbered(const std::string& first, int from, int to,
                                  const std::string& prefix, const std::string& suffix,
                                  int step = 1)
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

namespace {

std::vector<std::string> ListEntries(ChoiceList list)
{
    switch (list) {
    case ChoiceList::None:
        return {};
    case ChoiceList::DiagnoseLevel:
        return {"No", "Diagnose", "Debug info"};
    case ChoiceList::BufferLength:
        return numbered("", 0, 19, "MaxLengt of buffer ", " digits");
    case ChoiceList::AddressLength:
        return numbered("Not limited", 1, 10, "Address length: ", "");
    case ChoiceList::MessageLength:
        return numbered("Not limited", 1, 25, "Length: ", "");
    case ChoiceList::RelayForwarding:
        return {"no forward to relay.", "forward to relay"};
    case ChoiceList::PagingSpeed:
        return {"1200 baud", "2400 baud", "4800 baud", "9600 baud", "19200 baud"};
    case ChoiceList::DataBits:
        return {"7 bits", "8 bits"};
    case ChoiceList::StopBits:
        return {"1 stopbit", "2 stopbits"};
    case ChoiceList::Parity:
        return {"no parity", "even parity", "odd parity"};
    case ChoiceList::Handshake:
        return {"No HandShake", "No HandShake, active RTS", "CTS/RTS HandShake"};
    case ChoiceList::PagingSystem:
        return {"Ascom/Nira", "Bosch LBB5800", "Bosch AlfaDesk", "GSMmodem"};
    case ChoiceList::StatusRequest:
        return {"Request status", "Do not request status"};
    case ChoiceList::FixedInfo: {
        std::vector<std::string> entries{"No Fixed Info"};
        for (int d = 0; d <= 15; ++d)
            entries.push_back("Fixed Info: " + HexText(static_cast<std::int16_t>(d)));
        return entries;
    }
    case ChoiceList::InfoKind:
        return {"Fixed num-info and variable textmessage", "Only variable textmessage",
                "Variable num-info and textmessage", "Num info only"};
    case ChoiceList::InputUse:
        return {"unused", "in use"};
    case ChoiceList::Guarding:
        return {"Guarded", "UnGuarded"};
    case ChoiceList::ContactType:
        return {"Normally open", "Normally closed"};
    case ChoiceList::AlarmRepeat:
        return numbered("Not used.", 1, 150, "", " seconds", 10);
    case ChoiceList::ErrorRepeat:
        return numbered("Not used.", 1, 30, "", " minutes");
    case ChoiceList::BleepCode:
        return BleepCodeEntries();
    }
    return {};
}

} // namespace

std::vector<std::string> ChoiceEntries(int item)
{
    const ItemGroup* group = GroupOf(item);
    if (!group || group->kind == ItemKind::Text)
        return {};
    return ListEntries(group->list);
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
    for (const ItemGroup& group : ItemGroups()) {
        if (group.buttons == Buttons::Untouched)
            continue;
        for (int n = group.first; n < group.first + group.count; ++n)
            controls.setButtonsVisible(n, false);
    }

    // Every item with a list gets it; those not in use keep it behind a hidden box.
    for (const ItemGroup& group : ItemGroups()) {
        if (group.kind == ItemKind::Text || group.list == ChoiceList::None)
            continue;
        for (int n = group.first; n < group.first + group.count; ++n) {
            controls.setChoiceVisible(n, group.inUse);
            appendEntries(controls, n);
            if (group.buttons != Buttons::Untouched)
                controls.setButtonsVisible(n, group.buttons == Buttons::Shown);
        }
    }

    controls.clearPagerBleepList();
    for (const std::string& entry : BleepCodeEntries())
        controls.appendPagerBleepEntry(entry);
    controls.setPagerBleepVisible(false);
}

} // namespace pravenor::settings
