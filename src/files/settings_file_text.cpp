#include "files/settings_file_text.h"

#include "app/text_functions.h"
#include "files/settings_line.h"
#include "settings/catalogue.h"

namespace pravenor::files {

namespace {

void addLine(SettingsFileText& file, int item, const settings::SettingValue& value)
{
    file.content += SettingsLine(item, value);
    const std::string setting = "Setting " + app::NumToStr(item) + ": ";
    if (settings::IsChoiceItem(item)) {
        if (!value.asWhole())
            file.warnings.push_back(setting + "value " + value.asText() + " saved as 0.");
    } else if (value.asText().find_first_of("\r\n") != std::string::npos) {
        file.warnings.push_back(setting + "line break saved as a blank.");
    }
}

} // namespace

SettingsFileText BuildSettingsFileText(const settings::ValueStores::Store& fileValues)
{
    SettingsFileText file;
    for (int item = 0; item <= settings::kLastChoiceItem; ++item)
        addLine(file, item, fileValues[static_cast<std::size_t>(item)]);
    for (int item = settings::kFirstTextItem; item <= settings::kLastTextItem; ++item)
        addLine(file, item, fileValues[static_cast<std::size_t>(item)]);
    return file;
}

} // namespace pravenor::files
