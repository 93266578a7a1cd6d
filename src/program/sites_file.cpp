#include "program/sites_file.h"

#include "app/regular_file.h"
#include "app/text_functions.h"

#include <algorithm>
#include <map>

namespace pravenor::program {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::vector<std::string> wordsOf(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        std::size_t end = at;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        if (end > at)
            words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

std::string folded(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

// Why one line's words name no converter; empty when they do.
std::string faultOf(const std::vector<std::string>& words, link::ParsedLineAddress& line)
{
    const std::string& name = words[0];
    if (!std::all_of(name.begin(), name.end(), isNameCharacter))
        return "the name " + name + " may hold only letters, digits, \"-\", \"_\" and \".\"";
    if (name == "." || name == "..")
        return "the name " + name + " names a folder, not a converter";
    if (words.size() < 2)
        return name + " has no line: give a device or a network address after the name";
    if (words.size() > 3 || (words.size() == 3 && words[2] != "fast"))
        return "after " + name + "'s line only \"fast\" may follow, not " + words[2];
    line = link::ParseLineAddress(words[1]);
    if (!line.address)
        return name + ": " + line.error;
    return {};
}

} // namespace

SitesFile ParseSites(const std::string& text)
{
    SitesFile file;
    std::map<std::string, int> names;         // folded name -> its line number
    std::map<std::string, std::string> lines; // line text -> the name on it
    int number = 0;
    for (const std::string_view each : app::SplitLines(text)) {
        std::string line(each);
        ++number;
        if (const std::size_t hash = line.find('#'); hash != std::string::npos)
            line.resize(hash);
        const std::vector<std::string> words = wordsOf(line);
        if (words.empty())
            continue;
        const std::string where = app::NumToStr(number) + ": ";
        link::ParsedLineAddress address;
        if (const std::string fault = faultOf(words, address); !fault.empty()) {
            file.refusals.push_back(where + fault);
            continue;
        }
        const auto [seen, added] = names.emplace(folded(words[0]), number);
        if (!added) {
            file.refusals.push_back(where + words[0] + " is named on line " +
                                    app::NumToStr(seen->second) + " already");
            continue;
        }
        const std::string lineText = address.address->text();
        if (const auto other = lines.find(lineText); other != lines.end()) {
            file.refusals.push_back(where + words[0] + "'s line " + lineText + " is " +
                                    other->second + "'s already");
            continue;
        }
        lines.emplace(lineText, words[0]);
        file.sites.push_back({words[0], *address.address, words.size() == 3, number});
    }
    if (file.sites.empty() && file.refusals.empty())
        file.refusals.push_back("the file names no converter");
    return file;
}

SitesFile ReadSitesFile(const std::filesystem::path& path)
{
    const app::FileContent content = app::ReadRegularFile(path);
    if (content.status != app::FileReadStatus::Read) {
        SitesFile file;
        file.refusals.push_back(content.status == app::FileReadStatus::TooLarge
                                    ? "the file is larger than " + app::MaxFileSizeText()
                                    : "the file cannot be read");
        return file;
    }
    return ParseSites(content.bytes);
}

std::vector<std::string> UnknownSites(const SitesFile& file, const std::vector<std::string>& names)
{
    std::vector<std::string> unknown;
    for (const std::string& name : names) {
        if (std::none_of(file.sites.begin(), file.sites.end(),
                         [&](const Site& site) { return site.name == name; }))
            unknown.push_back(name);
    }
    return unknown;
}

} // namespace pravenor::program
