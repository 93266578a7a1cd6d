#include "files/snapshot_store.h"

#include "app/atomic_file.h"
#include "app/cp1252.h"
#include "app/numbered_lines.h"
#include "app/program_folder.h"
#include "app/regular_file.h"
#include "app/text_functions.h"
#include "files/settings_file_io.h"
#include "files/settings_line.h"
#include "settings/catalogue.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <system_error>
#include <tuple>

namespace pravenor::files {

namespace {

constexpr std::size_t kMaxNameBytes = 100;

bool isReservedOnWindows(std::string name)
{
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos)
        name.resize(dot);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const std::array<const char*, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kPlain.begin(), kPlain.end(), name) != kPlain.end())
        return true;
    return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) &&
           name[3] >= '0' && name[3] <= '9';
}

// "2026-12-09_05-40-12" then "", or "-2", "-3"...; nothing for another name.
bool parseName(const std::string& name, app::LocalTime& when, int& sequence)
{
    if (!name.ends_with(".cfg"))
        return false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
    if (std::sscanf(name.c_str(), "%4d-%2d-%2d_%2d-%2d-%2d%n", &year, &month, &day, &hour, &minute,
                    &second, &used) != 6 ||
        used != 19)
        return false;
    const std::string rest = name.substr(19, name.size() - 19 - 4);
    sequence = 1;
    if (!rest.empty()) {
        if (rest.size() < 2 || rest[0] != '-' ||
            !std::all_of(rest.begin() + 1, rest.end(),
                         [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            return false;
        sequence = std::stoi(rest.substr(1));
    }
    when = {year, month, day, hour, minute, second};
    return SnapshotFileName(when, sequence) == name;
}

} // namespace

std::string SnapshotFileName(const app::LocalTime& when, int sequence)
{
    char name[64];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d_%02d-%02d-%02d", when.year % 10000,
                  when.month % 100, when.day % 100, when.hour % 100, when.minute % 100,
                  when.second % 100);
    std::string text = name;
    if (sequence > 1)
        text += "-" + std::to_string(sequence);
    return text + ".cfg";
}

SnapshotStore::SnapshotStore(const std::filesystem::path& programFolder, std::string_view lineText)
    : m_folder(HistoryFolder(programFolder) / LineFolderName(lineText))
{
}

std::filesystem::path SnapshotStore::HistoryFolder(const std::filesystem::path& programFolder)
{
    return programFolder / "History";
}

std::string SnapshotStore::LineFolderName(std::string_view lineText)
{
    std::string name;
    for (const char c : lineText.substr(0, kMaxNameBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        const bool kept = byte < 0x80 && (std::isalnum(byte) || c == '-' || c == '_' || c == '.');
        name += kept ? c : '_';
    }
    // Windows drops a trailing dot, and "." or ".." is no folder of our own.
    while (!name.empty() && name.back() == '.')
        name.back() = '_';
    if (name.empty())
        return "_";
    if (name.front() == '.')
        name.front() = '_';
    if (isReservedOnWindows(name))
        name += '_';
    return name;
}

SnapshotSave SnapshotStore::save(const settings::ValueStores::Store& values,
                                 const settings::KnownItems& items,
                                 const app::LocalTime& when) const
{
    SnapshotSave result;
    if (!app::EnsureFolder(m_folder)) {
        result.error = "The folder " + app::PathText(m_folder) + " cannot be made.";
        return result;
    }
    std::string content;
    for (int item = 0; item < settings::kItemCount; ++item) {
        const auto at = static_cast<std::size_t>(item);
        if (!items.test(at) || !(settings::IsChoiceItem(item) || settings::IsTextItem(item)))
            continue;
        content += SettingsLine(item, values[at]);
        if (settings::IsChoiceItem(item) && !values[at].asWhole())
            result.warnings.push_back("Setting " + app::NumToStr(item) + ": value " +
                                      values[at].asText() + " saved as 0.");
    }
    // A second write in the same second keeps the first one's snapshot.
    int sequence = 1;
    std::error_code error;
    while (std::filesystem::exists(m_folder / SnapshotFileName(when, sequence), error))
        ++sequence;
    result.snapshot = {m_folder / SnapshotFileName(when, sequence),
                       SnapshotFileName(when, sequence), when, sequence};
    const app::SaveResult saved = app::WriteFileReplacing(result.snapshot.path, content);
    if (!saved.warning.empty())
        result.warnings.push_back(saved.warning);
    result.ok = saved.ok;
#ifdef _WIN32
    result.error = saved.error;
#else
    result.error = app::Utf8ToCp1252(saved.error);
#endif
    return result;
}

std::vector<Snapshot> SnapshotStore::list() const
{
    std::vector<Snapshot> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(m_folder, error), end; !error && it != end;
         it.increment(error)) {
        Snapshot snapshot;
        snapshot.fileName = it->path().filename().string();
        if (!it->is_regular_file(error) ||
            !parseName(snapshot.fileName, snapshot.taken, snapshot.sequence))
            continue;
        snapshot.path = it->path();
        found.push_back(std::move(snapshot));
    }
    auto key = [](const Snapshot& s) {
        const app::LocalTime& t = s.taken;
        return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second, s.sequence);
    };
    std::sort(found.begin(), found.end(),
              [&](const Snapshot& a, const Snapshot& b) { return key(a) > key(b); });
    return found;
}

SnapshotContent SnapshotStore::load(const std::filesystem::path& file)
{
    SnapshotContent result;
    const app::FileContent read = app::ReadRegularFile(file);
    if (read.status != app::FileReadStatus::Read)
        return result;
    result.ok = true;
    const app::NumberedSlots slots = app::ParseNumberedLines(read.bytes);
    FileValuesFromSlots(slots, result.values, UnusableNumber::TakeZero);
    // Which items the file names: a line's leading number before its arrow.
    std::size_t pos = 0;
    while (pos < read.bytes.size()) {
        std::size_t end = read.bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = read.bytes.size();
        const std::string_view line(read.bytes.data() + pos, end - pos);
        pos = end + 1;
        const std::size_t arrow = line.find("->");
        const std::size_t digit = line.find_first_not_of(' ');
        if (arrow == std::string_view::npos || digit == arrow ||
            !std::isdigit(static_cast<unsigned char>(line[digit])))
            continue;
        const auto number = app::SlotWhole16(line.substr(0, arrow));
        if (number && *number >= 0 && *number < settings::kItemCount &&
            (settings::IsChoiceItem(*number) || settings::IsTextItem(*number)))
            result.items.set(static_cast<std::size_t>(*number));
    }
    return result;
}

} // namespace pravenor::files
