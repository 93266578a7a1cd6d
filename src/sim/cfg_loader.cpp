#include "sim/cfg_loader.h"

#include "sim/converter_model.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace pravenor::sim {

namespace {

std::optional<int> wholeNumber(std::string_view text)
{
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || end != last || first == last)
        return std::nullopt;
    return value;
}

bool applyLine(std::string_view line, ConverterModel& model)
{
    std::size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
        ++digits;
    const std::size_t arrow = line.find("->");
    if (digits == 0 || arrow == std::string_view::npos || arrow < digits)
        return false;
    const std::optional<int> item = wholeNumber(line.substr(0, digits));
    const std::string_view value = line.substr(arrow + 2);
    if (!item)
        return false;
    if (ConverterModel::isTextItem(*item))
        return model.setText(*item, std::string(value));
    const std::optional<int> number = wholeNumber(value);
    return number && model.setNumber(*item, *number);
}

} // namespace

CfgLoadResult applyCfgText(std::string_view content, ConverterModel& model)
{
    CfgLoadResult result;
    result.opened = true;
    int lineNumber = 0;
    while (!content.empty()) {
        std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        if (applyLine(line, model))
            ++result.valuesSet;
        else
            result.ignoredLines.push_back(lineNumber);
    }
    return result;
}

CfgLoadResult loadCfgFile(const std::filesystem::path& path, ConverterModel& model)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return {};
    return applyCfgText(content, model);
}

} // namespace pravenor::sim
