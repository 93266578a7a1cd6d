#pragma once

#include "app/clock.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pravenor::files {

// How the write of one setting ended.
enum class WriteOutcome
{
    Written,
    Refused, // not sent: the value cannot travel in a frame, or the unit has no such value
    Failed,  // sent, but the converter did not take it
    Verified,
    DiffersAfterVerify,
};

// "written", "refused", "failed", "verified", "differs after verify".
const char* OutcomeText(WriteOutcome outcome);
std::optional<WriteOutcome> OutcomeFromText(std::string_view text);

// One setting written. Texts are Windows-1252 bytes, as everywhere in the core.
struct JournalRow
{
    app::LocalTime when;
    std::string line; // the line's text, as the window names it
    int item = 0;
    std::string setting; // the setting's full name ("Input 3, Alarm, Text at alarm:")
    std::string before;  // as the screen showed it; empty: not known
    std::string after;
    WriteOutcome outcome = WriteOutcome::Written;
    std::string snapshot; // the file name of the snapshot taken before the write
};

struct JournalResult
{
    bool ok = true;
    std::string error; // Windows-1252, for the log
};

// History/journal.csv: who changed what on which converter. UTF-8, fields quoted as RFC 4180
// has it, a header row first. Rows go in whole or not at all: a failed append takes back
// what it wrote, and a row cut off by a crash is dropped before the next one goes in, so
// every reader sees whole rows only. A line break inside a text becomes a blank, as it does
// in the settings files, so that one row is one line.
class ChangeJournal
{
public:
    explicit ChangeJournal(const std::filesystem::path& programFolder);

    static constexpr std::string_view kHeader =
        "Date,Time,Line,Item,Setting,Before,After,Outcome,Snapshot";

    const std::filesystem::path& file() const { return m_file; }

    JournalResult append(std::span<const JournalRow> rows) const;
    // Every whole row, oldest first; rows that are not the journal's own are skipped.
    std::vector<JournalRow> read() const;

private:
    std::filesystem::path m_file;
};

// One row as the file holds it, CR LF included.
std::string JournalLine(const JournalRow& row);
// The records of RFC 4180 text; an unfinished last record is left out.
std::vector<std::vector<std::string>> ParseCsv(std::string_view text);

} // namespace pravenor::files
