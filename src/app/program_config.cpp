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

// Why a configuration file that is there cannot be read; empty when there is none at all,
// which is an ordinary first start.
std::string unreadableReason(const std::filesystem::path& file)
{
    std::error_code error;
    const auto entry = std::filesystem::symlink_status(file, error);
    if (error || entry.type() == std::filesystem::file_type::not_found)
        return {};
    const auto target = std::filesystem::status(file, error);
    if (target.type() == std::filesystem::file_type::not_found)
        return "it is a link to nothing";
    if (target.type() == std::filesystem::file_type::directory)
        return "it is a folder";
    if (target.type() != std::filesystem::file_type::regular)
        return "it is not a regular file";
    return "it cannot be read";
}

} // namespace

std::vector<std::string> ProgramConfig::ReadProgramConfig(const std::filesystem::path& file)
{
    const FileContent content = ReadRegularFile(file);
    std::string why;
    if (content.status == FileReadStatus::TooLarge)
        why = "it is larger than " + MaxFileSizeText();
    else if (content.status == FileReadStatus::CannotOpen)
        why = unreadableReason(file);
    else if (content.bytes.find('\0') != std::string::npos)
        why = "it is not a text file";
    std::vector<std::string> warnings;
    if (!why.empty() || content.status != FileReadStatus::Read) {
        if (!why.empty())
            warnings.push_back(PathText(file) + " cannot be used (" + why +
                               "); the program starts with its defaults.");
        takeSlots(*this, NumberedSlots{});
        return warnings;
    }
    takeSlots(*this, ParseNumberedLines(content.bytes));
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
