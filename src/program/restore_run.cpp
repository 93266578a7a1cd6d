#include "program/restore_run.h"

#include "program/commands.h"
#include "program/program.h"

namespace pravenor::program {

RestoreRun::RestoreRun(files::SnapshotContent snapshot) : m_snapshot(std::move(snapshot)) {}

settings::RestorePlan RestoreRun::plan(const Program& program) const
{
    return settings::PlanRestore(m_snapshot.values, m_snapshot.items, program.history.seen(),
                                 program.history.known());
}

std::vector<int> RestoreRun::requestReads(Program& program) const
{
    const std::vector<int> reads = plan(program).readFirst;
    for (const int item : reads)
        ReadSingle(program, item);
    return reads;
}

std::vector<int> RestoreRun::requestWrites(Program& program) const
{
    const std::vector<int> writes = plan(program).writes;
    for (const int item : writes) {
        ShowOnScreen(program, item, m_snapshot.values[static_cast<std::size_t>(item)]);
        WriteSingle(program, item);
    }
    return writes;
}

} // namespace pravenor::program
