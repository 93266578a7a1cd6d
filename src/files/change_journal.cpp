#include "files/change_journal.h"

#include "app/cp1252.h"
#include "app/program_folder.h"
#include "app/regular_file.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

namespace pravenor::files {

namespace {

const std::string kRowEnd = "\r\n";

constexpr std::array<std::pair<WriteOutcome, const char*>, 5> kOutcomes = {{
    {WriteOutcome::Written, "written"},
    {WriteOutcome::Refused, "refused"},
    {WriteOutcome::Failed, "failed"},
    {WriteOutcome::Verified, "verified"},
    {WriteOutcome::DiffersAfterVerify, "differs after verify"},
}};

std::string field(std::string_view cp1252)
{
    std::string text = app::Cp1252ToUtf8(cp1252);
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    if (text.find_first_of(",\"") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string twoDigits(int n)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n % 100);
    return text;
}

std::string dateText(const app::LocalTime& t)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year % 10000, t.month % 100, t.day % 100);
    return text;
}

std::string timeText(const app::LocalTime& t)
{
    return twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}

// The last two bytes of the file, or fewer.
std::string tailOf(const std::filesystem::path& file, std::uintmax_t size)
{
    std::ifstream in(file, std::ios::binary);
    const std::uintmax_t from = size >= 2 ? size - 2 : 0;
    in.seekg(static_cast<std::streamoff>(from));
    std::string tail(static_cast<std::size_t>(size - from), '\0');
    in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    return in ? tail : std::string();
}

// Where the whole rows end: a row cut off by a crash is no row.
std::uintmax_t wholeRowsEnd(const std::filesystem::path& file, std::uintmax_t size)
{
    if (size == 0 || tailOf(file, size) == kRowEnd)
        return size;
    const app::FileContent content = app::ReadRegularFile(file, static_cast<std::size_t>(size));
    const std::size_t end = content.bytes.rfind(kRowEnd);
    return end == std::string::npos ? 0 : end + kRowEnd.size();
}

std::string lastError(const std::filesystem::path& file, const char* what)
{
    const int cause = errno;
    std::string text = "The change journal " + app::PathText(file) + " " + what;
    if (cause != 0)
        text += " (" + app::Utf8ToCp1252(std::strerror(cause)) + ")";
    return text + ": the write goes on without it.";
}

int whole(const std::string& text, int fallback)
{
    int value = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%d%n", &value, &used) != 1 ||
        used != static_cast<int>(text.size()))
        return fallback;
    return value;
}

} // namespace

const char* OutcomeText(WriteOutcome outcome)
{
    for (const auto& [known, text] : kOutcomes) {
        if (known == outcome)
            return text;
    }
    return "";
}

std::optional<WriteOutcome> OutcomeFromText(std::string_view text)
{
    for (const auto& [outcome, known] : kOutcomes) {
        if (text == known)
            return outcome;
    }
    return std::nullopt;
}

std::string JournalLine(const JournalRow& row)
{
    return dateText(row.when) + "," + timeText(row.when) + "," + field(row.line) + "," +
           std::to_string(row.item) + "," + field(row.setting) + "," + field(row.before) + "," +
           field(row.after) + "," + OutcomeText(row.outcome) + "," + field(row.snapshot) + kRowEnd;
}

std::vector<std::vector<std::string>> ParseCsv(std::string_view text)
{
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string current;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                current += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.push_back(std::move(current));
            current.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(std::move(current));
            current.clear();
            records.push_back(std::move(record));
            record.clear();
            ++i;
        } else {
            current += c;
        }
    }
    return records;
}

ChangeJournal::ChangeJournal(const std::filesystem::path& programFolder)
    : m_file(programFolder / "History" / "journal.csv")
{
}

JournalResult ChangeJournal::append(std::span<const JournalRow> rows) const
{
    JournalResult result;
    if (rows.empty())
        return result;
    errno = 0;
    if (!app::EnsureFolder(m_file.parent_path())) {
        result.ok = false;
        result.error = lastError(m_file, "cannot be made");
        return result;
    }
    std::error_code error;
    std::uintmax_t size = std::filesystem::exists(m_file, error)
                              ? std::filesystem::file_size(m_file, error)
                              : std::uintmax_t{0};
    if (error)
        size = 0;
    const std::uintmax_t whole = wholeRowsEnd(m_file, size);
    if (whole != size) {
        std::filesystem::resize_file(m_file, whole, error);
        size = whole;
    }
    std::string block;
    if (size == 0)
        block = std::string(kHeader) + kRowEnd;
    for (const JournalRow& row : rows)
        block += JournalLine(row);
    errno = 0;
    if (app::AppendToRegularFile(m_file, block))
        return result;
    result.ok = false;
    result.error = lastError(m_file, "cannot be written");
    // Whatever part of the rows went in comes out again.
    std::error_code ignored;
    if (std::filesystem::exists(m_file, ignored) &&
        std::filesystem::file_size(m_file, ignored) != size)
        std::filesystem::resize_file(m_file, size, ignored);
    return result;
}

std::vector<JournalRow> ChangeJournal::read() const
{
    std::vector<JournalRow> rows;
    const app::FileContent content = app::ReadRegularFile(m_file, SIZE_MAX);
    if (content.status != app::FileReadStatus::Read)
        return rows;
    for (const auto& record : ParseCsv(content.bytes)) {
        if (record.size() != 9)
            continue;
        JournalRow row;
        const auto outcome = OutcomeFromText(record[7]);
        if (std::sscanf(record[0].c_str(), "%d-%d-%d", &row.when.year, &row.when.month,
                        &row.when.day) != 3 ||
            std::sscanf(record[1].c_str(), "%d:%d:%d", &row.when.hour, &row.when.minute,
                        &row.when.second) != 3 ||
            !outcome)
            continue;
        row.line = app::Utf8ToCp1252(record[2]);
        row.item = whole(record[3], -1);
        row.setting = app::Utf8ToCp1252(record[4]);
        row.before = app::Utf8ToCp1252(record[5]);
        row.after = app::Utf8ToCp1252(record[6]);
        row.outcome = *outcome;
        row.snapshot = app::Utf8ToCp1252(record[8]);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace pravenor::files
