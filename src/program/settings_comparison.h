#pragma once

#include "settings/setting_value.h"
#include "settings/value_stores.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pravenor::program {

// A settings file read only to compare with: nothing on screen or in the stores changes.
struct FileSnapshot
{
    bool ok = false;
    std::string message; // why it cannot be used; Windows-1252
    settings::ValueStores::Store values;
};
FileSnapshot ReadSettingsSnapshot(const std::filesystem::path& file);

// One setting in use whose two values differ.
struct SettingDifference
{
    int item = 0;
    std::string legend;     // with the input for the input pages
    std::string oursText;   // as a person reads it: the choice text, or the text
    std::string theirsText;
    settings::SettingValue ours;
    settings::SettingValue theirs;
};

// The settings in use whose values differ, in item order: choices by their position, texts
// exactly (letter case counts).
std::vector<SettingDifference> CompareSettings(const settings::ValueStores::Store& ours,
                                               const settings::ValueStores::Store& theirs);

// A value of an item as a person reads it: the entry of its list, or the text.
std::string ValueText(int item, const settings::SettingValue& value);

} // namespace pravenor::program
