#pragma once

#include "app/clock.h"
#include "files/change_journal.h"
#include "files/snapshot_store.h"
#include "link/write_watcher.h"
#include "settings/value_stores.h"
#include "settings/write_plan.h"

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace pravenor::app {
class MessageLog;
}

namespace pravenor::program {

// How the writes of one batch went, for the summary at its end: the settings by outcome, in
// item order.
struct WriteSummary
{
    std::vector<int> written; // acknowledged, not read back
    std::vector<int> verified;
    std::vector<int> differs; // read back with another value than was written
    std::vector<int> refused;
    std::vector<int> failed;
    std::string snapshot; // the file name of the snapshot taken before the first write

    bool empty() const
    {
        return written.empty() && verified.empty() && differs.empty() && refused.empty() &&
               failed.empty();
    }
};

// What the converter on the line holds as far as this run has seen it, kept apart from
// UnitValues (which a file load forgets, while the converter still holds the same); the
// snapshot before every write; and one journal row for every setting a write changed or did
// not get through.
class UnitHistory final : public link::WriteWatcher
{
public:
    UnitHistory(std::filesystem::path programFolder, const app::Clock& clock, app::MessageLog& log);

    // "Keep the unit's settings before every write": read what is unknown first.
    bool keepUnit = true;
    // "Read back what was written".
    bool verify = false;

    // The line opened (or opened again): nothing of a converter there is known yet.
    void lineOpened(std::string lineText);
    // The converter may have been changed while the line was away.
    void forgetUnit();
    const std::string& line() const { return m_line; }

    const settings::KnownItems& known() const { return m_known; }
    const settings::ValueStores::Store& seen() const { return m_seen; }
    // Of the given writes, how many overwrite a value nobody has seen.
    int unknownBefore(std::span<const int> writes) const;

    files::SnapshotStore snapshots() const;
    files::ChangeJournal journal() const;
    // The rows this run has written to the journal (or would have, where it could not), of
    // every line, oldest first.
    const std::vector<files::JournalRow>& sessionChanges() const { return m_sessionChanges; }

    // Told when a batch's writes are over.
    void setSummaryObserver(std::function<void(const WriteSummary&)> observer);
    const WriteSummary& lastSummary() const { return m_lastSummary; }

    std::vector<int> readFirst(std::span<const int> writes) override;
    void beforeFirstWrite() override;
    void settingRead(int item, const settings::SettingValue& value) override;
    void settingWritten(int item, const settings::SettingValue& value, link::WriteEnd end) override;
    bool readBack() const override { return verify; }
    void writesEnded() override;

private:
    void record(int item, const settings::SettingValue& after, files::WriteOutcome outcome);

    std::filesystem::path m_folder;
    const app::Clock& m_clock;
    app::MessageLog& m_log;
    std::string m_line;
    settings::ValueStores::Store m_seen;
    settings::KnownItems m_known;

    // The batch under way.
    settings::ValueStores::Store m_before;
    settings::KnownItems m_beforeKnown;
    bool m_snapshotTaken = false;
    std::string m_snapshotName;
    std::map<int, settings::SettingValue> m_readingBack; // written, the read-back not in yet
    std::map<int, settings::SettingValue> m_failing;     // not acknowledged so far
    WriteSummary m_summary;
    WriteSummary m_lastSummary;
    bool m_journalFailing = false;
    std::vector<files::JournalRow> m_sessionChanges;
    std::function<void(const WriteSummary&)> m_summaryObserver;
};

// The value as the screen shows it: a choice's list entry, a text with its control bytes
// made visible.
std::string ShownValue(int item, const settings::SettingValue& value);

// The summary at the end of a write batch, a line per outcome with its settings' full names
// (the first ten of them), CR LF between the lines; outcomes no setting had are left out.
std::string WriteSummaryText(const WriteSummary& summary);

// How many settings the write after the snapshot changed, from the journal's rows.
int ChangesAfter(std::span<const files::JournalRow> rows, const std::string& snapshot);

} // namespace pravenor::program
