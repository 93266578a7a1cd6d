#include "program/settings_comparison.h"

#include "app/cp1252.h"
#include "app/text_functions.h"
#include "files/settings_file_io.h"
#include "link/control_chars.h"
#include "settings/catalogue.h"
#include "settings/choice_lists.h"
#include "settings/control_board.h"
#include "settings/control_sync.h"
#include "settings/page_layout.h"

namespace pravenor::program {

namespace {

std::size_t at(int item)
{
    return static_cast<std::size_t>(item);
}

bool same(int item, const settings::SettingValue& a, const settings::SettingValue& b)
{
    if (settings::IsTextItem(item))
        return a.asText() == b.asText();
    return a.asWhole() == b.asWhole();
}

} // namespace

FileSnapshot ReadSettingsSnapshot(const std::filesystem::path& file)
{
    FileSnapshot snapshot;
    const app::NumberedLines lines = files::ReadSettingsSlots(file);
    if (!lines.opened) {
        snapshot.message = "The settings file " + app::PathText(file) + " could not be opened.";
        return snapshot;
    }
    const std::vector<int> unusable =
        files::FileValuesFromSlots(lines.slots, snapshot.values, files::UnusableNumber::Stop);
    if (!unusable.empty()) {
        snapshot.message = "Setting " + app::NumToStr(unusable.front()) + " in " +
                           app::PathText(file) + ": the number cannot be used.";
        return snapshot;
    }
    snapshot.ok = true;
    return snapshot;
}

FileValueFaults CheckFileValues(const settings::ValueStores::Store& fileValues)
{
    FileValueFaults faults;
    settings::ValueStores stores;
    settings::ControlBoard board;
    settings::ControlSync sync(stores, board);
    settings::FillChoiceLists(board);
    stores.FileValues = fileValues;
    stores.FileToWork();
    sync.ShowAllValues();
    sync.TakeAllValues();
    faults.unholdable = CompareSettings(stores.WorkValues, fileValues);
    faults.shown = stores.WorkValues;
    for (int item = 0; item < settings::kItemCount; ++item) {
        if (settings::IsTextItem(item) && settings::ItemInUse(item) &&
            app::HoldsControlBytes(fileValues[at(item)].asText()))
            faults.controlTexts.push_back(item);
    }
    return faults;
}

bool NeverReadFromUnit(int item, const settings::SettingValue& unit)
{
    if (settings::IsTextItem(item))
        return unit.isNumber() && unit.asNumber() == -1;
    return unit.asNumber() == -1;
}

std::string ValueText(int item, const settings::SettingValue& value)
{
    if (settings::IsTextItem(item))
        return link::VisibleText(value.asText());
    const auto position = value.asWhole();
    const std::vector<std::string> entries = settings::ChoiceEntries(item);
    if (position && *position >= 0 && *position < static_cast<int>(entries.size()))
        return entries[at(*position)];
    if (position && *position == -1)
        return "(none)";
    return "(" + value.asText() + ")";
}

std::vector<SettingDifference> CompareSettings(const settings::ValueStores::Store& ours,
                                               const settings::ValueStores::Store& theirs)
{
    std::vector<SettingDifference> differences;
    for (int item = 0; item < settings::kItemCount; ++item) {
        if (!settings::ItemInUse(item) || same(item, ours[at(item)], theirs[at(item)]))
            continue;
        differences.push_back({item, settings::ItemLegend(item), settings::SettingFullName(item),
                               ValueText(item, ours[at(item)]), ValueText(item, theirs[at(item)]),
                               ours[at(item)], theirs[at(item)]});
    }
    return differences;
}

} // namespace pravenor::program
