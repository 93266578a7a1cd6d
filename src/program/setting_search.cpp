#include "program/setting_search.h"

#include "program/settings_comparison.h"
#include "settings/catalogue.h"
#include "settings/page_layout.h"

#include <algorithm>

namespace pravenor::program {

namespace {

// Windows-1252 in lower case: ASCII and the accented capitals 0xC0..0xDE (but 0xD7, the
// multiplication sign), which lie 0x20 below their small letters.
std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            c = static_cast<char>(b + 0x20);
    }
    return out;
}

std::vector<std::string> wordsOf(std::string_view query)
{
    std::vector<std::string> words;
    std::string word;
    for (const char c : lowered(query)) {
        if (c == ' ' || c == '\t') {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

bool holdsAll(const std::string& text, const std::vector<std::string>& words)
{
    return std::all_of(words.begin(), words.end(), [&](const std::string& word) {
        return text.find(word) != std::string::npos;
    });
}

} // namespace

std::vector<SettingMatch> FindSettings(std::string_view query,
                                       const settings::ValueStores::Store& shown, std::size_t limit)
{
    const std::vector<std::string> words = wordsOf(query);
    if (words.empty())
        return {};
    struct Ranked
    {
        int rank;
        SettingMatch match;
    };
    std::vector<Ranked> found;
    for (int item = 0; item < settings::kItemCount; ++item) {
        if (!settings::ItemInUse(item))
            continue;
        SettingMatch match{item, settings::SettingFullName(item),
                           ValueText(item, shown[static_cast<std::size_t>(item)])};
        const std::string number = std::to_string(item);
        const std::string name = lowered(match.name);
        int rank = 0;
        if (words.size() == 1 && words[0] == number)
            rank = 0;
        else if (holdsAll(number + " " + name, words))
            rank = 1;
        else if (holdsAll(number + " " + name + " " + lowered(match.value), words))
            rank = 2;
        else
            continue;
        found.push_back({rank, std::move(match)});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Ranked& a, const Ranked& b) { return a.rank < b.rank; });
    std::vector<SettingMatch> matches;
    for (std::size_t i = 0; i < found.size() && i < limit; ++i)
        matches.push_back(std::move(found[i].match));
    return matches;
}

} // namespace pravenor::program
