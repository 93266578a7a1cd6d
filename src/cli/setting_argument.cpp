#include "cli/setting_argument.h"

#include "app/cp1252.h"
#include "app/text_functions.h"
#include "settings/catalogue.h"
#include "settings/choice_lists.h"
#include "settings/page_layout.h"

#include <charconv>

namespace pravenor::cli {

namespace {

std::optional<int> wholeNumber(std::string_view text)
{
    int value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || text[0] == '+' || error != std::errc{} || end != last)
        return std::nullopt;
    return value;
}

std::string named(int item)
{
    const std::string legend = settings::ItemLegend(item);
    return "setting " + std::to_string(item) + (legend.empty() ? "" : " (" + legend + ")");
}

ParsedSetting refused(std::string why)
{
    ParsedSetting parsed;
    parsed.error = std::move(why);
    return parsed;
}

ParsedSetting choiceSetting(int item, std::string_view value)
{
    const std::vector<std::string> entries = settings::ChoiceEntries(item);
    // Entry texts are plain ASCII, so the command line's UTF-8 compares as it stands.
    for (std::size_t position = 0; position < entries.size(); ++position) {
        if (entries[position] == value)
            return {{item, settings::SettingValue::Number(static_cast<double>(position))}, {}};
    }
    const std::optional<int> position = wholeNumber(value);
    if (position && *position >= 0 && *position < static_cast<int>(entries.size()))
        return {{item, settings::SettingValue::Number(*position)}, {}};
    // A long list would bury the message: a handful of entries, and how to see them all.
    constexpr std::size_t kHandful = 6;
    const bool all = value == "?" || entries.size() <= kHandful;
    std::string choices = all ? ChoicesText(item) : ChoicesText(item, kHandful - 1);
    if (!all)
        choices += "\n  ... " + std::to_string(entries.size() - (kHandful - 1)) + " more; " +
                   std::to_string(item) + "=? lists all " + std::to_string(entries.size());
    return refused("\"" + std::string(value) + "\" is no choice of " + named(item) +
                   ". Give the position or the exact text of one of:\n" + choices);
}

ParsedSetting textSetting(int item, std::string_view value)
{
    const std::string bytes = app::Utf8ToCp1252(value);
    if (app::Cp1252ToUtf8(bytes) != value)
        return refused(
            "the text for " + named(item) +
            " holds characters that the converter's character set (Windows-1252) cannot carry");
    if (bytes.find_first_of("\r\n") != std::string::npos)
        return refused("the text for " + named(item) + " holds a line break");
    if (app::HoldsControlBytes(bytes))
        return refused("the text for " + named(item) +
                       " holds control characters (0x00 to 0x1F), which the converter reads as "
                       "frame structure");
    const int longest = settings::TextBoxMaxLength(settings::TextBoxOf(item));
    if (static_cast<int>(bytes.size()) > longest)
        return refused("the text for " + named(item) + " has " + std::to_string(bytes.size()) +
                       " characters; it takes at most " + std::to_string(longest));
    return {{item, settings::SettingValue::Text(bytes)}, {}};
}

} // namespace

ParsedItem ParseReadableItem(std::string_view text)
{
    const std::optional<int> item = wholeNumber(text);
    if (!item || *item < 0 || *item >= settings::kItemCount)
        return {-1, "\"" + std::string(text) + "\" is no setting number (0 to 250)"};
    if (!settings::ItemIsImplemented(*item))
        return {-1, "setting " + std::to_string(*item) + " is not exchanged with the converter"};
    return {*item, {}};
}

ParsedSetting ParseSettingArgument(std::string_view text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return refused("\"" + std::string(text) + "\" is not ITEM=VALUE");
    const std::optional<int> item = wholeNumber(text.substr(0, equals));
    if (!item || *item < 0 || *item >= settings::kItemCount)
        return refused("\"" + std::string(text.substr(0, equals)) +
                       "\" is no setting number (0 to 250)");
    // A hidden setting's box gives 0 to every write, whatever was asked, as in the window.
    if (!settings::ItemInUse(*item))
        return refused("setting " + std::to_string(*item) +
                       " is not one the program shows and writes");
    const std::string_view value = text.substr(equals + 1);
    return settings::IsTextItem(*item) ? textSetting(*item, value) : choiceSetting(*item, value);
}

std::string ChoicesText(int item, std::size_t most)
{
    std::string text;
    const std::vector<std::string> entries = settings::ChoiceEntries(item);
    for (std::size_t position = 0; position < entries.size() && position < most; ++position)
        text +=
            (position == 0 ? "  " : "\n  ") + std::to_string(position) + "  " + entries[position];
    return text;
}

std::optional<int> ParseBleepCode(std::string_view text)
{
    constexpr std::string_view kEntry = "BleepCode: ";
    if (text.starts_with(kEntry))
        text.remove_prefix(kEntry.size());
    if (text.size() != 1)
        return std::nullopt;
    const char digit = text[0];
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return std::nullopt;
}

} // namespace pravenor::cli
