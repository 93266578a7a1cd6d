#pragma once

#include "settings/setting_value.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace pravenor::cli {

// One setting to write, as the stores hold it: a list position for a choice item, Windows-1252
// text for a text item.
struct SettingArgument
{
    int item = -1;
    settings::SettingValue value;
};

struct ParsedItem
{
    int item = -1;
    std::string error; // empty when item can be used
};

struct ParsedSetting
{
    SettingArgument setting;
    std::string error; // empty when setting can be sent; names the valid choices otherwise
};

// An item number that the converter exchanges, in decimal.
ParsedItem ParseReadableItem(std::string_view text);

// "ITEM=VALUE" for an item the program shows. A choice value is its list position or its
// exact entry text; a text value is the text itself (UTF-8 on the command line), which must fit
// its box. Whatever fits nothing is refused here, so that nothing is sent for it.
ParsedSetting ParseSettingArgument(std::string_view text);

// The entries of a choice item, the first `most` of them, one "  POSITION  TEXT" line each
// (no line end after the last), for a refusal.
std::string ChoicesText(int item, std::size_t most = std::numeric_limits<std::size_t>::max());

// A pager bleep code: one hexadecimal digit, or the entry "BleepCode: X".
std::optional<int> ParseBleepCode(std::string_view text);

} // namespace pravenor::cli
