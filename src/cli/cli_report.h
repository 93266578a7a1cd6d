#pragma once

#include "program/settings_comparison.h"
#include "settings/value_stores.h"

#include <filesystem>
#include <string>
#include <vector>

// What the commands print on standard output, as UTF-8 text or one JSON object.
namespace pravenor::cli {

// "10 Paging serial speed: unit "4800 baud", file "9600 baud"", a line end included.
std::string DifferenceLines(const std::vector<program::SettingDifference>& differences);
// {"file": ..., "equal": ..., "differences": [{"item", "legend", "unit": {"value", "text"},
// "file": {"value", "text"}}]}
std::string DifferencesJson(const std::filesystem::path& file,
                            const std::vector<program::SettingDifference>& differences);

// "ITEM=TEXT" lines, which set takes back as they stand.
std::string ItemLines(const std::vector<int>& items, const settings::ValueStores::Store& values);
// {"settings": [{"item", "legend", "value", "text"}]}: a choice's value is its position.
std::string SettingsJson(const std::vector<int>& items, const settings::ValueStores::Store& values);

} // namespace pravenor::cli
