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
    std::string legend;   // with the input for the input pages
    std::string name;     // the setting's full name, unique among them all
    std::string oursText; // as a person reads it: the choice text, or the text
    std::string theirsText;
    settings::SettingValue ours;
    settings::SettingValue theirs;
};

// The settings in use whose values differ, in item order: choices by their position, texts
// exactly (letter case counts).
std::vector<SettingDifference> CompareSettings(const settings::ValueStores::Store& ours,
                                               const settings::ValueStores::Store& theirs);

// The settings in use whose file value the controls cannot hold as it stands (a choice
// outside its list, a text longer than its box), as they would show it, and the texts holding
// control bytes, which are never sent. Works on controls of its own: nothing on screen or in
// the program's stores changes.
struct FileValueFaults
{
    std::vector<SettingDifference> unholdable; // ours: what the controls would show
    std::vector<int> controlTexts;
    settings::ValueStores::Store shown; // every value as the controls would show it
};
FileValueFaults CheckFileValues(const settings::ValueStores::Store& fileValues);

// The forgotten state of a UnitValues entry: nothing seen from the converter for the item. A
// text read from the converter is a text, so only the number -1 counts for a text item.
bool NeverReadFromUnit(int item, const settings::SettingValue& unit);

// A value of an item as a person reads it: the entry of its list, or the text with its
// control bytes in brackets.
std::string ValueText(int item, const settings::SettingValue& value);

} // namespace pravenor::program
