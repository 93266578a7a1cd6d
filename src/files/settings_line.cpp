#include "files/settings_line.h"

#include "app/text_functions.h"
#include "settings/catalogue.h"

namespace pravenor::files {

namespace {

std::string withoutLineBreaks(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        line += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return line;
}

} // namespace

std::string SettingsLine(int item, const settings::SettingValue& value)
{
    std::string line = app::NumToStr(item) + "    ->";
    if (settings::IsChoiceItem(item))
        line += app::NumToStr(value.asWhole().value_or(0));
    else
        line += withoutLineBreaks(value.asText());
    line += "\r\n";
    return line;
}

} // namespace pravenor::files
