#include "program/unsaved_edits.h"

#include "app/text_functions.h"
#include "program/commands.h"
#include "program/program.h"
#include "settings/catalogue.h"
#include "settings/write_plan.h"

namespace pravenor::program {

std::vector<int> UnsavedEdits(Program& program)
{
    const settings::ValueStores::Store screen = ScreenValues(program);
    const auto& stores = program.stores;
    // A write asked for and not served yet keeps the edit as far as the user is concerned.
    const bool writingAll = program.engine.requested(link::Job::WriteAll) ||
                            program.engine.batchKind() == link::Batch::WriteAll;
    std::vector<int> edits;
    for (int item = 0; item < settings::kItemCount; ++item) {
        if (!settings::ItemInUse(item) || writingAll ||
            stores.ItemRequest[static_cast<std::size_t>(item)] == settings::Request::Write)
            continue;
        const auto at = static_cast<std::size_t>(item);
        const auto& unit = stores.UnitValues[at];
        const bool unitSeen = !(unit.isNumber() && unit.asNumber() == -1);
        if (settings::SameSetting(item, screen[at], stores.FileValues[at]) ||
            (unitSeen && settings::SameSetting(item, screen[at], unit)))
            continue;
        edits.push_back(item);
    }
    return edits;
}

std::string UnsavedEditsLine(int count)
{
    return app::NumToStr(count) +
           (count == 1 ? " setting changed on screen was" : " settings changed on screen were") +
           " neither written to the unit nor saved to a file.";
}

} // namespace pravenor::program
