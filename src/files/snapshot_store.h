#pragma once

#include "app/clock.h"
#include "settings/value_stores.h"
#include "settings/write_plan.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pravenor::files {

// One kept copy of what a converter held just before a write.
struct Snapshot
{
    std::filesystem::path path;
    std::string fileName; // "2026-12-09_05-40-12.cfg", "-2" before ".cfg" for a second one
    app::LocalTime taken;
    int sequence = 1; // 2, 3... for more snapshots taken in the same second
};

struct SnapshotSave
{
    bool ok = false;
    Snapshot snapshot;
    std::string error;                 // Windows-1252, for the log
    std::vector<std::string> warnings; // settings that could not be written as held
};

struct SnapshotContent
{
    bool ok = false; // false: the file could not be read
    settings::ValueStores::Store values;
    settings::KnownItems items; // the items the file names
};

// The snapshots of one line, in History/<the line's name>/ under the program folder. Each is
// an ordinary settings file, so "Read from file" and pravenor-cli write take it as it is; it
// is saved as every settings file is, never half written. An item whose value was unknown
// when the snapshot was taken has no line in it.
class SnapshotStore
{
public:
    SnapshotStore(const std::filesystem::path& programFolder, std::string_view lineText);

    static std::filesystem::path HistoryFolder(const std::filesystem::path& programFolder);
    // The line's text as a folder name on every system: letters, digits, '-', '_' and '.'
    // kept, every other byte a '_' ("tcp://host:4001" is "tcp___host_4001"), a name that
    // Windows keeps for a device ("COM3", "NUL") with a '_' after it.
    static std::string LineFolderName(std::string_view lineText);

    const std::filesystem::path& folder() const { return m_folder; }

    // items: those whose value is known and goes into the file.
    SnapshotSave save(const settings::ValueStores::Store& values, const settings::KnownItems& items,
                      const app::LocalTime& when) const;
    // Newest first; files that are no snapshots are left out.
    std::vector<Snapshot> list() const;
    static SnapshotContent load(const std::filesystem::path& file);

private:
    std::filesystem::path m_folder;
};

// The file name of a snapshot taken then; sequence 1 has no suffix.
std::string SnapshotFileName(const app::LocalTime& when, int sequence = 1);

} // namespace pravenor::files
