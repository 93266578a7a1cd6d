#include "files/unit_data_file.h"

#include "app/cp1252.h"
#include "app/regular_file.h"
#include "app/text_functions.h"
#include "files/settings_file_io.h"

namespace pravenor::files {

FileResult SaveSettingsFile(const std::filesystem::path& path, settings::ControlSync& sync)
{
    if (path.empty())
        return {};
    return SaveOnScreenValues(path, sync);
}

FileResult LoadSettingsFile(const std::filesystem::path& path, settings::ControlSync& sync)
{
    if (path.empty())
        return {};

    // The user chose this file; reading it as empty would silently wipe every setting.
    const app::NumberedLines lines = ReadSettingsSlots(path);
    if (!lines.opened) {
        FileResult result;
        result.ok = false;
        result.message =
            "The settings file " + app::PathText(path) +
            (lines.tooLarge ? " is larger than " + app::MaxFileSizeText() + " and cannot be used."
                            : std::string(" could not be opened.")) +
            " No setting has been changed.";
        return result;
    }

    const std::vector<int> unusable =
        FileValuesFromSlots(lines.slots, sync.stores().FileValues, UnusableNumber::Stop);
    if (!unusable.empty()) {
        FileResult result;
        result.ok = false;
        result.message = kLoadFailedMessage;
        result.title = kLoadFailedTitle;
        result.critical = true;
        result.warnings.push_back("Setting " + app::NumToStr(unusable.front()) + " in " +
                                  app::PathText(path) + ": the number cannot be used.");
        return result;
    }
    ShowLoadedValues(sync);
    return ControlTextWarning(path, sync.stores().FileValues);
}

FileResult ControlTextWarning(const std::filesystem::path& path,
                              const settings::ValueStores::Store& values)
{
    std::string items;
    for (int item = settings::kFirstTextItem; item <= settings::kLastTextItem; ++item) {
        if (app::HoldsControlBytes(values[static_cast<std::size_t>(item)].asText()))
            items += (items.empty() ? "" : ", ") + app::NumToStr(item);
    }
    FileResult result;
    if (items.empty())
        return result;
    result.message =
        "The text of setting " + items + " in " + app::PathText(path) +
        " holds control characters. It is loaded, but it is never written to the converter.";
    result.warnings.push_back(result.message);
    return result;
}

} // namespace pravenor::files
