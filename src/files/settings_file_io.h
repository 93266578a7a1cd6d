#pragma once

#include "app/numbered_lines.h"
#include "files/file_result.h"
#include "settings/control_sync.h"
#include "settings/value_stores.h"

#include <filesystem>
#include <string>
#include <vector>

// The steps that unit-data files and default.set share.
namespace pravenor::files {

// What to do with a choice slot whose number cannot be held (not finite, such as a run of
// hundreds of digits).
enum class UnusableNumber
{
    Stop,     // leave this item and every later one as they were
    TakeZero, // take 0 for it and go on
};

// ReadNumberedLines: a folder, a FIFO, a device or a read that breaks off counts as a file
// that cannot be opened; a file over the size limit is marked too large.
app::NumberedLines ReadSettingsSlots(const std::filesystem::path& path);

// Fills FileValues from the slots: every choice item with the number at the start of the
// slot (not rounded, 0 when there is none), then every text item with the slot's text.
// Returns the choice items whose number could not be used: at most one with Stop.
std::vector<int> FileValuesFromSlots(const app::NumberedSlots& slots,
                                     settings::ValueStores::Store& fileValues, UnusableNumber rule);

// The end of every load: no converter value counts as read any more, and the loaded values
// become the working values and appear on screen.
void ShowLoadedValues(settings::ControlSync& sync);

// Takes what is on screen into FileValues and writes it to path, replacing the old file only
// once the new one is complete.
FileResult SaveOnScreenValues(const std::filesystem::path& path, settings::ControlSync& sync);

} // namespace pravenor::files
