#include "app/program_config.h"

#include "app/cp1252.h"
#include "app/numbered_lines.h"
#include "app/regular_file.h"
#include "app/text_functions.h"

namespace pravenor::app {

namespace {

void takeSlots(ProgramConfig& config, const NumberedSlots& slots)
{
    config.ComPortIndex = SlotWhole16(slots[0]).value_or(0);
    config.LogLevel = SlotWhole16(slots[1]).value_or(0);
    config.SetPath = slots[2];
    config.UnitType = SlotWhole16(slots[3]).value_or(0);
}

} // namespace

std::vector<std::string> ProgramConfig::ReadProgramConfig(const std::filesystem::path& file)
{
    const NumberedLines lines = ReadNumberedLines(file);
    std::vector<std::string> warnings;
    if (lines.tooLarge)
        warnings.push_back(PathText(file) + " is larger than " + MaxFileSizeText() +
                           " and cannot be used; the program starts with its defaults.");
    takeSlots(*this, lines.slots);
    return warnings;
}

void ProgramConfig::readContent(std::string_view content)
{
    takeSlots(*this, ParseNumberedLines(content));
}

std::string ProgramConfig::FileText() const
{
    std::string text;
    text += "0        Compoort ->" + NumToStr(ComPortIndex) + "\r\n";
    text += "1      Logfile ->" + NumToStr(LogLevel) + "\r\n";
    text += "2       SetPath ->" + SetPath + "\r\n";
    text += "3       UnitType ->" + NumToStr(UnitType) + "\r\n";
    return text;
}

SaveResult ProgramConfig::WriteProgramConfig(const std::filesystem::path& file) const
{
    return WriteFileReplacing(file, FileText());
}

} // namespace pravenor::app
