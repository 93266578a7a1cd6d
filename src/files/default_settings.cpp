#include "files/default_settings.h"

#include "app/cp1252.h"
#include "app/regular_file.h"
#include "app/text_functions.h"
#include "files/settings_file_io.h"

#include <system_error>

namespace pravenor::files {

FileResult ReadDefaultSettings(const std::filesystem::path& programFolder,
                               settings::ControlSync& sync)
{
    const std::filesystem::path path = programFolder / kDefaultSettingsFileName;
    FileResult result;
    const app::NumberedLines lines = ReadSettingsSlots(path);
    std::error_code error;
    if (lines.tooLarge)
        result.warnings.push_back(app::PathText(path) + " is larger than " +
                                  app::MaxFileSizeText() +
                                  " and cannot be used; every setting starts at 0 or empty.");
    else if (!lines.opened && std::filesystem::exists(path, error))
        result.warnings.push_back(app::PathText(path) +
                                  " could not be read; every setting starts at 0 or empty.");

    const std::vector<int> unusable =
        FileValuesFromSlots(lines.slots, sync.stores().FileValues, UnusableNumber::TakeZero);
    for (int item : unusable)
        result.warnings.push_back(std::string(kDefaultSettingsFileName) + ", setting " +
                                  app::NumToStr(item) +
                                  ": the number cannot be used, 0 taken instead.");
    ShowLoadedValues(sync);
    return result;
}

FileResult WriteDefaultSettings(const std::filesystem::path& programFolder,
                                settings::ControlSync& sync)
{
    return SaveOnScreenValues(programFolder / kDefaultSettingsFileName, sync);
}

} // namespace pravenor::files
