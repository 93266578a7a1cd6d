#include "app/numbered_lines.h"

#include "app/regular_file.h"
#include "app/text_functions.h"

namespace pravenor::app {

NumberedSlots ParseNumberedLines(std::string_view content)
{
    NumberedSlots slots;
    std::string lastValue;
    for (std::string_view line : SplitLines(content)) {
        const std::size_t first = line.find_first_not_of(' ');
        if (first == std::string_view::npos)
            continue;
        line.remove_prefix(first);

        const double number = RoundHalfEven(LeadingNumber(line.substr(0, 4)));
        if (number < 0)
            break;
        const std::size_t arrow = line.find("->");
        if (arrow != std::string_view::npos)
            lastValue = std::string(line.substr(arrow + 2));
        if (number < kSlotCount)
            slots[static_cast<std::size_t>(number)] = lastValue;
    }
    return slots;
}

NumberedLines ReadNumberedLines(const std::filesystem::path& path)
{
    NumberedLines result;
    const FileContent file = ReadRegularFile(path);
    result.tooLarge = file.status == FileReadStatus::TooLarge;
    if (file.status != FileReadStatus::Read)
        return result;
    result.opened = true;
    result.slots = ParseNumberedLines(file.bytes);
    return result;
}

std::optional<std::int16_t> SlotWhole16(std::string_view slot)
{
    return ToWhole16(LeadingNumber(slot));
}

} // namespace pravenor::app
