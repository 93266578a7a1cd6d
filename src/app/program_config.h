#pragma once

#include "app/atomic_file.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pravenor::app {

// The program's own four settings, kept in "Pravenor.set" in the program folder.
struct ProgramConfig
{
    static constexpr const char* kFileName = "Pravenor.set";

    std::int16_t ComPortIndex = 0; // 0 is Com1
    std::int16_t LogLevel = 0;     // 0: WriteLog does nothing
    std::string SetPath;           // folder of the unit-data files; empty: Instellingen
    std::int16_t UnitType = 0;

    bool operator==(const ProgramConfig&) const = default;

    // A number that does not fit 16 bits is rejected: the setting keeps its default, as if
    // the line were missing, rather than becoming some other port or level. The file is
    // otherwise read silently; a line comes back only for a file too large to be used.
    std::vector<std::string> ReadProgramConfig(const std::filesystem::path& file);
    SaveResult WriteProgramConfig(const std::filesystem::path& file) const;
    // The same reading on the file's bytes already in memory.
    void readContent(std::string_view content);

    // The file's bytes: four CR LF lines with their fixed prefixes.
    std::string FileText() const;
};

} // namespace pravenor::app
