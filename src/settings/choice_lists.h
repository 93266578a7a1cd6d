#pragma once

#include "settings/setting_controls.h"

#include <string>
#include <vector>

namespace pravenor::settings {

// The entries of a choice item; position p of the list is what value p of the item means
// in the stores, the files and on the wire. Empty for the items without a list.
std::vector<std::string> ChoiceEntries(int item);

// "BleepCode: 0" .. "BleepCode: F", the list of the bleep-code items and of the pager test frame.
std::vector<std::string> BleepCodeEntries();

// Builds every list and decides which choice boxes and read/write buttons are shown.
// Running it again rebuilds exactly the same; every box ends with nothing chosen.
void FillChoiceLists(SettingControls& controls);

} // namespace pravenor::settings
