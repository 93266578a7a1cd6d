#include "files/settings_file_io.h"

#include "app/atomic_file.h"
#include "app/cp1252.h"
#include "app/text_functions.h"
#include "files/settings_file_text.h"
#include "settings/catalogue.h"

#include <cmath>
#include <system_error>

namespace pravenor::files {

app::NumberedLines ReadSettingsSlots(const std::filesystem::path& path)
{
    return app::ReadNumberedLines(path);
}

std::vector<int> FileValuesFromSlots(const app::NumberedSlots& slots,
                                     settings::ValueStores::Store& fileValues, UnusableNumber rule)
{
    using settings::SettingValue;
    std::vector<int> unusable;
    for (int item = 0; item <= settings::kLastChoiceItem; ++item) {
        const auto at = static_cast<std::size_t>(item);
        double number = app::LeadingNumber(slots[at]);
        if (!std::isfinite(number)) {
            unusable.push_back(item);
            if (rule == UnusableNumber::Stop)
                return unusable;
            number = 0.0;
        }
        fileValues[at] = SettingValue::Number(number);
    }
    for (int item = settings::kFirstTextItem; item <= settings::kLastTextItem; ++item) {
        const auto at = static_cast<std::size_t>(item);
        fileValues[at] = SettingValue::Text(slots[at]);
    }
    return unusable;
}

void ShowLoadedValues(settings::ControlSync& sync)
{
    sync.stores().ForgetUnitValues();
    sync.stores().FileToWork();
    sync.ShowAllValues();
}

FileResult SaveOnScreenValues(const std::filesystem::path& path, settings::ControlSync& sync)
{
    sync.TakeAllValues();
    sync.stores().WorkToFile();
    SettingsFileText text = BuildSettingsFileText(sync.stores().FileValues);

    FileResult result;
    result.warnings = std::move(text.warnings);
    const app::SaveResult saved = app::WriteFileReplacing(path, text.content);
    if (!saved.warning.empty())
        result.warnings.push_back(saved.warning); // names the file in Windows-1252 already
    if (!saved.ok) {
        result.ok = false;
        result.message = "The settings could not be saved to " + app::PathText(path) +
                         ". Any file already there is unchanged.";
#ifdef _WIN32
        result.warnings.push_back(saved.error);
#else
        // The reason names the path in the system's own encoding, UTF-8 here.
        result.warnings.push_back(app::Utf8ToCp1252(saved.error));
#endif
    }
    return result;
}

} // namespace pravenor::files
