#pragma once

#include "files/snapshot_store.h"
#include "settings/write_plan.h"

#include <vector>

namespace pravenor::program {

class Program;

// Putting the converter back to a snapshot, in two rounds: first what the converter holds is
// read wherever this run has not seen it, then only the settings where the snapshot differs
// are written. The writes are writes like any other, kept and journalled before they go out.
class RestoreRun
{
public:
    explicit RestoreRun(files::SnapshotContent snapshot);

    const files::SnapshotContent& snapshot() const { return m_snapshot; }
    settings::RestorePlan plan(const Program& program) const;

    // The first round: a read request for each item to read first; the items.
    std::vector<int> requestReads(Program& program) const;
    // Once they are in: the snapshot's value on screen and a write request for every item
    // that differs; the items (none: the converter holds the snapshot already).
    std::vector<int> requestWrites(Program& program) const;

private:
    files::SnapshotContent m_snapshot;
};

} // namespace pravenor::program
