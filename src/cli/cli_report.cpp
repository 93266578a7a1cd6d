#include "cli/cli_report.h"

#include "app/cp1252.h"
#include "cli/json_text.h"
#include "link/control_chars.h"
#include "settings/catalogue.h"
#include "settings/page_layout.h"

namespace pravenor::cli {

namespace {

std::string utf8(const std::string& cp1252)
{
    return app::Cp1252ToUtf8(cp1252);
}

std::string jsonValue(int item, const settings::SettingValue& value)
{
    // A converter's text may hold anything; a reader of the JSON gets it shown, not obeyed.
    if (settings::IsTextItem(item))
        return JsonString(utf8(link::VisibleText(value.asText())));
    const auto whole = value.asWhole();
    return whole ? std::to_string(*whole) : std::string("null");
}

std::string valueAndText(int item, const settings::SettingValue& value, const std::string& text)
{
    return "{\"value\": " + jsonValue(item, value) + ", \"text\": " + JsonString(utf8(text)) + "}";
}

const settings::SettingValue& at(const settings::ValueStores::Store& values, int item)
{
    return values[static_cast<std::size_t>(item)];
}

} // namespace

std::string DifferenceLines(const std::vector<program::SettingDifference>& differences)
{
    std::string text;
    for (const program::SettingDifference& d : differences) {
        text += std::to_string(d.item) + " " + utf8(d.name) + " unit " +
                JsonString(utf8(d.oursText)) + ", file " + JsonString(utf8(d.theirsText)) + "\n";
    }
    return text;
}

std::string DifferencesJson(const std::filesystem::path& file,
                            const std::vector<program::SettingDifference>& differences)
{
    std::string text = "{\"file\": " + JsonString(utf8(app::PathText(file))) +
                       ", \"equal\": " + (differences.empty() ? "true" : "false") +
                       ", \"differences\": [";
    for (std::size_t i = 0; i < differences.size(); ++i) {
        const program::SettingDifference& d = differences[i];
        text += std::string(i == 0 ? "\n  " : ",\n  ") + "{\"item\": " + std::to_string(d.item) +
                ", \"name\": " + JsonString(utf8(d.name)) +
                ", \"legend\": " + JsonString(utf8(d.legend)) +
                ", \"unit\": " + valueAndText(d.item, d.ours, d.oursText) +
                ", \"file\": " + valueAndText(d.item, d.theirs, d.theirsText) + "}";
    }
    return text + (differences.empty() ? "]}\n" : "\n]}\n");
}

std::string ItemLines(const std::vector<int>& items, const settings::ValueStores::Store& values)
{
    std::string text;
    for (int item : items)
        text +=
            std::to_string(item) + "=" + utf8(program::ValueText(item, at(values, item))) + "\n";
    return text;
}

std::string SettingsJson(const std::vector<int>& items, const settings::ValueStores::Store& values)
{
    std::string text = "{\"settings\": [";
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int item = items[i];
        const settings::SettingValue& value = at(values, item);
        text += std::string(i == 0 ? "\n  " : ",\n  ") + "{\"item\": " + std::to_string(item) +
                ", \"name\": " + JsonString(utf8(settings::SettingFullName(item))) +
                ", \"legend\": " + JsonString(utf8(settings::ItemLegend(item))) +
                ", \"value\": " + jsonValue(item, value) +
                ", \"text\": " + JsonString(utf8(program::ValueText(item, value))) + "}";
    }
    return text + (items.empty() ? "]}\n" : "\n]}\n");
}

} // namespace pravenor::cli
