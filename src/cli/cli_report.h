#pragma once

#include "program/settings_comparison.h"
#include "settings/value_stores.h"

#include <filesystem>
#include <string>
#include <vector>

// What the commands print on standard output, as UTF-8 text or one JSON object.
namespace pravenor::cli {

// "10 Paging serial speed: unit "4800 baud", file "9600 baud"", a line end included; each
// setting by its full name ("44 Input 1, Alarm, Repeat: ...").
std::string DifferenceLines(const std::vector<program::SettingDifference>& differences);
// {"file": ..., "equal": ..., "differences": [{"item", "name", "legend",
// "unit": {"value", "text"},
// "file": {"value", "text"}}]}
std::string DifferencesJson(const std::filesystem::path& file,
                            const std::vector<program::SettingDifference>& differences);

// "ITEM=TEXT" lines, which set takes back as they stand.
std::string ItemLines(const std::vector<int>& items, const settings::ValueStores::Store& values);
// {"settings": [{"item", "name", "legend", "value", "text"}]}: a choice's value is its
// position; "name" is the full name, "legend" the text beside the control with its input.
std::string SettingsJson(const std::vector<int>& items, const settings::ValueStores::Store& values);

} // namespace pravenor::cli
