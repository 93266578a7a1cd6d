#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pravenor::app {

// The one reading rule for the program's text files (program configuration, default
// settings, unit-data files): each line is a record whose leading number picks a slot and
// whose text after the first "->" is the value.
constexpr int kSlotCount = 299;
using NumberedSlots = std::array<std::string, kSlotCount>;

struct NumberedLines
{
    bool opened = false;   // false: the file could not be opened, every slot is empty
    bool tooLarge = false; // not opened because it is larger than kMaxFileBytes
    NumberedSlots slots;
};

// The rule on bytes already in memory, so that it can be tested and fuzzed without files.
// Lines end at CR LF, a lone LF or a lone CR.
NumberedSlots ParseNumberedLines(std::string_view content);

// Only a regular file of at most kMaxFileBytes is read (see regular_file.h).
NumberedLines ReadNumberedLines(const std::filesystem::path& path);

// The number at the start of a slot rounded to a whole number, 0 when there is none.
// Nothing when it does not fit a signed 16-bit value.
std::optional<std::int16_t> SlotWhole16(std::string_view slot);

} // namespace pravenor::app
